// Quoting runs of a text so that no character of it can end its literal.
#include "records/sql_literal.h"

namespace vekrano::records {

namespace {

std::string quoted(std::string_view text, char quote) {
  std::string literal;
  literal.reserve(text.size() + 2);
  literal += quote;
  literal += text;
  literal += quote;
  return literal;
}

}  // namespace

std::string SqlText(std::string_view text) {
  if (text.find('"') == std::string_view::npos) return quoted(text, '"');
  if (text.find('\'') == std::string_view::npos) return quoted(text, '\'');
  // Both quote characters: each run lacks one of them and is quoted with it.
  std::string joined = "(";
  std::size_t start = 0;
  while (start < text.size()) {
    // A run that starts with " is quoted with ' and lasts until the next ', and the other way.
    const char quote = text[start] == '"' ? '\'' : '"';
    std::size_t end = text.find(quote, start);
    if (end == std::string_view::npos) end = text.size();
    if (start > 0) joined += " + ";
    joined += quoted(text.substr(start, end - start), quote);
    start = end;
  }
  joined += ')';
  return joined;
}

}  // namespace vekrano::records
