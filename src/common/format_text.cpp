// Message patterns filled with their arguments.
#include "common/format_text.h"

namespace vekrano::common {

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

}  // namespace vekrano::common
