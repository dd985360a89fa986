// Subqueries in select columns and WHERE: each is run once, before the statement's scan, and its
// placeholder replaced by the values it gave.
#include <cfloat>

#include "sql/analyzer_run.h"
#include "sql/errors.h"
#include "sql/query_messages.h"

namespace vekrano::sql {
namespace {

std::string valueText(const TSqlField& column, const char* row) {
  return column.Type() == ttString ? stringLiteral(column.AsString(row))
                                   : numberLiteral(column.AsFloat(row));
}

std::string joined(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += (text.empty() ? "" : ", ") + value;
  return text;
}

// Where the comparison operator written just before `at` begins (blanks skipped), and its text.
std::pair<std::size_t, std::string> operatorBefore(const std::string& text, std::size_t at) {
  std::size_t end = at;
  while (end > 0 && text[end - 1] == ' ') --end;
  std::size_t start = end;
  while (start > 0 && std::string_view("<>=").find(text[start - 1]) != std::string_view::npos) --start;
  return {start, text.substr(start, end - start)};
}

}  // namespace

void TStatementRun::RunSubqueries() {
  for (TColumnItem& column : analizer_.columns) {
    column.expression = ReplaceSubqueries(column.expression, column.subqueries);
  }
  analizer_.whereText = ReplaceSubqueries(analizer_.whereText, analizer_.whereSubqueries);
}

std::string TStatementRun::ReplaceSubqueries(const std::string& text, TSubqueryList& subqueries) {
  std::string result = text;
  for (std::size_t n = 0; n < subqueries.size(); ++n) {
    TSqlAnalizer& subquery = *subqueries[n].analizer;
    if (subquery.tables.size() > 1) throw ESqlQueryError(messages::kSubqueryTables);
    TStatementRun run(subquery, environment_);
    const std::unique_ptr<TResultSet> rows = run.ExecuteSelect();
    const std::vector<const TSqlField*> columns = rows->VisibleFields();
    if (columns.size() != 1) throw ESqlQueryError(messages::kSubqueryColumns);
    std::vector<std::string> values;
    for (int r = 0; r < rows->RecordCount(); ++r) {
      if (!columns[0]->IsNull(rows->Row(r))) values.push_back(valueText(*columns[0], rows->Row(r)));
    }
    // An empty list holds one value no stored field equals.
    if (values.empty() && subqueries[n].kind != TSubqueryKind::Scalar) {
      values.push_back(columns[0]->Type() == ttString ? "'\x01'" : numberLiteral(-DBL_MAX));
    }
    const std::string placeholder = "({Subquery " + std::to_string(n) + "})";
    const std::size_t at = result.find(placeholder);
    if (at == std::string::npos) continue;
    std::string replacement;
    std::size_t from = at;
    switch (subqueries[n].kind) {
      case TSubqueryKind::Scalar:
        replacement = "(" + (values.empty() ? std::string("''") : values.front()) + ")";
        break;
      case TSubqueryKind::In:
      case TSubqueryKind::NotIn:
        replacement = "(" + joined(values) + ")";
        break;
      case TSubqueryKind::Any:
      case TSubqueryKind::All: {
        // "x op ANY (...)": against the smallest or largest value; "= ANY" and "<> ALL" are IN
        // and NOT IN.
        const bool any = subqueries[n].kind == TSubqueryKind::Any;
        from = result.rfind(any ? "ANY" : "ALL", at);
        const auto [opStart, op] = operatorBefore(result, from);
        if ((op == "=" && any) || (op == "<>" && !any)) {
          from = opStart;
          replacement = std::string(any ? "IN" : "NOT IN") + " (" + joined(values) + ")";
        } else {
          const bool greater = !op.empty() && op[0] == '>';
          replacement = std::string(greater == any ? "MINOF(" : "MAXOF(") + joined(values) + ")";
        }
        break;
      }
    }
    result.replace(from, at + placeholder.size() - from, replacement);
  }
  return result;
}

}  // namespace vekrano::sql
