// The generic dataset: opening, the cursor, changes of records and field access.
#include "dbase/dataset/dataset.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>

#include "common/code_page.h"
#include "dbase/dataset/data_source.h"
#include "dbase/dataset/database_error.h"

namespace vekrano::dbase {

TLocateOptions::TLocateOptions(std::initializer_list<TLocateOption> options) {
  for (TLocateOption option : options) {
    bits_ |= Bit(option);
  }
}

TDataSet::TDataSet() = default;

TDataSet::~TDataSet() {
  assert(!Active() && "a concrete dataset closes itself in its destructor");
  while (!dataSources_.empty()) {
    dataSources_.back()->SetDataSet(nullptr);
  }
}

// --- Opening and closing

void TDataSet::Open() {
  if (Active()) {
    return;
  }
  Call(BeforeOpen);
  {
    const common::OnUnwind closed([&] {
      state_ = TDataSetState::dsInactive;
      if (IsCursorOpen()) {
        InternalClose();
      }
      ReleaseBuffers();
    });
    InternalOpen();
    fieldDefs_ = InternalInitFieldDefs();
    CreateFields();
    currentBuffer_ = AllocRecordBuffer();
    scratchBuffer_ = AllocRecordBuffer();
    savedBuffer_ = AllocRecordBuffer();
    activeBuffer_ = currentBuffer_;
    state_ = TDataSetState::dsBrowse;
    PlaceAtEnd(true);
  }
  DataEvent(TDataEvent::deUpdateState);
  DataEvent(TDataEvent::deDataSetChange);
  Call(AfterOpen);
  if (!IsEmpty()) {
    DoAfterScroll();
  }
}

void TDataSet::Close() {
  if (!Active()) {
    return;
  }
  if (!destroying_) {
    Call(BeforeClose);
  }
  state_ = TDataSetState::dsInactive;
  InternalClose();
  ReleaseBuffers();
  DataEvent(TDataEvent::deUpdateState);
  if (!destroying_) {
    Call(AfterClose);
  }
}

void TDataSet::SetActive(bool active) {
  if (active) {
    Open();
  } else {
    Close();
  }
}

void TDataSet::UpdateFieldDefs() { fieldDefs_ = InternalInitFieldDefs(); }

void TDataSet::CreateFields() {
  for (const TFieldDef& def : fieldDefs_) {
    std::unique_ptr<TField> field = CreateField(def);
    field->index_ = static_cast<int>(fields_.size());
    fields_.push_back(std::move(field));
  }
}

std::unique_ptr<TField> TDataSet::CreateField(const TFieldDef& def) {
  switch (def.DataType) {
    case TFieldType::ftString:
      return std::make_unique<TStringField>(*this, def);
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
    case TFieldType::ftLargeint:
    case TFieldType::ftAutoInc:
      return std::make_unique<TIntegerField>(*this, def);
    case TFieldType::ftBoolean:
      return std::make_unique<TBooleanField>(*this, def);
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
    case TFieldType::ftFMTBcd:
      return std::make_unique<TFloatField>(*this, def);
    case TFieldType::ftDate:
    case TFieldType::ftTime:
    case TFieldType::ftDateTime:
      return std::make_unique<TDateField>(*this, def);
    case TFieldType::ftMemo:
    case TFieldType::ftBlob:
    case TFieldType::ftBytes:
      return std::make_unique<TMemoField>(*this, def);
    case TFieldType::ftUnknown:
      break;
  }
  return std::make_unique<TField>(*this, def);
}

char* TDataSet::AllocRecordBuffer() { return new char[GetRecordSize()](); }

void TDataSet::FreeRecordBuffer(char*& buffer) {
  delete[] buffer;
  buffer = nullptr;
}

void TDataSet::ReleaseBuffers() {
  for (char** buffer : {&currentBuffer_, &scratchBuffer_, &savedBuffer_}) {
    if (*buffer != nullptr) {
      FreeRecordBuffer(*buffer);
    }
  }
  activeBuffer_ = nullptr;
  fields_.clear();
  fieldDefs_.clear();
  bof_ = true;
  eof_ = true;
  hasRecord_ = false;
  modified_ = false;
}

// --- Cursor

TGetResult TDataSet::Fetch(TGetMode mode) {
  const TGetResult result = GetRecord(scratchBuffer_, mode, true);
  if (result == TGetResult::grOK) {
    std::swap(currentBuffer_, scratchBuffer_);
    activeBuffer_ = currentBuffer_;
    hasRecord_ = true;
    DoOnCalcFields();
  }
  return result;
}

void TDataSet::SetEmpty() {
  hasRecord_ = false;
  bof_ = true;
  eof_ = true;
}

void TDataSet::UpdateCursorPos() {
  if (hasRecord_ && GetBookmarkFlag(currentBuffer_) == TBookmarkFlag::bfCurrent) {
    InternalSetToRecord(currentBuffer_);
  }
}

void TDataSet::ResyncCursor() {
  if (Fetch(TGetMode::gmCurrent) == TGetResult::grOK || Fetch(TGetMode::gmNext) == TGetResult::grOK) {
    bof_ = false;
    eof_ = false;
  } else if (Fetch(TGetMode::gmPrior) == TGetResult::grOK) {
    bof_ = false;
    eof_ = true;
  } else {
    SetEmpty();
  }
}

void TDataSet::Resync() {
  ResyncCursor();
  DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::PlaceAtEnd(bool first) {
  if (first) {
    InternalFirst();
  } else {
    InternalLast();
  }
  if (Fetch(first ? TGetMode::gmNext : TGetMode::gmPrior) == TGetResult::grOK) {
    bof_ = first;
    eof_ = !first;
  } else {
    SetEmpty();
  }
}

void TDataSet::First() {
  CheckBrowseMode();
  DoBeforeScroll();
  PlaceAtEnd(true);
  DataEvent(TDataEvent::deDataSetChange);
  DoAfterScroll();
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoBeforeScroll();
  PlaceAtEnd(false);
  DataEvent(TDataEvent::deDataSetChange);
  DoAfterScroll();
}

void TDataSet::Next() { MoveBy(1); }

void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  DoBeforeScroll();
  if (distance == 0 || (distance > 0 && eof_) || (distance < 0 && bof_)) {
    DoAfterScroll();
    return 0;
  }
  bof_ = false;
  eof_ = false;
  const TGetMode mode = distance > 0 ? TGetMode::gmNext : TGetMode::gmPrior;
  const long long wanted = std::llabs(static_cast<long long>(distance));
  long long moved = 0;
  UpdateCursorPos();
  while (moved < wanted) {
    if (Fetch(mode) != TGetResult::grOK) {
      (distance > 0 ? eof_ : bof_) = true;
      break;
    }
    ++moved;
  }
  DataEvent(TDataEvent::deDataSetScroll);
  DoAfterScroll();
  return static_cast<int>(distance > 0 ? moved : -moved);
}

bool TDataSet::IsEmpty() const { return !Active() || !hasRecord_; }

int TDataSet::RecNo() const {
  CheckActive();
  return GetRecNo();
}

void TDataSet::SetRecNo(int recNo) {
  CheckBrowseMode();
  DoBeforeScroll();
  if (InternalSetRecNo(recNo)) {
    Resync();
  }
  DoAfterScroll();
}

int TDataSet::RecordCount() const {
  CheckActive();
  return GetRecordCount();
}

// --- Fields

TField& TDataSet::Fields(int index) const {
  assert(index >= 0 && index < FieldCount());
  return *fields_[index];
}

TField* TDataSet::FindField(const std::string& name) const {
  const std::string wanted = common::ansiUpper(name);
  for (const auto& field : fields_) {
    if (common::ansiUpper(field->FieldName()) == wanted) {
      return field.get();
    }
  }
  return nullptr;
}

TField& TDataSet::FieldByName(const std::string& name) const {
  TField* field = FindField(name);
  if (field == nullptr) {
    DatabaseError(kFieldNotFound, name);
  }
  return *field;
}

bool TDataSet::CanAssignFields() const {
  switch (state_) {
    case TDataSetState::dsEdit:
    case TDataSetState::dsInsert:
    case TDataSetState::dsSetKey:
    case TDataSetState::dsFilter:
    case TDataSetState::dsNewValue:
    case TDataSetState::dsInternalCalc:
      return true;
    default:
      return false;
  }
}

bool TDataSet::HasActiveRecord() const {
  return activeBuffer_ != nullptr && (activeBuffer_ != currentBuffer_ || hasRecord_);
}

bool TDataSet::ReadField(const TField& field, Variant& value) const {
  if (!HasActiveRecord()) return false;
  return GetFieldData(field, value);
}

bool TDataSet::ReadFieldText(const TField& field, std::string_view& text) const {
  if (!HasActiveRecord()) return false;
  return GetFieldText(field, text);
}

bool TDataSet::ReadFieldInteger(const TField& field, std::int64_t& value) const {
  if (!HasActiveRecord()) return false;
  return GetFieldInteger(field, value);
}

bool TDataSet::FieldHasValue(const TField& field) const {
  if (!HasActiveRecord()) return false;
  return HasFieldData(field);
}

void TDataSet::WriteField(const TField& field, const Variant& value) {
  if (!CanAssignFields()) {
    DatabaseError(kNotEditing);
  }
  if (field.ReadOnly() && state_ != TDataSetState::dsSetKey && state_ != TDataSetState::dsFilter) {
    DatabaseError(kFieldReadOnly, field.DisplayName());
  }
  SetFieldData(field, value);
  modified_ = true;
  DataEvent(TDataEvent::deFieldChange, &field);
  if (AutoCalcFields && (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert)) {
    DoOnCalcFields();
  }
}

// --- Changes

void TDataSet::CheckActive() const {
  if (!Active()) {
    DatabaseError(kDataSetClosed);
  }
}

void TDataSet::CheckCanModify() const {
  if (!GetCanModify()) {
    DatabaseError(kDataSetReadOnly);
  }
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
    UpdateRecord();
    if (modified_) {
      Post();
    } else {
      Cancel();
    }
  }
}

void TDataSet::SetState(TDataSetState state) {
  if (state != state_) {
    state_ = state;
    DataEvent(TDataEvent::deUpdateState);
  }
}

void TDataSet::Append() { BeginInsert(true); }

void TDataSet::Insert() { BeginInsert(false); }

void TDataSet::BeginInsert(bool append) {
  CheckBrowseMode();
  CheckCanModify();
  Call(BeforeInsert);
  DoBeforeScroll();
  hadRecordBeforeInsert_ = hasRecord_;
  if (hasRecord_) {
    std::memcpy(savedBuffer_, currentBuffer_, GetRecordSize());
  }
  InternalInitRecord(currentBuffer_);
  SetBookmarkFlag(currentBuffer_, append ? TBookmarkFlag::bfEOF : TBookmarkFlag::bfInserted);
  activeBuffer_ = currentBuffer_;
  hasRecord_ = true;
  bof_ = false;
  eof_ = false;
  appending_ = append;
  SetState(TDataSetState::dsInsert);
  {
    const common::OnUnwind restored([&] {
      RestoreCursorAfterInsert();
      EndChange();
    });
    Call(OnNewRecord);
  }
  modified_ = false;
  DataEvent(TDataEvent::deDataSetChange);
  Call(AfterInsert);
  DoAfterScroll();
}

void TDataSet::RestoreCursorAfterInsert() {
  if (hadRecordBeforeInsert_) {
    InternalSetToRecord(savedBuffer_);
  } else {
    InternalFirst();
  }
}

void TDataSet::Edit() {
  CheckActive();
  if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
    return;
  }
  if (!hasRecord_) {
    Insert();
    return;
  }
  CheckCanModify();
  Call(BeforeEdit);
  CheckOperation([this] { InternalEdit(); }, OnEditError);
  modified_ = false;
  SetState(TDataSetState::dsEdit);
  DataEvent(TDataEvent::deRecordChange);
  Call(AfterEdit);
}

void TDataSet::Post() {
  CheckActive();
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) {
    return;
  }
  UpdateRecord();
  Call(BeforePost);
  if (state_ == TDataSetState::dsEdit) {
    CheckOperation([this] { InternalPost(); }, OnPostError);
  } else {
    CheckOperation(
        [this] {
          // The cursor may have been moved (a grid reading rows) since the insertion began.
          if (hadRecordBeforeInsert_) {
            InternalSetToRecord(savedBuffer_);
          }
          InternalAddRecord(currentBuffer_, appending_);
        },
        OnPostError);
  }
  EndChange();
  Call(AfterPost);
}

void TDataSet::Cancel() {
  CheckActive();
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) {
    return;
  }
  Call(BeforeCancel);
  if (state_ == TDataSetState::dsEdit) {
    UpdateCursorPos();
  } else {
    RestoreCursorAfterInsert();
  }
  EndChange();
  Call(AfterCancel);
}

void TDataSet::EndChange() {
  modified_ = false;
  ResyncCursor();
  SetState(TDataSetState::dsBrowse);
  DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == TDataSetState::dsInsert) {
    Cancel();
    return;
  }
  if (!hasRecord_) {
    DatabaseError(kDataSetEmpty);
  }
  CheckCanModify();
  Call(BeforeDelete);
  DoBeforeScroll();
  CheckOperation([this] { InternalDelete(); }, OnDeleteError);
  EndChange();
  Call(AfterDelete);
  DoAfterScroll();
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  UpdateCursorPos();
  InternalRefresh();
  Resync();
}

void TDataSet::UpdateRecord() {
  if (!CanAssignFields()) {
    DatabaseError(kNotEditing);
  }
  // Pending values are pushed even while controls are disabled, so a post never loses them; a
  // control's refusal of its value ends the post.
  for (TDataSource* source : std::vector<TDataSource*>(dataSources_)) {
    source->DataEvent(TDataEvent::deUpdateRecord, nullptr);
  }
}

bool TDataSet::VisitUnwatched(const std::function<bool()>& visitRecords) {
  if (state_ != TDataSetState::dsBrowse || BeforeScroll || AfterScroll || OnCalcFields ||
      std::any_of(dataSources_.begin(), dataSources_.end(), [](const TDataSource* source) { return source->Heard(); })) {
    return false;
  }
  // The visited records are current, also in a dataset that had none (opened empty before
  // another process added records); Last settles what is current afterwards.
  const bool hadRecord = hasRecord_;
  hasRecord_ = true;
  bool visited = false;
  // One walk for the visit and the Last after it: the table takes its index's read section once.
  TDataSetScan scan(*this);
  {
    const common::OnUnwind settled([&] { Last(); });
    visited = visitRecords();
  }
  if (visited) {
    Last();
  } else {
    hasRecord_ = hadRecord;
  }
  return visited;
}

bool TDataSet::VisitInStorageOrder(const std::function<void()>& visit,
                                   const std::vector<const TField*>* fieldsRead) {
  return VisitUnwatched([&] { return VisitStoredRecords(visit, fieldsRead); });
}

bool TDataSet::VisitFieldPrefix(const TField& field, const std::string& prefix,
                                const std::function<void()>& visit) {
  return VisitUnwatched([&] { return VisitPrefixRecords(field, prefix, visit); });
}

std::vector<std::int32_t> TDataSet::WalkOrder() {
  std::vector<std::int32_t> bookmarks;
  TDataSetScan scan(*this);
  for (First(); !Eof(); Next()) {
    std::int32_t bookmark = 0;
    if (CopyBookmark(reinterpret_cast<char*>(&bookmark), sizeof bookmark)) bookmarks.push_back(bookmark);
  }
  return bookmarks;
}

TDataSetScan::~TDataSetScan() noexcept(false) {
  end_.close([this] { dataSet_.EndScan(); });
}

}  // namespace vekrano::dbase
