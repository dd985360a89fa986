// Text values written into statements as literals of the SQL dialect that hold them exactly.
#pragma once

#include <string>
#include <string_view>

namespace vekrano::records {

// The literal whose value is `text`, every character kept. Text without a double quote is written
// "text", as every statement of the application always read; text with one is written with the
// other quote character, or, when it holds both, as a parenthesised concatenation of runs
// quoted each with the character they lack.
std::string SqlText(std::string_view text);

}  // namespace vekrano::records
