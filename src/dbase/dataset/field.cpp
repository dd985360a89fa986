// The generic field and the field classes: conversions between a column's native value and the
// kinds callers read and write.
#include "dbase/dataset/field.h"

#include <cmath>
#include <limits>

#include "common/code_page.h"
#include "dbase/dataset/database_error.h"
#include "dbase/dataset/dataset.h"
#include "dbase/dataset/field_convert.h"

namespace vekrano::dbase {
namespace {

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

// Reads a native value of kind T; a value of another kind is a fault of the concrete dataset.
template <typename T>
T nativeOr(const Variant& value, T fallback) {
  const T* native = std::get_if<T>(&value);
  return native != nullptr ? *native : fallback;
}

template <typename T>
std::optional<Variant> toVariant(const std::optional<T>& value) {
  return value ? std::optional<Variant>(*value) : std::nullopt;
}

}  // namespace

bool isNullVariant(const Variant& value) { return std::holds_alternative<std::monostate>(value); }

bool isHeldAsDouble(TFieldType type) {
  using enum TFieldType;
  return type == ftFloat || type == ftCurrency || type == ftBCD || type == ftFMTBcd || type == ftDate ||
         type == ftTime || type == ftDateTime;
}

TField::TField(TDataSet& dataSet, const TFieldDef& def)
    : dataSet_(dataSet), fieldName_(def.Name), dataType_(def.DataType), size_(def.Size) {}

const std::string& TField::DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }

bool TField::IsNull() const { return !dataSet_.fieldHasValue(*this); }

bool TField::textView(std::string_view& text) const {
  return DataType() == TFieldType::ftString && dataSet_.readFieldText(*this, text);
}

bool TField::getData(Variant& value) const { return dataSet_.ReadField(*this, value); }

bool TField::getInteger(std::int64_t& value) const { return dataSet_.readFieldInteger(*this, value); }

void TField::setData(const Variant& value) { dataSet_.writeField(*this, value); }

void TField::setDataFromText(const std::string& text, const std::optional<Variant>& parsed, const char* errorPattern) {
  if (IsBlank(text)) {
    Clear();
  } else if (!parsed) {
    databaseError(errorPattern, text);
  } else {
    setData(*parsed);
  }
}

void TField::typeMismatch(const char* typeName) const { databaseError(kFieldTypeMismatch, displayName(), typeName); }

std::string TField::AsString() const { typeMismatch("String"); }
int TField::AsInteger() const { typeMismatch("Integer"); }
double TField::AsFloat() const { typeMismatch("Float"); }
bool TField::AsBoolean() const { typeMismatch("Boolean"); }
double TField::AsDateTime() const { typeMismatch("DateTime"); }
void TField::setAsString(const std::string&) { typeMismatch("String"); }
void TField::setAsInteger(int) { typeMismatch("Integer"); }
void TField::setAsFloat(double) { typeMismatch("Float"); }
void TField::setAsBoolean(bool) { typeMismatch("Boolean"); }
void TField::setAsDateTime(double) { typeMismatch("DateTime"); }

Variant TField::Value() const {
  Variant value;
  getData(value);
  return value;
}

void TField::setValue(const Variant& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) {
    if (*number >= std::numeric_limits<int>::min() && *number <= std::numeric_limits<int>::max()) {
      setAsInteger(static_cast<int>(*number));
    } else {
      setAsFloat(static_cast<double>(*number));
    }
  } else if (const auto* flag = std::get_if<bool>(&value)) {
    setAsBoolean(*flag);
  } else if (const auto* real = std::get_if<double>(&value)) {
    setAsFloat(*real);
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    setAsString(*text);
  } else {
    Clear();
  }
}

void TField::Clear() { setData(std::monostate{}); }

void TField::Assign(const TField& source) {
  if (source.IsNull()) {
    Clear();
    return;
  }
  switch (source.DataType()) {
    case TFieldType::ftDate:
    case TFieldType::ftTime:
    case TFieldType::ftDateTime: setAsDateTime(source.AsDateTime()); break;
    case TFieldType::ftString:
    case TFieldType::ftMemo:
    case TFieldType::ftBlob:
    case TFieldType::ftBytes: setAsString(source.AsString()); break;
    default: setValue(source.Value()); break;
  }
}

// --- TStringField

std::string TStringField::AsString() const {
  if (std::string_view text; textView(text)) return std::string(text);
  Variant value;
  return getData(value) ? nativeOr<std::string>(value, {}) : std::string();
}

int TStringField::AsInteger() const {
  const std::string text = AsString();
  if (IsBlank(text)) {
    return 0;
  }
  const auto number = textToInt(text);
  if (!number || *number < std::numeric_limits<int>::min() || *number > std::numeric_limits<int>::max()) {
    databaseError(kInvalidInteger, text);
  }
  return static_cast<int>(*number);
}

double TStringField::AsFloat() const {
  const std::string text = AsString();
  if (IsBlank(text)) {
    return 0;
  }
  const auto number = TextToFloat(text);
  if (!number) {
    databaseError(kInvalidFloat, text);
  }
  return *number;
}

bool TStringField::AsBoolean() const {
  const std::string text = AsString();
  return !text.empty() && (text[0] == 'T' || text[0] == 't' || text[0] == 'Y' || text[0] == 'y');
}

double TStringField::AsDateTime() const {
  const std::string text = AsString();
  if (IsBlank(text)) {
    return 0;
  }
  const auto date = textToDateTime(text);
  if (!date) {
    databaseError(kInvalidDate, text);
  }
  return *date;
}

void TStringField::setAsString(const std::string& value) {
  setData(Size() > 0 && static_cast<int>(value.size()) > Size() ? value.substr(0, Size()) : value);
}

void TStringField::setAsInteger(int value) { setAsString(intToStr(value)); }
void TStringField::setAsFloat(double value) { setAsString(floatToStr(value)); }
void TStringField::setAsBoolean(bool value) { setAsString(value ? "T" : "F"); }

void TStringField::setAsDateTime(double value) { setAsString(dateTimeToStr(value, value != std::trunc(value))); }

// --- TIntegerField

std::int64_t TIntegerField::int64Value() const {
  if (std::int64_t number; getInteger(number)) return number;
  Variant value;
  return getData(value) ? nativeOr<std::int64_t>(value, 0) : 0;
}

std::string TIntegerField::AsString() const { return IsNull() ? std::string() : intToStr(int64Value()); }

int TIntegerField::AsInteger() const {
  const std::int64_t value = int64Value();
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
    databaseError(kInvalidInteger, intToStr(value));
  }
  return static_cast<int>(value);
}

double TIntegerField::AsFloat() const { return static_cast<double>(int64Value()); }

void TIntegerField::setAsString(const std::string& value) {
  setDataFromText(value, toVariant(textToInt(value)), kInvalidInteger);
}

void TIntegerField::setAsInteger(int value) { setData(std::int64_t{value}); }

void TIntegerField::setAsFloat(double value) {
  const double rounded = std::nearbyint(value);
  // 2^63 is the first double beyond the 64-bit range.
  if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0)) {
    databaseError(kInvalidInteger, floatToStr(value));
  }
  setData(static_cast<std::int64_t>(rounded));
}

// --- TFloatField

std::string TFloatField::AsString() const { return IsNull() ? std::string() : floatToStr(AsFloat()); }

int TFloatField::AsInteger() const {
  const double value = AsFloat();
  const auto rounded = roundToInt(value);
  if (!rounded) {
    databaseError(kInvalidInteger, floatToStr(value));
  }
  return *rounded;
}

double TFloatField::AsFloat() const {
  Variant value;
  return getData(value) ? nativeOr<double>(value, 0) : 0;
}

void TFloatField::setAsString(const std::string& value) {
  setDataFromText(value, toVariant(TextToFloat(value)), kInvalidFloat);
}

void TFloatField::setAsInteger(int value) { setData(static_cast<double>(value)); }

void TFloatField::setAsFloat(double value) {
  if (!std::isfinite(value)) {
    databaseError(kInvalidFloat, floatToStr(value));
  }
  setData(value);
}

// --- TDateField

std::string TDateField::AsString() const {
  if (IsNull()) {
    return {};
  }
  const double value = AsDateTime();
  switch (DataType()) {
    case TFieldType::ftTime: return timeToStr(value);
    case TFieldType::ftDateTime: return dateTimeToStr(value, value != std::trunc(value));
    default: return dateTimeToStr(value, false);
  }
}

double TDateField::AsFloat() const { return AsDateTime(); }

double TDateField::AsDateTime() const {
  Variant value;
  return getData(value) ? nativeOr<double>(value, 0) : 0;
}

void TDateField::setAsString(const std::string& value) {
  setDataFromText(value, toVariant(textToDateTime(value)), kInvalidDate);
}

void TDateField::setAsFloat(double value) { setAsDateTime(value); }

void TDateField::setAsDateTime(double value) {
  if (!isValidDateTime(value)) {
    databaseError(kInvalidDate, floatToStr(value));
  }
  setData(value);
}

// --- TBooleanField

std::string TBooleanField::AsString() const {
  if (IsNull()) {
    return {};
  }
  return AsBoolean() ? "True" : "False";
}

bool TBooleanField::AsBoolean() const {
  Variant value;
  return getData(value) && nativeOr<bool>(value, false);
}

void TBooleanField::setAsString(const std::string& value) {
  if (IsBlank(value)) {
    Clear();
    return;
  }
  const std::string upper = common::ansiUpper(value);
  if (std::string_view("TRUE").starts_with(upper)) {
    setAsBoolean(true);
  } else if (std::string_view("FALSE").starts_with(upper)) {
    setAsBoolean(false);
  } else {
    databaseError(kInvalidBoolean, value);
  }
}

void TBooleanField::setAsBoolean(bool value) { setData(value); }

// --- TMemoField

std::string TMemoField::AsString() const {
  Variant value;
  return getData(value) ? nativeOr<std::string>(value, {}) : std::string();
}

void TMemoField::setAsString(const std::string& value) { setData(value); }

}  // namespace vekrano::dbase
