// The shared-mode locking protocol of an open table: byte-range locks on the table file beyond its
// data, one append lock or a list of record locks at a time. Nothing is locked for a table open
// exclusive.
//
//   LOCK                 OFFSET                                              LENGTH
//   index login          kTableLockOffset (taken by the index semaphore)     1
//   append               kTableLockOffset + 1                                1
//   record n             kTableLockOffset + header length + (n-1) * record length   record length
#pragma once

#include <cstdint>
#include <vector>

#include "dbase/file_io.h"

namespace vekrano::dbase {

// The table's lock byte that serialises the index semaphore's login and logout; every lock of
// the table lies from here on, never on data.
inline constexpr std::uint64_t kTableLockOffset = 0x40000000;
inline constexpr std::int64_t kAppendLockOffset = kTableLockOffset + 1;

class TableLocks {
 public:
  // Starts a fresh lock state over `file` (borrowed, open while locks are used).
  void attach(File& file, bool shared, std::int64_t headerLength, std::int64_t recordLength);
  // Forgets the file; its locks went with it when it was closed.
  void Detach();

  // One attempt each. The append lock is refused while record locks are held and succeeds at once
  // when already held; a record lock is refused while the append lock is held and succeeds at once
  // when that record is already locked. Always true for an exclusive table.
  bool lockAppend();
  bool lockRecord(std::int32_t n);
  // True when the lock is held (or the table is exclusive, where none is needed).
  bool holdsAppend() const { return !shared_ || append_; }
  bool holdsRecord(std::int32_t n) const;
  // Releases every record lock, or the append lock; the state returns to none.
  void Unlock();

 private:
  std::int64_t recordOffset(std::int32_t n) const;

  File* file_ = nullptr;
  bool shared_ = false;
  std::int64_t headerLength_ = 0;
  std::int64_t recordLength_ = 0;
  bool append_ = false;
  std::vector<std::int32_t> records_;
};

// Releases the locks of a table when the scope ends, however it ends.
class LockRelease {
 public:
  explicit LockRelease(TableLocks& locks) : locks_(locks) {}
  ~LockRelease() { locks_.Unlock(); }
  LockRelease(const LockRelease&) = delete;
  LockRelease& operator=(const LockRelease&) = delete;

 private:
  TableLocks& locks_;
};

}  // namespace vekrano::dbase
