// Inside the index: the failure boundary of its public operations, and the read and write
// sections, which in shared mode enter the semaphore protocol and re-read the tag headers when
// another process changed the index (alone they do nothing).
#pragma once

#include <exception>

#include "dbase/mdx_failure.h"
#include "dbase/mdx_index.h"

namespace vekrano::dbase {

// Runs an operation: every failure goes through the error routine; those marked to be raised
// are then thrown as EDorevError, the others make the operation return false.
template <class Operation>
bool MdxIndex::guarded(Operation operation) {
  ClearDbfError();
  try {
    return operation();
  } catch (const MdxFailure& failure) {
    DbfError(failure.code(), failure.detail());
    if (failure.raises()) throw EDorevError(failure.code(), failure.detail());
    return false;
  }
}

class MdxIndex::ReadSection {
 public:
  explicit ReadSection(MdxIndex& index) : semaphore_(index.semaphore_.get()) {
    if (semaphore_) {
      changed_ = semaphore_->enterRead();
      try {
        index.noteChanges(changed_);
      } catch (...) {
        semaphore_->exitRead();
        throw;
      }
    }
  }
  // Leaving never throws over another failure already on its way out.
  ~ReadSection() noexcept(false) {
    if (!semaphore_) return;
    if (std::uncaught_exceptions() > pending_) {
      try {
        semaphore_->exitRead();
      } catch (const EDorevError&) {
      }
      return;
    }
    semaphore_->exitRead();
  }
  ReadSection(const ReadSection&) = delete;
  ReadSection& operator=(const ReadSection&) = delete;
  // True when another process changed the index since this one last looked.
  bool changed() const { return changed_; }

 private:
  MdxSemaphore* semaphore_;
  int pending_ = std::uncaught_exceptions();
  bool changed_ = false;
};

class MdxIndex::WriteSection {
 public:
  explicit WriteSection(MdxIndex& index) : semaphore_(index.semaphore_.get()) {
    if (semaphore_) {
      bool changed = semaphore_->enterWrite();
      try {
        index.noteChanges(changed);
      } catch (...) {
        semaphore_->exitWrite();
        throw;
      }
    }
  }
  // Leaving never throws over another failure already on its way out.
  ~WriteSection() noexcept(false) {
    if (!semaphore_) return;
    if (std::uncaught_exceptions() > pending_) {
      try {
        semaphore_->exitWrite();
      } catch (const EDorevError&) {
      }
      return;
    }
    semaphore_->exitWrite();
  }
  WriteSection(const WriteSection&) = delete;
  WriteSection& operator=(const WriteSection&) = delete;

 private:
  MdxSemaphore* semaphore_;
  int pending_ = std::uncaught_exceptions();
};

}  // namespace vekrano::dbase
