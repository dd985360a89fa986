// Byte-range locks of the shared-mode protocol.
#include "dbase/table_locks.h"

#include <algorithm>

namespace vekrano::dbase {

void TableLocks::attach(File& file, bool shared, std::int64_t headerLength, std::int64_t recordLength) {
  file_ = &file;
  shared_ = shared;
  headerLength_ = headerLength;
  recordLength_ = recordLength;
  append_ = false;
  records_.clear();
}

void TableLocks::Detach() {
  file_ = nullptr;
  append_ = false;
  records_.clear();
}

std::int64_t TableLocks::recordOffset(std::int32_t n) const {
  return kTableLockOffset + headerLength_ + (static_cast<std::int64_t>(n) - 1) * recordLength_;
}

bool TableLocks::lockAppend() {
  if (!shared_ || append_) return true;
  if (!records_.empty() || file_ == nullptr) return false;
  append_ = file_->lock(kAppendLockOffset, 1);
  return append_;
}

bool TableLocks::holdsRecord(std::int32_t n) const {
  return !shared_ || std::find(records_.begin(), records_.end(), n) != records_.end();
}

bool TableLocks::lockRecord(std::int32_t n) {
  if (holdsRecord(n)) return true;
  if (append_ || file_ == nullptr || n < 1) return false;
  if (!file_->lock(recordOffset(n), recordLength_)) return false;
  records_.push_back(n);
  return true;
}

void TableLocks::Unlock() {
  if (file_ != nullptr && file_->isOpen()) {
    if (append_) file_->unlock(kAppendLockOffset, 1);
    for (std::int32_t n : records_) file_->unlock(recordOffset(n), recordLength_);
  }
  append_ = false;
  records_.clear();
}

}  // namespace vekrano::dbase
