// The exceptions of the SQL engine, which fails by exceptions only: ESqlQueryError for a
// statement (syntax, names, kinds, result sets, the query), EExpression for an expression, and
// common::EAbort for a run ended after its syntax error went to the query's OnSyntaxError. Their
// texts are declared once, in query_messages.h and expr_messages.h, and filled by
// common::formatText.
#pragma once

#include <string>
#include <string_view>

#include "common/exception.h"
#include "common/format_text.h"

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

// The text of a parse error: " %s at line : %d, Column: %d, token: %s".
std::string parseErrorText(std::string_view errorText, int line, int column, std::string_view token);

}  // namespace vekrano::sql
