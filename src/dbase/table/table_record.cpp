// Conversions between the table's field buffer and the dataset's record buffer.
#include "dbase/table/table_record.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/byte_codec.h"
#include "common/code_page.h"
#include "dbase/dbf_number.h"
#include "dbase/dataset/field_convert.h"
#include "dbase/table/tz_fields.h"

namespace vekrano::dbase {
namespace {

constexpr int kDoubleSize = 8;
constexpr int kIntegerSize = 4;
constexpr int kLogicalSize = 2;

bool isFloat(char type, int decimals) { return (type == 'N' || type == 'F') && decimals > 0; }

// A numeric field without decimals, straight from its stored bytes into its slot, as decoding
// into the field buffer would give it; false, with nothing stored, for bytes that the code
// pages translate (which decoding must see).
bool storeWholeNumber(const char* text, std::size_t length, char* slot) {
  if (std::any_of(text, text + length, [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; }))
    return false;
  // Blanks, a sign and up to nine digits, what such fields hold, are read here at once;
  // anything else as every stored number is read.
  std::size_t at = 0;
  while (at < length && (text[at] == ' ' || text[at] == '\t')) ++at;
  const bool negative = at < length && text[at] == '-';
  if (at < length && (text[at] == '-' || text[at] == '+')) ++at;
  std::int32_t value = 0;
  const std::size_t digits = length - at;
  if (at == length) {
    value = 0;  // blanks, or a sign alone
  } else if (digits >= 1 && digits <= 9 &&
             std::all_of(text + at, text + length, [](char c) { return c >= '0' && c <= '9'; })) {
    for (std::size_t d = at; d < length; ++d) value = value * 10 + (text[d] - '0');
    if (negative) value = -value;
  } else {
    value = clampToInt32(ReadNumber(std::string_view(text, length)));
  }
  common::store(slot, value);
  return true;
}
bool isInteger(char type, int decimals) { return (type == 'N' || type == 'F') && decimals == 0; }

double rounded(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  const double rounded = std::round(value * scale) / scale;
  return std::isfinite(rounded) ? rounded : value;
}

double asNumber(const Variant& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) return static_cast<double>(*number);
  if (const auto* real = std::get_if<double>(&value)) return *real;
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? 1 : 0;
  if (const auto* text = std::get_if<std::string>(&value)) return TextToFloat(*text).value_or(0);
  return 0;
}

// The length of the characters text[1..length] without the blanks and control characters that
// pad them.
std::size_t trimmedLength(const std::uint8_t* text, std::size_t length) {
  constexpr char kBlanks[] = "        ";
  while (length >= 8 && std::memcmp(text + length - 7, kBlanks, 8) == 0) length -= 8;
  while (length > 0 && text[length] <= ' ') --length;
  return length;
}

int SlotSize(char type, int length, int decimals) {
  if (type == 'C') return length + 1;
  if (isFloat(type, decimals) || type == 'D') return kDoubleSize;
  if (type == 'L') return kLogicalSize;
  return kIntegerSize;
}

}  // namespace

TableRecordLayout::TableRecordLayout(const DbfTable& table) {
  for (const DbfField& field : table.fields()) {
    slots_.push_back({field.type, field.length, field.decimals, recordSize_});
    recordSize_ += SlotSize(field.type, field.length, field.decimals);
  }
}

std::vector<TFieldDef> TableRecordLayout::FieldDefs(const DbfTable& table) const {
  std::vector<TFieldDef> defs;
  for (const DbfField& field : table.fields()) {
    TFieldDef def{field.name, TFieldType::ftMemo, 0};
    if (field.type == 'C') def = {field.name, TFieldType::ftString, field.length};
    if (isFloat(field.type, field.decimals)) def = {field.name, TFieldType::ftFloat, field.length};
    if (isInteger(field.type, field.decimals)) def = {field.name, TFieldType::ftInteger, field.length};
    if (field.type == 'D') def.DataType = TFieldType::ftDate;
    if (field.type == 'L') def.DataType = TFieldType::ftBoolean;
    defs.push_back(def);
  }
  return defs;
}

void TableRecordLayout::toBuffer(const DbfTable& table, std::int32_t n, char* buffer) const {
  std::memset(buffer, 0, bufferSize());
  buffer[0] = table.isDeleted() ? 1 : 0;
  for (std::size_t i = 0; i < slots_.size(); ++i) toSlot(table, i, buffer);
  setRecordNumber(buffer, n);
  setFlag(buffer, TBookmarkFlag::bfCurrent);
}

void TableRecordLayout::storedFieldsToBuffer(DbfTable& table, const char* stored, std::int32_t n,
                                             const std::vector<std::size_t>& fields, char* buffer) const {
  buffer[0] = stored[0] == kRecordDeleted ? 1 : 0;
  for (std::size_t i : fields) {
    const Slot& slot = slots_[i];
    char* at = buffer + slot.offset;
    if ((slot.type == 'N' || slot.type == 'F') && !isFloat(slot.type, slot.decimals) &&
        storeWholeNumber(stored + table.fields()[i].position, static_cast<std::size_t>(slot.length), at)) {
      continue;  // the whole slot written
    }
    if (slot.type == 'C') {
      // Straight from the stored bytes: the OEM and ANSI code pages agree on which bytes are
      // blanks or control characters, so trimming before translating gives the same text.
      // Only the slot's bytes past the text are cleared: the text is mostly shorter.
      const char* text = stored + table.fields()[i].position;
      const std::size_t length = trimmedLength(reinterpret_cast<const std::uint8_t*>(text) - 1, slot.length);
      at[0] = static_cast<char>(length);
      std::memcpy(at + 1, text, length);
      std::memset(at + 1 + length, 0, static_cast<std::size_t>(slot.length) - length);
      storedToAnsi(table.codePage(), at + 1, length);
    } else {
      std::memset(at, 0, static_cast<std::size_t>(SlotSize(slot.type, slot.length, slot.decimals)));
      table.decodeStoredField(i, stored);
      toSlot(table, i, buffer);
    }
  }
  setRecordNumber(buffer, n);
  setFlag(buffer, TBookmarkFlag::bfCurrent);
}

void TableRecordLayout::toSlot(const DbfTable& table, std::size_t i, char* buffer) const {
  const Slot& slot = slots_[i];
  const int field = static_cast<int>(i) + 1;
  char* at = buffer + slot.offset;
  if (slot.type == 'C') {
    // The stored characters without the blanks and control characters that pad them, straight
    // from the field buffer: every record of a scan passes here.
    const std::uint8_t* text = table.fieldBuffer() + table.fields()[i].address;
    const std::size_t length = trimmedLength(text, text[0]);
    at[0] = static_cast<char>(length);
    std::memcpy(at + 1, text + 1, length);
  } else if (isFloat(slot.type, slot.decimals)) {
    common::store(at, rounded(table.getDouble(field), slot.decimals));
  } else if (slot.type == 'D') {
    common::store(at, textToDateTime(table.getDate(field)).value_or(0.0));
  } else if (slot.type == 'L') {
    at[0] = table.getLogical(field) ? 1 : 0;
  } else {
    common::store(at, table.getInteger(field));
  }
}

void TableRecordLayout::fromBuffer(const char* buffer, DbfTable& table) const {
  table.setDeleted(buffer[0] != 0);
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const Slot& slot = slots_[i];
    const int field = static_cast<int>(i) + 1;
    const char* at = buffer + slot.offset;
    if (slot.type == 'C') {
      table.setString(field, std::string(at + 1, static_cast<unsigned char>(at[0])));
    } else if (isFloat(slot.type, slot.decimals)) {
      table.setDouble(field, common::load<double>(at));
    } else if (slot.type == 'D') {
      const double date = common::load<double>(at);
      table.SetDate(field, date == 0 ? std::string() : dateTimeToStr(date, false));
    } else if (slot.type == 'L') {
      table.setLogical(field, at[0] != 0);
    } else {
      table.setInteger(field, common::load<std::int32_t>(at));
    }
  }
}

void TableRecordLayout::initBuffer(char* buffer) const {
  std::memset(buffer, 0, bufferSize());
  setFlag(buffer, TBookmarkFlag::bfInserted);
}

std::int32_t TableRecordLayout::memoBlock(const char* buffer, int index) const {
  return common::load<std::int32_t>(buffer + slots_[static_cast<std::size_t>(index)].offset);
}

std::string_view TableRecordLayout::Text(const char* buffer, int index) const {
  const char* at = buffer + slots_[static_cast<std::size_t>(index)].offset;
  return std::string_view(at + 1, static_cast<unsigned char>(at[0]));
}

std::int32_t TableRecordLayout::Integer(const char* buffer, int index) const {
  return common::load<std::int32_t>(buffer + slots_[static_cast<std::size_t>(index)].offset);
}

Variant TableRecordLayout::getValue(const char* buffer, int index) const {
  const Slot& slot = slots_[static_cast<std::size_t>(index)];
  const char* at = buffer + slot.offset;
  if (slot.type == 'C') return std::string(Text(buffer, index));
  if (isFloat(slot.type, slot.decimals) || slot.type == 'D') return common::load<double>(at);
  if (slot.type == 'L') return at[0] != 0;
  if (slot.type == 'M') return std::string();
  return static_cast<std::int64_t>(Integer(buffer, index));
}

void TableRecordLayout::setValue(char* buffer, int index, const Variant& value) const {
  const Slot& slot = slots_[static_cast<std::size_t>(index)];
  char* at = buffer + slot.offset;
  if (slot.type == 'C') {
    const auto* text = std::get_if<std::string>(&value);
    const std::size_t length = text ? std::min<std::size_t>(text->size(), slot.length) : 0;
    at[0] = static_cast<char>(length);
    if (length > 0) std::memcpy(at + 1, text->data(), length);
  } else if (isFloat(slot.type, slot.decimals)) {
    common::store(at, asNumber(value));
  } else if (slot.type == 'D') {
    double date = asNumber(value);
    if (date != 0 && !isValidDateTime(date)) {
      showInvalidDate();
      date = 0;
    }
    common::store(at, date);
  } else if (slot.type == 'L') {
    at[0] = asNumber(value) != 0 ? 1 : 0;
  } else if (slot.type != 'M') {
    common::store(at, clampToInt32(std::round(asNumber(value))));
  }
}

std::int32_t TableRecordLayout::recordNumber(const char* buffer) const {
  return common::load<std::int32_t>(buffer + recordSize_);
}

void TableRecordLayout::setRecordNumber(char* buffer, std::int32_t n) const { common::store(buffer + recordSize_, n); }

TBookmarkFlag TableRecordLayout::Flag(const char* buffer) const {
  return static_cast<TBookmarkFlag>(buffer[recordSize_ + kTableBookmarkSize]);
}

void TableRecordLayout::setFlag(char* buffer, TBookmarkFlag flag) const {
  buffer[recordSize_ + kTableBookmarkSize] = static_cast<char>(flag);
}

}  // namespace vekrano::dbase
