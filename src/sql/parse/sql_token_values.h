// Values the SQL scanner computes from the text of a token: "$" hexadecimal numbers, "#" date
// literals and the word NOW, each written as the decimal text the expression language reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vekrano::sql {

// The decimal text of the hexadecimal digits `digits` (without the "$"); nothing when the value
// does not fit 32 bits.
// REQUIRES: digits is one or more hexadecimal digits.
std::optional<std::string> hexLiteralValue(std::string_view digits);

// The serial number (days since 30 December 1899) of the date `text`, read in the order of day,
// month and year that `dateFormat` gives ("dd/MM/yyyy", "MM/dd/yy", "yyyy-MM-dd", ...) with the
// format's separator; a year of one or two digits falls within fifty years of the current year.
// Nothing when the text is not such a date.
std::optional<int> readDateLiteral(std::string_view text, std::string_view dateFormat);

// The current local date and time as a serial number with the time of day as its fraction.
double currentDateTimeSerial();

// A serial number as the shortest decimal text that reads back to it, with "." as point.
std::string serialText(double serial);

}  // namespace vekrano::sql
