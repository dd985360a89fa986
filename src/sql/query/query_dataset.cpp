// The open query as a dataset: result fields made from the result columns, record buffers filled
// from result rows, the cursor, bookmarks, and rows edited or deleted in the result only.
#include <cstring>

#include "common/byte_codec.h"
#include "common/code_page.h"
#include "sql/errors.h"
#include "sql/query/query.h"
#include "sql/query_messages.h"

namespace vekrano::sql {
namespace {

using FieldType = dbase::TFieldType;

// Record buffer of the query:
//
//   OFFSET  SIZE     DESCRIPTION
//      0    1 + n    each result field: a null byte (1: null), then its value (n: text size + 1,
//                    8 for numbers and dates, 2 for booleans)
//      R      4      index of the result row (0-based)
//    R + 4    1      bookmark flag
constexpr std::size_t kNullByteSize = 1;  // a slot's value follows its null byte
constexpr std::size_t kRowIndexSize = 4;
constexpr std::size_t kFlagSize = 1;
// How far ahead of a walk through the rows they are fetched, and then the texts they keep
// beside them: far enough for memory to answer.
constexpr int kRowsFetchedAhead = 8;
constexpr int kTextsFetchedAhead = 4;

bool isIntegerType(FieldType type) {
  return type == FieldType::ftSmallint || type == FieldType::ftInteger || type == FieldType::ftWord ||
         type == FieldType::ftLargeint || type == FieldType::ftAutoInc;
}

bool isTextType(FieldType type) {
  return type == FieldType::ftString || type == FieldType::ftMemo || type == FieldType::ftBlob ||
         type == FieldType::ftBytes;
}

std::size_t slotSize(const dbase::TFieldDef& def) {
  if (isTextType(def.DataType)) return static_cast<std::size_t>(def.Size) + 1;
  if (def.DataType == FieldType::ftBoolean) return 2;
  return 8;
}

// The type and size of a result field made from `column`.
dbase::TFieldDef fieldDefOf(const TSqlField& column) {
  dbase::TFieldDef def;
  if (const dbase::TField* source = column.sourceField()) {
    def.DataType = source->DataType();
    if (def.DataType == FieldType::ftBCD) def.DataType = FieldType::ftCurrency;
    if (def.DataType == FieldType::ftFMTBcd) def.DataType = FieldType::ftFloat;
    if (def.DataType == FieldType::ftString) def.Size = std::max(1, source->Size());
    if (def.DataType == FieldType::ftMemo || def.DataType == FieldType::ftBlob || def.DataType == FieldType::ftBytes) {
      def.Size = column.Width() + 1;
    }
    return def;
  }
  switch (column.Cast().type) {
    case TCastType::Char: return {{}, FieldType::ftString, std::max(1, column.Cast().size)};
    case TCastType::Integer: return {{}, FieldType::ftInteger, 0};
    case TCastType::Boolean: return {{}, FieldType::ftBoolean, 0};
    case TCastType::Date: return {{}, FieldType::ftDate, 0};
    case TCastType::Time: return {{}, FieldType::ftTime, 0};
    case TCastType::DateTime: return {{}, FieldType::ftDateTime, 0};
    case TCastType::Float: return {{}, FieldType::ftFloat, 0};
    case TCastType::Money: return {{}, FieldType::ftCurrency, 0};
    case TCastType::None: break;
  }
  switch (column.Type()) {
    case ttFloat: return {{}, FieldType::ftFloat, 0};
    case ttInteger: return {{}, FieldType::ftInteger, 0};
    case ttBoolean: return {{}, FieldType::ftBoolean, 0};
    case ttString: break;
  }
  return {{}, FieldType::ftString, column.Width() + 1};
}

// The part of a name after its first ".".
std::string afterFirstDot(const std::string& name) {
  const std::size_t dot = name.find('.');
  return dot == std::string::npos ? name : name.substr(dot + 1);
}

// Writes a text into a slot, cut to what the slot holds before its closing zero. Readers stop at
// that zero, so the bytes after it are left as they are (the null byte is the caller's).
void writeSlotText(char* data, std::size_t slotSize, const char* text, std::size_t length) {
  const std::size_t kept = std::min(length, slotSize - 1);
  std::memcpy(data + kNullByteSize, text, kept);
  data[kNullByteSize + kept] = 0;
}

}  // namespace

void TSqlQuery::defineResultFields() {
  resultFieldDefs_.clear();
  slots_.clear();
  std::vector<std::string> upperNames;
  const auto taken = [&](const std::string& name) {
    return std::find(upperNames.begin(), upperNames.end(), common::ansiUpper(name)) != upperNames.end();
  };
  std::size_t offset = 0;
  int index = 0;
  for (const TSqlField* column : resultSet_->visibleFields()) {
    std::string full = column->Name();
    if (full.size() >= 2 && full.front() == '[' && full.back() == ']') full = full.substr(1, full.size() - 2);
    if (full.empty()) full = "NULL";
    if (OnQueryFieldName) OnQueryFieldName(index, full);
    std::string name = afterFirstDot(full);
    for (int n = 1; taken(name); ++n) name = afterFirstDot(full + "_" + std::to_string(n));
    upperNames.push_back(common::ansiUpper(name));

    dbase::TFieldDef def = fieldDefOf(*column);
    def.Name = name;
    resultFieldDefs_.push_back(def);
    slots_.push_back(Slot{offset, slotSize(def), column});
    offset += kNullByteSize + slotSize(def);
    ++index;
  }
  rowIndexOffset_ = offset;
  recordSize_ = offset + kRowIndexSize + kFlagSize;
}

std::vector<dbase::TFieldDef> TSqlQuery::InternalInitFieldDefs() {
  // Display labels and formats are copied once the field objects exist.
  return resultFieldDefs_;
}

void TSqlQuery::InternalClose() {
  filterExpression_.reset();
  resultSet_.reset();
  slots_.clear();
  resultFieldDefs_.clear();
  cursor_ = -1;
}

// --- Buffers

std::int32_t TSqlQuery::rowIndex(const char* buffer) const {
  return common::load<std::int32_t>(buffer + rowIndexOffset_);
}

void TSqlQuery::writeSlot(char* buffer, const Slot& slot, const dbase::Variant& value) const {
  char* data = buffer + slot.offset;
  std::memset(data, 0, kNullByteSize + slot.size);
  if (dbase::isNullVariant(value)) {
    data[0] = 1;
    return;
  }
  if (const auto* text = std::get_if<std::string>(&value)) {
    writeSlotText(data, slot.size, text->data(), text->size());
  } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
    common::store(data + kNullByteSize, *number);
  } else if (const auto* real = std::get_if<double>(&value)) {
    common::store(data + kNullByteSize, *real);
  } else if (const auto* flag = std::get_if<bool>(&value)) {
    common::store(data + kNullByteSize, static_cast<std::int16_t>(*flag ? -1 : 0));
  }
}

void TSqlQuery::fillBuffer(char* buffer, int rowIndex) const {
  const char* row = resultSet_->Row(rowIndex);
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const Slot& slot = slots_[i];
    const FieldType type = resultFieldDefs_[i].DataType;
    // Text columns are copied straight from the row, without a string per value.
    if (isTextType(type) && slot.column->Type() == ttString && !slot.column->IsNull(row)) {
      char* data = buffer + slot.offset;
      data[0] = 0;
      const std::string_view text = static_cast<const TSqlStringField*>(slot.column)->textView(row);
      writeSlotText(data, slot.size, text.data(), text.size());
      continue;
    }
    // Numbers and flags likewise, without a variant per value.
    if (!isTextType(type) && !slot.column->IsNull(row)) {
      char* data = buffer + slot.offset;
      std::memset(data, 0, kNullByteSize + slot.size);
      if (isIntegerType(type)) {
        common::store(data + kNullByteSize, static_cast<std::int64_t>(slot.column->AsInteger(row)));
      } else if (type == FieldType::ftBoolean) {
        common::store(data + kNullByteSize, static_cast<std::int16_t>(slot.column->AsBoolean(row) ? -1 : 0));
      } else {
        common::store(data + kNullByteSize, slot.column->AsFloat(row));
      }
      continue;
    }
    dbase::Variant value;
    if (!slot.column->IsNull(row)) {
      if (isTextType(type)) {
        value = slot.column->AsString(row);
      } else if (isIntegerType(type)) {
        value = static_cast<std::int64_t>(slot.column->AsInteger(row));
      } else if (type == FieldType::ftBoolean) {
        value = slot.column->AsBoolean(row);
      } else {
        value = slot.column->AsFloat(row);
      }
    }
    writeSlot(buffer, slot, value);
  }
  common::store(buffer + rowIndexOffset_, static_cast<std::int32_t>(rowIndex));
  buffer[rowIndexOffset_ + kRowIndexSize] = static_cast<char>(dbase::TBookmarkFlag::bfCurrent);
}

void TSqlQuery::writeToRow(char* row, const Slot& slot, const dbase::Variant& value) const {
  const TSqlField& column = *slot.column;
  if (dbase::isNullVariant(value)) {
    column.Clear(row);
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    column.setAsString(row, *text);
  } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
    column.setAsInteger(row, static_cast<std::int32_t>(*number));
  } else if (const auto* real = std::get_if<double>(&value)) {
    column.setAsFloat(row, *real);
  } else if (const auto* flag = std::get_if<bool>(&value)) {
    column.setAsBoolean(row, *flag);
  }
}

dbase::TGetResult TSqlQuery::GetRecord(char* buffer, dbase::TGetMode mode, bool) {
  const int count = resultSet_->RecordCount();
  switch (mode) {
    case dbase::TGetMode::gmNext: {
      const int next = nextRowKept(cursor_, 1);
      if (next >= count) return dbase::TGetResult::grEOF;
      cursor_ = next;
      // Sorted rows lie scattered in memory: the rows a walk reads next are fetched meanwhile.
      if (next + kRowsFetchedAhead < count) resultSet_->prefetchRow(next + kRowsFetchedAhead);
      if (next + kTextsFetchedAhead < count) resultSet_->prefetchTexts(next + kTextsFetchedAhead);
      break;
    }
    case dbase::TGetMode::gmPrior: {
      const int prior = nextRowKept(std::min(cursor_, count), -1);
      if (prior < 0) return dbase::TGetResult::grBOF;
      cursor_ = prior;
      break;
    }
    case dbase::TGetMode::gmCurrent:
      if (cursor_ < 0 || cursor_ >= count) return dbase::TGetResult::grEOF;
      break;
  }
  fillBuffer(buffer, cursor_);
  return dbase::TGetResult::grOK;
}

void TSqlQuery::InternalSetToRecord(const char* buffer) { cursor_ = rowIndex(buffer); }

void TSqlQuery::InternalInitRecord(char* buffer) {
  std::memset(buffer, 0, recordSize_);
  for (const Slot& slot : slots_) buffer[slot.offset] = 1;
  common::store(buffer + rowIndexOffset_, std::int32_t{-1});
}

dbase::Variant TSqlQuery::readSlot(const char* buffer, std::size_t field) const {
  const Slot& slot = slots_[field];
  const char* data = buffer + slot.offset;
  if (data[0] != 0) return {};
  const FieldType type = resultFieldDefs_[field].DataType;
  if (isTextType(type)) return std::string(data + kNullByteSize, strnlen(data + kNullByteSize, slot.size));
  if (isIntegerType(type)) return common::load<std::int64_t>(data + kNullByteSize);
  if (type == FieldType::ftBoolean) return data[kNullByteSize] != 0;
  return common::load<double>(data + kNullByteSize);
}

bool TSqlQuery::GetFieldData(const dbase::TField& field, dbase::Variant& value) const {
  dbase::Variant read = readSlot(activeBuffer(), static_cast<std::size_t>(field.Index()));
  if (dbase::isNullVariant(read)) return false;
  value = std::move(read);
  return true;
}

bool TSqlQuery::getFieldText(const dbase::TField& field, std::string_view& text) const {
  const Slot& slot = slots_[static_cast<std::size_t>(field.Index())];
  const char* data = activeBuffer() + slot.offset;
  if (data[0] != 0 || !isTextType(resultFieldDefs_[static_cast<std::size_t>(field.Index())].DataType)) return false;
  text = std::string_view(data + kNullByteSize, strnlen(data + kNullByteSize, slot.size));
  return true;
}

bool TSqlQuery::getFieldInteger(const dbase::TField& field, std::int64_t& value) const {
  const std::size_t index = static_cast<std::size_t>(field.Index());
  const char* data = activeBuffer() + slots_[index].offset;
  if (data[0] != 0 || !isIntegerType(resultFieldDefs_[index].DataType)) return false;
  value = common::load<std::int64_t>(data + kNullByteSize);
  return true;
}

// A slot's first byte marks it null (see readSlot).
bool TSqlQuery::hasFieldData(const dbase::TField& field) const {
  return activeBuffer()[slots_[static_cast<std::size_t>(field.Index())].offset] == 0;
}

std::unique_ptr<dbase::TField> TSqlQuery::createField(const dbase::TFieldDef& def) {
  std::unique_ptr<dbase::TField> field = TDataSet::createField(def);
  std::size_t index = 0;
  while (index < resultFieldDefs_.size() && resultFieldDefs_[index].Name != def.Name) ++index;
  const dbase::TField* source = index < slots_.size() ? slots_[index].column->sourceField() : nullptr;
  if (source != nullptr) {
    if (UseDisplayLabel) field->setDisplayLabel(source->DisplayLabel());
    if (!isTextType(def.DataType) && def.DataType != FieldType::ftBoolean) {
      field->setDisplayFormat(source->DisplayFormat());
    }
  }
  return field;
}

// --- Changes: the result rows only; no source dataset is ever written through the query.

void TSqlQuery::SetFieldData(const dbase::TField& field, const dbase::Variant& value) {
  const Slot& slot = slots_[static_cast<std::size_t>(field.Index())];
  writeSlot(activeBuffer(), slot, value);
  const std::int32_t index = rowIndex(activeBuffer());
  if (State() == dbase::TDataSetState::dsEdit && index >= 0 && index < resultSet_->RecordCount()) {
    writeToRow(resultSet_->Row(index), slot, value);
  }
}

void TSqlQuery::InternalAddRecord(const char* buffer, bool) {
  resultSet_->Insert();
  char* row = resultSet_->currentRow();
  for (std::size_t i = 0; i < slots_.size(); ++i) writeToRow(row, slots_[i], readSlot(buffer, i));
  cursor_ = resultSet_->RecordCount() - 1;
}

void TSqlQuery::InternalPost() { cursor_ = rowIndex(activeBuffer()); }

void TSqlQuery::InternalDelete() {
  resultSet_->SetRecNo(cursor_ + 1);
  resultSet_->Delete();
  if (cursor_ >= resultSet_->RecordCount()) cursor_ = resultSet_->RecordCount() - 1;
}

// --- Bookmarks and numbering

void TSqlQuery::GetBookmarkData(const char* buffer, char* data) const { common::store(data, rowIndex(buffer)); }

void TSqlQuery::SetBookmarkData(char* buffer, const char* data) {
  common::store(buffer + rowIndexOffset_, common::load<std::int32_t>(data));
}

dbase::TBookmarkFlag TSqlQuery::GetBookmarkFlag(const char* buffer) const {
  return static_cast<dbase::TBookmarkFlag>(buffer[rowIndexOffset_ + kRowIndexSize]);
}

void TSqlQuery::SetBookmarkFlag(char* buffer, dbase::TBookmarkFlag flag) {
  buffer[rowIndexOffset_ + kRowIndexSize] = static_cast<char>(flag);
}

void TSqlQuery::InternalGotoBookmark(const char* data) {
  const auto index = common::load<std::int32_t>(data);
  if (index < 0 || index >= resultSet_->RecordCount()) {
    throw ESqlQueryError(common::formatText(messages::kBookmarkNotFound, {std::to_string(index)}));
  }
  cursor_ = index;
}

bool TSqlQuery::internalBookmarkValid(const char* data) {
  const auto index = common::load<std::int32_t>(data);
  return index >= 0 && index < resultSet_->RecordCount();
}

int TSqlQuery::compareBookmarkData(const char* a, const char* b) const {
  const auto left = common::load<std::int32_t>(a);
  const auto right = common::load<std::int32_t>(b);
  return left < right ? -1 : (left > right ? 1 : 0);
}

int TSqlQuery::GetRecordCount() const {
  if (!filtering()) return resultSet_->RecordCount();
  int count = 0;
  for (int row = nextRowKept(-1, 1); row < resultSet_->RecordCount(); row = nextRowKept(row, 1)) ++count;
  return count;
}

int TSqlQuery::GetRecNo() const {
  const char* buffer = activeBuffer();
  if (buffer == nullptr || resultSet_->RecordCount() == 0) return 1;
  const int index = rowIndex(buffer);
  if (!filtering()) return std::max(1, index + 1);
  int recNo = 1;
  for (int row = nextRowKept(-1, 1); row < index; row = nextRowKept(row, 1)) ++recNo;
  return recNo;
}

bool TSqlQuery::internalSetRecNo(int recNo) {
  if (recNo < 1) return false;
  if (!filtering()) {
    if (recNo > resultSet_->RecordCount()) return false;
    cursor_ = recNo - 1;
    return true;
  }
  int row = nextRowKept(-1, 1);
  for (int n = 1; n < recNo && row < resultSet_->RecordCount(); ++n) row = nextRowKept(row, 1);
  if (row >= resultSet_->RecordCount()) return false;
  cursor_ = row;
  return true;
}

}  // namespace vekrano::sql
