// Numbers as the table engine stores and reads them: right-aligned decimal text with "." as
// the decimal point, "*" filling a field too narrow for the value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vekrano::dbase {

// The number at the start of `text` after leading blanks (sign, digits, ".", exponent);
// 0 when there is none.
double ReadNumber(std::string_view text);

// `value` rounded to `decimals` places, right-aligned to `width`; `width` "*" characters when
// the text is wider (or the value is not finite).
std::string formatNumber(double value, int width, int decimals);

// `value` truncated toward zero and limited to the 32-bit range (0 for NaN).
std::int32_t clampToInt32(double value);

}  // namespace vekrano::dbase
