// Result columns and their conversions.
#include "sql/results/column.h"

#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>

#include "common/byte_codec.h"
#include "common/code_page.h"
#include "dbase/dataset/field_convert.h"
#include "sql/errors.h"
#include "sql/expr/expr_convert.h"
#include "sql/expr_messages.h"
#include "sql/query_messages.h"

namespace vekrano::sql {
namespace {

constexpr std::uint16_t kPresent = 0xFFFF;
// A text kept beside the rows: its length, then its address.
constexpr std::size_t kTextLengthSize = 4;
constexpr std::size_t kTextReferenceSize = kTextLengthSize + sizeof(std::uint64_t);

// True when `text` is a leading part of `word`, without regard to case.
bool isLeadingPartOf(std::string_view text, std::string_view word) {
  return text.size() <= word.size() && common::ansiUpper(text) == word.substr(0, text.size());
}

}  // namespace

std::int32_t roundToInteger(double value) {
  const std::optional<int> rounded = dbase::roundToInt(value);
  if (!rounded) throw EExpression(messages::kInvalidFloatOperation);
  return *rounded;
}

// --- TSqlField

TSqlField::TSqlField(std::string name, std::string expression, TExprType type, int width)
    : name_(std::move(name)),
      expression_(std::move(expression)),
      type_(type),
      width_(width),
      storageSize_((static_cast<std::size_t>(width) + 1) & ~std::size_t{1}) {}

bool TSqlField::IsNull(const char* row) const { return common::load<std::uint16_t>(row + offset_) == 0; }

void TSqlField::Clear(char* row) const { std::memset(row + offset_, 0, kPresenceSize + storageSize()); }

void TSqlField::setPresent(char* row) const { common::store<std::uint16_t>(row + offset_, kPresent); }

std::string TSqlField::AsString(const char*) const { throw ESqlQueryError(messages::kCannotReadFieldString); }
double TSqlField::AsFloat(const char*) const { throw ESqlQueryError(messages::kCannotReadFieldFloat); }
std::int32_t TSqlField::AsInteger(const char*) const { throw ESqlQueryError(messages::kCannotReadFieldInteger); }
bool TSqlField::AsBoolean(const char*) const { throw ESqlQueryError(messages::kCannotReadFieldBoolean); }
void TSqlField::setAsString(char*, std::string_view) const { throw ESqlQueryError(messages::kCannotAssignString); }
void TSqlField::setAsFloat(char*, double) const { throw ESqlQueryError(messages::kCannotAssignFloat); }
void TSqlField::setAsInteger(char*, std::int32_t) const { throw ESqlQueryError(messages::kCannotAssignInteger); }
void TSqlField::setAsBoolean(char*, bool) const { throw ESqlQueryError(messages::kCannotAssignBoolean); }

// --- TSqlStringField

TSqlStringField::TSqlStringField(std::string name, std::string expression, int width)
    : TSqlField(std::move(name), std::move(expression), ttString, width < 1 ? 1 : width) {}

void TSqlStringField::keepTextsIn(TRowTexts* texts) {
  if (storageSize() <= kTextReferenceSize) return;
  texts_ = texts;
  setStorageSize(kTextReferenceSize);
}

std::string TSqlStringField::AsString(const char* row) const { return std::string(textView(row)); }

std::string_view TSqlStringField::textView(const char* row) const {
  const char* value = Value(row);
  if (texts_ == nullptr) return std::string_view(value, strnlen(value, storageSize()));
  const auto length = common::load<std::uint32_t>(value);
  if (length == 0) return std::string_view("", 0);  // never a null address, which memcpy refuses
  const auto address = static_cast<std::uintptr_t>(common::load<std::uint64_t>(value + kTextLengthSize));
  return std::string_view(reinterpret_cast<const char*>(address), length);
}

double TSqlStringField::AsFloat(const char* row) const { return textToFloat(textView(row)); }

std::int32_t TSqlStringField::AsInteger(const char* row) const { return textToInteger(textView(row)); }

bool TSqlStringField::AsBoolean(const char* row) const {
  const std::string_view text = textView(row);
  const char first = text.empty() ? '\0' : text.front();
  return first == 'T' || first == 'Y' || first == 't' || first == 'y';
}

void TSqlStringField::setAsString(char* row, std::string_view value) const {
  std::size_t length = std::min(value.size(), static_cast<std::size_t>(Width() - 1));
  char* text = Value(row);
  if (texts_ != nullptr) {
    // A zero byte ends the text, as it does for a text held in the row.
    length = strnlen(value.data(), length);
    const char* kept = texts_->Keep(value.substr(0, length));
    common::store(text, static_cast<std::uint32_t>(length));
    common::store(text + kTextLengthSize, static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(kept)));
  } else {
    std::memcpy(text, value.data(), length);
    std::memset(text + length, 0, storageSize() - length);
  }
  setPresent(row);
}

void TSqlStringField::setAsFloat(char* row, double value) const { setAsString(row, floatToText(value)); }

void TSqlStringField::setAsInteger(char* row, std::int32_t value) const { setAsString(row, std::to_string(value)); }

void TSqlStringField::setAsBoolean(char* row, bool value) const { setAsString(row, value ? "T" : "F"); }

// --- TSqlFloatField

TSqlFloatField::TSqlFloatField(std::string name, std::string expression)
    : TSqlField(std::move(name), std::move(expression), ttFloat, sizeof(double)) {}

std::string TSqlFloatField::AsString(const char* row) const { return floatToText(AsFloat(row)); }
double TSqlFloatField::AsFloat(const char* row) const { return common::load<double>(Value(row)); }
std::int32_t TSqlFloatField::AsInteger(const char* row) const { return roundToInteger(AsFloat(row)); }

void TSqlFloatField::setAsString(char* row, std::string_view value) const {
  double number = 0;
  try {
    number = textToFloat(value);
  } catch (const EExpression&) {
    throw ESqlQueryError(common::formatText(messages::kInvalidFloatValue, {std::string(value)}));
  }
  setAsFloat(row, number);
}

void TSqlFloatField::setAsFloat(char* row, double value) const {
  common::store(Value(row), value);
  setPresent(row);
}

void TSqlFloatField::setAsInteger(char* row, std::int32_t value) const { setAsFloat(row, static_cast<double>(value)); }

// --- TSqlIntegerField

TSqlIntegerField::TSqlIntegerField(std::string name, std::string expression)
    : TSqlField(std::move(name), std::move(expression), ttInteger, sizeof(std::int32_t)) {}

std::string TSqlIntegerField::AsString(const char* row) const { return std::to_string(AsInteger(row)); }
double TSqlIntegerField::AsFloat(const char* row) const { return AsInteger(row); }
std::int32_t TSqlIntegerField::AsInteger(const char* row) const { return common::load<std::int32_t>(Value(row)); }

void TSqlIntegerField::setAsString(char* row, std::string_view value) const {
  std::int32_t number = 0;
  try {
    number = textToInteger(value);
  } catch (const EExpression&) {
    throw ESqlQueryError(common::formatText(messages::kInvalidIntegerValue, {std::string(value)}));
  }
  setAsInteger(row, number);
}

void TSqlIntegerField::setAsFloat(char* row, double value) const { setAsInteger(row, roundToInteger(value)); }

void TSqlIntegerField::setAsInteger(char* row, std::int32_t value) const {
  common::store(Value(row), value);
  setPresent(row);
}

// --- TSqlBooleanField

TSqlBooleanField::TSqlBooleanField(std::string name, std::string expression)
    : TSqlField(std::move(name), std::move(expression), ttBoolean, sizeof(std::int16_t)) {}

std::string TSqlBooleanField::AsString(const char* row) const { return AsBoolean(row) ? "T" : "F"; }
double TSqlBooleanField::AsFloat(const char* row) const { return AsBoolean(row) ? 1 : 0; }
std::int32_t TSqlBooleanField::AsInteger(const char* row) const { return AsBoolean(row) ? 1 : 0; }
bool TSqlBooleanField::AsBoolean(const char* row) const { return common::load<std::int16_t>(Value(row)) != 0; }

void TSqlBooleanField::setAsString(char* row, std::string_view value) const {
  if (value.empty() || isLeadingPartOf(value, "FALSE")) {
    setAsBoolean(row, false);
  } else if (isLeadingPartOf(value, "TRUE")) {
    setAsBoolean(row, true);
  } else {
    throw ESqlQueryError(common::formatText(messages::kInvalidBooleanValue, {std::string(value)}));
  }
}

void TSqlBooleanField::setAsBoolean(char* row, bool value) const {
  common::store<std::int16_t>(Value(row), value ? -1 : 0);
  setPresent(row);
}

// --- Making and finding columns

std::unique_ptr<TSqlField> makeSqlField(std::string name, std::string expression, TExprType type, int width) {
  switch (type) {
    case ttFloat: return std::make_unique<TSqlFloatField>(std::move(name), std::move(expression));
    case ttInteger: return std::make_unique<TSqlIntegerField>(std::move(name), std::move(expression));
    case ttBoolean: return std::make_unique<TSqlBooleanField>(std::move(name), std::move(expression));
    case ttString: break;
  }
  return std::make_unique<TSqlStringField>(std::move(name), std::move(expression), width);
}

TSqlField* TSqlFields::Find(const std::string& name) const {
  const std::string upper = common::ansiUpper(name);
  for (const auto& field : fields_) {
    if (common::ansiUpper(field->Name()) == upper) return field.get();
  }
  for (const auto& field : fields_) {
    if (common::ansiUpper(field->Expression()) == upper) return field.get();
  }
  return nullptr;
}

}  // namespace vekrano::sql
