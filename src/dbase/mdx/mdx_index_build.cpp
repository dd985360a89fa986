// Building a new index file: the header area, then per tag its sorted keys written as a tree and
// its tag header.
#include <cerrno>
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
  if (!path.has_extension()) path += fs::path(DerivedFileName(tableName, "MDX")).extension();
  if (!path.has_parent_path()) path = fs::path(tableName).parent_path() / path;
  return path.string();
}

}  // namespace

void MdxIndex::CreateMdxHeader(File& file, const std::string& tableName) {
  std::string stem = fs::path(tableName).stem().string();
  std::string area = encodeEmptyHeaderArea(stem, today());
  int error = file.writeAt(area.data(), area.size(), 0);
  if (error != 0) throw MdxFailure(error, kIndexWriteFailed + file.path() + " [CreateMdxHeader]");
}

bool MdxIndex::MakeIndex(const std::string& fileName, const std::vector<MdxTagDefinition>& tags,
                         const MdxBuildOptions& options) {
  Close();
  return guarded([&] {
    std::string name = completeName(fileName, table_.fileName());
    if (unlink(name.c_str()) != 0 && errno != ENOENT) {
      int error = SystemErrorNumber(errno);
      if (error == 5 || error == kSystemErrorSharingViolation)
        throw MdxFailure(kErrorExclusiveRequired, table_.fileName() + " MakeIndex(" + name + ")");
      throw MdxFailure(error, "MakeIndex(" + name + ")");
    }
    int error = file_.create(name, FileShare::DenyNone);
    if (error != 0) throw MdxFailure(error, "MakeIndex(" + name + ")");
    fileName_ = name;
    const common::ScopeExit closed([&] { file_.close(); });
    CreateMdxHeader(file_, table_.fileName());
    std::vector<TagEntry> entries;
    for (const MdxTagDefinition& definition : tags) AddIndexTag(definition, options, entries);
    return true;
  });
}

void MdxIndex::AddIndexTag(const MdxTagDefinition& definition, const MdxBuildOptions& options,
                           std::vector<TagEntry>& entries) {
  const std::string where = " [AddIndexTag()]";
  int code = 0;
  std::unique_ptr<MdxExpression> condition;
  if (!definition.condition.empty()) {
    condition = table_.compile(definition.condition, code);
    if (!condition) throw MdxFailure(code, "Invalid FOR expression for " + definition.name + where);
  }
  if (definition.expression.size() >= kExpressionSize)
    throw MdxFailure(kErrorExpressionTooLong, "Expression length exceeds 100 bytes" + where);
  std::unique_ptr<MdxExpression> key = table_.compile(definition.expression, code);
  if (!key) throw MdxFailure(code, DbfErrorText());
  char type = key->type();
  if (std::string("CDFN").find(type) == std::string::npos)
    throw MdxFailure(kErrorInternal, "Wrong parser return type" + where);
  int keyLength = type == 'C' ? key->length() : type == 'D' ? kDateKeyLength : kNumericKeyLength;
  if (keyLength < 1 || keyLength > kMaxKeyLength)
    throw MdxFailure(kErrorInvalidSize, "Incorrect key length: Must be 1 to 100." + where);

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
  if (!read) throw MdxFailure(DbfErrorCode(), DbfErrorText());

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
    throw MdxFailure(kErrorDiskWrite, kIndexWriteFailed + fileName_ + where);
  TagEntry entry{headerBlock, common::ansiUpper(definition.name).substr(0, kEntNameSize), type};
  addTagEntry(entries, entry);
  encodeTagTable(area.data(), entries);
  common::putU32(&area[kHdrBlockCounter], blockCounterOf(file_.size()));
  if (file_.writeAt(area.data(), area.size(), 0) != 0)
    throw MdxFailure(kErrorDiskWrite, kIndexWriteFailed + fileName_ + where);
}

}  // namespace vekrano::dbase
