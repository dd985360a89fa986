// File dates in the 32-bit DOS format archives store: the date in the high 16 bits
// (year - 1980 << 9 | month << 5 | day), the time in the low 16 bits
// (hour << 11 | minute << 5 | second / 2), both in local time.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>

namespace vekrano::backup {

// The DOS form of `t`; times before 1980 become 1 January 1980, after 2107 the end of 2107.
std::uint32_t dosDateFromTime(std::time_t t);
// The time a DOS date stands for, or nothing when a field is out of range.
std::optional<std::time_t> timeFromDosDate(std::uint32_t dos);

}  // namespace vekrano::backup
