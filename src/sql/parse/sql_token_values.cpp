// Token values of the SQL scanner.
#include "sql/parse/sql_token_values.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <ctime>

#include "common/civil_date.h"

namespace vekrano::sql {
namespace {

constexpr int kYearWindow = 50;  // a two-digit year lies within this many years of now

enum class DatePart { Day, Month, Year };

int currentYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

// The order of the three parts and the separator the format writes between them.
struct DateLayout {
  std::array<DatePart, 3> order{DatePart::Day, DatePart::Month, DatePart::Year};
  char separator = '/';
};

DateLayout layoutOf(std::string_view format) {
  DateLayout layout;
  std::size_t found = 0;
  bool separatorSeen = false;
  char previous = 0;
  for (char c : format) {
    const char letter = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (letter == 'd' || letter == 'm' || letter == 'y') {
      if (letter != previous && found < layout.order.size()) {
        layout.order[found++] = letter == 'd' ? DatePart::Day : (letter == 'm' ? DatePart::Month : DatePart::Year);
      }
      previous = letter;
    } else if (!separatorSeen && found > 0) {
      layout.separator = c;
      separatorSeen = true;
    }
  }
  if (found != layout.order.size()) layout = DateLayout{};
  return layout;
}

// Reads an unsigned decimal field of at most `maxDigits` digits, skipping blanks around it.
std::optional<int> readField(std::string_view& text, std::size_t maxDigits) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  std::size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  if (digits == 0 || digits > maxDigits) return std::nullopt;
  int value = 0;
  std::from_chars(text.data(), text.data() + digits, value);
  text.remove_prefix(digits);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return value;
}

}  // namespace

std::optional<std::string> hexLiteralValue(std::string_view digits) {
  std::uint64_t value = 0;
  for (char c : digits) {
    int digit = 0;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return std::to_string(value);
}

std::optional<int> readDateLiteral(std::string_view text, std::string_view dateFormat) {
  const DateLayout layout = layoutOf(dateFormat);
  int day = 0;
  int month = 0;
  int year = 0;
  std::size_t yearDigits = 0;
  for (std::size_t i = 0; i < layout.order.size(); ++i) {
    if (i > 0) {
      if (text.empty() || text.front() != layout.separator) return std::nullopt;
      text.remove_prefix(1);
    }
    const std::size_t before = text.size();
    const std::optional<int> value = readField(text, layout.order[i] == DatePart::Year ? 4 : 2);
    if (!value) return std::nullopt;
    switch (layout.order[i]) {
      case DatePart::Day: day = *value; break;
      case DatePart::Month: month = *value; break;
      case DatePart::Year:
        year = *value;
        yearDigits = before - text.size();
        break;
    }
  }
  if (!text.empty()) return std::nullopt;
  if (yearDigits <= 2) {
    const int now = currentYear();
    year += (now - kYearWindow) / 100 * 100;
    if (year <= now - kYearWindow) year += 100;
  }
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > common::daysInMonth(year, month)) {
    return std::nullopt;
  }
  return static_cast<int>(common::daysFromCivil(year, month, day) + common::kSerialOfUnixEpoch);
}

double currentDateTimeSerial() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const auto days = common::daysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  const int seconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  return static_cast<double>(days + common::kSerialOfUnixEpoch) + seconds / 86400.0;
}

std::string serialText(double serial) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), serial);
  return std::string(buffer.data(), result.ptr);
}

}  // namespace vekrano::sql
