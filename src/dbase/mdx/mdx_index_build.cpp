// Building a new index file: the header area, then per tag its sorted keys written as a tree and
// its tag header.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "dbase/mdx/mdx_failure.h"
#include "common/byte_codec.h"
#include "common/code_page.h"
#include "common/scope_exit.h"
#include "dbase/file_helpers.h"
#include "dbase/mdx/mdx_index_detail.h"
#include "dbase/mdx/mdx_keys.h"

namespace vekrano::dbase {

namespace {

namespace fs = std::filesystem;

// The index file name completed with the table's folder and the extension "MDX" in the letter
// case of the table's own extension.
std::string completeName(const std::string& fileName, const std::string& tableName) {
  fs::path path(fileName);
  if (!path.has_extension()) path += fs::path(derivedFileName(tableName, "MDX")).extension();
  if (!path.has_parent_path()) path = fs::path(tableName).parent_path() / path;
  return path.string();
}

// The index is built under this name beside its own and takes the index's name only once complete
// and on disk, so a build that fails part way (a full disk) leaves the previous index as it was.
std::string buildingName(const std::string& name) { return name + ".part-" + std::to_string(::getpid()); }

}  // namespace

void MdxIndex::CreateMdxHeader(File& file, const std::string& tableName) {
  std::string stem = fs::path(tableName).stem().string();
  std::string area = encodeEmptyHeaderArea(stem, today());
  int error = file.writeAt(area.data(), area.size(), 0);
  if (error != 0) throw buildWriteFailed(error, file.path(), " [CreateMdxHeader]");
}

bool MdxIndex::MakeIndex(const std::string& fileName, const std::vector<MdxTagDefinition>& tags,
                         const MdxBuildOptions& options) {
  Close();
  return guarded([&] {
    std::string name = completeName(fileName, table_.fileName());
    const std::string building = buildingName(name);
    int error = file_.create(building, FileShare::Exclusive);
    if (error != 0) throw buildFailed(error, name);
    fileName_ = name;
    // A build that does not complete leaves the index it was to replace as it was.
    const common::OnUnwind removed([&] {
      file_.close();
      unlink(building.c_str());
    });
    CreateMdxHeader(file_, table_.fileName());
    std::vector<TagEntry> entries;
    for (const MdxTagDefinition& definition : tags) AddIndexTag(definition, options, entries);
    error = file_.flush();
    if (error != 0) throw buildWriteFailed(error, name, " [MakeIndex]");
    file_.close();
    if (std::rename(building.c_str(), name.c_str()) != 0) {
      error = systemErrorNumber(errno);
      if (error == kErrorFileAccessDenied || error == kSystemErrorSharingViolation)
        throw buildNeedsExclusiveUse(table_.fileName(), name);
      throw buildFailed(error, name);
    }
    return true;
  });
}
void MdxIndex::AddIndexTag(const MdxTagDefinition& definition, const MdxBuildOptions& options,
                           std::vector<TagEntry>& entries) {
  int code = 0;
  std::unique_ptr<MdxExpression> condition;
  if (!definition.condition.empty()) {
    condition = table_.compile(definition.condition, code);
    if (!condition) throw conditionInvalid(code, definition.name);
  }
  if (definition.expression.size() >= kExpressionSize) throw expressionTooLong();
  std::unique_ptr<MdxExpression> key = table_.compile(definition.expression, code);
  if (!key) throw MdxFailure(code, dbfErrorText());
  char type = key->type();
  if (std::string("CDFN").find(type) == std::string::npos) throw keyTypeWrong();
  int keyLength = type == 'C' ? key->length() : type == 'D' ? kDateKeyLength : kNumericKeyLength;
  if (keyLength < 1 || keyLength > kMaxKeyLength)
    throw keyLengthOutOfRange(" [AddIndexTag()]", MdxFailure::Report::Record);

  TagHeader header;
  header.keyType = type;
  header.keyLength = keyLength;
  header.descending = definition.descending;
  header.unique = definition.unique;
  header.expression = definition.expression;
  header.condition = definition.condition;
  TagPlace place{&file_, fileName_, definition.name, 1, static_cast<int>(entries.size()) + 1};
  tags_.push_back(std::make_unique<TagTree>(place, header, 0));
  open_.push_back({std::move(key), std::move(condition), 0});
  open_.back().decimals = open_.back().key->decimals();
  // The tag is only borrowed for evaluating keys while it is built.
  const common::ScopeExit forgotten([&] {
    tags_.clear();
    open_.clear();
  });

  std::int32_t count = table_.recordCount();
  KeySorter sorter(tags_.back()->order(), keyLength, options.sortLimit, static_cast<std::size_t>(count));
  bool read = table_.scanRecords(count, [&](std::int32_t n) {
    if (conditionHolds(0)) sorter.add(keyOf(0), static_cast<std::uint32_t>(n));
    if (options.progress) options.progress(n, count);
  });
  if (!read) throw MdxFailure(dbfErrorCode(), dbfErrorText());

  auto firstBlock = static_cast<std::uint32_t>(file_.size() / kUnitSize);
  TreeWriter writer(file_, firstBlock, {keyLength, header.itemLength(), header.maxKeys()});
  std::string previous;
  bool any = false;
  const KeyOrder& order = tags_.back()->order();
  sorter.finish([&](std::string_view k, std::uint32_t record) {
    if (header.unique && any && order.compare(k, previous) == 0) return;
    writer.add(k, record);
    previous.assign(k);
    any = true;
  });
  header.root = writer.finish();

  auto headerBlock = static_cast<std::uint32_t>(file_.size() / kUnitSize);
  std::vector<std::uint8_t> block(kBlockSize, 0);
  Anchor anchor = encodeTagHeader(header);
  std::copy(anchor.begin(), anchor.end(), block.begin());
  std::vector<std::uint8_t> area(kHeaderAreaSize);
  if (file_.writeAt(block.data(), block.size(), static_cast<std::int64_t>(blockOffset(headerBlock))) != 0 ||
      !readExact(file_, 0, area.data(), area.size()))
    throw buildWriteFailed(kErrorDiskWrite, fileName_, " [AddIndexTag()]");
  TagEntry entry{headerBlock, common::ansiUpper(definition.name).substr(0, kEntNameSize), type};
  addTagEntry(entries, entry);
  encodeTagTable(area.data(), entries);
  common::putU32(&area[kHdrBlockCounter], blockCounterOf(file_.size()));
  if (file_.writeAt(area.data(), area.size(), 0) != 0)
    throw buildWriteFailed(kErrorDiskWrite, fileName_, " [AddIndexTag()]");
}

}  // namespace vekrano::dbase
