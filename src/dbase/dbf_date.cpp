// Julian day numbers, stored dates and display dates in the short date order.
#include "dbase/dbf_date.h"

#include <cmath>
#include <ctime>

#include "common/civil_date.h"
#include "common/format_settings.h"

namespace vekrano::dbase {
namespace {

constexpr int kTwoDigitWindowStart = 70;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

void appendNumber(std::string& out, int value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) > width) digits = digits.substr(digits.size() - width);
  out.append(static_cast<std::size_t>(width) - digits.size(), '0');
  out += digits;
}

}  // namespace

bool isValidDate(const Date& date) {
  return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
         date.day <= common::daysInMonth(date.year, date.month);
}

double julianDay(const Date& date) {
  return static_cast<double>(common::daysFromCivil(date.year, date.month, date.day) + common::kJulianDayOfUnixEpoch);
}

Date dateFromJulian(double day) {
  const common::CivilDate civil =
      common::civilFromDays(static_cast<std::int64_t>(std::floor(day)) - common::kJulianDayOfUnixEpoch);
  return Date{civil.year, civil.month, civil.day};
}

Date Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

bool parseStoredDate(std::string_view stored, Date& date) {
  if (stored.size() != 8) return false;
  int values[3] = {0, 0, 0};
  static constexpr int kWidths[3] = {4, 2, 2};
  std::size_t at = 0;
  for (int part = 0; part < 3; ++part) {
    for (int i = 0; i < kWidths[part]; ++i, ++at) {
      if (stored[at] < '0' || stored[at] > '9') return false;
      values[part] = values[part] * 10 + (stored[at] - '0');
    }
  }
  date = Date{values[0], values[1], values[2]};
  return isValidDate(date);
}

std::string storedDate(const Date& date) {
  std::string out;
  appendNumber(out, date.year, 4);
  appendNumber(out, date.month, 2);
  appendNumber(out, date.day, 2);
  return out;
}

int completeTwoDigitYear(int yy) {
  const int start = Today().year - kTwoDigitWindowStart;
  return yy < start % 100 ? (start / 100 + 1) * 100 + yy : (start / 100) * 100 + yy;
}

DateOrder shortDateOrder() {
  for (char c : common::formatSettings().shortDateFormat) {
    switch (lowerAscii(c)) {
      case 'd': return DateOrder::DayMonthYear;
      case 'y': return DateOrder::YearMonthDay;
      case 'm': return DateOrder::MonthDayYear;
      default: break;
    }
  }
  return DateOrder::MonthDayYear;
}

bool shortDateHasCentury() {
  std::string lower;
  for (char c : common::formatSettings().shortDateFormat) lower += lowerAscii(c);
  return lower.find("yyyy") != std::string::npos;
}

std::string displayDate(const Date& date, DateOrder order, char separator, bool century) {
  std::string out;
  const auto year = [&] { appendNumber(out, century ? date.year : date.year % 100, century ? 4 : 2); };
  const auto two = [&](int value) { appendNumber(out, value, 2); };
  switch (order) {
    case DateOrder::DayMonthYear:
      two(date.day);
      out += separator;
      two(date.month);
      out += separator;
      year();
      break;
    case DateOrder::MonthDayYear:
      two(date.month);
      out += separator;
      two(date.day);
      out += separator;
      year();
      break;
    case DateOrder::YearMonthDay:
      year();
      out += separator;
      two(date.month);
      out += separator;
      two(date.day);
      break;
  }
  return out;
}

bool parseDisplayDate(std::string_view text, DateOrder order, Date& date) {
  constexpr int kMaxDigits = 6;  // more digits than any part of a date can hold
  int values[3] = {0, 0, 0};
  int digits[3] = {0, 0, 0};
  int part = -1;
  bool inNumber = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      if (!inNumber && ++part >= 3) return false;
      inNumber = true;
      if (++digits[part] > kMaxDigits) return false;
      values[part] = values[part] * 10 + (c - '0');
    } else {
      inNumber = false;
    }
  }
  if (part != 2) return false;
  const int yearPart = order == DateOrder::YearMonthDay ? 0 : 2;
  const int monthPart = order == DateOrder::MonthDayYear ? 0 : 1;
  const int dayPart = order == DateOrder::DayMonthYear ? 0 : (order == DateOrder::MonthDayYear ? 1 : 2);
  int year = values[yearPart];
  if (digits[yearPart] <= 2) year = completeTwoDigitYear(year);
  date = Date{year, values[monthPart], values[dayPart]};
  return isValidDate(date);
}

}  // namespace vekrano::dbase
