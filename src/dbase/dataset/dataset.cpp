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
    bits_ |= bit(option);
  }
}

TDataSet::TDataSet() = default;

TDataSet::~TDataSet() {
  assert(!Active() && "a concrete dataset closes itself in its destructor");
  while (!dataSources_.empty()) {
    dataSources_.back()->setDataSet(nullptr);
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
      releaseBuffers();
    });
    InternalOpen();
    fieldDefs_ = InternalInitFieldDefs();
    createFields();
    currentBuffer_ = AllocRecordBuffer();
    scratchBuffer_ = AllocRecordBuffer();
    savedBuffer_ = AllocRecordBuffer();
    activeBuffer_ = currentBuffer_;
    state_ = TDataSetState::dsBrowse;
    placeAtEnd(true);
  }
  dataEvent(TDataEvent::deUpdateState);
  dataEvent(TDataEvent::deDataSetChange);
  Call(AfterOpen);
  if (!IsEmpty()) {
    doAfterScroll();
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
  releaseBuffers();
  dataEvent(TDataEvent::deUpdateState);
  if (!destroying_) {
    Call(AfterClose);
  }
}

void TDataSet::setActive(bool active) {
  if (active) {
    Open();
  } else {
    Close();
  }
}

void TDataSet::updateFieldDefs() { fieldDefs_ = InternalInitFieldDefs(); }

void TDataSet::createFields() {
  for (const TFieldDef& def : fieldDefs_) {
    std::unique_ptr<TField> field = createField(def);
    field->index_ = static_cast<int>(fields_.size());
    fields_.push_back(std::move(field));
  }
}

std::unique_ptr<TField> TDataSet::createField(const TFieldDef& def) {
  switch (def.DataType) {
    case TFieldType::ftString: return std::make_unique<TStringField>(*this, def);
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
    case TFieldType::ftLargeint:
    case TFieldType::ftAutoInc: return std::make_unique<TIntegerField>(*this, def);
    case TFieldType::ftBoolean: return std::make_unique<TBooleanField>(*this, def);
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
    case TFieldType::ftFMTBcd: return std::make_unique<TFloatField>(*this, def);
    case TFieldType::ftDate:
    case TFieldType::ftTime:
    case TFieldType::ftDateTime: return std::make_unique<TDateField>(*this, def);
    case TFieldType::ftMemo:
    case TFieldType::ftBlob:
    case TFieldType::ftBytes: return std::make_unique<TMemoField>(*this, def);
    case TFieldType::ftUnknown: break;
  }
  return std::make_unique<TField>(*this, def);
}

char* TDataSet::AllocRecordBuffer() { return new char[GetRecordSize()](); }

void TDataSet::FreeRecordBuffer(char*& buffer) {
  delete[] buffer;
  buffer = nullptr;
}

void TDataSet::releaseBuffers() {
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

TGetResult TDataSet::fetch(TGetMode mode) {
  const TGetResult result = GetRecord(scratchBuffer_, mode, true);
  if (result == TGetResult::grOK) {
    std::swap(currentBuffer_, scratchBuffer_);
    activeBuffer_ = currentBuffer_;
    hasRecord_ = true;
    doOnCalcFields();
  }
  return result;
}

void TDataSet::setEmpty() {
  hasRecord_ = false;
  bof_ = true;
  eof_ = true;
}

void TDataSet::updateCursorPos() {
  if (hasRecord_ && GetBookmarkFlag(currentBuffer_) == TBookmarkFlag::bfCurrent) {
    InternalSetToRecord(currentBuffer_);
  }
}

void TDataSet::resyncCursor() {
  if (fetch(TGetMode::gmCurrent) == TGetResult::grOK || fetch(TGetMode::gmNext) == TGetResult::grOK) {
    bof_ = false;
    eof_ = false;
  } else if (fetch(TGetMode::gmPrior) == TGetResult::grOK) {
    bof_ = false;
    eof_ = true;
  } else {
    setEmpty();
  }
}

void TDataSet::resync() {
  resyncCursor();
  dataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::placeAtEnd(bool first) {
  if (first) {
    InternalFirst();
  } else {
    InternalLast();
  }
  if (fetch(first ? TGetMode::gmNext : TGetMode::gmPrior) == TGetResult::grOK) {
    bof_ = first;
    eof_ = !first;
  } else {
    setEmpty();
  }
}

void TDataSet::First() {
  checkBrowseMode();
  doBeforeScroll();
  placeAtEnd(true);
  dataEvent(TDataEvent::deDataSetChange);
  doAfterScroll();
}

void TDataSet::Last() {
  checkBrowseMode();
  doBeforeScroll();
  placeAtEnd(false);
  dataEvent(TDataEvent::deDataSetChange);
  doAfterScroll();
}

void TDataSet::Next() { MoveBy(1); }

void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::MoveBy(int distance) {
  checkBrowseMode();
  doBeforeScroll();
  if (distance == 0 || (distance > 0 && eof_) || (distance < 0 && bof_)) {
    doAfterScroll();
    return 0;
  }
  bof_ = false;
  eof_ = false;
  const TGetMode mode = distance > 0 ? TGetMode::gmNext : TGetMode::gmPrior;
  const long long wanted = std::llabs(static_cast<long long>(distance));
  long long moved = 0;
  updateCursorPos();
  while (moved < wanted) {
    if (fetch(mode) != TGetResult::grOK) {
      (distance > 0 ? eof_ : bof_) = true;
      break;
    }
    ++moved;
  }
  dataEvent(TDataEvent::deDataSetScroll);
  doAfterScroll();
  return static_cast<int>(distance > 0 ? moved : -moved);
}

bool TDataSet::IsEmpty() const { return !Active() || !hasRecord_; }

int TDataSet::RecNo() const {
  checkActive();
  return GetRecNo();
}

void TDataSet::SetRecNo(int recNo) {
  checkBrowseMode();
  doBeforeScroll();
  if (internalSetRecNo(recNo)) {
    resync();
  }
  doAfterScroll();
}

int TDataSet::RecordCount() const {
  checkActive();
  return GetRecordCount();
}

// --- Fields

TField& TDataSet::Fields(int index) const {
  assert(index >= 0 && index < FieldCount());
  return *fields_[index];
}

TField* TDataSet::FindField(const std::string& name) const {
  for (const auto& field : fields_) {
    if (common::sameAnsiText(field->FieldName(), name)) return field.get();
  }
  return nullptr;
}

TField& TDataSet::FieldByName(const std::string& name) const {
  TField* field = FindField(name);
  if (field == nullptr) {
    databaseError(kFieldNotFound, name);
  }
  return *field;
}

bool TDataSet::canAssignFields() const {
  switch (state_) {
    case TDataSetState::dsEdit:
    case TDataSetState::dsInsert:
    case TDataSetState::dsSetKey:
    case TDataSetState::dsFilter:
    case TDataSetState::dsNewValue:
    case TDataSetState::dsInternalCalc: return true;
    default: return false;
  }
}

bool TDataSet::hasActiveRecord() const {
  return activeBuffer_ != nullptr && (activeBuffer_ != currentBuffer_ || hasRecord_);
}

bool TDataSet::ReadField(const TField& field, Variant& value) const {
  if (!hasActiveRecord()) return false;
  return GetFieldData(field, value);
}

bool TDataSet::readFieldText(const TField& field, std::string_view& text) const {
  if (!hasActiveRecord()) return false;
  return getFieldText(field, text);
}

bool TDataSet::readFieldInteger(const TField& field, std::int64_t& value) const {
  if (!hasActiveRecord()) return false;
  return getFieldInteger(field, value);
}

bool TDataSet::fieldHasValue(const TField& field) const {
  if (!hasActiveRecord()) return false;
  return hasFieldData(field);
}

void TDataSet::writeField(const TField& field, const Variant& value) {
  if (!canAssignFields()) {
    databaseError(kNotEditing);
  }
  if (field.ReadOnly() && state_ != TDataSetState::dsSetKey && state_ != TDataSetState::dsFilter) {
    databaseError(kFieldReadOnly, field.displayName());
  }
  SetFieldData(field, value);
  modified_ = true;
  dataEvent(TDataEvent::deFieldChange, &field);
  if (AutoCalcFields && (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert)) {
    doOnCalcFields();
  }
}

// --- Changes

void TDataSet::checkActive() const {
  if (!Active()) {
    databaseError(kDataSetClosed);
  }
}

void TDataSet::checkCanModify() const {
  if (!GetCanModify()) {
    databaseError(kDataSetReadOnly);
  }
}

void TDataSet::checkBrowseMode() {
  checkActive();
  if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
    UpdateRecord();
    if (modified_) {
      Post();
    } else {
      Cancel();
    }
  }
}

void TDataSet::setState(TDataSetState state) {
  if (state != state_) {
    state_ = state;
    dataEvent(TDataEvent::deUpdateState);
  }
}

void TDataSet::Append() { beginInsert(true); }

void TDataSet::Insert() { beginInsert(false); }

void TDataSet::beginInsert(bool append) {
  checkBrowseMode();
  checkCanModify();
  Call(BeforeInsert);
  doBeforeScroll();
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
  setState(TDataSetState::dsInsert);
  {
    const common::OnUnwind restored([&] {
      restoreCursorAfterInsert();
      endChange();
    });
    Call(OnNewRecord);
  }
  modified_ = false;
  dataEvent(TDataEvent::deDataSetChange);
  Call(AfterInsert);
  doAfterScroll();
}

void TDataSet::restoreCursorAfterInsert() {
  if (hadRecordBeforeInsert_) {
    InternalSetToRecord(savedBuffer_);
  } else {
    InternalFirst();
  }
}

void TDataSet::Edit() {
  checkActive();
  if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
    return;
  }
  if (!hasRecord_) {
    Insert();
    return;
  }
  checkCanModify();
  Call(BeforeEdit);
  checkOperation([this] { InternalEdit(); }, OnEditError);
  modified_ = false;
  setState(TDataSetState::dsEdit);
  dataEvent(TDataEvent::deRecordChange);
  Call(AfterEdit);
}

void TDataSet::Post() {
  checkActive();
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) {
    return;
  }
  UpdateRecord();
  Call(BeforePost);
  if (state_ == TDataSetState::dsEdit) {
    checkOperation([this] { InternalPost(); }, OnPostError);
  } else {
    checkOperation(
        [this] {
          // The cursor may have been moved (a grid reading rows) since the insertion began.
          if (hadRecordBeforeInsert_) {
            InternalSetToRecord(savedBuffer_);
          }
          InternalAddRecord(currentBuffer_, appending_);
        },
        OnPostError);
  }
  endChange();
  Call(AfterPost);
}

void TDataSet::Cancel() {
  checkActive();
  if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) {
    return;
  }
  Call(BeforeCancel);
  if (state_ == TDataSetState::dsEdit) {
    updateCursorPos();
  } else {
    restoreCursorAfterInsert();
  }
  endChange();
  Call(AfterCancel);
}

void TDataSet::endChange() {
  modified_ = false;
  resyncCursor();
  setState(TDataSetState::dsBrowse);
  dataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::Delete() {
  checkActive();
  if (state_ == TDataSetState::dsInsert) {
    Cancel();
    return;
  }
  if (!hasRecord_) {
    databaseError(kDataSetEmpty);
  }
  checkCanModify();
  Call(BeforeDelete);
  doBeforeScroll();
  checkOperation([this] { InternalDelete(); }, OnDeleteError);
  endChange();
  Call(AfterDelete);
  doAfterScroll();
}

void TDataSet::Refresh() {
  checkBrowseMode();
  updateCursorPos();
  InternalRefresh();
  resync();
}

void TDataSet::UpdateRecord() {
  if (!canAssignFields()) {
    databaseError(kNotEditing);
  }
  // Pending values are pushed even while controls are disabled, so a post never loses them; a
  // control's refusal of its value ends the post.
  for (TDataSource* source : std::vector<TDataSource*>(dataSources_)) {
    source->dataEvent(TDataEvent::deUpdateRecord, nullptr);
  }
}

bool TDataSet::visitUnwatched(const std::function<bool()>& visitRecords) {
  if (state_ != TDataSetState::dsBrowse || BeforeScroll || AfterScroll || OnCalcFields ||
      std::any_of(dataSources_.begin(), dataSources_.end(),
                  [](const TDataSource* source) { return source->heard(); })) {
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

bool TDataSet::visitInStorageOrder(const std::function<void()>& visit, const std::vector<const TField*>* fieldsRead) {
  return visitUnwatched([&] { return visitStoredRecords(visit, fieldsRead); });
}

bool TDataSet::visitFieldPrefix(const TField& field, const std::string& prefix, const std::function<void()>& visit) {
  return visitUnwatched([&] { return visitPrefixRecords(field, prefix, visit); });
}

std::vector<std::int32_t> TDataSet::walkOrder() {
  std::vector<std::int32_t> bookmarks;
  TDataSetScan scan(*this);
  for (First(); !Eof(); Next()) {
    std::int32_t bookmark = 0;
    if (copyBookmark(reinterpret_cast<char*>(&bookmark), sizeof bookmark)) bookmarks.push_back(bookmark);
  }
  return bookmarks;
}

TDataSetScan::~TDataSetScan() noexcept(false) {
  end_.close([this] { dataSet_.endScan(); });
}

}  // namespace vekrano::dbase
