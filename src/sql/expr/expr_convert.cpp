// Number <-> text conversions of the expression language.
#include "sql/expr/expr_convert.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "common/format_settings.h"
#include "sql/errors.h"
#include "sql/expr/expr_datetime.h"
#include "sql/expr_messages.h"

namespace vekrano::sql {
namespace {

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::optional<double> parseFloat(std::string_view text) {
  text = trimBlanks(text);
  std::string plain(text);
  for (char& c : plain) {
    if (c == common::formatSettings().decimalSeparator) c = '.';
  }
  std::string_view digits = plain;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  // Only digits, one point, a sign and an exponent: no "inf", "nan" or hexadecimal floats.
  if (digits.empty() || digits.find_first_not_of("0123456789.+-eE") != std::string_view::npos) {
    return std::nullopt;
  }
  double value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string floatToText(double value) {
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string raw(buffer, error == std::errc() ? end : buffer);
  if (raw == "inf") return "INF";
  if (raw == "-inf") return "-INF";
  if (raw.find("nan") != std::string::npos) return "NAN";
  std::string text;
  const std::size_t exponent = raw.find('e');
  for (std::size_t i = 0; i < raw.size() && i < exponent; ++i) {
    text += raw[i] == '.' ? common::formatSettings().decimalSeparator : raw[i];
  }
  if (exponent != std::string::npos) {
    // "e+20" -> "E20", "e-07" -> "E-7"
    std::string_view rest = std::string_view(raw).substr(exponent + 1);
    text += 'E';
    if (rest.front() == '-') text += '-';
    rest.remove_prefix(1);
    while (rest.size() > 1 && rest.front() == '0') rest.remove_prefix(1);
    text += rest;
  }
  return text;
}

double textToFloat(std::string_view text) {
  if (auto value = parseFloat(text)) return *value;
  if (auto date = systemDateTime(text)) return *date;
  throw EExpression(common::formatText(messages::kNotFloat, {text}));
}

std::int32_t textToInteger(std::string_view text) {
  std::string_view digits = trimBlanks(text);
  bool negative = false;
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  int base = 10;
  if (!digits.empty() && digits.front() == '$') {
    base = 16;
    digits.remove_prefix(1);
  }
  std::int64_t value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  const bool complete = !digits.empty() && error == std::errc() && end == digits.data() + digits.size() &&
                        digits.front() != '-' && digits.front() != '+';
  if (negative) value = -value;
  const bool fits = base == 16 ? value >= -0xFFFFFFFFLL && value <= 0xFFFFFFFFLL
                               : value >= std::numeric_limits<std::int32_t>::min() &&
                                     value <= std::numeric_limits<std::int32_t>::max();
  if (!complete || !fits) throw EExpression(common::formatText(messages::kNotInteger, {text}));
  return wrapInteger(value);
}

std::int32_t truncToInteger(double value) {
  if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) {
    throw EExpression(messages::kInvalidFloatOperation);
  }
  return wrapInteger(static_cast<std::int64_t>(std::trunc(value)));
}

std::int32_t wrapInteger(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

double checkedFloat(double value) {
  if (!std::isfinite(value)) throw EExpression(messages::kInvalidFloatOperation);
  return value;
}

}  // namespace vekrano::sql
