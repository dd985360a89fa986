// The reserved words of the SQL dialect and the token codes the scanner gives them.
#pragma once

#include <optional>
#include <string_view>

namespace vekrano::sql {

// The token code of `word` when it is one of the 101 reserved words, compared without regard
// to letter case; nothing when it is an ordinary name.
std::optional<int> sqlKeywordCode(std::string_view word);

}  // namespace vekrano::sql
