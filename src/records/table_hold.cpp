#include "records/table_hold.h"

#include <array>
#include <cstdint>
#include <filesystem>

#include "common/byte_codec.h"
#include "common/exception.h"
#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_format.h"
#include "dbase/file_helpers.h"
#include "dbase/table_locks.h"

namespace vekrano::records {

TableHold::TableHold(const std::string& folder) {
  const std::string path = (std::filesystem::path(folder) / "article.dbf").string();
  const int error = table_.open(path, dbase::FileAccess::ReadWrite, dbase::FileShare::DenyNone);
  if (error == dbase::kErrorFileNotFound) return;
  if (error != 0) throw common::Exception(dbase::errorCodeText(error) + ": " + path);
  const int refused = dbase::lockWithRetries(table_, dbase::kAppendLockOffset, 1);
  if (refused != 0) throw common::Exception(dbase::errorCodeText(refused) + ": " + path);
  countRecordsInHeader(path);
  std::error_code ignored;
  if (!std::filesystem::exists(dbase::derivedFileName(path, "MDX"), ignored)) return;
  semaphore_.emplace(table_, dbase::derivedFileName(path, dbase::kSemaphoreExtension));
  semaphore_->enterRead();
}

void TableHold::countRecordsInHeader(const std::string& path) {
  std::array<std::uint8_t, dbase::kDbfRecordLengthOffset + 2> header{};
  const std::int64_t size = table_.size();
  if (size < static_cast<std::int64_t>(header.size()) || !dbase::readExact(table_, 0, header.data(), header.size())) {
    return;  // not a table the engine could count; the backup saves it as it is
  }
  const std::int64_t headerLength = common::getU16(header.data() + dbase::kDbfHeaderLengthOffset);
  const std::int64_t recordLength = common::getU16(header.data() + dbase::kDbfRecordLengthOffset);
  if (recordLength == 0 || size < headerLength) return;
  const auto records = static_cast<std::uint32_t>((size - headerLength) / recordLength);
  if (records == common::getU32(header.data() + dbase::kDbfCountOffset)) return;
  std::array<std::uint8_t, 4> count{};
  common::putU32(count.data(), records);
  if (table_.writeAt(count.data(), count.size(), dbase::kDbfCountOffset) != 0 || table_.flush() != 0) {
    throw common::Exception(dbase::errorCodeText(table_.lastError()) + ": " + path);
  }
}

TableHold::~TableHold() {
  if (!semaphore_) return;
  try {
    semaphore_->exitRead();
  } catch (const std::exception&) {
    // Leaving is best effort: the logout that follows uncounts this process anyway.
  }
}

}  // namespace vekrano::records
