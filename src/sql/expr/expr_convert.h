// Conversions between numbers and text as the expression language makes them: "." or the
// process-wide decimal separator, 32-bit wrapping, the platform's conversion errors.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vekrano::sql {

// A float as the platform writes it: up to 15 significant digits, the process-wide decimal
// separator, "E" exponents ("1E20", "1.5E-7").
std::string floatToText(double value);

// Text as a float (the decimal separator or "."; blanks around allowed), else as a date-time in
// the system's short date format. Raises EExpression "'%s' is not a valid floating point value".
double textToFloat(std::string_view text);

// Text as a 32-bit integer (decimal, or "$" and hexadecimal digits; blanks around allowed).
// Raises EExpression "'%s' is not a valid integer value".
std::int32_t textToInteger(std::string_view text);

// A float truncated toward zero and wrapped to 32 bits; raises EExpression "Invalid floating
// point operation" when it is not finite or beyond 64 bits.
std::int32_t truncToInteger(double value);

// Integer arithmetic that wraps at 32 bits instead of overflowing.
std::int32_t wrapInteger(std::int64_t value);

// Raises EExpression "Invalid floating point operation" for a NaN or infinite result.
double checkedFloat(double value);

}  // namespace vekrano::sql
