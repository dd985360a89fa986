// Calendar arithmetic on the proleptic Gregorian calendar, shared by every date the engines
// store or compute: day counts from 1970-01-01 and back, leap years, month lengths.
#pragma once

#include <cstdint>

namespace vekrano::common {

struct CivilDate {
  int year = 1970;
  int month = 1;
  int day = 1;
};

// The platform's date-time serial of 1970-01-01 (its day 0 is 1899-12-30).
inline constexpr std::int64_t kSerialOfUnixEpoch = 25569;
// The Julian day number of 1970-01-01.
inline constexpr std::int64_t kJulianDayOfUnixEpoch = 2440588;

// Days from 1970-01-01 to the date (negative before it).
// REQUIRES: 1 <= month <= 12; the day may lie outside the month (it counts on).
std::int64_t daysFromCivil(std::int64_t year, int month, int day);
// The date `days` days after 1970-01-01.
CivilDate civilFromDays(std::int64_t days);

bool isLeapYear(int year);
// REQUIRES: 1 <= month <= 12.
int daysInMonth(int year, int month);

}  // namespace vekrano::common
