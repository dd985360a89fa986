// Conversions between values and their texts shared by the field classes: integers, floats in the
// process's decimal separator, and dates as days since 1899-12-30 in the short date format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vekrano::dbase {

// Decimal digits with a leading "-" for negative values.
std::string intToStr(std::int64_t value);
// The integer an optionally signed run of digits, surrounded by blanks, stands for; nothing when
// the text is anything else or out of the 64-bit range.
std::optional<std::int64_t> textToInt(std::string_view text);

// Up to 15 significant digits with the process's decimal separator; exponent form ("1E20",
// "1E-5") for magnitudes of 1E15 and more or below 1E-4.
std::string floatToStr(double value);
// A float rounded to nearest, halves to even, when it fits a 32-bit integer.
std::optional<int> roundToInt(double value);
// The number a text in the floatToStr forms stands for ("." is read as well as the process's
// decimal separator); nothing when the text is anything else or not finite.
std::optional<double> TextToFloat(std::string_view text);

// Days since 1899-12-30 of a calendar date; nothing for an impossible date or a year outside
// 1 to 9999.
std::optional<double> encodeDate(int year, int month, int day);
// The calendar date of the whole days of `dateTime`.
// REQUIRES: dateTime lies within the years 1 to 9999.
void decodeDate(double dateTime, int& year, int& month, int& day);
// True when `dateTime` lies within the years 1 to 9999.
bool isValidDateTime(double dateTime);

// The date part in the process's short date format ("dd/MM/yyyy" gives "05/03/2024"), followed
// by " hh:mm:ss" when `withTime` is set; empty for a value outside the years 1 to 9999.
std::string dateTimeToStr(double dateTime, bool withTime);
// The time part as "hh:mm:ss".
std::string timeToStr(double dateTime);
// A date in the short date format (day, month and year in the pattern's order, separated by any
// non-digit; a two-digit year is taken in 1950-2049), optionally followed by " hh:mm[:ss]";
// nothing when the text is not such a date.
std::optional<double> textToDateTime(std::string_view text);

}  // namespace vekrano::dbase
