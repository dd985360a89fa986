// Keeping the tags up to date as records are appended or replaced, and finding the entry of the
// current record again.
#include <algorithm>

#include "dbase/mdx/mdx_failure.h"
#include "dbase/mdx/mdx_index.h"
#include "dbase/mdx/mdx_index_detail.h"

namespace vekrano::dbase {

namespace {

std::string tagWhere(const std::string& fileName, const TagTree& tag) {
  return tagPlace(fileName, tag.place().tagName);
}

}  // namespace

bool MdxIndex::AppendIndex() {
  return guarded([&] {
    if (!isOpen()) return true;
    auto record = static_cast<std::uint32_t>(table_.currentRecord());
    std::vector<std::pair<std::size_t, std::string>> added;
    {
      Section section(*this, Section::Write);
      try {
        for (std::size_t i = 0; i < tags_.size(); ++i) {
          if (!conditionHolds(i)) continue;
          std::string key = keyOf(i);
          if (tags_[i]->insert(key, record)) added.emplace_back(i, std::move(key));
        }
      } catch (const MdxFailure&) {
        // A roll-back that cannot write either leaves the first failure, the one that tells why,
        // for the table to report; it then has the index checked at the next open.
        try {
          for (const auto& [i, key] : added)
            if (!tags_[i]->remove(key, record)) throw keyRemovalFailed(tagWhere(fileName_, *tags_[i]));
          writeAnchors();
        } catch (const MdxFailure& rollback) {
          if (rollback.code() == kErrorInternal) throw;
        }
        throw;
      }
      writeAnchors();
    }
    if (order_ == 0) return true;
    const auto controlling = static_cast<std::size_t>(order_ - 1);
    const auto inserted =
        std::find_if(added.begin(), added.end(), [&](const auto& a) { return a.first == controlling; });
    return syncTag(controlling, "SyncIndex", false, inserted == added.end() ? nullptr : &inserted->second);
  });
}

// The entries are looked for before the record is written: an index that disagrees with the
// table then refuses the change instead of leaving it half made.
bool MdxIndex::beforeReplace() {
  return guarded([&] {
    oldKeys_.assign(tags_.size(), std::nullopt);
    auto record = static_cast<std::uint32_t>(table_.currentRecord());
    for (std::size_t i = 0; i < tags_.size(); ++i) {
      if (!conditionHolds(i)) continue;
      oldKeys_[i] = keyOf(i);
      if (isOpen() && !tags_[i]->seekEntry(*oldKeys_[i], record)) {
        oldKeys_.clear();
        throw recordNumberNotInIndex(record, tagWhere(fileName_, *tags_[i]));
      }
    }
    return true;
  });
}

bool MdxIndex::AfterReplace() {
  return guarded([&] {
    if (!isOpen() || oldKeys_.size() != tags_.size()) return true;
    auto record = static_cast<std::uint32_t>(table_.currentRecord());
    {
      Section section(*this, Section::Write);
      for (std::size_t i = 0; i < tags_.size(); ++i) {
        std::optional<std::string> key;
        if (conditionHolds(i)) key = keyOf(i);
        if (key == oldKeys_[i]) continue;
        if (oldKeys_[i] && !tags_[i]->remove(*oldKeys_[i], record)) {
          writeAnchors();
          throw recordNumberNotInIndex(record, tagWhere(fileName_, *tags_[i]));
        }
        if (key) tags_[i]->insert(*key, record);
      }
      writeAnchors();
    }
    oldKeys_.clear();
    return order_ == 0 || syncTag(static_cast<std::size_t>(order_ - 1), "SyncIndex");
  });
}

bool MdxIndex::SyncIndex() {
  return guarded([&] {
    if (!isOpen() || order_ == 0) return true;
    Section section(*this, Section::Read);
    return syncTag(static_cast<std::size_t>(order_ - 1), "SyncIndex");
  });
}

// Seeks the entry of the current record in tag i. A record outside the tag's condition sends the
// table to its end. `where` names the step in the failure text.
bool MdxIndex::syncTag(std::size_t i, const char* where, bool reread, const std::string* knownKey) {
  TagTree& tag = *tags_[i];
  auto record = table_.currentRecord();
  if (record < 1) return false;
  if (reread && (record > table_.recordCount() || !table_.readRecord(record))) return false;
  if (!conditionHolds(i)) {
    atEnd_ = true;
    table_.goToEnd();
    return true;
  }
  std::string key = knownKey != nullptr ? *knownKey : keyOf(i);
  // An append that split no node left the tag on the new entry already.
  const bool onAppended = !reread && tag.onEntry() && tag.current().number == static_cast<std::uint32_t>(record) &&
                          tag.order().compare(tag.current().key, key) == 0;
  if (onAppended || tag.seekEntry(key, static_cast<std::uint32_t>(record))) {
    atEnd_ = atBeginning_ = false;
    return true;
  }
  const std::string place = tagWhere(fileName_, tag);
  if (std::string(where) == "SyncIndex") {
    bool keyPresent = tag.seek(key) && tag.order().compare(tag.current().key, key) == 0;
    tag.dropCache();
    if (!keyPresent) throw keyNotInIndex(key, place, static_cast<std::uint32_t>(record));
    throw recordNotInIndex(key, place, "SyncIndex-2");
  }
  throw recordNotInIndex(key, place, where);
}

}  // namespace vekrano::dbase
