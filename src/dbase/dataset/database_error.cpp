// Formatting and raising of the dataset layer's errors.
#include "dbase/dataset/database_error.h"

#include "common/format_text.h"

namespace vekrano::dbase {

void databaseError(std::string_view pattern, std::string_view first, std::string_view second) {
  throw EDatabaseError(common::formatText(pattern, {first, second}), pattern,
                       {std::string(first), std::string(second)});
}

}  // namespace vekrano::dbase
