// The application's text literals are the engine's, so that a value it writes back reads the same.
#include "records/sql_literal.h"

#include "sql/program/statement_text.h"

namespace vekrano::records {

std::string SqlText(std::string_view text) { return sql::textLiteral(text); }

}  // namespace vekrano::records
