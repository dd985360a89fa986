// Code 39 symbols as the labels print them: the 43-character set without the full-ASCII
// extension, start and stop "*", no check character, wide elements three narrow ones wide.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vekrano::printing {

inline constexpr double kCode39NarrowMm = 0.254;  // one narrow bar or space (0.01 in)
inline constexpr int kCode39WideRatio = 3;  // a wide element is three narrow ones

// The characters of `value` that Code 39 can encode, in order; every other character is dropped
// (lower-case letters and "*" included, no case conversion).
std::string code39Encodable(std::string_view value);

// The nine elements of character `c`, bar first, bars and spaces alternating: 'n' narrow,
// 'w' wide. `c` is one of the 43 characters or the start and stop character '*'; for any other
// character the result is empty.
std::string_view code39Pattern(char c);

// The element widths of the whole symbol for `value` in narrow widths (1 or kCode39WideRatio),
// bar first, alternating, with the start and stop characters and the one-narrow gap between
// characters: (16 n + 31) narrow widths in all for n encodable characters.
std::vector<int> code39Elements(std::string_view value);

}  // namespace vekrano::printing
