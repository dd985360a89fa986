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
T NativeOr(const Variant& value, T fallback) {
  const T* native = std::get_if<T>(&value);
  return native != nullptr ? *native : fallback;
}

template <typename T>
std::optional<Variant> ToVariant(const std::optional<T>& value) {
  return value ? std::optional<Variant>(*value) : std::nullopt;
}

}  // namespace

bool IsNullVariant(const Variant& value) { return std::holds_alternative<std::monostate>(value); }

bool isHeldAsDouble(TFieldType type) {
  using enum TFieldType;
  return type == ftFloat || type == ftCurrency || type == ftBCD || type == ftFMTBcd || type == ftDate ||
         type == ftTime || type == ftDateTime;
}

TField::TField(TDataSet& dataSet, const TFieldDef& def)
    : dataSet_(dataSet), fieldName_(def.Name), dataType_(def.DataType), size_(def.Size) {}

const std::string& TField::DisplayLabel() const {
  return displayLabel_.empty() ? fieldName_ : displayLabel_;
}

bool TField::IsNull() const { return !dataSet_.FieldHasValue(*this); }

bool TField::TextView(std::string_view& text) const {
  return DataType() == TFieldType::ftString && dataSet_.ReadFieldText(*this, text);
}

bool TField::GetData(Variant& value) const { return dataSet_.ReadField(*this, value); }

bool TField::GetInteger(std::int64_t& value) const { return dataSet_.ReadFieldInteger(*this, value); }

void TField::SetData(const Variant& value) { dataSet_.WriteField(*this, value); }

void TField::SetDataFromText(const std::string& text, const std::optional<Variant>& parsed,
                             const char* errorPattern) {
  if (IsBlank(text)) {
    Clear();
  } else if (!parsed) {
    DatabaseError(errorPattern, text);
  } else {
    SetData(*parsed);
  }
}

void TField::TypeMismatch(const char* typeName) const {
  DatabaseError(kFieldTypeMismatch, DisplayName(), typeName);
}

std::string TField::AsString() const { TypeMismatch("String"); }
int TField::AsInteger() const { TypeMismatch("Integer"); }
double TField::AsFloat() const { TypeMismatch("Float"); }
bool TField::AsBoolean() const { TypeMismatch("Boolean"); }
double TField::AsDateTime() const { TypeMismatch("DateTime"); }
void TField::SetAsString(const std::string&) { TypeMismatch("String"); }
void TField::SetAsInteger(int) { TypeMismatch("Integer"); }
void TField::SetAsFloat(double) { TypeMismatch("Float"); }
void TField::SetAsBoolean(bool) { TypeMismatch("Boolean"); }
void TField::SetAsDateTime(double) { TypeMismatch("DateTime"); }

Variant TField::Value() const {
  Variant value;
  GetData(value);
  return value;
}

void TField::SetValue(const Variant& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) {
    if (*number >= std::numeric_limits<int>::min() && *number <= std::numeric_limits<int>::max()) {
      SetAsInteger(static_cast<int>(*number));
    } else {
      SetAsFloat(static_cast<double>(*number));
    }
  } else if (const auto* flag = std::get_if<bool>(&value)) {
    SetAsBoolean(*flag);
  } else if (const auto* real = std::get_if<double>(&value)) {
    SetAsFloat(*real);
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    SetAsString(*text);
  } else {
    Clear();
  }
}

void TField::Clear() { SetData(std::monostate{}); }

void TField::Assign(const TField& source) {
  if (source.IsNull()) {
    Clear();
    return;
  }
  switch (source.DataType()) {
    case TFieldType::ftDate:
    case TFieldType::ftTime:
    case TFieldType::ftDateTime:
      SetAsDateTime(source.AsDateTime());
      break;
    case TFieldType::ftString:
    case TFieldType::ftMemo:
    case TFieldType::ftBlob:
    case TFieldType::ftBytes:
      SetAsString(source.AsString());
      break;
    default:
      SetValue(source.Value());
      break;
  }
}

// --- TStringField

std::string TStringField::AsString() const {
  if (std::string_view text; TextView(text)) return std::string(text);
  Variant value;
  return GetData(value) ? NativeOr<std::string>(value, {}) : std::string();
}

int TStringField::AsInteger() const {
  const std::string text = AsString();
  if (IsBlank(text)) {
    return 0;
  }
  const auto number = TextToInt(text);
  if (!number || *number < std::numeric_limits<int>::min() ||
      *number > std::numeric_limits<int>::max()) {
    DatabaseError(kInvalidInteger, text);
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
    DatabaseError(kInvalidFloat, text);
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
  const auto date = TextToDateTime(text);
  if (!date) {
    DatabaseError(kInvalidDate, text);
  }
  return *date;
}

void TStringField::SetAsString(const std::string& value) {
  SetData(Size() > 0 && static_cast<int>(value.size()) > Size() ? value.substr(0, Size()) : value);
}

void TStringField::SetAsInteger(int value) { SetAsString(IntToStr(value)); }
void TStringField::SetAsFloat(double value) { SetAsString(FloatToStr(value)); }
void TStringField::SetAsBoolean(bool value) { SetAsString(value ? "T" : "F"); }

void TStringField::SetAsDateTime(double value) {
  SetAsString(DateTimeToStr(value, value != std::trunc(value)));
}

// --- TIntegerField

std::int64_t TIntegerField::Int64Value() const {
  if (std::int64_t number; GetInteger(number)) return number;
  Variant value;
  return GetData(value) ? NativeOr<std::int64_t>(value, 0) : 0;
}

std::string TIntegerField::AsString() const { return IsNull() ? std::string() : IntToStr(Int64Value()); }

int TIntegerField::AsInteger() const {
  const std::int64_t value = Int64Value();
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
    DatabaseError(kInvalidInteger, IntToStr(value));
  }
  return static_cast<int>(value);
}

double TIntegerField::AsFloat() const { return static_cast<double>(Int64Value()); }

void TIntegerField::SetAsString(const std::string& value) {
  SetDataFromText(value, ToVariant(TextToInt(value)), kInvalidInteger);
}

void TIntegerField::SetAsInteger(int value) { SetData(std::int64_t{value}); }

void TIntegerField::SetAsFloat(double value) {
  const double rounded = std::nearbyint(value);
  // 2^63 is the first double beyond the 64-bit range.
  if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0)) {
    DatabaseError(kInvalidInteger, FloatToStr(value));
  }
  SetData(static_cast<std::int64_t>(rounded));
}

// --- TFloatField

std::string TFloatField::AsString() const { return IsNull() ? std::string() : FloatToStr(AsFloat()); }

int TFloatField::AsInteger() const {
  const double value = AsFloat();
  const auto rounded = RoundToInt(value);
  if (!rounded) {
    DatabaseError(kInvalidInteger, FloatToStr(value));
  }
  return *rounded;
}

double TFloatField::AsFloat() const {
  Variant value;
  return GetData(value) ? NativeOr<double>(value, 0) : 0;
}

void TFloatField::SetAsString(const std::string& value) {
  SetDataFromText(value, ToVariant(TextToFloat(value)), kInvalidFloat);
}

void TFloatField::SetAsInteger(int value) { SetData(static_cast<double>(value)); }

void TFloatField::SetAsFloat(double value) {
  if (!std::isfinite(value)) {
    DatabaseError(kInvalidFloat, FloatToStr(value));
  }
  SetData(value);
}

// --- TDateField

std::string TDateField::AsString() const {
  if (IsNull()) {
    return {};
  }
  const double value = AsDateTime();
  switch (DataType()) {
    case TFieldType::ftTime:
      return TimeToStr(value);
    case TFieldType::ftDateTime:
      return DateTimeToStr(value, value != std::trunc(value));
    default:
      return DateTimeToStr(value, false);
  }
}

double TDateField::AsFloat() const { return AsDateTime(); }

double TDateField::AsDateTime() const {
  Variant value;
  return GetData(value) ? NativeOr<double>(value, 0) : 0;
}

void TDateField::SetAsString(const std::string& value) {
  SetDataFromText(value, ToVariant(TextToDateTime(value)), kInvalidDate);
}

void TDateField::SetAsFloat(double value) { SetAsDateTime(value); }

void TDateField::SetAsDateTime(double value) {
  if (!IsValidDateTime(value)) {
    DatabaseError(kInvalidDate, FloatToStr(value));
  }
  SetData(value);
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
  return GetData(value) && NativeOr<bool>(value, false);
}

void TBooleanField::SetAsString(const std::string& value) {
  if (IsBlank(value)) {
    Clear();
    return;
  }
  const std::string upper = common::ansiUpper(value);
  if (std::string_view("TRUE").starts_with(upper)) {
    SetAsBoolean(true);
  } else if (std::string_view("FALSE").starts_with(upper)) {
    SetAsBoolean(false);
  } else {
    DatabaseError(kInvalidBoolean, value);
  }
}

void TBooleanField::SetAsBoolean(bool value) { SetData(value); }

// --- TMemoField

std::string TMemoField::AsString() const {
  Variant value;
  return GetData(value) ? NativeOr<std::string>(value, {}) : std::string();
}

void TMemoField::SetAsString(const std::string& value) { SetData(value); }

}  // namespace vekrano::dbase
