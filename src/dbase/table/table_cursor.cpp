// The table dataset's cursor: the engine's current record in the controlling index order (or in
// record order without an index), skipping hidden records, with the at-beginning and at-end flags.
#include "dbase/dbase_error.h"
#include "dbase/table/table_dataset.h"
#include "dbase/table/table_work_areas.h"

namespace vekrano::dbase {

bool TTzDbf::Visible() const {
  const WorkArea& area = GetWorkArea(area_);
  return !(area.hideDeleted && area.table.IsDeleted());
}

// Records appended by other processes are reached: the count is refreshed before reading beyond it.
// Navigation may take the record from the blocks of a held scan; a read that must see the file as
// it is now (under a record lock, on Refresh) is `stored`.
bool TTzDbf::ReadRecord(std::int32_t n, RecordSource source) {
  WorkArea& area = GetWorkArea(area_);
  if (area.shared && n > area.table.RecordCount()) area.table.RefreshRecordCount();
  if (n < 1 || n > area.table.RecordCount()) return false;
  return source == RecordSource::Stored ? area.table.GetDbfRecord(n) : area.table.GetWalkedRecord(n);
}

std::int32_t TTzDbf::CountRecords() const {
  WorkArea& area = Area("RecordCount");
  if (area.shared) area.table.RefreshWalkedRecordCount();
  return area.table.RecordCount();
}

// A navigation that answers false with an error code set failed rather than reached an end.
namespace {

bool Checked(bool on) {
  if (!on && DbfErrorCode() != 0) TzCheck(DbfErrorCode());
  return on;
}

}  // namespace

bool TTzDbf::GotoFirstVisible() {
  WorkArea& area = Area("First");
  ClearDbfError();
  if (IndexActive()) {
    bool on = Checked(area.index->FirstKey());
    while (on && !Visible()) on = Checked(area.index->NextKey());
    return on;
  }
  const std::int32_t count = CountRecords();
  for (std::int32_t n = 1; n <= count; ++n) {
    if (Checked(ReadRecord(n)) && Visible()) return true;
  }
  area.table.SetCurrentRecord(count + 1);
  return false;
}

bool TTzDbf::GotoLastVisible() {
  WorkArea& area = Area("Last");
  ClearDbfError();
  if (IndexActive()) {
    bool on = Checked(area.index->LastKey());
    while (on && !Visible()) on = Checked(area.index->PriorKey());
    return on;
  }
  const std::int32_t count = CountRecords();
  for (std::int32_t n = count; n >= 1; --n) {
    if (Checked(ReadRecord(n)) && Visible()) return true;
  }
  area.table.SetCurrentRecord(0);
  return false;
}

bool TTzDbf::StepVisible(bool forward) {
  WorkArea& area = Area(forward ? "Next" : "Prior");
  ClearDbfError();
  if (IndexActive()) {
    bool on = false;
    do {
      on = Checked(forward ? area.index->NextKey() : area.index->PriorKey());
    } while (on && !Visible());
    return on;
  }
  std::int32_t n = area.table.CurrentRecord();
  const std::int32_t count = forward ? CountRecords() : area.table.RecordCount();
  for (n += forward ? 1 : -1; n >= 1 && n <= count; n += forward ? 1 : -1) {
    if (Checked(ReadRecord(n)) && Visible()) return true;
  }
  return false;
}

// Places the engine on record n (hidden or not), in step with the controlling tag.
bool TTzDbf::GoToRecord(std::int32_t n) {
  WorkArea& area = Area("Goto");
  if (onRecord_ && !atBeginning_ && !atEnd_ && area.table.CurrentRecord() == n) return true;
  ClearDbfError();
  if (!ReadRecord(n)) return false;
  if (IndexActive()) Checked(area.index->SyncIndex());
  onRecord_ = true;
  atBeginning_ = atEnd_ = false;
  return true;
}

// After the last visible record; the engine stands on that record so that a step back finds it.
void TTzDbf::GoToEnd() {
  onRecord_ = GotoLastVisible();
  atEnd_ = true;
  atBeginning_ = false;
}

void TTzDbf::InternalFirst() {
  onRecord_ = GotoFirstVisible();
  atBeginning_ = true;
  atEnd_ = false;
}

void TTzDbf::InternalLast() { GoToEnd(); }

void TTzDbf::InternalSetToRecord(const char* buffer) {
  if (!GoToRecord(layout_->RecordNumber(buffer))) GoToEnd();
}

TGetResult TTzDbf::Deliver(char* buffer) {
  const WorkArea& area = GetWorkArea(area_);
  layout_->ToBuffer(area.table, area.table.CurrentRecord(), buffer);
  return TGetResult::grOK;
}

TGetResult TTzDbf::GetRecord(char* buffer, TGetMode mode, bool) {
  Area("GetRecord");
  const std::int32_t current = GetWorkArea(area_).table.CurrentRecord();
  switch (mode) {
    case TGetMode::gmCurrent:
      if (atBeginning_) return TGetResult::grBOF;
      if (atEnd_ || !onRecord_ || !ReadRecord(current) || !Visible()) return TGetResult::grEOF;
      return Deliver(buffer);
    case TGetMode::gmNext:
      if (atEnd_) return TGetResult::grEOF;
      if (atBeginning_) {
        atBeginning_ = false;
        if (onRecord_ && ReadRecord(current)) return Deliver(buffer);
      } else if (onRecord_ && StepVisible(true)) {
        return Deliver(buffer);
      }
      GoToEnd();
      return TGetResult::grEOF;
    case TGetMode::gmPrior:
      if (atBeginning_) return TGetResult::grBOF;
      if (atEnd_) {
        atEnd_ = false;
        if (onRecord_ && ReadRecord(current)) return Deliver(buffer);
      } else if (onRecord_ && StepVisible(false)) {
        return Deliver(buffer);
      }
      onRecord_ = GotoFirstVisible();
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
  area.table.BeginWalk();
  ++walks_;
}

void TTzDbf::EndScan() {
  if (walks_ == 0) return;
  --walks_;
  WorkArea& area = GetWorkArea(area_);
  area.table.EndWalk();
  if (scans_ == 0) return;
  --scans_;
  area.index->EndScan();
}

namespace {

constexpr std::int32_t kStoredRecordsAhead = 16;
constexpr std::size_t kCacheLine = 64;

}  // namespace

bool TTzDbf::VisitStoredRecords(const std::function<void()>& visit,
                                const std::vector<const TField*>* fieldsRead) {
  WorkArea& area = Area("First");
  if (IndexActive() && !area.index->ControllingCoversEveryRecord()) return false;
  const bool someFields = fieldsRead != nullptr;
  std::vector<std::size_t> wanted;
  if (someFields) {
    for (const TField* field : *fieldsRead) wanted.push_back(static_cast<std::size_t>(field->Index()));
  }
  TDataSetScan scan(*this);
  area.table.MapAhead();
  const std::int32_t count = CountRecords();
  const char* records = someFields ? area.table.WalkedRecordsBytes(count) : nullptr;
  const std::size_t length = area.table.RecordLength();
  for (std::int32_t n = 1; n <= count; ++n) {
    if (records != nullptr) {
      const char* stored = records + static_cast<std::size_t>(n - 1) * length;
      // The processor's own prefetching stops at page ends; records are asked for a page ahead.
      if (n + kStoredRecordsAhead <= count) {
        const char* ahead = stored + kStoredRecordsAhead * length;
        for (std::size_t at = 0; at < length; at += kCacheLine) __builtin_prefetch(ahead + at);
      }
      if (area.hideDeleted && stored[0] == kRecordDeleted) continue;
      layout_->StoredFieldsToBuffer(area.table, stored, n, wanted, ActiveBuffer());
      visit();
      continue;
    }
    ClearDbfError();
    if (!Checked(ReadRecord(n)) || !Visible()) continue;
    Deliver(ActiveBuffer());
    visit();
  }
  return true;
}

bool TTzDbf::VisitPrefixRecords(const TField& field, const std::string& prefix,
                                const std::function<void()>& visit) {
  WorkArea& area = Area("First");
  if (!IndexActive()) return false;
  TDataSetScan scan(*this);
  std::vector<std::int32_t> records;
  if (!Checked(area.index->RecordsWithFieldPrefix(field.FieldName(), prefix, records))) return false;
  // A page holds some sixteen records: from one record in sixteen on, most pages are read.
  if (records.size() * 16 > static_cast<std::size_t>(area.table.RecordCount())) area.table.MapAhead();
  // Mapped, each record goes from its stored bytes straight into the record buffer, as a visit
  // in stored order does, without passing through the table's field buffer.
  const std::int32_t count = CountRecords();
  const char* mapped = area.table.WalkedRecordsBytes(count);
  const std::size_t length = area.table.RecordLength();
  std::vector<std::size_t> everyField(area.table.fields().size());
  for (std::size_t f = 0; f < everyField.size(); ++f) everyField[f] = f;
  // The records lie scattered over the file: a few are fetched ahead of the one read.
  constexpr std::size_t kAhead = 8;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (i + kAhead < records.size()) area.table.PrefetchWalkedRecord(records[i + kAhead]);
    const std::int32_t n = records[i];
    if (mapped != nullptr && n >= 1 && n <= count) {
      const char* stored = mapped + static_cast<std::size_t>(n - 1) * length;
      if (area.hideDeleted && stored[0] == kRecordDeleted) continue;
      layout_->StoredFieldsToBuffer(area.table, stored, n, everyField, ActiveBuffer());
      visit();
      continue;
    }
    ClearDbfError();
    if (!Checked(ReadRecord(n)) || !Visible()) continue;
    Deliver(ActiveBuffer());
    visit();
  }
  return true;
}

std::vector<std::int32_t> TTzDbf::WalkOrder() {
  WorkArea& area = Area("First");
  std::vector<std::int32_t> records;
  if (IndexActive()) {
    // Within a scan the tag's nodes come from the mapped index file, not a read call each.
    TDataSetScan scan(*this);
    Checked(area.index->RecordsInKeyOrder(records));
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
  if (onRecord_) ReadRecord(area.table.CurrentRecord(), RecordSource::Stored);
}

void TTzDbf::InternalEdit() {
  WorkArea& area = Area("Edit");
  // Another process may have changed the record since it was read.
  if (ReadRecord(area.table.CurrentRecord(), RecordSource::Stored)) layout_->ToBuffer(area.table, area.table.CurrentRecord(), ActiveBuffer());
}

}  // namespace vekrano::dbase
