// The index list of a table component: two lines per tag, "name,D,U,expression" read by position
// from the first comma (flags true when "T"), then the tag's condition (empty for none).
#pragma once

#include <string>
#include <vector>

#include "dbase/mdx/mdx_index.h"

namespace vekrano::dbase {

inline constexpr std::size_t kIndexListNameLength = 10;
inline constexpr std::size_t kIndexListTextLength = 220;

// The tags of `lines`; the line count divided by 2 of them (an odd last line is ignored).
std::vector<MdxTagDefinition> parseIndexList(const std::vector<std::string>& lines);

// The tags of an open index in the same form: "NAME,F,F,expression" and the condition line.
std::vector<std::string> indexListOf(const MdxIndex& index);

// True when both lists have as many lines and the lines are equal without regard to case.
bool sameIndexList(const std::vector<std::string>& a, const std::vector<std::string>& b);

}  // namespace vekrano::dbase
