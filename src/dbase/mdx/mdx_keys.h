// Index keys: their byte forms for character, numeric (packed decimal) and date values, and the
// order of each tag.
#pragma once

#include <string>
#include <string_view>

namespace vekrano::dbase {

inline constexpr int kNumericKeyLength = 12;
inline constexpr int kDateKeyLength = 8;

// Numeric key of `value` as formatted with `decimals` decimals (12 bytes):
//   OFFSET   SIZE  DESCRIPTION
//      0      1    0x34 + significant integer digits; below 1: 0x34 - zeros after the point
//      1      1    bit 7 negative; bits 2-6 digit count n; bit 0 always 1
//      2     10    Significant digits, two per byte, first digit in the high half
// Non-finite values are keyed as zero.
std::string packNumber(double value, int decimals);

// Date key: the Julian day number as an 8-byte little-endian double (1e100 for no date).
std::string dateKey(double julianDay);

// How the keys of one tag compare.
struct KeyOrder {
  char type = 'C';  // C, N, F or D
  bool descending = false;

  // Negative, zero or positive as key `a` sorts before, with or after `b`. For character keys
  // only the first `length` bytes count, so a shorter search key compares as a prefix.
  int compare(std::string_view a, std::string_view b) const;
};

}  // namespace vekrano::dbase
