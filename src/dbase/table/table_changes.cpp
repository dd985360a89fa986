// Writing the table: appends under the append lock, record replacements, deletions and restores
// under the record lock. A refused lock calls the component's event (which may ask for another
// attempt) or shows "Lock failed [<operation>]", and nothing is written.
#include <exception>

#include "common/prompts.h"
#include "dbase/dbase_error.h"
#include "dbase/table/table_dataset.h"
#include "dbase/table/table_work_areas.h"

namespace vekrano::dbase {
namespace {

// The index's write section held around a record's write and the update of its keys. Leaving it
// never throws over another failure already on its way out.
class IndexChange {
 public:
  explicit IndexChange(MdxIndex& index) : index_(index) {
    if (index_.isOpen()) index_.BeginChange();
    held_ = index_.isOpen();
  }
  ~IndexChange() noexcept(false) {
    if (!held_) return;
    if (std::uncaught_exceptions() > pending_) {
      try {
        index_.EndChange();
      } catch (const EDorevError&) {
      }
      return;
    }
    index_.EndChange();
  }
  IndexChange(const IndexChange&) = delete;
  IndexChange& operator=(const IndexChange&) = delete;

 private:
  MdxIndex& index_;
  bool held_ = false;
  int pending_ = std::uncaught_exceptions();
};

}  // namespace

bool TTzDbf::TakeLock(const std::function<bool()>& attempt, const TTzLockFailedEvent& event,
                      const char* operation) {
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
  if (!TakeLock([&] { return area.locks.LockAppend(); }, OnALockFailedOnInsert, "Insert")) return;
  LockRelease release(area.locks);
  s_AppendWithLock(buffer);
}

// REQUIRES: the append lock is held (shared mode).
void TTzDbf::s_AppendWithLock(const char* buffer) {
  WorkArea& area = GetWorkArea(area_);
  DbfTable& table = area.table;
  if (!area.locks.HoldsAppend()) {
    DbfError(kErrorFileAccessDenied,
             "File must be locked to append: " + table.fileName() + " [APPEND]");
    TzCheck(kErrorFileAccessDenied);
  }
  IndexChange change(*area.index);
  TzCheck(table.RefreshRecordCount() ? 0 : DbfErrorCode());
  layout_->FromBuffer(buffer, table);
  table.SetDeleted(false);
  TzCheck(table.PutDbfRecord(table.RecordCount() + 1) ? 0 : DbfErrorCode());
  if (area.index->isOpen()) TzCheck(area.index->AppendIndex() ? 0 : DbfErrorCode());
  table.SetBof(false);
  table.SetEof(false);
  onRecord_ = true;
  atBeginning_ = atEnd_ = false;
}

void TTzDbf::InternalPost() {
  WorkArea& area = Area("Post");
  if (readOnly_) return;
  const std::int32_t n = layout_->RecordNumber(ActiveBuffer());
  if (!TakeLock([&] { return area.locks.LockRecord(n); }, OnRLockFailedOnPost, "Post")) return;
  LockRelease release(area.locks);
  s_ReplaceWithLock(n);
}

// REQUIRES: record n is locked (shared mode). The record is read back first so that the index can
// tell which keys changed.
void TTzDbf::s_ReplaceWithLock(std::int32_t n) {
  WorkArea& area = GetWorkArea(area_);
  DbfTable& table = area.table;
  if (!area.locks.HoldsRecord(n)) {
    DbfError(kErrorRecordNotLocked, "Record #" + std::to_string(n) + " in " + table.fileName() + " [REPLACE]");
    TzCheck(kErrorRecordNotLocked);
  }
  const bool indexed = area.index->isOpen();
  IndexChange change(*area.index);
  if (indexed) {
    TzCheck(ReadRecord(n, RecordSource::Stored) ? 0 : DbfErrorCode());
    area.index->BeforeReplace();
  }
  layout_->FromBuffer(ActiveBuffer(), table);
  ++ownChanges_;
  TzCheck(table.PutDbfRecord(n) ? 0 : DbfErrorCode());
  if (indexed) TzCheck(area.index->AfterReplace() ? 0 : DbfErrorCode());
  onRecord_ = true;
  atBeginning_ = atEnd_ = false;
}

void TTzDbf::InternalDelete() {
  WorkArea& area = Area("Delete");
  if (readOnly_) return;
  const std::int32_t n = layout_->RecordNumber(ActiveBuffer());
  if (!TakeLock([&] { return area.locks.LockRecord(n); }, OnRLockFailedOnDelete, "Delete")) return;
  LockRelease release(area.locks);
  s_DeleteWithLock(n);
}

// REQUIRES: record n is locked (shared mode). Only the deletion byte is written; the index keys
// stay. The cursor stays on the record: reading it again passes to a visible one when it is hidden.
void TTzDbf::s_DeleteWithLock(std::int32_t n) {
  WorkArea& area = GetWorkArea(area_);
  DbfTable& table = area.table;
  if (!area.locks.HoldsRecord(n)) {
    DbfError(kErrorRecordNotLocked, table.fileName() + " Record not locked [DeleteRec]");
    TzCheck(kErrorRecordNotLocked);
  }
  ++ownChanges_;
  TzCheck(ReadRecord(n, RecordSource::Stored) && table.DeleteRec() ? 0 : DbfErrorCode());
}

void TTzDbf::Restore() {
  CheckBrowseMode();
  WorkArea& area = Area("Restore");
  if (readOnly_ || IsEmpty()) return;
  if (BeforeRestore) BeforeRestore(*this);
  const std::int32_t n = layout_->RecordNumber(ActiveBuffer());
  if (TakeLock([&] { return area.locks.LockRecord(n); }, OnRLockFailedOnRestore, "Restore")) {
    LockRelease release(area.locks);
    s_RestoreWithLock(n);
  }
  if (AfterRestore) AfterRestore(*this);
  if (!GoToRecord(n)) GoToEnd();
  Resync();
}

// REQUIRES: record n is locked (shared mode).
void TTzDbf::s_RestoreWithLock(std::int32_t n) {
  WorkArea& area = GetWorkArea(area_);
  if (!area.locks.HoldsRecord(n)) {
    DbfError(kErrorRecordNotLocked, "Record not locked [RecallRec]");
    TzCheck(kErrorRecordNotLocked);
  }
  ++ownChanges_;
  TzCheck(ReadRecord(n, RecordSource::Stored) && area.table.RecallRec() ? 0 : DbfErrorCode());
}

}  // namespace vekrano::dbase
