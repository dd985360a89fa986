// File name patterns with "*" (any run of characters) and "?" (any one character), matched
// without regard to letter case as the system's file search does.
#pragma once

#include <string_view>

namespace vekrano::backup {

// True when `name` matches `pattern`. "*.*" matches every name, with or without a point.
bool matchesWildcard(std::string_view pattern, std::string_view name);

}  // namespace vekrano::backup
