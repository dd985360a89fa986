// TTzDbf: properties, the check routine, field values, bookmarks and numbering.
#include "dbase/table/table_dataset.h"

#include "common/byte_codec.h"
#include "common/code_page.h"
#include "common/exception.h"
#include "dbase/dataset/database_error.h"
#include "dbase/dbase_error.h"
#include "dbase/table/table_work_areas.h"
#include "dbase/table/tz_fields.h"

namespace vekrano::dbase {
namespace {

std::string normalisedFileName(const std::string& name) {
  const std::size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  std::string trimmed = name.substr(first, name.find_last_not_of(' ') - first + 1);
  if (trimmed.back() == '.') return trimmed;
  return WithDefaultExtension(trimmed, "DBF");
}

}  // namespace

void tzCheck(int code) {
  if (code == 0) return;
  if (code >= kTzOpenFailed && code <= kTzAtEnd) throw common::Exception("Dataset error: " + std::to_string(code));
  if (code == kTzMissingFileName) throw common::Exception("Missing DbfFilename property");
  throw ETzCheckError(code, "Dataset error: " + composeErrorMessage(code, dbfErrorText()));
}

TTzDbf::TTzDbf(std::string name) : name_(std::move(name)) {}

TTzDbf::~TTzDbf() {
  destroying();
  Close();
}

WorkArea& TTzDbf::Area(const char* operation) const {
  if (area_ == 0) {
    dbfError(kErrorInvalidOperation, "Database is not open [" + name_ + "." + operation + "]");
    tzCheck(kErrorInvalidOperation);
  }
  selectWorkArea(area_);
  return getWorkArea(area_);
}

void TTzDbf::reopen(const std::function<void()>& change) {
  const bool active = Active();
  Close();
  change();
  if (active) Open();
}

void TTzDbf::setDbfFileName(const std::string& name) {
  const std::string normalised = normalisedFileName(name);
  if (normalised == dbfFileName_) return;
  reopen([&] { dbfFileName_ = normalised; });
}

void TTzDbf::setExclusive(bool exclusive) {
  if (exclusive == exclusive_) return;
  reopen([&] { exclusive_ = exclusive; });
}

void TTzDbf::setHideDeletedRecs(bool hide) {
  hideDeletedRecs_ = hide;
  if (!Active()) return;
  if (State() == TDataSetState::dsEdit || State() == TDataSetState::dsInsert) Cancel();
  Area("HideDeletedRecs").hideDeleted = hide;
  // Re-reading the current record moves off it when it became hidden.
  if (!IsEmpty()) InternalSetToRecord(activeBuffer());
  resync();
}

bool TTzDbf::indexActive() const {
  if (area_ == 0) return false;
  const WorkArea& area = getWorkArea(area_);
  return area.index && area.index->isOpen() && area.index->CurrentOrder() > 0;
}

// --- Fields

std::vector<TFieldDef> TTzDbf::InternalInitFieldDefs() {
  if (area_ != 0) {
    lastFieldDefs_ = layout_->FieldDefs(Area("FieldDefs").table);
  } else if (lastFieldDefs_.empty()) {
    throw EDatabaseError(name_ + ".DbfFields undefined. Set Active to TRUE");
  }
  return lastFieldDefs_;
}

std::unique_ptr<TField> TTzDbf::createField(const TFieldDef& def) {
  switch (def.DataType) {
    case TFieldType::ftInteger: return std::make_unique<TTzIntegerField>(*this, def);
    case TFieldType::ftFloat: return std::make_unique<TTzFloatField>(*this, def);
    case TFieldType::ftDate: return std::make_unique<TTzDateField>(*this, def);
    default: return TDataSet::createField(def);
  }
}

bool TTzDbf::GetFieldData(const TField& field, Variant& value) const {
  if (field.DataType() == TFieldType::ftMemo) {
    WorkArea& area = Area("GetFieldData");
    std::string text = area.memo.readText(layout_->memoBlock(activeBuffer(), field.Index())).value_or("");
    value = TableLanguage == TTzTableLanguage::tlOem ? common::oemToChar(text) : text;
    return true;
  }
  value = layout_->getValue(activeBuffer(), field.Index());
  return true;
}

bool TTzDbf::getFieldText(const TField& field, std::string_view& text) const {
  if (field.DataType() != TFieldType::ftString) return false;
  text = layout_->Text(activeBuffer(), field.Index());
  return true;
}

bool TTzDbf::getFieldInteger(const TField& field, std::int64_t& value) const {
  if (field.DataType() != TFieldType::ftInteger) return false;
  value = layout_->Integer(activeBuffer(), field.Index());
  return true;
}

void TTzDbf::SetFieldData(const TField& field, const Variant& value) {
  layout_->setValue(activeBuffer(), field.Index(), value);
}

// --- Record buffers

int TTzDbf::GetRecordSize() const { return layout_->bufferSize(); }

char* TTzDbf::AllocRecordBuffer() {
  char* buffer = TDataSet::AllocRecordBuffer();
  layout_->setFlag(buffer, TBookmarkFlag::bfBOF);
  return buffer;
}

void TTzDbf::InternalInitRecord(char* buffer) { layout_->initBuffer(buffer); }

// --- Bookmarks

void TTzDbf::GetBookmarkData(const char* buffer, char* data) const {
  common::store(data, layout_->recordNumber(buffer));
}

void TTzDbf::SetBookmarkData(char* buffer, const char* data) {
  layout_->setRecordNumber(buffer, common::load<std::int32_t>(data));
}

TBookmarkFlag TTzDbf::GetBookmarkFlag(const char* buffer) const { return layout_->Flag(buffer); }

void TTzDbf::SetBookmarkFlag(char* buffer, TBookmarkFlag flag) { layout_->setFlag(buffer, flag); }

namespace {

std::int32_t bookmarkNumber(const char* data) { return common::load<std::int32_t>(data); }

}  // namespace

void TTzDbf::InternalGotoBookmark(const char* data) {
  if (!goToRecord(bookmarkNumber(data))) goToEnd();
}

bool TTzDbf::internalBookmarkValid(const char* data) { return goToRecord(bookmarkNumber(data)); }

int TTzDbf::compareBookmarkData(const char* a, const char* b) const {
  const std::int32_t left = bookmarkNumber(a);
  const std::int32_t right = bookmarkNumber(b);
  return left < right ? -1 : (left > right ? 1 : 0);
}

// --- Numbering

int TTzDbf::GetRecordCount() const { return CountRecords(); }

int TTzDbf::GetRecNo() const {
  if (IsEmpty() || layout_->Flag(activeBuffer()) != TBookmarkFlag::bfCurrent) return 0;
  return layout_->recordNumber(activeBuffer());
}

bool TTzDbf::internalSetRecNo(int recNo) {
  if (!goToRecord(recNo)) goToEnd();
  return true;
}

}  // namespace vekrano::dbase
