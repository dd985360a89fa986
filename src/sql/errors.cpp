// The text of a parse error.
#include "sql/errors.h"

#include "common/format_text.h"

namespace vekrano::sql {

std::string parseErrorText(std::string_view errorText, int line, int column, std::string_view token) {
  return common::formatText(" %s at line : %d, Column: %d, token: %s",
                            {errorText, std::to_string(line), std::to_string(column), token});
}

}  // namespace vekrano::sql
