#include "dbase/mdx/mdx_semaphore.h"

#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "common/byte_codec.h"
#include "common/scope_exit.h"
#include "dbase/mdx/mdx_failure.h"
#include "dbase/file_helpers.h"
#include "dbase/mdx/mdx_table.h"

namespace vekrano::dbase {

namespace {

constexpr std::uint8_t kMaxReaders = 127;

[[noreturn]] void fail(const std::string& detail) {
  throw MdxFailure(kErrorSemaphore, detail, MdxFailure::Report::Raise);
}

// A failure of the file itself: its system error gives the cause in words (a full disk, no
// permission); without one, the semaphore's own code.
[[noreturn]] void failFile(int systemError, const std::string& detail) {
  throw MdxFailure(systemError != 0 ? systemError : kErrorSemaphore, detail, MdxFailure::Report::Raise);
}

std::int64_t seconds() {
  using namespace std::chrono;
  return duration_cast<std::chrono::seconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

MdxSemaphore::MdxSemaphore(File& tableFile, std::string semaphoreName)
    : table_(tableFile), name_(std::move(semaphoreName)) {
  lockTable("LOGIN");
  const common::ScopeExit unlocked([&] { table_.unlock(kTableLockOffset, 1); });
  bool fresh = false;
  {
    // A file this login made and could not finish (a full disk) would have the next opener take
    // it for one left by a process killed inside the index: it goes, as it came.
    const common::OnUnwind removed([&] {
      if (fresh) {
        file_.close();
        unlink(name_.c_str());
      }
    });
    // Every logged-in process keeps the file open, so a file nobody holds, even one dated today,
    // was left by a killed process: its counts (or a half-made record) are stale and made afresh.
    openFile();
    fresh = !file_.isOpen();
    if (fresh) {
      File created;
      if (const int error = created.create(name_, FileShare::Exclusive); error != 0)
        failFile(error, "Cannot open: " + name_ + " Action=LOGIN [Database Semaphore]");
      Record zero{};
      if (const int error = created.writeAt(zero.data(), zero.size(), 0); error != 0)
        failFile(error, "Cannot write to: " + name_ + " Action=LOGIN [Database Semaphore]");
      created.close();
      if (const int error = file_.open(name_, FileAccess::ReadWrite, FileShare::DenyNone); error != 0)
        failFile(error, "Cannot open: " + name_ + " Action=LOGIN [Database Semaphore]");
    }
    lockSemaphore("LOGIN");
    Record record = fresh ? Record{} : readRecord("LOGIN");
    ++record[kSemLogins];
    writeRecord(record, "LOGIN");
    unlockSemaphore("LOGIN");
    seenCounter_ = common::getU16(&record[kSemCounter]);
    mapRecord();
  }
  loggedIn_ = true;
}

// Opens the file for this process alone when nobody else holds it (it is then made afresh), or
// shared as it is when another process does; file_ stays closed when it must be made afresh.
void MdxSemaphore::openFile() {
  File alone;
  int error = alone.open(name_, FileAccess::ReadWrite, FileShare::Exclusive);
  if (error == 0 || error == kErrorFileNotFound) return;
  switch (error) {
    case 3:
    case 5:
    case 32:
    case 150:
    case 162:
    case 163:
      if (const int shared = file_.open(name_, FileAccess::ReadWrite, FileShare::DenyNone); shared != 0)
        failFile(shared, "Cannot open: " + name_ + " LOGIN");
      return;
    default: failFile(error, "Cannot open/create: " + name_ + " LOGIN");
  }
}

MdxSemaphore::~MdxSemaphore() {
  try {
    logout();
  } catch (const MdxFailure&) {
    // A destructor cannot report; the next login of another process repairs the counts.
  }
  unmapRecord();
}

void MdxSemaphore::lockTable(const char* action) {
  if (lockWithRetries(table_, kTableLockOffset, 1) != 0)
    fail("Cannot lock database for: " + name_ + " Action=" + action + " [Database Semaphore]");
}

void MdxSemaphore::logout() {
  if (!loggedIn_) return;
  loggedIn_ = false;
  lockTable("LOGOUT");
  const common::ScopeExit unlocked([&] { table_.unlock(kTableLockOffset, 1); });
  lockSemaphore("LOGOUT");
  Record record = readRecord("LOGOUT");
  if (countedAsReader_ && record[kSemUsers] > 0) --record[kSemUsers];
  if (writeDepth_ > 0) record[kSemUsers] = 0;
  // The changes of a run still held are counted, so that the others re-read what they cached.
  common::putU16(&record[kSemCounter], static_cast<std::uint16_t>(common::getU16(&record[kSemCounter]) + runChanges_));
  if (record[kSemLogins] > 0) --record[kSemLogins];
  writeRecord(record, "LOGOUT");
  unlockSemaphore("LOGOUT");
  const bool last = record[kSemLogins] == 0;
  unmapRecord();
  file_.close();
  if (last) unlink(name_.c_str());
}

void MdxSemaphore::lockSemaphore(const char* action) {
  int error = lockWithRetries(file_, kSemLockOffset, kSemLockLength);
  if (error != 0)
    fail("10 second timeout: Cannot lock index semaphore file: " + name_ + " " + action +
         "\r\nPossible cause: Network lock limit exceeded\r\n Lock result code: " + std::to_string(error));
}

void MdxSemaphore::unlockSemaphore(const char* action) {
  if (!file_.unlock(kSemLockOffset, kSemLockLength))
    fail("Cannot unlock index semaphore file: " + name_ + " " + action);
}

// Every section reads and writes the record under the lock: through a shared mapping of the file
// these are plain memory accesses, which other processes' reads and writes of the file see, as
// the mapping and the file share their pages. The file keeps its length while this process is
// logged in (only a process that finds nobody holding it makes it afresh), so the mapped record
// never lies past the file's end. Without a mapping the file is read and written.
void MdxSemaphore::mapRecord() {
  if (file_.size() < static_cast<std::int64_t>(kSemRecordSize)) return;
  void* mapped = ::mmap(nullptr, kSemRecordSize, PROT_READ | PROT_WRITE, MAP_SHARED, file_.descriptor(), 0);
  if (mapped != MAP_FAILED) mapped_ = static_cast<std::uint8_t*>(mapped);
}

void MdxSemaphore::unmapRecord() {
  if (mapped_ != nullptr) ::munmap(mapped_, kSemRecordSize);
  mapped_ = nullptr;
}

MdxSemaphore::Record MdxSemaphore::readRecord(const char* action) {
  Record record{};
  if (mapped_ != nullptr) {
    std::memcpy(record.data(), mapped_, record.size());
  } else if (!readExact(file_, 0, record.data(), record.size())) {
    fail("Cannot read: " + name_ + " " + action);
  }
  return record;
}

void MdxSemaphore::writeRecord(const Record& record, const char* action) {
  if (mapped_ != nullptr) {
    std::memcpy(mapped_, record.data(), record.size());
  } else if (const int error = file_.writeAt(record.data(), record.size(), 0); error != 0) {
    failFile(error, "Cannot write to: " + name_ + " " + action);
  }
}

bool MdxSemaphore::noteCounter(const Record& record) {
  const std::uint16_t counter = common::getU16(&record[kSemCounter]);
  bool changed = counter != seenCounter_;
  seenCounter_ = counter;
  return changed;
}

// Taken and released only under the semaphore lock, so a writer that holds that lock and is
// granted the byte exclusively knows that every count in the record is left over.
bool MdxSemaphore::holdLiveness(common::ByteLock kind) {
  return common::setByteLock(file_.descriptor(), kind, kSemLivenessOffset, 1) == 0;
}

bool MdxSemaphore::enterRead() {
  if (writeDepth_ > 0 || readDepth_++ > 0) return false;
  readDepth_ = 0;
  lockSemaphore("INCREAD");
  if (!holdLiveness(common::ByteLock::Shared)) {
    unlockSemaphore("INCREAD");
    fail("Cannot lock index semaphore file: " + name_ + " INCREAD");
  }
  readDepth_ = 1;
  Record record = readRecord("INCREAD");
  if (record[kSemUsers] < kMaxReaders) ++record[kSemUsers];
  writeRecord(record, "INCREAD");
  unlockSemaphore("INCREAD");
  countedAsReader_ = true;
  return noteCounter(record);
}

void MdxSemaphore::exitRead() {
  if (writeDepth_ > 0) return;
  if (readDepth_ == 0)
    throw MdxFailure(kErrorInternal, "Unbalanced IncRead/DecRead for semaphore file: " + name_ + " DECREAD",
                     MdxFailure::Report::Raise);
  if (--readDepth_ > 0) return;
  lockSemaphore("DECREAD");
  Record record = readRecord("DECREAD");
  if (record[kSemUsers] > 0) --record[kSemUsers];
  writeRecord(record, "DECREAD");
  holdLiveness(common::ByteLock::Release);
  unlockSemaphore("DECREAD");
  countedAsReader_ = false;
}

bool MdxSemaphore::enterWrite() {
  if (writeDepth_ > 0) {
    ++writeDepth_;
    return false;
  }
  // This process's own read section must not make it wait for itself. While it waits it is no
  // longer counted as a reader, so that two processes each writing from inside their own scan do
  // not wait for each other; exitWrite counts it again.
  std::int64_t start = seconds();
  for (;;) {
    lockSemaphore("LOCKSEMAPHORE");
    Record record = readRecord("LOCKSEMAPHORE");
    if (countedAsReader_ && record[kSemUsers] > 0) --record[kSemUsers];
    // Granted the liveness byte alone, this process sees that no reader or writer counted in the
    // record is alive: the counts of processes killed inside a section are dropped.
    if (holdLiveness(common::ByteLock::Exclusive)) {
      record[kSemUsers] = 1;
      writeRecord(record, "LOCKSEMAPHORE");
      writeDepth_ = 1;
      return noteCounter(record);
    }
    if (countedAsReader_) {
      writeRecord(record, "LOCKSEMAPHORE");
      holdLiveness(common::ByteLock::Release);  // no longer a reader the others wait for
      countedAsReader_ = false;
      readerWaitingToWrite_ = true;
    }
    unlockSemaphore("LOCKSEMAPHORE");
    // Readers leave within moments; waiting for them need not take a whole processor.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (seconds() - start >= kSemWriterTimeout) {
      if (readerWaitingToWrite_) {
        // Still inside its read section: counted as a reader again, as its exit expects.
        lockSemaphore("LOCKSEMAPHORE");
        Record again = readRecord("LOCKSEMAPHORE");
        if (again[kSemUsers] < kMaxReaders) ++again[kSemUsers];
        writeRecord(again, "LOCKSEMAPHORE");
        holdLiveness(common::ByteLock::Shared);
        unlockSemaphore("LOCKSEMAPHORE");
        countedAsReader_ = true;
        readerWaitingToWrite_ = false;
      }
      fail(std::to_string(kSemWriterTimeout) + " second timeout, cannot read: " + name_ +
           "\r\nPossible cause: Other user's program has terminated abnormally.\r\nCure: Log all users of this "
           "application off the network,\r\nthen delete " +
           name_);
    }
  }
}

void MdxSemaphore::exitWrite() {
  if (writeDepth_ == 0)
    throw MdxFailure(kErrorInternal, "Unbalanced Lock/Unlock for semaphore file: " + name_ + " UNLOCKSEMAPHORE",
                     MdxFailure::Report::Raise);
  if (writeDepth_ > 1) {
    if (--writeDepth_ == runDepth_) ++runChanges_;
    return;
  }
  leaveWrite(1);
}

bool MdxSemaphore::enterWriteRun() {
  if (writeDepth_ > 0)
    throw MdxFailure(kErrorInternal, "Nested write run for semaphore file: " + name_ + " LOCKSEMAPHORE",
                     MdxFailure::Report::Raise);
  const bool changed = enterWrite();
  runDepth_ = 1;
  runChanges_ = 0;
  return changed;
}

void MdxSemaphore::exitWriteRun() {
  if (runDepth_ == 0 || writeDepth_ != runDepth_)
    throw MdxFailure(kErrorInternal, "Unbalanced write run for semaphore file: " + name_ + " UNLOCKSEMAPHORE",
                     MdxFailure::Report::Raise);
  leaveWrite(runChanges_);
}

// Leaves the outermost write section, adding `changes` to the counter.
void MdxSemaphore::leaveWrite(std::uint16_t changes) {
  writeDepth_ = 0;
  runDepth_ = 0;
  runChanges_ = 0;
  Record record = readRecord("UNLOCKSEMAPHORE");
  const auto counter = static_cast<std::uint16_t>(common::getU16(&record[kSemCounter]) + changes);
  common::putU16(&record[kSemCounter], counter);
  if (readerWaitingToWrite_) {
    countedAsReader_ = true;
    readerWaitingToWrite_ = false;
  }
  record[kSemUsers] = countedAsReader_ ? 1 : 0;
  writeRecord(record, "UNLOCKSEMAPHORE");
  holdLiveness(countedAsReader_ ? common::ByteLock::Shared : common::ByteLock::Release);
  unlockSemaphore("UNLOCKSEMAPHORE");
  seenCounter_ = counter;
}

std::uint16_t MdxSemaphore::changeCount() {
  // Inside its own write section this process holds the lock already; unlocking would end it.
  const bool lock = writeDepth_ == 0;
  if (lock) lockSemaphore("CHANGECOUNT");
  const Record record = readRecord("CHANGECOUNT");
  if (lock) unlockSemaphore("CHANGECOUNT");
  return static_cast<std::uint16_t>(common::getU16(&record[kSemCounter]) + runChanges_);
}

}  // namespace vekrano::dbase
