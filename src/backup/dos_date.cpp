// Conversions between POSIX times and DOS dates.
#include "backup/dos_date.h"

#include <algorithm>

namespace vekrano::backup {
namespace {

constexpr int kDosEpochYear = 1980;
constexpr int kDosLastYear = kDosEpochYear + 127;

std::uint32_t pack(int year, int month, int day, int hour, int minute, int second) {
  const auto date = static_cast<std::uint32_t>((year - kDosEpochYear) << 9 | month << 5 | day);
  const auto time = static_cast<std::uint32_t>(hour << 11 | minute << 5 | second / 2);
  return date << 16 | time;
}

}  // namespace

std::uint32_t dosDateFromTime(std::time_t t) {
  std::tm local{};
  if (!localtime_r(&t, &local)) return pack(kDosEpochYear, 1, 1, 0, 0, 0);
  const int year = local.tm_year + 1900;
  if (year < kDosEpochYear) return pack(kDosEpochYear, 1, 1, 0, 0, 0);
  if (year > kDosLastYear) return pack(kDosLastYear, 12, 31, 23, 59, 58);
  return pack(year, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, std::min(local.tm_sec, 59));
}

std::optional<std::time_t> timeFromDosDate(std::uint32_t dos) {
  const int day = dos >> 16 & 0x1F;
  const int month = dos >> 21 & 0x0F;
  const int year = static_cast<int>(dos >> 25) + kDosEpochYear;
  const int second = (dos & 0x1F) * 2;
  const int minute = dos >> 5 & 0x3F;
  const int hour = dos >> 11 & 0x1F;
  if (day < 1 || month < 1 || month > 12 || hour > 23 || minute > 59 || second > 59) {
    return std::nullopt;
  }
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  const std::time_t t = std::mktime(&local);
  if (t == static_cast<std::time_t>(-1)) return std::nullopt;
  return t;
}

}  // namespace vekrano::backup
