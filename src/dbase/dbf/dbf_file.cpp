// Records of an open table: reading, writing, the deletion flag, and closing with the header
// and end-of-file rules.
#include "dbase/dbf/dbf_file.h"

#include <algorithm>
#include <limits>

#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_code_page.h"
#include "common/byte_codec.h"
#include "dbase/dbf_date.h"
#include "dbase/file_helpers.h"
#include "dbase/table_locks.h"

namespace vekrano::dbase {
namespace {

// The detail text of a failure on the table file: "File:  <file>", then where it happened.
std::string fileDetail(const std::string& file, const std::string& where) { return "File:  " + file + where; }

constexpr char kAtGetRecord[] = "  [GetDbfRecord]";

// Stored code page <-> ANSI over the field bytes of a record (byte 0, the deletion flag, is left
// alone).
void translateToAnsi(DbfCodePage page, char* record, std::size_t length) {
  if (length > 1) storedToAnsi(page, record + 1, length - 1);
}

void translateToStored(DbfCodePage page, char* record, std::size_t length) {
  if (length > 1) ansiToStored(page, record + 1, length - 1);
}

}  // namespace

DbfTable::DbfTable() = default;

DbfTable::~DbfTable() {
  if (isOpen()) CloseDbf();
}

std::int64_t DbfTable::recordOffset(std::int32_t n) const {
  return headerLength_ + static_cast<std::int64_t>(n - 1) * recordLength_;
}

void DbfTable::markChanged() {
  if (status_ != DbfStatus::Appended) status_ = DbfStatus::Changed;
}

// The record buffer holds record n as stored: the stored bytes are kept, the buffer made ANSI.
void DbfTable::keepStored(std::int32_t n) {
  stored_ = record_;
  storedRecord_ = n;
  translateToAnsi(codePage_, record_.data(), record_.size());
  decodeRecord();
  currentRecord_ = n;
  bof_ = false;
}

void DbfTable::takeStoredRecord(std::int32_t n, const char* stored) {
  stored_.assign(stored, stored + recordLength_);
  storedRecord_ = n;
  record_ = stored_;
  translateToAnsi(codePage_, record_.data(), record_.size());
  currentRecord_ = n;
  bof_ = false;
}

bool DbfTable::GetDbfRecord(std::int32_t n) {
  clearDbfError();
  if (n < 1 || n > recordCount_) {
    dbfError(kErrorRequestBeyondRange,
             "Invalid record number = " + std::to_string(n) + " (" + fileName_ + ")  [GetDbfRecord]");
    return false;
  }
  if (const char* kept = deferredRecord(n)) {
    std::copy_n(kept, recordLength_, record_.begin());
    keepStored(n);
    return true;
  }
  const std::int64_t read = file_.readAt(record_.data(), recordLength_, recordOffset(n));
  if (read != recordLength_) {
    dbfError(read < 0 ? file_.lastError() : kErrorUnexpectedEof, fileDetail(fileName_, kAtGetRecord));
    return false;
  }
  keepStored(n);
  return true;
}

char* DbfTable::deferredRecord(std::int32_t n) {
  const std::int32_t written = writtenRecordCount();
  if (n <= written || n > recordCount_) return nullptr;
  return deferred_.data() + static_cast<std::size_t>(n - written - 1) * recordLength_;
}

bool DbfTable::rereadWrittenRecord(std::int32_t n) {
  if (storedRecord_ != n || stored_.size() != recordLength_ || n < 1 || n > recordCount_) return GetDbfRecord(n);
  clearDbfError();
  record_ = stored_;
  keepStored(n);
  return true;
}

void DbfTable::deferAppends(bool on) { deferring_ = on; }

bool DbfTable::writeDeferredAppends() {
  clearDbfError();
  if (deferred_.empty()) return true;
  const std::int32_t written = writtenRecordCount();
  const bool done =
      writeRecordBytes(deferred_.data(), deferred_.size(), recordOffset(written + 1), "Replace/Append/PutDbfRecord");
  deferred_.clear();
  if (!done) {
    // Nothing of them may stay behind the last record written before them.
    file_.truncate(recordOffset(written + 1));
    recordCount_ = written;
    currentRecord_ = written + 1;
    storedRecord_ = 0;
    status_ = statusBeforeDeferred_;  // nothing was appended after all
    return false;
  }
  held_.grew();
  return true;
}

const char* DbfTable::walkedRecordsBytes(std::int32_t count) {
  if (!held_.active() || count < 1 || count > writtenRecordCount()) return nullptr;
  return held_.View(file_, static_cast<std::uint64_t>(recordOffset(1)),
                    static_cast<std::size_t>(count) * recordLength_);
}

void DbfTable::prefetchWalkedRecord(std::int32_t n) {
  if (!held_.active() || n < 1 || n > recordCount_) return;
  const char* bytes = held_.View(file_, static_cast<std::uint64_t>(recordOffset(n)), recordLength_);
  if (bytes == nullptr) return;
  constexpr std::size_t kCacheLine = 64;
  for (std::size_t at = 0; at < recordLength_; at += kCacheLine) __builtin_prefetch(bytes + at);
  __builtin_prefetch(bytes + recordLength_ - 1);
}

bool DbfTable::getWalkedRecord(std::int32_t n) {
  if (!held_.active() || n < 1 || n > writtenRecordCount() ||
      !held_.Read(file_, static_cast<std::uint64_t>(recordOffset(n)), record_.data(), recordLength_)) {
    return GetDbfRecord(n);
  }
  clearDbfError();
  keepStored(n);
  return true;
}

bool DbfTable::readRecords(std::int32_t first, std::int32_t count, char* out, bool translate) {
  clearDbfError();
  if (first < 1 || count < 0 || static_cast<std::int64_t>(first) + count - 1 > recordCount_) {
    dbfError(kErrorRequestBeyondRange,
             "Invalid record number = " + std::to_string(first) + " (" + fileName_ + ")  [GetDbfRecord]");
    return false;
  }
  // Records kept in memory come from there, the others from the file.
  const std::int32_t fromFile = std::clamp(writtenRecordCount() - first + 1, 0, count);
  for (std::int32_t i = fromFile; i < count; ++i)
    std::copy_n(deferredRecord(first + i), recordLength_, out + static_cast<std::size_t>(i) * recordLength_);
  const std::size_t length = static_cast<std::size_t>(fromFile) * recordLength_;
  const std::int64_t read = length == 0 ? 0 : file_.readAt(out, length, recordOffset(first));
  if (read != static_cast<std::int64_t>(length)) {
    dbfError(read < 0 ? file_.lastError() : kErrorUnexpectedEof, fileDetail(fileName_, kAtGetRecord));
    return false;
  }
  if (translate && codePage_ != DbfCodePage::Ansi) {
    for (std::int32_t i = 0; i < count; ++i) {
      translateToAnsi(codePage_, out + static_cast<std::size_t>(i) * recordLength_, recordLength_);
    }
  }
  return true;
}

bool DbfTable::writeRecordBytes(const char* bytes, std::size_t length, std::int64_t offset, const char* operation) {
  if (const int error = file_.writeAt(bytes, length, offset); error != 0) {
    dbfError(error, fileDetail(fileName_, " [" + std::string(operation) + "]"));
    return false;
  }
  return true;
}

bool DbfTable::PutDbfRecord(std::int32_t n) {
  clearDbfError();
  if (n < 1) {  // record 0 would overwrite the header
    dbfError(kErrorRequestBeyondRange, fileDetail(fileName_, " [Replace/Append/PutDbfRecord]"));
    return false;
  }
  const bool append = n > recordCount_;
  if (append) n = recordCount_ + 1;
  encodeRecord();
  // The record buffer stays ANSI; the file receives a copy in the table's code page.
  std::vector<char> stored(record_);
  translateToStored(codePage_, stored.data(), stored.size());
  if (!append) keepUnchangedFields(n, stored);
  if (append && deferring_) {
    if (deferred_.empty()) statusBeforeDeferred_ = status_;
    deferred_.insert(deferred_.end(), stored.begin(), stored.end());
  } else if (char* kept = deferredRecord(n)) {
    std::copy(stored.begin(), stored.end(), kept);
  } else if (!writeRecordBytes(stored.data(), stored.size(), recordOffset(n), "Replace/Append/PutDbfRecord")) {
    // An append cut short (a full disk) leaves no piece of a record behind the last whole one.
    if (append) file_.truncate(recordOffset(n));
    return false;
  }
  stored_ = std::move(stored);
  storedRecord_ = n;
  if (append) {
    held_.grew();
    recordCount_ = n;
    currentRecord_ = n;
    status_ = DbfStatus::Appended;
  } else {
    markChanged();
  }
  return true;
}

bool DbfTable::undoAppend(std::int32_t count) {
  if (count < 0 || count >= recordCount_) return false;
  const std::int32_t written = writtenRecordCount();
  if (count >= written) {
    deferred_.resize(static_cast<std::size_t>(count - written) * recordLength_);
  } else {
    deferred_.clear();
    if (file_.truncate(recordOffset(count + 1)) != 0) return false;
  }
  held_.grew();
  recordCount_ = count;
  currentRecord_ = count + 1;
  storedRecord_ = 0;
  return true;
}

bool DbfTable::restoreStoredRecord(std::int32_t n, const std::vector<char>& stored) {
  if (n < 1 || n > recordCount_ || stored.size() != recordLength_ ||
      file_.writeAt(stored.data(), stored.size(), recordOffset(n)) != 0)
    return false;
  stored_ = stored;
  storedRecord_ = n;
  return true;
}

// A field whose text is what reading record n gave keeps the bytes it had: a character the ANSI
// text cannot hold must not be lost from a field the change never named.
void DbfTable::keepUnchangedFields(std::int32_t n, std::vector<char>& stored) const {
  if (storedRecord_ != n || stored_.size() != record_.size() || codePage_ == DbfCodePage::Ansi) return;
  std::vector<char> asRead(stored_);
  translateToAnsi(codePage_, asRead.data(), asRead.size());
  for (const DbfField& field : fields_) {
    const std::size_t at = field.position;
    if (std::equal(record_.begin() + at, record_.begin() + at + field.length, asRead.begin() + at))
      std::copy_n(stored_.begin() + at, field.length, stored.begin() + at);
  }
}

bool DbfTable::writeDeletionFlag(char flag) {
  clearDbfError();
  if (currentRecord_ < 1 || currentRecord_ > recordCount_) {
    dbfError(kErrorRequestBeyondRange, fileDetail(fileName_, " [DeleteRec/RecallRec]"));
    return false;
  }
  if (!writeRecordBytes(&flag, 1, recordOffset(currentRecord_), "DeleteRec/RecallRec")) {
    return false;
  }
  record_[0] = flag;
  if (storedRecord_ == currentRecord_ && !stored_.empty()) stored_[0] = flag;
  fieldBuffer_[0] = flag == kRecordDeleted ? 1 : 0;
  markChanged();
  return true;
}

bool DbfTable::DeleteRec() { return writeDeletionFlag(kRecordDeleted); }
bool DbfTable::RecallRec() { return writeDeletionFlag(kRecordLive); }

bool DbfTable::FlushFile() {
  clearDbfError();
  if (const int error = file_.flush(); error != 0) {
    dbfError(error, "Unable to flush file [FlushFile]");
    return false;
  }
  return true;
}

bool DbfTable::refreshRecordCount() {
  clearDbfError();
  const std::int64_t size = file_.size();
  if (size < 0) {
    dbfError(file_.lastError(), fileDetail(fileName_, kAtGetRecord));
    return false;
  }
  countRecordsOfSize(size);
  recordCount_ += deferredCount();
  return true;
}

bool DbfTable::refreshWalkedRecordCount() {
  const std::int64_t seen = held_.active() ? held_.seenSize(file_) : -1;
  if (seen < 0) return refreshRecordCount();
  clearDbfError();
  countRecordsOfSize(seen);
  recordCount_ += deferredCount();
  return true;
}

void DbfTable::countRecordsOfSize(std::int64_t size) {
  const std::int64_t count = size > headerLength_ ? (size - headerLength_) / recordLength_ : 0;
  recordCount_ = static_cast<std::int32_t>(std::min<std::int64_t>(count, std::numeric_limits<std::int32_t>::max()));
}

bool DbfTable::productionIndexFlag() const {
  return layout_ != DbfLayout::DBase2 && header_.size() > kDbfIndexFlagOffset && header_[kDbfIndexFlagOffset] != 0;
}

void DbfTable::setProductionIndexFlag(bool on) {
  if (layout_ == DbfLayout::DBase2 || productionIndexFlag() == on) return;
  header_[kDbfIndexFlagOffset] = on ? 1 : 0;
  markChanged();
}

bool DbfTable::rewriteHeader() {
  const std::int64_t read = file_.readAt(header_.data() + kDbfPreservedOffset, kDbfPreservedSize, kDbfPreservedOffset);
  if (read < 0) return false;
  const Date today = Today();
  lastUpdate_ = storedDate(today);
  if (layout_ == DbfLayout::DBase2) {
    common::putU16(header_.data() + kDBase2CountOffset, static_cast<std::uint16_t>(recordCount_));
    header_[kDBase2DateMonth] = static_cast<std::uint8_t>(today.month);
    header_[kDBase2DateDay] = static_cast<std::uint8_t>(today.day);
    header_[kDBase2DateYear] = static_cast<std::uint8_t>((today.year - 1900) % 256);
    return file_.writeAt(header_.data(), kDBase2PrologSize, 0) == 0;
  }
  header_[kDbfDateYear] = static_cast<std::uint8_t>((today.year - 1900) % 256);
  header_[kDbfDateMonth] = static_cast<std::uint8_t>(today.month);
  header_[kDbfDateDay] = static_cast<std::uint8_t>(today.day);
  common::putU32(header_.data() + kDbfCountOffset, static_cast<std::uint32_t>(recordCount_));
  return file_.writeAt(header_.data(), kDbfHeaderSize, 0) == 0;
}

// Shared, another process may have appended since this one last counted: under the append lock
// the count is taken from the file size, so the header counts every record and the end-of-file
// marker lands after the last one, never over another process's record. When the lock cannot be
// had, header and marker are left to the processes still appending.
bool DbfTable::CloseDbf() {
  clearDbfError();
  if (!isOpen()) return true;
  // Appends still kept in memory are written, not lost.
  bool written = writeDeferredAppends();
  if (status_ == DbfStatus::Changed || status_ == DbfStatus::Appended) {
    if (!shared_ || lockWithRetries(file_, kAppendLockOffset, 1) == 0) {
      written = written && (!shared_ || refreshRecordCount()) && rewriteHeader();
      if (written && status_ == DbfStatus::Appended) {
        written = file_.writeAt(&kDbfEndOfFile, 1, recordOffset(recordCount_ + 1)) == 0;
      }
      if (shared_) file_.unlock(kAppendLockOffset, 1);
    }
    // Commits the records and the header's count, which other programs read, before the file is
    // left to them.
    written = written && file_.flush() == 0;
  }
  const int error = file_.lastError();
  const std::string name = fileName_;
  release();
  if (!written) {
    dbfError(error, fileDetail(name, " [CloseDbf(" + name + ")]"));
    return false;
  }
  return true;
}

void DbfTable::release() {
  file_.close();
  shared_ = false;
  deferring_ = false;
  deferred_.clear();
  held_.Reset();
  status_ = DbfStatus::Closed;
  header_.clear();
  fields_.clear();
  record_.clear();
  fieldBuffer_.clear();
  recordCount_ = 0;
  currentRecord_ = 0;
  bof_ = eof_ = false;
}

}  // namespace vekrano::dbase
