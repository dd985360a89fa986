// Dates of the table engine: Julian day numbers, the stored form YYYYMMDD, and display texts in
// the order of the short date format of the process (common/format_settings.h).
#pragma once

#include <string>
#include <string_view>

namespace vekrano::dbase {

enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
};

// True for a real Gregorian date of years 1-9999.
bool isValidDate(const Date& date);
// Julian day number: 1 January of year 1 is 1721426; 1 January 2000 is 2451545.
double julianDay(const Date& date);
// REQUIRES: 1721426 <= day < 5373485 (years 1-9999).
Date dateFromJulian(double day);
// Today's date from the system clock.
Date Today();

// "YYYYMMDD" when valid; `false` for blanks or anything else.
bool parseStoredDate(std::string_view stored, Date& date);
std::string storedDate(const Date& date);

// Completes a two-digit year within the 100-year window starting 70 years before this year.
int completeTwoDigitYear(int yy);

// The order and year width of the short date format ("dd/MM/yyyy": day first, four digits).
DateOrder shortDateOrder();
bool shortDateHasCentury();

// Display text in `order` with `separator`, the year with four or two digits.
std::string displayDate(const Date& date, DateOrder order, char separator, bool century);
// Reads three numbers in `order` separated by any non-digits; a two-digit year is completed.
// Returns false for a text of blanks and separators only, or an invalid date.
bool parseDisplayDate(std::string_view text, DateOrder order, Date& date);

}  // namespace vekrano::dbase
