// Serial date-times: conversion to and from calendar parts, reading and formatting.
#include "sql/expr/expr_datetime.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <ctime>

#include "common/civil_date.h"
#include "common/format_settings.h"
#include "sql/errors.h"
#include "sql/expr_messages.h"
#include "sql/program/statement_text.h"

namespace vekrano::sql {
namespace {

constexpr double kMsecPerDay = 86400000.0;

// Reads up to `maxDigits` digits at `pos`; nothing when there is no digit.
std::optional<int> readNumber(std::string_view text, std::size_t& pos, std::size_t maxDigits = 4) {
  std::size_t start = pos;
  int value = 0;
  while (pos < text.size() && pos - start < maxDigits && std::isdigit(static_cast<unsigned char>(text[pos]))) {
    value = value * 10 + (text[pos++] - '0');
  }
  if (pos == start) return std::nullopt;
  return value;
}

void skipBlanks(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
}

const char* const kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

std::string twoDigits(int value) {
  return std::string(1, static_cast<char>('0' + value / 10 % 10)) + static_cast<char>('0' + value % 10);
}

std::string padded(int value, std::size_t width) {
  std::string text = std::to_string(value);
  return std::string(text.size() < width ? width - text.size() : 0, '0') + text;
}

// Length of the run of letter `c` (either case) at `pos`.
std::size_t runLength(std::string_view format, std::size_t pos) {
  const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(format[pos])));
  std::size_t n = 0;
  while (pos + n < format.size() && std::tolower(static_cast<unsigned char>(format[pos + n])) == c) {
    ++n;
  }
  return n;
}

bool startsWithNoCase(std::string_view text, std::size_t pos, std::string_view word) {
  if (text.size() - pos < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[pos + i])) != word[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<double> encodeDateTime(const DateTimeParts& p) {
  if (p.year < 1 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
      p.day > common::daysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 ||
      p.second < 0 || p.second > 59 || p.msec < 0 || p.msec > 999) {
    return std::nullopt;
  }
  const double days = static_cast<double>(common::daysFromCivil(p.year, p.month, p.day) + common::kSerialOfUnixEpoch);
  const double time = (((p.hour * 60.0 + p.minute) * 60.0 + p.second) * 1000.0 + p.msec) / kMsecPerDay;
  return days < 0 ? days - time : days + time;
}

DateTimeParts decodeDateTime(double value) {
  // Years 1 to 9999 span these serial numbers.
  if (!std::isfinite(value) || value < -693594.0 || value >= 2958466.0) {
    throw EExpression(messages::kInvalidFloatOperation);
  }
  DateTimeParts parts;
  const double whole = std::trunc(value);
  long msecs = std::lround(std::fabs(value - whole) * kMsecPerDay);
  long days = static_cast<long>(whole);
  if (msecs >= static_cast<long>(kMsecPerDay)) {
    msecs = 0;
    days += value < 0 ? -1 : 1;
  }
  const common::CivilDate date = common::civilFromDays(days - common::kSerialOfUnixEpoch);
  parts.year = date.year;
  parts.month = date.month;
  parts.day = date.day;
  parts.hour = static_cast<int>(msecs / 3600000);
  parts.minute = static_cast<int>(msecs / 60000 % 60);
  parts.second = static_cast<int>(msecs / 1000 % 60);
  parts.msec = static_cast<int>(msecs % 1000);
  // 1899-12-30 was a Saturday.
  parts.dayOfWeek = static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
  return parts;
}

std::optional<double> monthFirstDate(std::string_view text) {
  std::size_t pos = 0;
  DateTimeParts parts;
  auto month = readNumber(text, pos, 2);
  if (!month || pos >= text.size() || text[pos++] != '/') return std::nullopt;
  auto day = readNumber(text, pos, 2);
  if (!day || pos >= text.size() || text[pos++] != '/') return std::nullopt;
  auto year = readNumber(text, pos, 4);
  if (!year || pos != text.size()) return std::nullopt;
  parts.month = *month;
  parts.day = *day;
  parts.year = *year;
  return encodeDateTime(parts);
}

std::optional<double> systemDateTime(std::string_view text) {
  const common::FormatSettings& settings = common::formatSettings();
  std::string order;  // the letters d, m, y in the order of the short date format
  for (char c : settings.shortDateFormat) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if ((lower == 'd' || lower == 'm' || lower == 'y') && order.find(lower) == std::string::npos) {
      order += lower;
    }
  }
  if (order.size() != 3) order = "dmy";
  DateTimeParts parts;
  std::size_t pos = 0;
  skipBlanks(text, pos);
  for (std::size_t i = 0; i < 3; ++i) {
    if (i > 0 && (pos >= text.size() || text[pos++] != settings.dateSeparator)) return std::nullopt;
    const std::size_t start = pos;
    auto number = readNumber(text, pos);
    if (!number) return std::nullopt;
    if (order[i] == 'd') parts.day = *number;
    if (order[i] == 'm') parts.month = *number;
    if (order[i] == 'y') parts.year = pos - start <= 2 ? (*number < 50 ? 2000 : 1900) + *number : *number;
  }
  skipBlanks(text, pos);
  if (pos < text.size()) {
    auto hour = readNumber(text, pos, 2);
    if (!hour || pos >= text.size() || text[pos++] != ':') return std::nullopt;
    auto minute = readNumber(text, pos, 2);
    if (!minute) return std::nullopt;
    parts.hour = *hour;
    parts.minute = *minute;
    if (pos < text.size() && text[pos] == ':') {
      ++pos;
      auto second = readNumber(text, pos, 2);
      if (!second) return std::nullopt;
      parts.second = *second;
    }
    skipBlanks(text, pos);
    if (pos != text.size()) return std::nullopt;
  }
  return encodeDateTime(parts);
}

double nowDateTime() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  DateTimeParts parts;
  parts.year = local.tm_year + 1900;
  parts.month = local.tm_mon + 1;
  parts.day = local.tm_mday;
  parts.hour = local.tm_hour;
  parts.minute = local.tm_min;
  parts.second = local.tm_sec < 60 ? local.tm_sec : 59;
  parts.msec =
      static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  return encodeDateTime(parts).value_or(0.0);
}

namespace {

// `expandC`: whether "c" stands for the short date format; inside that format it is a letter.
std::string formatParts(std::string_view format, double value, bool expandC) {
  const DateTimeParts p = decodeDateTime(value);
  const common::FormatSettings& settings = common::formatSettings();
  std::string text;
  bool lastWasHour = false;
  bool twelveHour = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    twelveHour = twelveHour || startsWithNoCase(format, i, "am/pm") || startsWithNoCase(format, i, "a/p");
  }
  std::size_t pos = 0;
  while (pos < format.size()) {
    const char c = format[pos];
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c == '"' || c == '\'') {
      const QuotedRun run = quotedRun(format, pos);
      text.append(run.inside);
      pos = run.end;
      continue;
    }
    if (startsWithNoCase(format, pos, "am/pm")) {
      text += p.hour < 12 ? "am" : "pm";
      pos += 5;
      continue;
    }
    if (startsWithNoCase(format, pos, "a/p")) {
      text += p.hour < 12 ? "a" : "p";
      pos += 3;
      continue;
    }
    std::size_t n = std::isalpha(static_cast<unsigned char>(c)) ? runLength(format, pos) : 1;
    switch (lower) {
      case 'd':
        if (n == 1)
          text += std::to_string(p.day);
        else if (n == 2)
          text += twoDigits(p.day);
        else if (n == 3)
          text += kShortDays[p.dayOfWeek - 1];
        else
          text += kLongDays[p.dayOfWeek - 1], n = 4;
        break;
      case 'm':
        if (lastWasHour && n <= 2) {
          text += n == 1 ? std::to_string(p.minute) : twoDigits(p.minute);
        } else if (n == 1)
          text += std::to_string(p.month);
        else if (n == 2)
          text += twoDigits(p.month);
        else if (n == 3)
          text += kShortMonths[p.month - 1];
        else
          text += kLongMonths[p.month - 1], n = 4;
        break;
      case 'y': text += n <= 2 ? twoDigits(p.year % 100) : padded(p.year, 4); break;
      case 'h': {
        int hour = p.hour;
        if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
        text += n == 1 ? std::to_string(hour) : twoDigits(hour);
        n = std::min<std::size_t>(n, 2);
        break;
      }
      case 'n':
        text += n == 1 ? std::to_string(p.minute) : twoDigits(p.minute);
        n = std::min<std::size_t>(n, 2);
        break;
      case 's':
        text += n == 1 ? std::to_string(p.second) : twoDigits(p.second);
        n = std::min<std::size_t>(n, 2);
        break;
      case 'z':
        text += n < 3 ? std::to_string(p.msec) : padded(p.msec, 3);
        n = n < 3 ? 1 : 3;
        break;
      case 'c':
        if (!expandC) {
          text += c;
          break;
        }
        text += formatParts(settings.shortDateFormat, value, false);
        if (value - std::trunc(value) != 0) text += " " + formatParts("hh:nn:ss", value, false);
        n = 1;
        break;
      case '/': text += settings.dateSeparator; break;
      default: text.append(format.substr(pos, n)); break;
    }
    if (std::isalpha(static_cast<unsigned char>(c))) lastWasHour = lower == 'h';
    pos += n;
  }
  return text;
}

}  // namespace

std::string formatDateTime(std::string_view format, double value) { return formatParts(format, value, true); }

}  // namespace vekrano::sql
