// Writing the table: appends under the append lock, record replacements, deletions and restores
// under the record lock. A refused lock calls the component's event (which may ask for another
// attempt) or shows "Lock failed [<operation>]", and nothing is written.
#include <string>
#include <vector>

#include "common/prompts.h"
#include "common/scope_exit.h"
#include "dbase/dbase_error.h"
#include "dbase/file_helpers.h"
#include "dbase/table/table_dataset.h"
#include "dbase/table/table_work_areas.h"

namespace vekrano::dbase {
namespace {

// The engine's error of a failed index update, kept while the record change is taken back.
struct IndexFailure {
  int code = dbfErrorCode();
  std::string text = dbfErrorText();
};

// Runs an update of the index keys: false when it failed, whether the index layer raised the
// failure or only recorded it (the engine's error then tells which).
template <class Update>
bool updated(Update update) {
  try {
    return update();
  } catch (const EDorevError&) {
    return false;
  }
}

// The index's write section held around a record's write and the update of its keys. Leaving it
// never throws over another failure already on its way out.
class IndexChange {
 public:
  IndexChange(MdxIndex& index, std::string tableFile) : index_(index), tableFile_(std::move(tableFile)) {
    if (index_.isOpen()) index_.beginChange();
    held_ = index_.isOpen();
  }
  // An index write failed: the record change was taken back (or could not be); the section is
  // left, the index closed for the rest of the session (it may hold a key twice or lack one),
  // the table marked as written after it so that the next open compares every key and rebuilds
  // it, and the failure raised with its cause.
  void Failed(const IndexFailure& failure) {
    leave();
    try {
      index_.Close();
    } catch (const EDorevError&) {
    }
    touchFile(tableFile_);
    dbfError(failure.code, failure.text);
    tzCheck(failure.code != 0 ? failure.code : kErrorDiskWrite);
  }
  ~IndexChange() noexcept(false) {
    if (!held_) return;
    held_ = false;
    end_.close([this] { index_.endChange(); });
  }
  IndexChange(const IndexChange&) = delete;
  IndexChange& operator=(const IndexChange&) = delete;

 private:
  void leave() {
    if (!held_) return;
    held_ = false;
    try {
      index_.endChange();
    } catch (const EDorevError&) {
    }
  }

  MdxIndex& index_;
  std::string tableFile_;
  bool held_ = false;
  common::ScopeEnd end_;
};

}  // namespace

bool TTzDbf::takeLock(const std::function<bool()>& attempt, const TTzLockFailedEvent& event, const char* operation) {
  for (lockRefusals_ = 1;; ++lockRefusals_) {
    if (attempt()) return true;
    if (!event) {
      common::showMessage(std::string("Lock failed [") + operation + "]");
      return false;
    }
    bool retry = false;
    event(*this, retry);
    if (!retry) return false;
  }
}

void TTzDbf::InternalAddRecord(const char* buffer, bool) {
  WorkArea& area = Area("Post");
  if (readOnly_) return;
  if (appendRunWanted_) {
    if (!takeAppendRun()) return;
    s_AppendWithLock(buffer);
    releaseAppendRunWhenDue();
    return;
  }
  if (!takeLock([&] { return area.locks.lockAppend(); }, OnALockFailedOnInsert, "Insert")) return;
  LockRelease release(area.locks);
  s_AppendWithLock(buffer);
}

// REQUIRES: the append lock is held (shared mode).
void TTzDbf::s_AppendWithLock(const char* buffer) {
  WorkArea& area = getWorkArea(area_);
  DbfTable& table = area.table;
  if (!area.locks.holdsAppend()) {
    dbfError(kErrorFileAccessDenied, "File must be locked to append: " + table.fileName() + " [APPEND]");
    tzCheck(kErrorFileAccessDenied);
  }
  {
    IndexChange change(*area.index, table.fileName());
    // Within a run nobody else appends: the count read at its first append stays true as long
    // as every append of the run succeeds.
    const bool counted = runCounted_ && appendRunHeld();
    runCounted_ = false;
    if (!counted) tzCheck(table.refreshRecordCount() ? 0 : dbfErrorCode());
    const std::int32_t count = table.RecordCount();
    layout_->fromBuffer(buffer, table);
    table.setDeleted(false);
    tzCheck(table.PutDbfRecord(count + 1) ? 0 : dbfErrorCode());
    if (area.index->isOpen() && !updated([&] { return area.index->AppendIndex(); })) {
      const IndexFailure failure;
      table.undoAppend(count);
      change.Failed(failure);
    }
  }
  runCounted_ = appendRunHeld();
  appendedRecord_ = runCounted_ ? table.CurrentRecord() : 0;
  table.setBof(false);
  table.setEof(false);
  onRecord_ = true;
  atBeginning_ = atEnd_ = false;
}

void TTzDbf::InternalPost() {
  WorkArea& area = Area("Post");
  if (readOnly_) return;
  const std::int32_t n = layout_->recordNumber(activeBuffer());
  releaseAppendRun();  // the append lock would refuse the record's lock
  if (!takeLock([&] { return area.locks.lockRecord(n); }, OnRLockFailedOnPost, "Post")) return;
  LockRelease release(area.locks);
  s_ReplaceWithLock(n);
}

// REQUIRES: record n is locked (shared mode). The record is read back first so that the index can
// tell which keys changed.
void TTzDbf::s_ReplaceWithLock(std::int32_t n) {
  WorkArea& area = getWorkArea(area_);
  DbfTable& table = area.table;
  if (!area.locks.holdsRecord(n)) {
    dbfError(kErrorRecordNotLocked, "Record #" + std::to_string(n) + " in " + table.fileName() + " [REPLACE]");
    tzCheck(kErrorRecordNotLocked);
  }
  const bool indexed = area.index->isOpen();
  {
    IndexChange change(*area.index, table.fileName());
    std::vector<char> before;
    if (indexed) {
      tzCheck(readRecord(n, RecordSource::Stored) ? 0 : dbfErrorCode());
      tzCheck(area.index->beforeReplace() ? 0 : dbfErrorCode());
      before.assign(table.storedRecordBytes(), table.storedRecordBytes() + table.recordLength());
    }
    layout_->fromBuffer(activeBuffer(), table);
    ++ownChanges_;
    tzCheck(table.PutDbfRecord(n) ? 0 : dbfErrorCode());
    if (indexed && !updated([&] { return area.index->AfterReplace(); })) {
      const IndexFailure failure;
      table.restoreStoredRecord(n, before);
      change.Failed(failure);
    }
  }
  onRecord_ = true;
  atBeginning_ = atEnd_ = false;
}

void TTzDbf::InternalDelete() {
  WorkArea& area = Area("Delete");
  if (readOnly_) return;
  const std::int32_t n = layout_->recordNumber(activeBuffer());
  releaseAppendRun();
  if (!takeLock([&] { return area.locks.lockRecord(n); }, OnRLockFailedOnDelete, "Delete")) return;
  LockRelease release(area.locks);
  s_DeleteWithLock(n);
}

// REQUIRES: record n is locked (shared mode). Only the deletion byte is written; the index keys
// stay. The cursor stays on the record: reading it again passes to a visible one when it is hidden.
void TTzDbf::s_DeleteWithLock(std::int32_t n) {
  WorkArea& area = getWorkArea(area_);
  DbfTable& table = area.table;
  if (!area.locks.holdsRecord(n)) {
    dbfError(kErrorRecordNotLocked, table.fileName() + " Record not locked [DeleteRec]");
    tzCheck(kErrorRecordNotLocked);
  }
  ++ownChanges_;
  tzCheck(readRecord(n, RecordSource::Stored) && table.DeleteRec() ? 0 : dbfErrorCode());
}

void TTzDbf::Restore() {
  checkBrowseMode();
  WorkArea& area = Area("Restore");
  if (readOnly_ || IsEmpty()) return;
  if (BeforeRestore) BeforeRestore(*this);
  const std::int32_t n = layout_->recordNumber(activeBuffer());
  releaseAppendRun();
  if (takeLock([&] { return area.locks.lockRecord(n); }, OnRLockFailedOnRestore, "Restore")) {
    LockRelease release(area.locks);
    s_RestoreWithLock(n);
  }
  if (AfterRestore) AfterRestore(*this);
  if (!goToRecord(n)) goToEnd();
  resync();
}

// REQUIRES: record n is locked (shared mode).
void TTzDbf::s_RestoreWithLock(std::int32_t n) {
  WorkArea& area = getWorkArea(area_);
  if (!area.locks.holdsRecord(n)) {
    dbfError(kErrorRecordNotLocked, "Record not locked [RecallRec]");
    tzCheck(kErrorRecordNotLocked);
  }
  ++ownChanges_;
  tzCheck(readRecord(n, RecordSource::Stored) && area.table.RecallRec() ? 0 : dbfErrorCode());
}

}  // namespace vekrano::dbase
