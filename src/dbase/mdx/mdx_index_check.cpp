// Whether the index still belongs to the table as it is: other programs change the table without
// knowing of its index, and a damaged index must never answer a statement.
#include <limits>

#include "dbase/mdx/mdx_failure.h"
#include "dbase/mdx/mdx_index.h"
#include "dbase/mdx/mdx_index_detail.h"

namespace vekrano::dbase {

namespace {

constexpr std::size_t kNoEntry = std::numeric_limits<std::size_t>::max();

std::string recordText(std::int32_t n) { return "record " + std::to_string(n); }

}  // namespace

std::string MdxIndex::disagreement(bool everyKey) {
  clearDbfError();
  if (!isOpen()) return {};
  try {
    Section section(*this, Section::Read);
    // Every node is read once: from the file mapped for the walk, not one read call per node.
    scanBytes_.Begin();
    struct HeldUntilDone {
      HeldFileBytes& bytes;
      ~HeldUntilDone() { bytes.End(); }
    } held{scanBytes_};
    const std::int32_t count = table_.recordCount();
    for (std::size_t i = 0; i < tags_.size(); ++i) {
      std::string fault = tagDisagreement(i, count, everyKey);
      if (!fault.empty()) return "tag " + tags_[i]->place().tagName + ": " + fault;
    }
    return {};
  } catch (const MdxFailure& failure) {
    if (failure.code() == kErrorSemaphore) {
      dbfError(failure.code(), failure.detail());
      throw EDorevError(failure.code(), failure.detail());
    }
    for (auto& tag : tags_) tag->dropCache();
    return failure.detail();
  }
}

std::string MdxIndex::tagDisagreement(std::size_t i, std::int32_t count, bool everyKey) {
  TagTree& tag = *tags_[i];
  std::vector<std::int32_t> records;
  std::string keys;
  tag.recordsInKeyOrder(records, everyKey ? &keys : nullptr);
  // Every open makes the quick check: a bit per record finds a record named twice; where each
  // record's key stands is kept only for the comparison of every key.
  std::vector<bool> named(static_cast<std::size_t>(count) + 1, false);
  std::vector<std::size_t> entryOf(everyKey ? static_cast<std::size_t>(count) + 1 : 0, kNoEntry);
  for (std::size_t e = 0; e < records.size(); ++e) {
    const std::int32_t n = records[e];
    if (n < 1 || n > count)
      return "a key names " + recordText(n) + " of a table of " + std::to_string(count) + " records";
    if (named[static_cast<std::size_t>(n)]) return recordText(n) + " has two keys";
    named[static_cast<std::size_t>(n)] = true;
    if (everyKey) entryOf[static_cast<std::size_t>(n)] = e;
  }
  const TagHeader& header = tag.header();
  if (header.condition.empty() && !header.unique && records.size() != static_cast<std::size_t>(count))
    return "key count " + std::to_string(records.size()) + ", record count " + std::to_string(count);
  if (!everyKey) return {};

  const auto length = static_cast<std::size_t>(tag.keyLength());
  const auto keyAt = [&](std::size_t e) { return std::string_view(keys).substr(e * length, length); };
  for (std::size_t e = 1; e < records.size(); ++e)
    if (tag.order().compare(keyAt(e - 1), keyAt(e)) > 0) return "keys out of order at " + recordText(records[e]);
  std::string fault;
  const bool read = table_.scanRecords(count, [&](std::int32_t n) {
    if (!fault.empty()) return;
    const bool holds = conditionHolds(i);
    const std::size_t e = entryOf[static_cast<std::size_t>(n)];
    if (e == kNoEntry) {
      if (holds && !header.unique) fault = recordText(n) + " has no key";
    } else if (!holds) {
      fault = recordText(n) + " has a key but is outside the tag's condition";
    } else if (keyOf(i) != keyAt(e)) {
      fault = "the key of " + recordText(n) + " differs from its value";
    }
  });
  if (!read) throw MdxFailure(dbfErrorCode(), dbfErrorText());
  return fault;
}

}  // namespace vekrano::dbase
