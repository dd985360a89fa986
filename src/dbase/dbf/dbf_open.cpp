// OpenDbf: reading and checking the header and field descriptors of the three layouts.
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>

#include "dbase/dbase_error.h"
#include "common/byte_codec.h"
#include "dbase/dbf/dbf_file.h"

namespace vekrano::dbase {
namespace {

struct Failure {
  int code;
  std::string text;
};

// What the header says, before it becomes the table descriptor.
struct Loaded {
  DbfLayout layout = DbfLayout::Standard;
  std::vector<std::uint8_t> header;
  std::uint16_t headerLength = 0;
  std::uint16_t recordLength = 0;
  std::uint32_t recordCount = 0;
  std::string lastUpdate;
  std::vector<DbfField> fields;
};

std::optional<DbfLayout> layoutOfVersion(std::uint8_t version) {
  switch (version) {
    case kDbfVersionPlain:
    case kDbfVersionDBase3WithMemo:
    case kDbfVersionWithMemo:
    case kDbfVersionFptMemo: return DbfLayout::Standard;
    case kDbfVersionLevel7:
    case kDbfVersionLevel7WithMemo: return DbfLayout::Level7;
    case kDbfVersionDBase2: return DbfLayout::DBase2;
    default: return std::nullopt;
  }
}

std::string twoDigits(int value) {
  return std::string(1, static_cast<char>('0' + value / 10 % 10)) + static_cast<char>('0' + value % 10);
}

std::string lastUpdateText(int yearSince1900, int month, int day) {
  return std::to_string(1900 + yearSince1900) + twoDigits(month) + twoDigits(day);
}

std::string descriptorName(const std::uint8_t* bytes, std::size_t size) {
  std::string name;
  for (std::size_t i = 0; i < size && bytes[i] != 0; ++i) {
    const char c = static_cast<char>(bytes[i]);
    name += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return name;
}

char fieldTypeOf(std::uint8_t letter) {
  switch (letter) {
    case 'B':
    case 'G':
    case 'P':
    case 'b':
    case 'g':
    case 'p': return 'M';
    default: return static_cast<char>(letter);
  }
}

bool isKnownFieldType(char type) {
  return type == 'C' || type == 'D' || type == 'F' || type == 'L' || type == 'M' || type == 'N';
}

// Adds one descriptor's field, checking its type and that it fits the record.
std::optional<Failure> addField(Loaded& loaded, const std::string& file, std::string name, std::uint8_t type,
                                std::uint8_t length, std::uint8_t decimals) {
  DbfField field;
  field.name = std::move(name);
  field.type = fieldTypeOf(type);
  field.length = length;
  field.decimals = decimals;
  field.position = loaded.fields.empty()
                       ? 1
                       : static_cast<std::uint16_t>(loaded.fields.back().position + loaded.fields.back().length);
  if (!isKnownFieldType(field.type)) {
    return Failure{kErrorInvalidFieldType, "Field: " + field.name + " [" + std::string(1, static_cast<char>(type)) +
                                               "] in " + file + " is not a valid field type"};
  }
  // A record shorter than its fields would make every field access run past the record.
  if (field.position + field.length > loaded.recordLength) {
    return Failure{kErrorNotDbaseFile, file +
                                           " is not a dBASE database. (Record length is less than the fields) "
                                           "[Use/OpenDbf]"};
  }
  loaded.fields.push_back(std::move(field));
  return std::nullopt;
}

std::optional<Failure> noFields(const Loaded& loaded, const std::string& file) {
  if (!loaded.fields.empty()) return std::nullopt;
  return Failure{kErrorCorruptedIndex, "Error reading " + file + " [Use/OpenDbf]"};
}

std::optional<Failure> readDescriptors(File& f, std::size_t length, const std::string& file,
                                       std::vector<std::uint8_t>& bytes) {
  bytes.assign(length, 0);
  if (f.readAt(bytes.data(), length, kDbfHeaderSize) != static_cast<std::int64_t>(length)) {
    return Failure{kErrorDiskRead, "Error reading " + file + " [Use/OpenDbf]"};
  }
  return std::nullopt;
}

std::optional<Failure> loadStandardOrLevel7(File& f, const std::string& file, Loaded& loaded) {
  const bool level7 = loaded.layout == DbfLayout::Level7;
  const std::uint8_t* h = loaded.header.data();
  loaded.headerLength = common::getU16(h + kDbfHeaderLengthOffset);
  loaded.recordLength = common::getU16(h + kDbfRecordLengthOffset);
  loaded.recordCount = common::getU32(h + kDbfCountOffset);
  loaded.lastUpdate = lastUpdateText(h[kDbfDateYear], h[kDbfDateMonth], h[kDbfDateDay]);
  const std::size_t start = level7 ? kLevel7DescriptorStart : kDbfHeaderSize;
  const std::size_t size = level7 ? kLevel7DescriptorSize : kDbfDescriptorSize;
  const long count = (static_cast<long>(loaded.headerLength) - static_cast<long>(start)) / static_cast<long>(size);
  if (loaded.headerLength < start || count < 1 || count > static_cast<long>(kDbfMaxFields)) {
    return Failure{kErrorNotDbaseFile, file +
                                           " is not a dBASE database. (Number of fields is out of range) "
                                           "[Use/OpenDbf]"};
  }
  std::vector<std::uint8_t> bytes;
  if (auto failure = readDescriptors(f, loaded.headerLength - kDbfHeaderSize, file, bytes)) {
    return failure;
  }
  for (long i = 0; i < count; ++i) {
    const std::uint8_t* d = bytes.data() + (start - kDbfHeaderSize) + i * size;
    if (d[0] == static_cast<std::uint8_t>(kDbfHeaderTerminator)) break;
    auto failure = level7 ? addField(loaded, file, descriptorName(d, kLevel7NameSize), d[kLevel7TypeOffset],
                                     d[kLevel7LengthOffset], d[kLevel7DecimalsOffset])
                          : addField(loaded, file, descriptorName(d, kDbfNameSize), d[kDbfTypeOffset],
                                     d[kDbfLengthOffset], d[kDbfDecimalsOffset]);
    if (failure) return failure;
  }
  return noFields(loaded, file);
}

std::optional<Failure> loadDBase2(File& f, const std::string& file, Loaded& loaded) {
  std::vector<std::uint8_t> bytes;
  const std::size_t rest = kDBase2HeaderSize - kDbfHeaderSize;
  if (readDescriptors(f, rest, file, bytes)) {
    return Failure{kErrorNotDbaseFile, file +
                                           " is not a dBASE database.(Header is less than 521 "
                                           "bytes) [Use/OpenDBF]"};
  }
  std::vector<std::uint8_t> all(loaded.header.begin(), loaded.header.end());
  all.insert(all.end(), bytes.begin(), bytes.end());
  const std::uint8_t* h = all.data();
  loaded.headerLength = static_cast<std::uint16_t>(kDBase2HeaderSize);
  loaded.recordCount = common::getU16(h + kDBase2CountOffset);
  loaded.recordLength = common::getU16(h + kDBase2RecordLengthOffset);
  loaded.lastUpdate = lastUpdateText(h[kDBase2DateYear], h[kDBase2DateMonth], h[kDBase2DateDay]);
  for (std::size_t i = 0; i < kDBase2MaxFields; ++i) {
    const std::uint8_t* d = h + kDBase2DescriptorStart + i * kDBase2DescriptorSize;
    if (d[0] == static_cast<std::uint8_t>(kDbfHeaderTerminator)) break;
    if (auto failure = addField(loaded, file, descriptorName(d, kDbfNameSize), d[kDbfTypeOffset],
                                d[kDBase2LengthOffset], d[kDBase2DecimalsOffset])) {
      return failure;
    }
  }
  return noFields(loaded, file);
}

std::optional<Failure> load(File& f, const std::string& file, Loaded& loaded) {
  loaded.header.assign(kDbfHeaderSize, 0);
  if (f.readAt(loaded.header.data(), kDbfHeaderSize, 0) != static_cast<std::int64_t>(kDbfHeaderSize)) {
    return Failure{kErrorNotDbaseFile, file +
                                           " is not a dBASE database. (Prolog is less than 32 bytes) "
                                           "[USE/OpenDBF]"};
  }
  const auto layout = layoutOfVersion(loaded.header[kDbfVersionOffset]);
  if (!layout) {
    return Failure{kErrorNotDbaseFile, file + " is not a dBASE database.(Invalid version byte)+ [USE/OpenDBF]"};
  }
  loaded.layout = *layout;
  auto failure =
      loaded.layout == DbfLayout::DBase2 ? loadDBase2(f, file, loaded) : loadStandardOrLevel7(f, file, loaded);
  if (failure) return failure;
  if (loaded.recordCount > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
    return Failure{kErrorNotDbaseFile, file +
                                           " is not a dBASE database. (Record count is out of "
                                           "range) [Use/OpenDbf]"};
  }
  return std::nullopt;
}

FileAccess accessOf(DbfOpenMode mode) {
  return mode == DbfOpenMode::ReadOnly ? FileAccess::ReadOnly : FileAccess::ReadWrite;
}

FileShare shareOf(DbfOpenMode mode) {
  return mode == DbfOpenMode::ExclusiveReadWrite ? FileShare::Exclusive : FileShare::DenyNone;
}

}  // namespace

bool DbfTable::OpenDbf(const std::string& fileName, DbfOpenMode mode, bool translateOem, bool autoFixRecCount) {
  clearDbfError();
  const std::string path = std::filesystem::absolute(WithDefaultExtension(fileName, "DBF")).string();
  if (const int error = file_.open(path, accessOf(mode), shareOf(mode)); error != 0) {
    dbfError(error, "Failure to open " + path + " [USE/OpenDbf]");
    return false;
  }
  Loaded loaded;
  if (auto failure = load(file_, path, loaded)) {
    file_.close();
    dbfError(failure->code, failure->text);
    return false;
  }
  fileName_ = path;
  layout_ = loaded.layout;
  header_ = std::move(loaded.header);
  headerLength_ = loaded.headerLength;
  recordLength_ = loaded.recordLength;
  fields_ = std::move(loaded.fields);
  recordCount_ = static_cast<std::int32_t>(loaded.recordCount);
  lastUpdate_ = loaded.lastUpdate;
  hasMemo_ = (header_[kDbfVersionOffset] & kDbfMemoBit) != 0;
  codePage_ = translateOem ? codePageOfLanguageByte(languageByte()) : DbfCodePage::Ansi;
  stored_.clear();
  storedRecord_ = 0;
  shared_ = mode == DbfOpenMode::SharedReadWrite;
  std::uint32_t address = 1;
  for (DbfField& field : fields_) {
    field.address = address;
    address += fieldBufferWidth(field);
  }
  record_.assign(recordLength_, ' ');
  fieldBuffer_.assign(address, 0);
  status_ = DbfStatus::Unchanged;
  if (autoFixRecCount && !refreshRecordCount()) {
    CloseDbf();
    return false;
  }
  const bool empty = recordCount_ < 1;
  currentRecord_ = empty ? 0 : 1;
  bof_ = eof_ = empty;
  ClearRecord();
  return true;
}

}  // namespace vekrano::dbase
