// The index semaphore file that lets several processes share one index: a login count, a reader
// count (or 1 while a process writes) and a change counter, guarded by a lock on bytes 1-4 (its
// layout is in mdx_format.h).
//
// Beside the bytes, a lock on one far byte of the file (no data lies there) shows who is alive
// inside a section: readers hold it shared, a writer exclusive. The kernel drops it when its
// holder dies, so counts that nobody alive holds it for are left over and are cleared.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/share_mode_lock.h"
#include "dbase/file_io.h"
#include "dbase/mdx/mdx_format.h"

namespace vekrano::dbase {

// Seconds a writer waits for readers to leave.
inline constexpr int kSemWriterTimeout = 100;

class MdxSemaphore {
 public:
  // Logs in: counts this process in the file named `semaphoreName`, under the table's lock byte.
  // Throws MdxFailure (code 1202 or a system error) when it cannot.
  MdxSemaphore(File& tableFile, std::string semaphoreName);
  // Logs out when logout() was not called; failures are dropped there.
  ~MdxSemaphore();
  MdxSemaphore(const MdxSemaphore&) = delete;
  MdxSemaphore& operator=(const MdxSemaphore&) = delete;

  // Uncounts this process; the file is deleted when no process is left.
  void logout();

  // Read and write sections; nested sections count once and a read section inside this process's
  // own write section is not entered. A write section inside this process's read section waits
  // for the other readers only and leaves this process counted as a reader. Entering returns true
  // when another process changed the index since this one last looked (the caller then re-reads
  // the tag headers).
  bool enterRead();
  void exitRead();
  bool enterWrite();
  void exitWrite();
  // A write section held across a run of changes (a batch of appends): entered like enterWrite;
  // while it is held, each write section nested directly in it counts one change, and leaving it
  // adds them all to the counter at once, so that the counter tells others what it would have
  // told them had each change been a section of its own. Runs do not nest.
  bool enterWriteRun();
  void exitWriteRun();
  // The change counter as it stands in the file now (read under the semaphore's lock, so never in
  // the middle of another process's write section), with the changes of this process's held run.
  std::uint16_t changeCount();

  const std::string& fileName() const { return name_; }

 private:
  using Record = std::array<std::uint8_t, kSemRecordSize>;
  void lockSemaphore(const char* action);
  void unlockSemaphore(const char* action);
  Record readRecord(const char* action);
  void writeRecord(const Record& record, const char* action);
  bool noteCounter(const Record& record);
  void leaveWrite(std::uint16_t changes);
  bool holdLiveness(common::ByteLock kind);
  void lockTable(const char* action);
  void openFile();
  void mapRecord();
  void unmapRecord();

  File& table_;
  std::string name_;
  File file_;
  std::uint8_t* mapped_ = nullptr;  // the record in a shared mapping of the file, when mapped
  bool loggedIn_ = false;
  int readDepth_ = 0;
  int writeDepth_ = 0;
  bool countedAsReader_ = false;
  // A reader that gave up its count while waiting to write; counted again when the write ends.
  bool readerWaitingToWrite_ = false;
  std::uint16_t seenCounter_ = 0;
  // Depth of the held run's own section (1), 0 without a run; and the changes counted in it.
  int runDepth_ = 0;
  std::uint16_t runChanges_ = 0;
};

}  // namespace vekrano::dbase
