// The field buffer: the decoded form of the current record, its encoding back into the record,
// and the field inquiries.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "common/byte_codec.h"
#include "common/code_page.h"
#include "common/format_settings.h"
#include "dbase/dbase_error.h"
#include "dbase/dbf_date.h"
#include "dbase/dbf/dbf_file.h"
#include "dbase/dbf_number.h"

namespace vekrano::dbase {
namespace {

constexpr std::uint32_t kNumberWidth = 8;
constexpr std::uint32_t kIntegerWidth = 4;
constexpr std::uint32_t kDateWidth = 11;
constexpr std::size_t kDateTextMax = 10;
constexpr std::size_t kStoredDateSize = 8;

bool isDecimal(const DbfField& field) { return (field.type == 'N' || field.type == 'F') && field.decimals > 0; }

std::string_view stored(const std::vector<char>& record, const DbfField& field) {
  return std::string_view(record.data() + field.position, field.length);
}

void putStored(std::vector<char>& record, const DbfField& field, std::string_view text) {
  const std::size_t n = std::min<std::size_t>(text.size(), field.length);
  std::memcpy(record.data() + field.position, text.data(), n);
  std::memset(record.data() + field.position + n, ' ', field.length - n);
}

using common::load;
using common::store;

// A number without decimals as formatNumber writes it, without going through a double: right-
// aligned to the field's width, or the width in "*" when it is wider.
void putInteger(std::vector<char>& record, const DbfField& field, std::int32_t value) {
  char digits[16];
  const std::size_t length =
      static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
  char* const at = record.data() + field.position;
  if (length > field.length) {
    std::memset(at, '*', field.length);
    return;
  }
  std::memset(at, ' ', field.length - length);
  std::memcpy(at + field.length - length, digits, length);
}

// C and D values in the field buffer: a length byte and the characters.
std::string lengthPrefixed(const std::uint8_t* p) { return std::string(reinterpret_cast<const char*>(p + 1), p[0]); }

void putLengthPrefixed(std::uint8_t* p, std::string_view text, std::size_t maximum) {
  const std::size_t length = std::min(text.size(), maximum);
  p[0] = static_cast<std::uint8_t>(length);
  std::memcpy(p + 1, text.data(), length);
}

std::string shortDisplayDate(const Date& date) {
  return displayDate(date, shortDateOrder(), common::formatSettings().dateSeparator, shortDateHasCentury());
}

}  // namespace

std::uint32_t fieldBufferWidth(const DbfField& field) {
  switch (field.type) {
    case 'C': return field.length + 1u;
    case 'N':
    case 'F': return isDecimal(field) ? kNumberWidth : kIntegerWidth;
    case 'D': return kDateWidth;
    case 'L': return 1;
    default: return kIntegerWidth;  // M
  }
}

void DbfTable::decodeRecord() {
  fieldBuffer_[0] = record_[0] == kRecordDeleted ? 1 : 0;
  for (const DbfField& field : fields_) decodeField(field, stored(record_, field));
}

void DbfTable::decodeStoredField(std::size_t index, const char* stored) {
  const DbfField& field = fields_[index];
  const std::string_view text(stored + field.position, field.length);
  // Both code pages agree on the bytes below 0x80: most stored fields need no translation.
  const bool ascii =
      std::none_of(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; });
  if (codePage_ == DbfCodePage::Ansi || ascii) return decodeField(field, text);
  std::array<char, 256> translated;
  const std::size_t length = std::min<std::size_t>(field.length, translated.size());
  std::memcpy(translated.data(), text.data(), length);
  storedToAnsi(codePage_, translated.data(), length);
  decodeField(field, std::string_view(translated.data(), length));
}

void DbfTable::decodeField(const DbfField& field, std::string_view text) {
  std::uint8_t* out = fieldBuffer_.data() + field.address;
  switch (field.type) {
    case 'C': putLengthPrefixed(out, text, field.length); break;
    case 'N':
    case 'F':
      if (isDecimal(field)) {
        store<double>(out, ReadNumber(text));
      } else {
        store<std::int32_t>(out, clampToInt32(ReadNumber(text)));
      }
      break;
    case 'D': {
      Date date;
      putLengthPrefixed(out, parseStoredDate(text.substr(0, kStoredDateSize), date) ? shortDisplayDate(date) : "",
                        kDateTextMax);
      break;
    }
    case 'L': {
      const char c = text.empty() ? ' ' : text[0];
      out[0] = c == 'T' || c == 't' || c == 'Y' || c == 'y' ? 1 : 0;
      break;
    }
    default: store<std::int32_t>(out, clampToInt32(ReadNumber(text))); break;
  }
}

void DbfTable::encodeRecord() {
  record_[0] = fieldBuffer_[0] != 0 ? kRecordDeleted : kRecordLive;
  for (const DbfField& field : fields_) {
    const std::uint8_t* in = fieldBuffer_.data() + field.address;
    switch (field.type) {
      case 'C': {
        const std::size_t length = std::min<std::size_t>(in[0], field.length);
        putStored(record_, field, std::string_view(reinterpret_cast<const char*>(in + 1), length));
        break;
      }
      case 'N':
      case 'F':
        if (isDecimal(field)) {
          putStored(record_, field, formatNumber(load<double>(in), field.length, field.decimals));
        } else {
          putInteger(record_, field, load<std::int32_t>(in));
        }
        break;
      case 'D': {
        Date date;
        const bool valid = parseDisplayDate(lengthPrefixed(in), shortDateOrder(), date);
        putStored(record_, field, valid ? storedDate(date) : "");
        break;
      }
      case 'L': putStored(record_, field, in[0] != 0 ? "T" : "F"); break;
      default: putInteger(record_, field, load<std::int32_t>(in)); break;
    }
  }
}

void DbfTable::ClearRecord() {
  std::fill(record_.begin(), record_.end(), ' ');
  decodeRecord();
}

bool DbfTable::validField(int n, const char* inquiry) const {
  if (n >= 1 && n <= FieldCount()) return true;
  dbfError(kErrorInvalidParameter, std::string("Invalid field number. [") + inquiry + "(" + std::to_string(n) + ")]");
  return false;
}

int DbfTable::FieldCount() const { return static_cast<int>(fields_.size()); }

std::string DbfTable::Field(int n) const { return n >= 1 && n <= FieldCount() ? fields_[n - 1].name : std::string(); }

char DbfTable::FieldType(int n) const { return validField(n, "FieldType") ? fields_[n - 1].type : '\0'; }

int DbfTable::FieldLen(int n) const {
  if (!validField(n, "FieldLen")) return 0;
  if (fields_[n - 1].type == 'D') return shortDateHasCentury() ? 10 : 8;
  return fields_[n - 1].length;
}

int DbfTable::FieldDec(int n) const { return validField(n, "FieldDec") ? fields_[n - 1].decimals : 0; }

int DbfTable::FieldAddress(int n) const {
  return validField(n, "FieldAddress") ? static_cast<int>(fields_[n - 1].address) : 0;
}

int DbfTable::FieldNo(std::string_view name) const {
  const std::string wanted = common::ansiUpper(name);
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (common::ansiUpper(fields_[i].name) == wanted) return static_cast<int>(i) + 1;
  }
  return 0;
}

std::string DbfTable::getString(int n) const { return lengthPrefixed(fieldBuffer_.data() + fields_[n - 1].address); }

void DbfTable::setString(int n, std::string_view text) {
  putLengthPrefixed(fieldBuffer_.data() + fields_[n - 1].address, text, fields_[n - 1].length);
}

double DbfTable::getDouble(int n) const { return load<double>(fieldBuffer_.data() + fields_[n - 1].address); }

void DbfTable::setDouble(int n, double value) { store<double>(fieldBuffer_.data() + fields_[n - 1].address, value); }

std::int32_t DbfTable::getInteger(int n) const {
  return load<std::int32_t>(fieldBuffer_.data() + fields_[n - 1].address);
}

void DbfTable::setInteger(int n, std::int32_t value) {
  store<std::int32_t>(fieldBuffer_.data() + fields_[n - 1].address, value);
}

bool DbfTable::getLogical(int n) const { return fieldBuffer_[fields_[n - 1].address] != 0; }

void DbfTable::setLogical(int n, bool value) { fieldBuffer_[fields_[n - 1].address] = value ? 1 : 0; }

std::string DbfTable::getDate(int n) const { return lengthPrefixed(fieldBuffer_.data() + fields_[n - 1].address); }

void DbfTable::SetDate(int n, std::string_view displayText) {
  putLengthPrefixed(fieldBuffer_.data() + fields_[n - 1].address, displayText, kDateTextMax);
}

bool DbfTable::isDeleted() const { return fieldBuffer_[0] != 0; }
void DbfTable::setDeleted(bool deleted) { fieldBuffer_[0] = deleted ? 1 : 0; }

}  // namespace vekrano::dbase
