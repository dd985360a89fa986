// The platform's number formatting (FORMATFLOAT) and printf-like formatting (FORMAT).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vekrano::sql {

class TExpression;

// `value` by a picture of up to three sections "positive;negative;zero": "0" a digit always
// shown, "#" a digit shown when significant, "." the decimal separator, "," thousands grouping,
// "E+"/"E-"/"e+"/"e-" an exponent, quoted text kept. An empty picture gives the general format.
std::string formatFloat(std::string_view picture, double value);

// "%" [index ":"] ["-"] [width] ["." precision] type, types d u x (integers), e f g n m (floats),
// s (any value as text), "%%". Raises EExpression "Format '%s' invalid or incompatible with
// argument" for a missing value, a value of the wrong kind or an unknown type.
std::string formatValues(std::string_view format, const std::vector<const TExpression*>& values);

}  // namespace vekrano::sql
