// Subqueries in select columns and WHERE. One that names no field of the statements around it is
// run once, before the statement's scan: a scalar one leaves its value in the text, the others a
// function over the values it gave. One that names such a field is run again for each record of
// the statement holding it, over snapshots of its tables taken before that statement's scan, so
// that no scan it makes moves a cursor another scan stands on.
#include <algorithm>
#include <cctype>
#include <charconv>

#include "sql/exec/statement_run.h"
#include "sql/errors.h"
#include "sql/expr/expression_predicates.h"
#include "sql/program/field_references.h"
#include "sql/query/query.h"
#include "sql/query_messages.h"

namespace vekrano::sql {
namespace {

// Values kept for that many distinct values of the outer fields; then the store starts afresh.
constexpr std::size_t kKeptOuterValues = 4096;

constexpr std::string_view kWhereFunction = "{WHERE SUBQUERY ";
constexpr std::string_view kColumnFunction = "{COLUMN ";
constexpr std::string_view kColumnFunctionMiddle = " SUBQUERY ";

std::string valueText(const TSqlField& column, const char* row) {
  return column.Type() == ttString ? textLiteral(column.AsString(row)) : numberLiteral(column.AsFloat(row));
}

// The value of a column of `row` as a constant node.
TExprPtr literalOf(const TSqlField& column, const char* row) {
  switch (column.Type()) {
    case ttString: return std::make_unique<TStringLiteral>(column.AsString(row));
    case ttFloat: return std::make_unique<TFloatLiteral>(column.AsFloat(row));
    case ttInteger: return std::make_unique<TIntegerLiteral>(column.AsInteger(row));
    case ttBoolean: break;
  }
  return std::make_unique<TBooleanLiteral>(column.AsBoolean(row));
}

// The one column of a subquery's result.
const TSqlField& onlyColumn(const TResultSet& rows) {
  const std::vector<const TSqlField*> columns = rows.visibleFields();
  if (columns.size() != 1) throw ESqlQueryError(messages::kSubqueryColumns);
  return *columns.front();
}

// The values of the non-null rows, in row order.
TExprList valuesOf(const TResultSet& rows) {
  const TSqlField& column = onlyColumn(rows);
  TExprList values;
  for (int r = 0; r < rows.RecordCount(); ++r) {
    if (!column.IsNull(rows.Row(r))) values.push_back(literalOf(column, rows.Row(r)));
  }
  return values;
}

// What a null column of `type` reads as.
TExprValue emptyValue(TExprType type) {
  switch (type) {
    case ttString: return std::string();
    case ttFloat: return 0.0;
    case ttInteger: return std::int32_t{0};
    case ttBoolean: break;
  }
  return false;
}

// Where the operand ending at `end` begins: after the nearest "(", "," or AND, OR, XOR, NOT,
// CASE, WHEN, THEN or ELSE that stands before it at its own depth of brackets, since every other
// operator binds tighter than a comparison or IN.
std::size_t operandStart(const std::string& text, std::size_t end) {
  static const char* const kBoundaries[] = {"AND", "OR", "XOR", "NOT", "CASE", "WHEN", "THEN", "ELSE"};
  const std::string_view before = std::string_view(text).substr(0, end);
  std::vector<std::size_t> starts{0};
  for (std::size_t i = 0; i < end;) {
    const StatementPiece piece = pieceAt(before, i);
    i = piece.end;
    if (piece.kind == PieceKind::Word) {
      const std::string_view word = before.substr(piece.begin, piece.end - piece.begin);
      for (const char* boundary : kBoundaries) {
        if (sameName(word, boundary)) starts.back() = piece.end;
      }
    } else if (piece.kind == PieceKind::Other) {
      const char c = before[piece.begin];
      if (c == '(') starts.push_back(i);
      if (c == ')' && starts.size() > 1) starts.pop_back();
      if (c == ',') starts.back() = i;
    }
  }
  std::size_t start = std::min(starts.back(), end);
  while (start < end && text[start] == ' ') ++start;
  return start;
}

// "x IN (...)", "x NOT IN (...)" or "x op ANY|ALL (...)" ending with the placeholder at `at`.
struct Predicate {
  std::size_t start = 0;  // where x begins
  std::string operand;  // x
  std::string op;  // the comparison of ANY and ALL
};

Predicate predicateBefore(const std::string& text, std::size_t at, TSubqueryKind kind) {
  std::size_t end = at;
  const auto skipBack = [&](auto&& belongs) {
    while (end > 0 && belongs(text[end - 1])) --end;
  };
  const auto blank = [](char c) { return c == ' '; };
  const auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
  skipBack(blank);
  skipBack(letter);  // IN, ANY or ALL
  skipBack(blank);
  Predicate predicate;
  if (kind == TSubqueryKind::NotIn) {
    skipBack(letter);
    skipBack(blank);
  } else if (kind == TSubqueryKind::Any || kind == TSubqueryKind::All) {
    const std::size_t opEnd = end;
    skipBack([](char c) { return c == '<' || c == '>' || c == '=' || c == '!'; });
    predicate.op = text.substr(end, opEnd - end);
    if (predicate.op == "!=") predicate.op = "<>";
    skipBack(blank);
  }
  predicate.start = operandStart(text, end);
  predicate.operand = text.substr(predicate.start, end - predicate.start);
  return predicate;
}

TOperator comparisonOf(const std::string& op) {
  if (op == "<>") return opNEQ;
  if (op == "<") return opLT;
  if (op == ">") return opGT;
  if (op == "<=") return opLTE;
  if (op == ">=") return opGTE;
  return opEq;
}

// The parameters a subquery function takes: x for IN and NOT IN; x and the comparison for ANY
// and ALL; none for a scalar subquery.
std::size_t parameterCount(TSubqueryKind kind) {
  switch (kind) {
    case TSubqueryKind::Scalar: return 0;
    case TSubqueryKind::In:
    case TSubqueryKind::NotIn: return 1;
    case TSubqueryKind::Any:
    case TSubqueryKind::All: break;
  }
  return 2;
}

// The number written in `text` from `from` up to `stop`; -1 when there is none.
int numberIn(const std::string& text, std::size_t from, std::size_t stop) {
  int value = -1;
  if (stop == std::string::npos || stop <= from) return -1;
  const auto result = std::from_chars(text.data() + from, text.data() + stop, value);
  return result.ec == std::errc() && result.ptr == text.data() + stop ? value : -1;
}

// Every table a subquery, or a subquery inside it, names (file names apart), once each.
void collectTableNames(const TSqlAnalizer& analizer, std::vector<std::string>& names) {
  for (const TTableItem& table : analizer.tables) {
    if (table.isQuotedFileName) continue;
    const bool known = std::any_of(names.begin(), names.end(),
                                   [&](const std::string& name) { return sameName(name, table.tableName); });
    if (!known) names.push_back(table.tableName);
  }
  for (const TColumnItem& column : analizer.columns) {
    for (const TSubqueryItem& item : column.subqueries) collectTableNames(*item.analizer, names);
  }
  for (const TSubqueryItem& item : analizer.whereSubqueries) collectTableNames(*item.analizer, names);
}

}  // namespace

struct TStatementRun::Subquery {
  TSubqueryItem* item = nullptr;
  std::vector<std::unique_ptr<TSqlQuery>> snapshots;
  TRunEnvironment environment;  // the snapshots first, under the names of their tables
  std::vector<dbase::TField*> outerFields;  // empty: run once
  TExprType type = ttString;
  int width = 0;
  TOperator comparison = opEq;
  // The non-null values given for each set of values of the outer fields.
  std::map<std::vector<dbase::Variant>, TExprList> values;
};

// Defined here, where the subqueries' and the snapshots' classes are complete.
TStatementRun::TStatementRun(TSqlAnalizer& analizer, const TRunEnvironment& environment)
    : TStatementRun(analizer, environment, nullptr) {}

TStatementRun::TStatementRun(TSqlAnalizer& analizer, const TRunEnvironment& environment, const TStatementRun* outer)
    : outer_(outer), analizer_(analizer), environment_(environment) {}

TStatementRun::~TStatementRun() = default;

// --- Texts

void TStatementRun::runSubqueries() {
  for (std::size_t c = 0; c < analizer_.columns.size(); ++c) {
    TColumnItem& column = analizer_.columns[c];
    column.expression = replaceSubqueries(column.expression, column.subqueries, "COLUMN " + std::to_string(c));
  }
  analizer_.whereText = replaceSubqueries(analizer_.whereText, analizer_.whereSubqueries, "WHERE");
}

std::string TStatementRun::replaceSubqueries(const std::string& text, TSubqueryList& subqueries,
                                             const std::string& location) {
  std::string result = text;
  for (std::size_t n = 0; n < subqueries.size(); ++n) {
    const std::string placeholder = "({Subquery " + std::to_string(n) + "})";
    const std::size_t at = findOutsideLiterals(result, placeholder);
    if (at == std::string::npos) continue;
    TSubqueryItem& item = subqueries[n];
    if (item.analizer->tables.size() > 1) throw ESqlQueryError(messages::kSubqueryTables);
    const std::string function = "[{" + location + " SUBQUERY " + std::to_string(n) + "}]";
    if (item.kind == TSubqueryKind::Scalar) {
      std::string replacement = "(" + function + "())";
      if (outerFieldsOf(*item.analizer).empty()) {
        // Run once: its first value, or the empty text when it gave none, stands in the text.
        TStatementRun run(*item.analizer, environment_, this);
        const std::unique_ptr<TResultSet> rows = run.executeSelect();
        const TSqlField& column = onlyColumn(*rows);
        replacement = "('')";
        for (int r = 0; r < rows->RecordCount(); ++r) {
          if (column.IsNull(rows->Row(r))) continue;
          replacement = "(" + valueText(column, rows->Row(r)) + ")";
          break;
        }
      }
      result.replace(at, placeholder.size(), replacement);
      continue;
    }
    const Predicate predicate = predicateBefore(result, at, item.kind);
    const std::string comparison = predicate.op.empty() ? "" : ", '" + predicate.op + "'";
    result.replace(predicate.start, at + placeholder.size() - predicate.start,
                   function + "(" + predicate.operand + comparison + ")");
  }
  return result;
}

// --- Correlation

std::vector<TStatementRun::OuterField> TStatementRun::outerFieldsOf(TSqlAnalizer& subquery) const {
  TStatementRun probe(subquery, environment_, this);
  std::vector<OuterField> fields;
  probe.collectOuterFields(fields);
  return fields;
}

void TStatementRun::collectOuterFields(std::vector<OuterField>& fields) {
  bindTables();
  const auto add = [&](const OuterField& field) {
    const bool known =
        std::any_of(fields.begin(), fields.end(), [&](const OuterField& f) { return f.field == field.field; });
    if (!known) fields.push_back(field);
  };
  const auto visit = [&](const std::string& text) {
    forEachReference(text, [&](const std::string& name) {
      if (outer_ == nullptr || resolvesHere(name)) return;
      const TStatementRun* owner = nullptr;
      const TBoundTable* table = outer_->findFieldTable(name, owner);
      if (table == nullptr) return;  // unknown everywhere: the run reports it
      const std::size_t dot = qualifierDot(name);
      const std::string field = withoutBrackets(dot == std::string::npos ? name : name.substr(dot + 1));
      add(OuterField{owner, table->dataSet->FindField(field)});
    });
  };
  const auto visitInner = [&](TSubqueryList& subqueries) {
    for (TSubqueryItem& item : subqueries) {
      TStatementRun inner(*item.analizer, environment_, this);
      std::vector<OuterField> innerFields;
      inner.collectOuterFields(innerFields);
      for (const OuterField& field : innerFields) {
        if (field.owner != this) add(field);
      }
    }
  };
  for (TColumnItem& column : analizer_.columns) {
    visit(column.expression);
    for (const TAggregateItem& aggregate : column.aggregates) visit(aggregate.argument);
    visitInner(column.subqueries);
  }
  visit(analizer_.whereText);
  visitInner(analizer_.whereSubqueries);
  visit(analizer_.havingText);
  for (const TAggregateItem& aggregate : analizer_.havingAggregates) visit(aggregate.argument);
  for (const TJoinOnItem& join : analizer_.joins) visit(join.condition);
}

// --- Subquery functions

TStatementRun::Subquery* TStatementRun::subqueryFunction(const std::string& upperName) const {
  if (const auto found = subqueries_.find(upperName); found != subqueries_.end()) return found->second.get();
  TSubqueryList* list = nullptr;
  int n = -1;
  if (upperName.starts_with(kWhereFunction)) {
    list = &analizer_.whereSubqueries;
    n = numberIn(upperName, kWhereFunction.size(), upperName.size() - 1);
  } else if (upperName.starts_with(kColumnFunction)) {
    const std::size_t middle = upperName.find(kColumnFunctionMiddle);
    const int c = numberIn(upperName, kColumnFunction.size(), middle);
    if (c < 0 || c >= static_cast<int>(analizer_.columns.size())) return nullptr;
    list = &analizer_.columns[static_cast<std::size_t>(c)].subqueries;
    n = numberIn(upperName, middle + kColumnFunctionMiddle.size(), upperName.size() - 1);
  }
  if (list == nullptr || upperName.back() != '}' || n < 0 || n >= static_cast<int>(list->size())) {
    return nullptr;
  }
  std::unique_ptr<Subquery> subquery = prepareSubquery((*list)[static_cast<std::size_t>(n)]);
  return subqueries_.emplace(upperName, std::move(subquery)).first->second.get();
}

std::unique_ptr<TStatementRun::Subquery> TStatementRun::prepareSubquery(TSubqueryItem& item) const {
  auto subquery = std::make_unique<Subquery>();
  subquery->item = &item;
  for (const OuterField& field : outerFieldsOf(*item.analizer)) subquery->outerFields.push_back(field.field);
  subquery->environment = environment_;
  if (!subquery->outerFields.empty()) {
    std::vector<std::string> names;
    collectTableNames(*item.analizer, names);
    std::vector<TDataSetAlias> aliases;
    for (const std::string& name : names) {
      const auto source = std::find_if(
          environment_.dataSets.begin(), environment_.dataSets.end(),
          [&](const TDataSetAlias& alias) { return alias.dataSet != nullptr && sameName(alias.alias, name); });
      if (source == environment_.dataSets.end()) continue;
      subquery->snapshots.push_back(takeSnapshot(*source->dataSet));
      aliases.push_back(TDataSetAlias{name, subquery->snapshots.back().get()});
    }
    aliases.insert(aliases.end(), environment_.dataSets.begin(), environment_.dataSets.end());
    subquery->environment.dataSets = std::move(aliases);
    // The statement's own scan reports progress and may be canceled; its subqueries' do not.
    subquery->environment.OnProgress = nullptr;
    subquery->environment.OnCancelQuery = nullptr;
  }
  // Run now, before the statement's scan: an uncorrelated subquery has its values, and every
  // subquery its type.
  std::vector<dbase::Variant> key;
  for (const dbase::TField* field : subquery->outerFields) key.push_back(field->Value());
  TStatementRun run(*item.analizer, subquery->environment, this);
  const std::unique_ptr<TResultSet> rows = run.executeSelect();
  const TSqlField& column = onlyColumn(*rows);
  subquery->type = column.Type();
  subquery->width = column.Width();
  subquery->values.emplace(std::move(key), valuesOf(*rows));
  return subquery;
}

bool TStatementRun::checkSubqueryFunction(const std::string& upperName, const TExprList& params, TExprType& type,
                                          int& maxLength) const {
  Subquery* subquery = subqueryFunction(upperName);
  if (subquery == nullptr) return false;
  const TSubqueryKind kind = subquery->item->kind;
  if (params.size() != parameterCount(kind)) return false;
  if (params.size() == 2) subquery->comparison = comparisonOf(params[1]->AsString());
  const bool scalar = kind == TSubqueryKind::Scalar;
  type = scalar ? subquery->type : ttBoolean;
  maxLength = scalar && type == ttString ? subquery->width - 1 : 0;
  return true;
}

TExprValue TStatementRun::solveSubqueryFunction(const std::string& upperName, const TExprList& params) const {
  Subquery& subquery = *subqueryFunction(upperName);
  std::vector<dbase::Variant> key;
  for (const dbase::TField* field : subquery.outerFields) key.push_back(field->Value());
  auto found = subquery.values.find(key);
  if (found == subquery.values.end()) {
    if (subquery.values.size() >= kKeptOuterValues) subquery.values.clear();
    TStatementRun run(*subquery.item->analizer, subquery.environment, this);
    found = subquery.values.emplace(std::move(key), valuesOf(*run.executeSelect())).first;
  }
  const TExprList& values = found->second;
  switch (subquery.item->kind) {
    case TSubqueryKind::Scalar:
      // No row reads as the empty value of the column's type, as a null column does.
      if (values.empty()) return emptyValue(subquery.type);
      return readAs(*values.front(), subquery.type);
    case TSubqueryKind::In: return listContains(*params[0], values);
    case TSubqueryKind::NotIn: return !listContains(*params[0], values);
    case TSubqueryKind::Any: return quantifiedComparison(*params[0], subquery.comparison, false, values);
    case TSubqueryKind::All: break;
  }
  return quantifiedComparison(*params[0], subquery.comparison, true, values);
}

}  // namespace vekrano::sql
