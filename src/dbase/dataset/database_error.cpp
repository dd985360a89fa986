// Formatting and raising of the dataset layer's errors.
#include "dbase/dataset/database_error.h"

namespace vekrano::dbase {

std::string FormatMessage(std::string_view pattern, std::string_view first,
                          std::string_view second) {
  std::string result;
  const std::string_view arguments[] = {first, second};
  std::size_t used = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && used < 2) {
      result += arguments[used++];
      ++i;
    } else {
      result += pattern[i];
    }
  }
  return result;
}

void DatabaseError(std::string_view pattern, std::string_view first, std::string_view second) {
  throw EDatabaseError(FormatMessage(pattern, first, second));
}

}  // namespace vekrano::dbase
