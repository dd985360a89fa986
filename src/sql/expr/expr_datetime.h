// Date-times of the expression language: floats counting days since 30 December 1899, the
// fraction being the time of day.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vekrano::sql {

struct DateTimeParts {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int msec = 0;
  int dayOfWeek = 7;  // 1 Sunday ... 7 Saturday
};

// The serial number of a date and time; nothing when a part is out of range.
std::optional<double> encodeDateTime(const DateTimeParts& parts);
// The parts of a serial number; the time is read from the fraction's absolute value.
// REQUIRES: value is finite and within the years 1 to 9999 (else EExpression is raised).
DateTimeParts decodeDateTime(double value);

// "m/d/yyyy" with any digit counts (the date literal between "#" signs).
std::optional<double> monthFirstDate(std::string_view text);
// A date, optionally followed by a time "h:n[:s]", in the order of the system's short date
// format with its date separator; two-digit years fall in 1950-2049.
std::optional<double> systemDateTime(std::string_view text);

// The current local date and time.
double nowDateTime();

// The platform's date-time formatting: d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn s ss z zzz
// am/pm a/p c, "/" as the date separator, ":" as the time separator, quoted literals.
std::string formatDateTime(std::string_view format, double value);

}  // namespace vekrano::sql
