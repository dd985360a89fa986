// Dates in key expressions: the engine's date setting (display form and name language) taken
// from the short date format, day and month names, and display texts of day numbers.
#pragma once

#include <string>
#include <string_view>

namespace vekrano::dbase {

// True when `day` is no real date (the empty date 1e100 included).
bool isEmptyDay(double day);

// Display text of a day number in the engine's date setting; blanks when empty.
std::string dayToDisplay(double day);
// The day number of a display text in the engine's date setting; kEmptyDate when invalid.
double displayToDay(std::string_view text);
// "YYYYMMDD", or eight blanks when empty.
std::string dayToStored(double day);
// Weekday 1 (Sunday) to 7 (Saturday); 0 when empty.
int dayOfWeek(double day);
// Day, month and year; 0 when empty.
int dayOfMonth(double day);
int monthOf(double day);
int yearOf(double day);
// Names in the language of the date setting, as OEM text; "" when empty.
std::string weekdayName(double day);
std::string monthName(double day);

}  // namespace vekrano::dbase
