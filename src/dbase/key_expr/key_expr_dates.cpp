// The engine's date setting: English for month/day/year, year.month.day and day/month/year,
// Italian for day-month-year, German for day.month.year.
#include "dbase/key_expr/key_expr_dates.h"

#include <cmath>

#include "common/code_page.h"
#include "common/format_settings.h"
#include "dbase/dbf_date.h"
#include "dbase/key_expr/key_expression.h"

namespace vekrano::dbase {
namespace {

constexpr double kFirstDay = 1721426;  // 1 January of year 1
constexpr double kPastLastDay = 5373485;  // 1 January of year 10000

enum class NameLanguage { English, Italian, German };

struct DateSetting {
  DateOrder order;
  char separator;
  bool century;
  NameLanguage language;
};

DateSetting dateSetting() {
  const DateOrder order = shortDateOrder();
  const char systemSeparator = common::formatSettings().dateSeparator;
  DateSetting setting{order, '/', shortDateHasCentury(), NameLanguage::English};
  if (order == DateOrder::YearMonthDay) {
    setting.separator = '.';
  } else if (order == DateOrder::DayMonthYear && systemSeparator == '-') {
    setting = {order, '-', setting.century, NameLanguage::Italian};
  } else if (order == DateOrder::DayMonthYear && systemSeparator == '.') {
    setting = {order, '.', setting.century, NameLanguage::German};
  }
  return setting;
}

const char* const kWeekdays[3][7] = {
    {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
    {"Domenica", "Luned\xEC", "Marted\xEC", "Mercoled\xEC", "Gioved\xEC", "Venerd\xEC", "Sabato"},
    {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"},
};

const char* const kMonths[3][12] = {
    {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October", "November",
     "December"},
    {"Gennaio", "Febbraio", "Marzo", "Aprile", "Maggio", "Giugno", "Luglio", "Agosto", "Settembre", "Ottobre",
     "Novembre", "Dicembre"},
    {"Januar", "Februar", "M\xE4rz", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober", "November",
     "Dezember"},
};

}  // namespace

bool isEmptyDay(double day) { return !(day >= kFirstDay && day < kPastLastDay); }

std::string dayToDisplay(double day) {
  const DateSetting s = dateSetting();
  if (isEmptyDay(day)) return std::string(s.century ? 10 : 8, ' ');
  return displayDate(dateFromJulian(day), s.order, s.separator, s.century);
}

double displayToDay(std::string_view text) {
  Date date;
  return parseDisplayDate(text, dateSetting().order, date) ? julianDay(date) : kEmptyDate;
}

std::string dayToStored(double day) { return isEmptyDay(day) ? std::string(8, ' ') : storedDate(dateFromJulian(day)); }

int dayOfWeek(double day) {
  if (isEmptyDay(day)) return 0;
  return static_cast<int>(std::fmod(std::floor(day) + 1, 7)) + 1;
}

int dayOfMonth(double day) { return isEmptyDay(day) ? 0 : dateFromJulian(day).day; }
int monthOf(double day) { return isEmptyDay(day) ? 0 : dateFromJulian(day).month; }
int yearOf(double day) { return isEmptyDay(day) ? 0 : dateFromJulian(day).year; }

std::string weekdayName(double day) {
  if (isEmptyDay(day)) return {};
  return common::charToOem(kWeekdays[static_cast<int>(dateSetting().language)][dayOfWeek(day) - 1]);
}

std::string monthName(double day) {
  if (isEmptyDay(day)) return {};
  return common::charToOem(kMonths[static_cast<int>(dateSetting().language)][monthOf(day) - 1]);
}

}  // namespace vekrano::dbase
