// Inside the index: the failure boundary of its public operations, and the read and write
// sections, which in shared mode enter the semaphore protocol and re-read the tag headers when
// another process changed the index (alone they do nothing).
#pragma once

#include "common/scope_exit.h"
#include "dbase/mdx/mdx_failure.h"
#include "dbase/mdx/mdx_index.h"

namespace vekrano::dbase {

// Runs an operation: every failure goes through the error routine; those marked to be raised
// are then thrown as EDorevError, the others make the operation return false.
template <class Operation>
bool MdxIndex::guarded(Operation operation) {
  clearDbfError();
  try {
    return operation();
  } catch (const MdxFailure& failure) {
    dbfError(failure.code(), failure.detail());
    if (failure.raises()) throw EDorevError(failure.code(), failure.detail());
    return false;
  }
}

// A read or a write section, entered for its lifetime.
class MdxIndex::Section {
 public:
  enum Kind { Read, Write };
  Section(MdxIndex& index, Kind kind) : semaphore_(index.semaphore_.get()), kind_(kind) {
    if (!semaphore_) return;
    changed_ = kind == Read ? semaphore_->enterRead() : semaphore_->enterWrite();
    const common::OnUnwind left([this] { leave(); });
    index.noteChanges(changed_);
  }
  // Leaving never throws over another failure already on its way out.
  ~Section() noexcept(false) {
    if (semaphore_) end_.close([this] { leave(); });
  }
  Section(const Section&) = delete;
  Section& operator=(const Section&) = delete;
  // True when another process changed the index since this one last looked.
  bool changed() const { return changed_; }

 private:
  void leave() { kind_ == Read ? semaphore_->exitRead() : semaphore_->exitWrite(); }

  MdxSemaphore* semaphore_;
  Kind kind_;
  bool changed_ = false;
  common::ScopeEnd end_;
};

}  // namespace vekrano::dbase
