// The one filler of the engines' message patterns.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace vekrano::common {

// `pattern` with each "%s", "%d" or "%c" replaced, in order, by the next of `args`; a marker
// without an argument is kept as written. "%%" stands for "%".
std::string formatText(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace vekrano::common
