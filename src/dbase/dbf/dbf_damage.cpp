// A table file whose header does not describe it (another program's fault, a disk that filled up
// or a copy cut short): telling it, and repairing it by keeping the records up to the last whole
// one under a header rebuilt from its own field descriptors.
#include <filesystem>
#include <numeric>

#include "common/byte_codec.h"
#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_file.h"
#include "dbase/file_helpers.h"

namespace vekrano::dbase {

namespace {

std::int64_t wholeRecords(std::int64_t size, std::int64_t headerLength, std::int64_t recordLength) {
  return size <= headerLength || recordLength <= 0 ? 0 : (size - headerLength) / recordLength;
}

}  // namespace

std::string DbfTable::Damage(bool alone) {
  if (!isOpen() || layout_ != DbfLayout::Standard) return {};
  const int fieldsLength =
      std::accumulate(fields_.begin(), fields_.end(), 1, [](int sum, const DbfField& f) { return sum + f.length; });
  if (fieldsLength != recordLength_)
    return "its header gives records of " + std::to_string(recordLength_) + " bytes, its fields " +
           std::to_string(fieldsLength);
  char mark = 0;
  if (file_.readAt(&mark, 1, headerLength_ - 1) != 1 || mark != kDbfHeaderTerminator)
    return "its header length (" + std::to_string(headerLength_) + ") does not end on the end of its field list";
  const std::int64_t size = file_.size();
  const std::int64_t whole = wholeRecords(size, headerLength_, recordLength_);
  // While others have the table open one of them may be appending a record this very moment.
  const std::int64_t rest = size - headerLength_ - whole * recordLength_;
  char last = kDbfEndOfFile;
  if (alone && rest == 1) file_.readAt(&last, 1, size - 1);
  if (alone && (rest > 1 || last != kDbfEndOfFile))
    return "it ends inside a record, after " + std::to_string(whole) + " whole ones";
  const std::uint32_t counted = common::getU32(header_.data() + kDbfCountOffset);
  if (counted > whole)
    return "its header counts " + std::to_string(counted) + " records, the file holds " + std::to_string(whole);
  return {};
}

bool RepairDbf(const std::string& fileName, std::int32_t& kept, std::string& keptAs) {
  clearDbfError();
  const std::string bytes = [&] {
    File file;
    std::string content;
    if (file.open(fileName, FileAccess::ReadOnly, FileShare::Exclusive) != 0) return content;
    const std::int64_t size = file.size();
    content.resize(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)));
    if (file.readAt(content.data(), content.size(), 0) != size) content.clear();
    return content;
  }();
  if (bytes.size() < kDbfHeaderSize + kDbfDescriptorSize + 1) {
    dbfError(kErrorNotDbaseFile, fileName + " is not a dBASE database: nothing to repair [RepairDbf]");
    return false;
  }
  // The field list ends where a descriptor begins with the end mark; the header ends after it.
  std::size_t headerLength = 0;
  int recordLength = 1;
  for (std::size_t at = kDbfHeaderSize; at < bytes.size() && headerLength == 0; at += kDbfDescriptorSize) {
    if (bytes[at] == kDbfHeaderTerminator) {
      headerLength = at + 1;
    } else if (at + kDbfDescriptorSize <= bytes.size()) {
      recordLength += static_cast<std::uint8_t>(bytes[at + kDbfLengthOffset]);
    }
  }
  if (headerLength == 0 || headerLength == kDbfHeaderSize + 1 || recordLength > 0xFFFF) {
    dbfError(kErrorNotDbaseFile, fileName + " is not a dBASE database: its field list has no end [RepairDbf]");
    return false;
  }
  const std::int64_t whole =
      wholeRecords(static_cast<std::int64_t>(bytes.size()), static_cast<std::int64_t>(headerLength), recordLength);
  std::string repaired = bytes.substr(0, headerLength + static_cast<std::size_t>(whole) * recordLength);
  common::putU16(repaired.data() + kDbfHeaderLengthOffset, static_cast<std::uint16_t>(headerLength));
  common::putU16(repaired.data() + kDbfRecordLengthOffset, static_cast<std::uint16_t>(recordLength));
  common::putU32(repaired.data() + kDbfCountOffset, static_cast<std::uint32_t>(whole));
  repaired += kDbfEndOfFile;

  // The repaired table is complete on disk before the old one is moved aside.
  const std::string temporary = fileName + ".repair";
  File out;
  int error = out.create(temporary, FileShare::Exclusive);
  if (error == 0) error = out.writeAt(repaired.data(), repaired.size(), 0);
  if (error == 0) error = out.flush();
  out.close();
  keptAs = fileName + ".bad";
  std::error_code moved;
  if (error == 0) std::filesystem::rename(fileName, keptAs, moved);
  if (error == 0 && !moved) {
    std::filesystem::rename(temporary, fileName, moved);
    std::error_code ignored;
    if (moved) std::filesystem::rename(keptAs, fileName, ignored);
  }
  if (error != 0 || moved) {
    std::filesystem::remove(temporary, moved);
    dbfError(error != 0 ? error : kErrorFileAccessDenied, "Error writing " + temporary + ". [RepairDbf]");
    return false;
  }
  kept = static_cast<std::int32_t>(whole);
  return true;
}

}  // namespace vekrano::dbase
