// The table dataset's cursor: the engine's current record in the controlling index order (or in
// record order without an index), skipping hidden records, with the at-beginning and at-end flags.
#include "dbase/dbase_error.h"
#include "dbase/table/table_dataset.h"
#include "dbase/table/table_work_areas.h"

namespace vekrano::dbase {

bool TTzDbf::Visible() const {
  const WorkArea& area = getWorkArea(area_);
  return !(area.hideDeleted && area.table.isDeleted());
}

// Records appended by other processes are reached: the count is refreshed before reading beyond it.
// Navigation may take the record from the blocks of a held scan; a read that must see the file as
// it is now (under a record lock, on Refresh) is `stored`.
bool TTzDbf::readRecord(std::int32_t n, RecordSource source) {
  WorkArea& area = getWorkArea(area_);
  // The record a run just appended is read back from what was written (or is kept to write).
  const bool appended = n == appendedRecord_ && n == area.table.CurrentRecord();
  appendedRecord_ = 0;
  if (appended) return area.table.rereadWrittenRecord(n);
  if (area.shared && n > area.table.RecordCount()) area.table.refreshRecordCount();
  if (n < 1 || n > area.table.RecordCount()) return false;
  return source == RecordSource::Stored ? area.table.GetDbfRecord(n) : area.table.getWalkedRecord(n);
}

std::int32_t TTzDbf::CountRecords() const {
  WorkArea& area = Area("RecordCount");
  if (area.shared) area.table.refreshWalkedRecordCount();
  return area.table.RecordCount();
}

// A navigation that answers false with an error code set failed rather than reached an end.
namespace {

bool Checked(bool on) {
  if (!on && dbfErrorCode() != 0) tzCheck(dbfErrorCode());
  return on;
}

}  // namespace

bool TTzDbf::gotoFirstVisible() {
  WorkArea& area = Area("First");
  clearDbfError();
  if (indexActive()) {
    bool on = Checked(area.index->firstKey());
    while (on && !Visible()) on = Checked(area.index->nextKey());
    return on;
  }
  const std::int32_t count = CountRecords();
  for (std::int32_t n = 1; n <= count; ++n) {
    if (Checked(readRecord(n)) && Visible()) return true;
  }
  area.table.setCurrentRecord(count + 1);
  return false;
}

bool TTzDbf::gotoLastVisible() {
  WorkArea& area = Area("Last");
  clearDbfError();
  if (indexActive()) {
    bool on = Checked(area.index->lastKey());
    while (on && !Visible()) on = Checked(area.index->priorKey());
    return on;
  }
  const std::int32_t count = CountRecords();
  for (std::int32_t n = count; n >= 1; --n) {
    if (Checked(readRecord(n)) && Visible()) return true;
  }
  area.table.setCurrentRecord(0);
  return false;
}

bool TTzDbf::stepVisible(bool forward) {
  WorkArea& area = Area(forward ? "Next" : "Prior");
  clearDbfError();
  if (indexActive()) {
    bool on = false;
    do {
      on = Checked(forward ? area.index->nextKey() : area.index->priorKey());
    } while (on && !Visible());
    return on;
  }
  std::int32_t n = area.table.CurrentRecord();
  const std::int32_t count = forward ? CountRecords() : area.table.RecordCount();
  for (n += forward ? 1 : -1; n >= 1 && n <= count; n += forward ? 1 : -1) {
    if (Checked(readRecord(n)) && Visible()) return true;
  }
  return false;
}

// Places the engine on record n (hidden or not), in step with the controlling tag.
bool TTzDbf::goToRecord(std::int32_t n) {
  WorkArea& area = Area("Goto");
  if (onRecord_ && !atBeginning_ && !atEnd_ && area.table.CurrentRecord() == n) return true;
  clearDbfError();
  if (!readRecord(n)) return false;
  if (indexActive()) Checked(area.index->SyncIndex());
  onRecord_ = true;
  atBeginning_ = atEnd_ = false;
  return true;
}

// After the last visible record; the engine stands on that record so that a step back finds it.
void TTzDbf::goToEnd() {
  onRecord_ = gotoLastVisible();
  atEnd_ = true;
  atBeginning_ = false;
}

void TTzDbf::InternalFirst() {
  onRecord_ = gotoFirstVisible();
  atBeginning_ = true;
  atEnd_ = false;
}

void TTzDbf::InternalLast() { goToEnd(); }

void TTzDbf::InternalSetToRecord(const char* buffer) {
  if (!goToRecord(layout_->recordNumber(buffer))) goToEnd();
}

TGetResult TTzDbf::deliver(char* buffer) {
  const WorkArea& area = getWorkArea(area_);
  layout_->toBuffer(area.table, area.table.CurrentRecord(), buffer);
  return TGetResult::grOK;
}

TGetResult TTzDbf::GetRecord(char* buffer, TGetMode mode, bool) {
  Area("GetRecord");
  const std::int32_t current = getWorkArea(area_).table.CurrentRecord();
  switch (mode) {
    case TGetMode::gmCurrent:
      if (atBeginning_) return TGetResult::grBOF;
      if (atEnd_ || !onRecord_ || !readRecord(current) || !Visible()) return TGetResult::grEOF;
      return deliver(buffer);
    case TGetMode::gmNext:
      if (atEnd_) return TGetResult::grEOF;
      if (atBeginning_) {
        atBeginning_ = false;
        if (onRecord_ && readRecord(current)) return deliver(buffer);
      } else if (onRecord_ && stepVisible(true)) {
        return deliver(buffer);
      }
      goToEnd();
      return TGetResult::grEOF;
    case TGetMode::gmPrior:
      if (atBeginning_) return TGetResult::grBOF;
      if (atEnd_) {
        atEnd_ = false;
        if (onRecord_ && readRecord(current)) return deliver(buffer);
      } else if (onRecord_ && stepVisible(false)) {
        return deliver(buffer);
      }
      onRecord_ = gotoFirstVisible();
      atBeginning_ = true;
      return TGetResult::grBOF;
  }
  return TGetResult::grError;
}

void TTzDbf::BeginScan() {
  WorkArea& area = Area("BeginScan");
  if (area.index && area.index->isOpen()) {
    area.index->BeginScan();
    ++scans_;
  }
  area.table.beginWalk();
  ++walks_;
}

void TTzDbf::endScan() {
  if (walks_ == 0) return;
  --walks_;
  WorkArea& area = getWorkArea(area_);
  area.table.endWalk();
  if (scans_ == 0) return;
  --scans_;
  area.index->endScan();
}

namespace {

constexpr std::int32_t kStoredRecordsAhead = 16;
constexpr std::size_t kCacheLine = 64;

}  // namespace

// Puts record n into the record buffer for a visit: from its mapped bytes `stored` (only the
// fields `wanted`), or read through the table when they are not mapped. False when the record is
// hidden (deleted) or cannot be read.
bool TTzDbf::loadVisitedRecord(WorkArea& area, std::int32_t n, const char* stored,
                               const std::vector<std::size_t>& wanted) {
  if (stored != nullptr) {
    if (area.hideDeleted && stored[0] == kRecordDeleted) return false;
    layout_->storedFieldsToBuffer(area.table, stored, n, wanted, activeBuffer());
    return true;
  }
  clearDbfError();
  if (!Checked(readRecord(n)) || !Visible()) return false;
  deliver(activeBuffer());
  return true;
}

bool TTzDbf::visitStoredRecords(const std::function<void()>& visit, const std::vector<const TField*>* fieldsRead) {
  WorkArea& area = Area("First");
  if (indexActive() && !area.index->controllingCoversEveryRecord()) return false;
  const bool someFields = fieldsRead != nullptr;
  std::vector<std::size_t> wanted;
  if (someFields) {
    for (const TField* field : *fieldsRead) wanted.push_back(static_cast<std::size_t>(field->Index()));
  }
  TDataSetScan scan(*this);
  area.table.mapAhead();
  const std::int32_t count = CountRecords();
  const char* records = someFields ? area.table.walkedRecordsBytes(count) : nullptr;
  const std::size_t length = area.table.recordLength();
  for (std::int32_t n = 1; n <= count; ++n) {
    const char* stored = records == nullptr ? nullptr : records + static_cast<std::size_t>(n - 1) * length;
    // The processor's own prefetching stops at page ends; records are asked for a page ahead.
    if (stored != nullptr && n + kStoredRecordsAhead <= count) {
      const char* ahead = stored + kStoredRecordsAhead * length;
      for (std::size_t at = 0; at < length; at += kCacheLine) __builtin_prefetch(ahead + at);
    }
    if (loadVisitedRecord(area, n, stored, wanted)) visit();
  }
  return true;
}

bool TTzDbf::visitPrefixRecords(const TField& field, const std::string& prefix, const std::function<void()>& visit) {
  WorkArea& area = Area("First");
  if (!indexActive()) return false;
  TDataSetScan scan(*this);
  std::vector<std::int32_t> records;
  if (!Checked(area.index->recordsWithFieldPrefix(field.FieldName(), prefix, records))) return false;
  // A page holds some sixteen records: from one record in sixteen on, most pages are read.
  if (records.size() * 16 > static_cast<std::size_t>(area.table.RecordCount())) area.table.mapAhead();
  // Mapped, each record goes from its stored bytes straight into the record buffer, as a visit
  // in stored order does, without passing through the table's field buffer.
  const std::int32_t count = CountRecords();
  const char* mapped = area.table.walkedRecordsBytes(count);
  const std::size_t length = area.table.recordLength();
  std::vector<std::size_t> everyField(area.table.fields().size());
  for (std::size_t f = 0; f < everyField.size(); ++f) everyField[f] = f;
  // The records lie scattered over the file: a few are fetched ahead of the one read.
  constexpr std::size_t kAhead = 8;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (i + kAhead < records.size()) area.table.prefetchWalkedRecord(records[i + kAhead]);
    const std::int32_t n = records[i];
    const bool inMapping = mapped != nullptr && n >= 1 && n <= count;
    const char* stored = inMapping ? mapped + static_cast<std::size_t>(n - 1) * length : nullptr;
    if (loadVisitedRecord(area, n, stored, everyField)) visit();
  }
  return true;
}

std::vector<std::int32_t> TTzDbf::walkOrder() {
  WorkArea& area = Area("First");
  std::vector<std::int32_t> records;
  if (indexActive()) {
    // Within a scan the tag's nodes come from the mapped index file, not a read call each.
    TDataSetScan scan(*this);
    Checked(area.index->recordsInKeyOrder(records));
    // The tag is placed back on the engine's record, for the steps that follow.
    if (onRecord_) Checked(area.index->SyncIndex());
    return records;
  }
  const std::int32_t count = CountRecords();
  for (std::int32_t n = 1; n <= count; ++n) records.push_back(n);
  return records;
}

void TTzDbf::InternalRefresh() {
  WorkArea& area = Area("Refresh");
  if (onRecord_) readRecord(area.table.CurrentRecord(), RecordSource::Stored);
}

void TTzDbf::InternalEdit() {
  WorkArea& area = Area("Edit");
  // Another process may have changed the record since it was read.
  if (readRecord(area.table.CurrentRecord(), RecordSource::Stored))
    layout_->toBuffer(area.table, area.table.CurrentRecord(), activeBuffer());
}

}  // namespace vekrano::dbase
