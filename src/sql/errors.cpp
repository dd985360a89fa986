// Message patterns of the SQL engine filled with their arguments.
#include "sql/errors.h"

namespace vekrano::sql {

std::string formatText(std::string_view pattern, std::initializer_list<std::string_view> args) {
  std::string text;
  auto next = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const char marker = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (c == '%' && marker == '%') {
      text += '%';
      ++i;
    } else if (c == '%' && (marker == 's' || marker == 'd' || marker == 'c') && next != args.end()) {
      text += *next++;
      ++i;
    } else {
      text += c;
    }
  }
  return text;
}

std::string parseErrorText(std::string_view errorText, int line, int column, std::string_view token) {
  return formatText(" %s at line : %d, Column: %d, token: %s",
                    {errorText, std::to_string(line), std::to_string(column), token});
}

}  // namespace vekrano::sql
