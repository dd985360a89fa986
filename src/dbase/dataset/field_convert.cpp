// Text forms of integers, floats and dates under the process's format settings.
#include "dbase/dataset/field_convert.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "common/civil_date.h"
#include "common/format_settings.h"

namespace vekrano::dbase {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') {
    text.remove_prefix(1);
  }
  while (!text.empty() && text.back() == ' ') {
    text.remove_suffix(1);
  }
  return text;
}

// Day 0 of the platform's count, 1899-12-30, in days from 1970-01-01.
constexpr std::int64_t kDayZero = -common::kSerialOfUnixEpoch;
// The first and last days the count allows: 0001-01-01 and 9999-12-31.
constexpr double kFirstDay = -693593;
constexpr double kLastDay = 2958465;
constexpr std::int64_t kMillisecondsPerDay = 86400000;

void AppendNumber(std::string& out, int value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) {
    out.append(width - digits.size(), '0');
  }
  out += digits;
}

// The order of day ('d'), month ('m') and year ('y') in the short date format.
std::string DateOrder() {
  std::string order;
  for (char c : common::formatSettings().shortDateFormat) {
    const char letter = c == 'M' ? 'm' : c;
    if ((letter == 'd' || letter == 'm' || letter == 'y') && order.find(letter) == std::string::npos) {
      order += letter;
    }
  }
  return order.size() == 3 ? order : "dmy";
}

// Reads 1 to `maxDigits` digits at `pos`.
std::optional<int> ReadNumber(std::string_view text, std::size_t& pos, std::size_t maxDigits, std::size_t& digits) {
  const std::size_t start = pos;
  int value = 0;
  while (pos < text.size() && pos - start < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  digits = pos - start;
  if (digits == 0 || (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')) {
    return std::nullopt;
  }
  return value;
}

// "h:m[:s]" as a fraction of a day.
std::optional<double> readTime(std::string_view text) {
  std::size_t pos = 0;
  std::size_t digits = 0;
  int parts[3] = {0, 0, 0};
  int count = 0;
  while (count < 3) {
    const auto number = ReadNumber(text, pos, 2, digits);
    if (!number) {
      return std::nullopt;
    }
    parts[count++] = *number;
    if (pos == text.size()) {
      break;
    }
    if (text[pos] != ':' || count == 3) {
      return std::nullopt;
    }
    ++pos;
  }
  if (count < 2 || pos != text.size() || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) {
    return std::nullopt;
  }
  return (parts[0] * 3600 + parts[1] * 60 + parts[2]) / 86400.0;
}

}  // namespace

std::string intToStr(std::int64_t value) { return std::to_string(value); }

std::optional<std::int64_t> textToInt(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') {
      return std::nullopt;
    }
  }
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::string floatToStr(double value) {
  if (std::isnan(value)) {
    return "NAN";
  }
  if (std::isinf(value)) {
    return value > 0 ? "INF" : "-INF";
  }
  if (value == 0) {
    return "0";
  }
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  const std::size_t e = text.find('e');
  if (e != std::string::npos) {
    const bool negative = text[e + 1] == '-';
    std::size_t digits = e + 2;
    while (digits + 1 < text.size() && text[digits] == '0') {
      ++digits;
    }
    text = text.substr(0, e) + "E" + (negative ? "-" : "") + text.substr(digits);
  }
  const std::size_t point = text.find('.');
  if (point != std::string::npos) {
    text[point] = common::formatSettings().decimalSeparator;
  }
  return text;
}

std::optional<double> TextToFloat(std::string_view text) {
  std::string normal(TrimBlanks(text));
  for (char& c : normal) {
    if (c == common::formatSettings().decimalSeparator) {
      c = '.';
    }
  }
  std::string_view digits = normal;
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
    if (!digits.empty() && digits.front() == '-') {
      return std::nullopt;
    }
  }
  double value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<double> encodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > common::daysInMonth(year, month)) {
    return std::nullopt;
  }
  return static_cast<double>(common::daysFromCivil(year, month, day) - kDayZero);
}

bool isValidDateTime(double dateTime) {
  return std::isfinite(dateTime) && std::trunc(dateTime) >= kFirstDay && std::trunc(dateTime) <= kLastDay;
}

void decodeDate(double dateTime, int& year, int& month, int& day) {
  const common::CivilDate date = common::civilFromDays(static_cast<std::int64_t>(std::trunc(dateTime)) + kDayZero);
  year = date.year;
  month = date.month;
  day = date.day;
}

std::string timeToStr(double dateTime) {
  const double fraction = std::fabs(dateTime - std::trunc(dateTime));
  const std::int64_t ms = std::min<std::int64_t>(std::llround(fraction * kMillisecondsPerDay), kMillisecondsPerDay - 1);
  const auto seconds = static_cast<int>(ms / 1000);
  std::string text;
  AppendNumber(text, seconds / 3600, 2);
  text += ':';
  AppendNumber(text, seconds / 60 % 60, 2);
  text += ':';
  AppendNumber(text, seconds % 60, 2);
  return text;
}

std::string dateTimeToStr(double dateTime, bool withTime) {
  if (!isValidDateTime(dateTime)) {
    return {};
  }
  int year = 0;
  int month = 0;
  int day = 0;
  decodeDate(dateTime, year, month, day);
  const auto& settings = common::formatSettings();
  const std::string& pattern = settings.shortDateFormat;
  std::string text;
  for (std::size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    std::size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) {
      ++run;
    }
    if (c == 'd') {
      AppendNumber(text, day, run >= 2 ? 2 : 1);
    } else if (c == 'M' || c == 'm') {
      AppendNumber(text, month, run >= 2 ? 2 : 1);
    } else if (c == 'y') {
      AppendNumber(text, run <= 2 ? year % 100 : year, run <= 2 ? 2 : 4);
    } else {
      text.append(run, c == '/' ? settings.dateSeparator : c);
    }
    i += run;
  }
  if (withTime) {
    text += ' ';
    text += timeToStr(dateTime);
  }
  return text;
}

std::optional<double> textToDateTime(std::string_view text) {
  text = TrimBlanks(text);
  const std::string order = DateOrder();
  int day = 0;
  int month = 0;
  int year = 0;
  std::size_t pos = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    if (i > 0) {
      if (pos >= text.size() || text[pos] == ' ' || (text[pos] >= '0' && text[pos] <= '9')) {
        return std::nullopt;
      }
      ++pos;
    }
    std::size_t digits = 0;
    const auto number = ReadNumber(text, pos, order[i] == 'y' ? 4 : 2, digits);
    if (!number) {
      return std::nullopt;
    }
    if (order[i] == 'd') {
      day = *number;
    } else if (order[i] == 'm') {
      month = *number;
    } else {
      year = digits <= 2 ? *number + (*number < 50 ? 2000 : 1900) : *number;
    }
  }
  const auto date = encodeDate(year, month, day);
  if (!date) {
    return std::nullopt;
  }
  if (pos == text.size()) {
    return date;
  }
  if (text[pos] != ' ') {
    return std::nullopt;
  }
  const auto time = readTime(TrimBlanks(text.substr(pos)));
  if (!time) {
    return std::nullopt;
  }
  // Before day 0 the time counts away from zero, as the day does.
  return *date < 0 ? *date - *time : *date + *time;
}

std::optional<int> roundToInt(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max())) {
    return std::nullopt;
  }
  return static_cast<int>(rounded);
}

}  // namespace vekrano::dbase
