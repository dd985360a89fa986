// The exceptions of the SQL engine and the one helper that fills their message patterns.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "common/exception.h"

namespace vekrano::sql {

// An error while an expression tree is built or evaluated.
class EExpression : public common::Exception {
 public:
  using common::Exception::Exception;
};

// An error of a statement: syntax, names, statement kind.
class ESqlQueryError : public common::Exception {
 public:
  using common::Exception::Exception;
};

// `pattern` with each "%s", "%d" or "%c" replaced, in order, by the next of `args`; a marker
// without an argument is kept as written. "%%" stands for "%".
std::string formatText(std::string_view pattern, std::initializer_list<std::string_view> args);

// The text of a parse error: " %s at line : %d, Column: %d, token: %s".
std::string parseErrorText(std::string_view errorText, int line, int column, std::string_view token);

}  // namespace vekrano::sql
