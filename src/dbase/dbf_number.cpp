// Decimal text of numeric fields, locale-independent.
#include "dbase/dbf_number.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vekrano::dbase {

double ReadNumber(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  // Only digits or "." may start the number: from_chars would also read "inf" and "nan".
  if (at == text.size() || !((text[at] >= '0' && text[at] <= '9') || text[at] == '.')) return 0;
  // Whole numbers of up to 15 digits, what most fields hold, are exact without from_chars.
  if (text.size() - at <= 15) {
    double whole = 0;
    std::size_t digit = at;
    while (digit < text.size() && text[digit] >= '0' && text[digit] <= '9') whole = whole * 10 + (text[digit++] - '0');
    if (digit == text.size()) return negative ? -whole : whole;
  }
  double value = 0;
  const char* first = text.data() + at;
  const auto result = std::from_chars(first, text.data() + text.size(), value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    const std::string_view digits(first, static_cast<std::size_t>(result.ptr - first));
    const bool tiny = digits.find("e-") != digits.npos || digits.find("E-") != digits.npos;
    value = tiny ? 0.0 : std::numeric_limits<double>::max();
  } else if (result.ec != std::errc()) {
    return 0;
  }
  return negative ? -value : value;
}

std::string formatNumber(double value, int width, int decimals) {
  if (width < 0) width = 0;
  if (decimals < 0) decimals = 0;
  char buffer[400];
  std::string text;
  if (std::isfinite(value) && std::fabs(value) < 1e300) {
    if (value == 0) value = 0;  // no "-0"
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec == std::errc()) text.assign(buffer, result.ptr);
  }
  if (text.empty() || static_cast<int>(text.size()) > width) return std::string(width, '*');
  return std::string(width - text.size(), ' ') + text;
}

std::int32_t clampToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

}  // namespace vekrano::dbase
