// The in-memory dataset of the tests.
#include "support/memory_dataset.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "dbase/dataset/database_error.h"

namespace vekrano::testing {

using dbase::isHeldAsDouble;
using dbase::TBookmarkFlag;
using dbase::TFieldType;
using dbase::TGetMode;
using dbase::TGetResult;
using dbase::Variant;

// Record buffer:
//   OFFSET  SIZE  DESCRIPTION
//      0      4   identity of the row (the bookmark); 0 for a new row
//      4      1   bookmark flag (TBookmarkFlag)
//      5      -   per column: 1 byte presence (0 null, 1 value), then the slot: text columns a
//                 4-byte length and their capacity in bytes; other columns 8 bytes (int64,
//                 double, or bool in the first byte)
namespace {

constexpr int kIdOffset = 0;
constexpr int kFlagOffset = 4;
constexpr int kColumnsOffset = 5;
constexpr int kScalarSize = 8;
constexpr int kLengthSize = 4;

bool isText(TFieldType type) {
  return type == TFieldType::ftString || type == TFieldType::ftMemo || type == TFieldType::ftBlob ||
         type == TFieldType::ftBytes;
}

std::int32_t readId(const char* buffer) {
  std::int32_t id = 0;
  std::memcpy(&id, buffer + kIdOffset, sizeof id);
  return id;
}

// Tests may write 3 for a float column: values are kept in the column's native kind.
Variant normalised(TFieldType type, const Variant& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value); number != nullptr && isHeldAsDouble(type)) {
    return static_cast<double>(*number);
  }
  return value;
}

}  // namespace

MemoryDataset::MemoryDataset(std::vector<MemoryColumn> columns) : columns_(std::move(columns)) {}

MemoryDataset::~MemoryDataset() {
  destroying();
  Close();
}

void MemoryDataset::addRow(Row values) {
  values.resize(columns_.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    values[i] = normalised(columns_[i].type, values[i]);
  }
  rows_.push_back(std::move(values));
  ids_.push_back(nextId_++);
  if (Active()) {
    assert(State() == dbase::TDataSetState::dsBrowse);
    if (IsEmpty()) {
      cursor_ = -1;
    } else {
      InternalSetToRecord(activeBuffer());
    }
    resync();
  }
}

void MemoryDataset::InternalOpen() {
  open_ = true;
  cursor_ = -1;
  ++openCount_;
}

void MemoryDataset::InternalClose() { open_ = false; }

std::vector<dbase::TFieldDef> MemoryDataset::InternalInitFieldDefs() {
  std::vector<dbase::TFieldDef> defs;
  for (const MemoryColumn& column : columns_) {
    defs.push_back({column.name, column.type, column.size});
  }
  return defs;
}

int MemoryDataset::SlotSize(int column) const {
  const MemoryColumn& c = columns_[column];
  if (!isText(c.type)) {
    return kScalarSize;
  }
  return kLengthSize + (c.size > 0 ? c.size : kDefaultMemoSize);
}

int MemoryDataset::slotOffset(int column) const {
  int offset = kColumnsOffset;
  for (int i = 0; i < column; ++i) {
    offset += 1 + SlotSize(i);
  }
  return offset;
}

int MemoryDataset::GetRecordSize() const { return slotOffset(static_cast<int>(columns_.size())); }

void MemoryDataset::InternalFirst() { cursor_ = -1; }

void MemoryDataset::InternalLast() { cursor_ = static_cast<int>(rows_.size()); }

TGetResult MemoryDataset::GetRecord(char* buffer, TGetMode mode, bool) {
  const int count = static_cast<int>(rows_.size());
  cursor_ = std::clamp(cursor_, -1, count);
  switch (mode) {
    case TGetMode::gmCurrent:
      if (cursor_ < 0) {
        return TGetResult::grBOF;
      }
      if (cursor_ >= count) {
        return TGetResult::grEOF;
      }
      break;
    case TGetMode::gmNext:
      if (cursor_ >= count - 1) {
        cursor_ = count;
        return TGetResult::grEOF;
      }
      ++cursor_;
      break;
    case TGetMode::gmPrior:
      if (cursor_ <= 0) {
        cursor_ = -1;
        return TGetResult::grBOF;
      }
      --cursor_;
      break;
  }
  rowToBuffer(cursor_, buffer);
  return TGetResult::grOK;
}

void MemoryDataset::rowToBuffer(int position, char* buffer) const {
  std::memset(buffer, 0, GetRecordSize());
  std::memcpy(buffer + kIdOffset, &ids_[position], sizeof(std::int32_t));
  buffer[kFlagOffset] = static_cast<char>(TBookmarkFlag::bfCurrent);
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    writeSlot(buffer, static_cast<int>(i), rows_[position][i]);
  }
}

void MemoryDataset::writeSlot(char* buffer, int column, const Variant& value) const {
  char* slot = buffer + slotOffset(column);
  std::memset(slot, 0, 1 + SlotSize(column));
  if (dbase::isNullVariant(value)) {
    return;
  }
  slot[0] = 1;
  if (const auto* text = std::get_if<std::string>(&value)) {
    const auto length = static_cast<std::int32_t>(std::min<std::size_t>(text->size(), SlotSize(column) - kLengthSize));
    std::memcpy(slot + 1, &length, kLengthSize);
    std::memcpy(slot + 1 + kLengthSize, text->data(), length);
  } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
    std::memcpy(slot + 1, number, sizeof *number);
  } else if (const auto* real = std::get_if<double>(&value)) {
    std::memcpy(slot + 1, real, sizeof *real);
  } else if (const auto* flag = std::get_if<bool>(&value)) {
    slot[1] = *flag ? 1 : 0;
  }
}

MemoryDataset::Row MemoryDataset::bufferToRow(const char* buffer) const {
  Row row(columns_.size());
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    const char* slot = buffer + slotOffset(static_cast<int>(i));
    if (slot[0] == 0) {
      continue;
    }
    const TFieldType type = columns_[i].type;
    if (isText(type)) {
      std::int32_t length = 0;
      std::memcpy(&length, slot + 1, kLengthSize);
      row[i] = std::string(slot + 1 + kLengthSize, length);
    } else if (type == TFieldType::ftBoolean) {
      row[i] = slot[1] != 0;
    } else if (isHeldAsDouble(type)) {
      double real = 0;
      std::memcpy(&real, slot + 1, sizeof real);
      row[i] = real;
    } else {
      std::int64_t number = 0;
      std::memcpy(&number, slot + 1, sizeof number);
      row[i] = number;
    }
  }
  return row;
}

void MemoryDataset::InternalSetToRecord(const char* buffer) {
  const int position = positionOf(readId(buffer));
  cursor_ = position >= 0 ? position : static_cast<int>(rows_.size());
}

void MemoryDataset::InternalInitRecord(char* buffer) { std::memset(buffer, 0, GetRecordSize()); }

void MemoryDataset::failWhenAsked() {
  if (failures_ > 0) {
    --failures_;
    throw dbase::EDatabaseError("Store failure");
  }
}

void MemoryDataset::InternalEdit() { failWhenAsked(); }

void MemoryDataset::InternalAddRecord(const char* buffer, bool append) {
  failWhenAsked();
  const int count = static_cast<int>(rows_.size());
  const int position = append ? count : std::clamp(cursor_, 0, count);
  rows_.insert(rows_.begin() + position, bufferToRow(buffer));
  ids_.insert(ids_.begin() + position, nextId_++);
  cursor_ = position;
}

void MemoryDataset::InternalPost() {
  failWhenAsked();
  assert(cursor_ >= 0 && cursor_ < static_cast<int>(rows_.size()));
  rows_[cursor_] = bufferToRow(activeBuffer());
}

void MemoryDataset::InternalDelete() {
  failWhenAsked();
  assert(cursor_ >= 0 && cursor_ < static_cast<int>(rows_.size()));
  rows_.erase(rows_.begin() + cursor_);
  ids_.erase(ids_.begin() + cursor_);
  cursor_ = std::min(cursor_, static_cast<int>(rows_.size()) - 1);
}

bool MemoryDataset::GetFieldData(const dbase::TField& field, Variant& value) const {
  const Row row = bufferToRow(activeBuffer());
  if (dbase::isNullVariant(row[field.Index()])) {
    return false;
  }
  value = row[field.Index()];
  return true;
}

void MemoryDataset::SetFieldData(const dbase::TField& field, const Variant& value) {
  writeSlot(activeBuffer(), field.Index(), normalised(columns_[field.Index()].type, value));
}

void MemoryDataset::GetBookmarkData(const char* buffer, char* data) const {
  std::memcpy(data, buffer + kIdOffset, sizeof(std::int32_t));
}

void MemoryDataset::SetBookmarkData(char* buffer, const char* data) {
  std::memcpy(buffer + kIdOffset, data, sizeof(std::int32_t));
}

TBookmarkFlag MemoryDataset::GetBookmarkFlag(const char* buffer) const {
  return static_cast<TBookmarkFlag>(buffer[kFlagOffset]);
}

void MemoryDataset::SetBookmarkFlag(char* buffer, TBookmarkFlag flag) { buffer[kFlagOffset] = static_cast<char>(flag); }

void MemoryDataset::InternalGotoBookmark(const char* data) {
  const int position = positionOf(readId(data));
  cursor_ = position >= 0 ? position : static_cast<int>(rows_.size());
}

bool MemoryDataset::internalBookmarkValid(const char* data) { return positionOf(readId(data)) >= 0; }

int MemoryDataset::compareBookmarkData(const char* a, const char* b) const {
  const int left = positionOf(readId(a));
  const int right = positionOf(readId(b));
  return left < right ? -1 : (left > right ? 1 : 0);
}

int MemoryDataset::positionOf(std::int32_t id) const {
  const auto found = std::find(ids_.begin(), ids_.end(), id);
  return found == ids_.end() ? -1 : static_cast<int>(found - ids_.begin());
}

int MemoryDataset::GetRecNo() const {
  const int position = positionOf(readId(activeBuffer()));
  return position >= 0 ? position + 1 : std::max(cursor_, 0) + 1;
}

bool MemoryDataset::internalSetRecNo(int recNo) {
  if (recNo < 1 || recNo > static_cast<int>(rows_.size())) {
    return false;
  }
  cursor_ = recNo - 1;
  return true;
}

}  // namespace vekrano::testing
