// Name resolution of a statement: table look-up through the registered aliases, "*", field
// references rewritten to name their table, and the binding of ORDER BY and GROUP BY items.
#include <algorithm>
#include <array>
#include <cctype>

#include "common/code_page.h"
#include "sql/exec/statement_run.h"
#include "sql/errors.h"
#include "sql/expr_messages.h"
#include "sql/program/field_references.h"
#include "sql/program/statement_text.h"
#include "sql/query_messages.h"

namespace vekrano::sql {
namespace {

constexpr std::array<const char*, 26> kExpressionWords = {
    "AND", "OR", "XOR",     "NOT", "MOD",  "TRUE", "FALSE", "LIKE", "STRING", "FLOAT", "INTEGER", "BOOLEAN", "SHL",
    "SHR", "IN", "BETWEEN", "DIV", "CASE", "WHEN", "THEN",  "ELSE", "IF",     "CAST",  "ESCAPE",  "AS",      "END"};

}  // namespace

std::string quotedName(const std::string& name) {
  const std::string upper = common::ansiUpper(name);
  const bool reserved =
      std::any_of(kExpressionWords.begin(), kExpressionWords.end(), [&](const char* word) { return upper == word; });
  const bool plain = !name.empty() && std::isdigit(static_cast<unsigned char>(name[0])) == 0 &&
                     std::all_of(name.begin(), name.end(),
                                 [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; });
  return reserved || !plain ? "[" + name + "]" : name;
}

// --- Tables

TBoundTable TStatementRun::bindTable(const std::string& name, const std::string& alias, bool isQuotedFileName) {
  TBoundTable table{name, alias.empty() ? name : alias, {}, nullptr};
  table.qualifier = table.alias;
  if (isQuotedFileName) {
    if (environment_.OnResolveDataset) environment_.OnResolveDataset(name, table.alias, table.dataSet);
  } else {
    for (const TDataSetAlias& item : environment_.dataSets) {
      if (item.dataSet != nullptr && sameName(item.alias, name)) {
        table.dataSet = item.dataSet;
        break;
      }
    }
  }
  if (table.dataSet == nullptr) throw ESqlQueryError(common::formatText(messages::kDataSetMissing, {name}));
  table.registered = table.dataSet;
  if (!table.dataSet->Active()) {
    try {
      table.dataSet->Open();
    } catch (const std::exception&) {
      throw ESqlQueryError(common::formatText(messages::kDataSetNotOpened, {name}));
    }
  }
  return table;
}

void TStatementRun::bindTables() {
  tables_.clear();
  if (analizer_.statementKind == TStatementKind::Insert) {
    for (const TInsertItem& item : analizer_.inserts) {
      tables_.push_back(bindTable(item.tableName, {}, item.isQuotedFileName));
    }
    return;
  }
  if (analizer_.tables.empty()) throw ESqlQueryError(messages::kNoTables);
  for (const TTableItem& item : analizer_.tables) {
    tables_.push_back(bindTable(item.tableName, item.alias, item.isQuotedFileName));
  }
}

const TBoundTable* TStatementRun::findTable(const std::string& name) const {
  for (const TBoundTable& table : tables_) {
    if (sameName(table.alias, name)) return &table;
  }
  for (const TBoundTable& table : tables_) {
    if (sameName(table.name, name)) return &table;
  }
  return nullptr;
}

// --- "*" and "table.*"

void TStatementRun::expandAllFields() {
  const auto fieldsOf = [](const TBoundTable& table, TColumnList& into) {
    dbase::TDataSet& dataSet = *table.dataSet;
    for (int i = 0; i < dataSet.FieldCount(); ++i) {
      const dbase::TField& field = dataSet.Fields(i);
      if (!field.Visible()) continue;
      TColumnItem column;
      column.expression = fieldReferenceText(quotedName(table.qualifier) + "." + quotedName(field.FieldName()));
      column.columnName = table.qualifier + "." + field.FieldName();
      into.push_back(std::move(column));
    }
  };
  TColumnList expanded;
  if (analizer_.selectAll) {
    for (const TBoundTable& table : tables_) fieldsOf(table, expanded);
  }
  for (TColumnItem& column : analizer_.columns) {
    if (column.allFieldsOf.empty()) {
      expanded.push_back(std::move(column));
      continue;
    }
    const TBoundTable* table = findTable(column.allFieldsOf);
    if (table == nullptr) {
      throw ESqlQueryError(common::formatText(messages::kDataSetMissing, {column.allFieldsOf}));
    }
    fieldsOf(*table, expanded);
  }
  analizer_.columns = std::move(expanded);
  analizer_.selectAll = false;
}

// --- Field references

std::string TStatementRun::resolveReference(const std::string& name, bool columnAliases) const {
  const std::size_t dot = qualifierDot(name);
  if (dot != std::string::npos) {
    const TStatementRun* owner = nullptr;
    const TBoundTable* table = findScopeTable(withoutBrackets(name.substr(0, dot)), owner);
    if (table == nullptr) return fieldReferenceText(name);
    return fieldReferenceText(quotedName(table->qualifier) + "." + name.substr(dot + 1));
  }
  const std::string field = withoutBrackets(name);
  if (columnAliases) {
    for (const TColumnItem& column : analizer_.columns) {
      if (!column.isAsAlias || !column.aggregates.empty() || !sameName(column.columnName, field)) {
        continue;
      }
      const std::string text = resolveText(column.expression, false);
      return isLoneReference(text) ? text : "(" + text + ")";
    }
  }
  const TStatementRun* owner = nullptr;
  if (const TBoundTable* table = findFieldTable(field, owner)) {
    return fieldReferenceText(quotedName(table->qualifier) + "." + quotedName(field));
  }
  throw ESqlQueryError(common::formatText(messages::kFieldNotFound, {field}));
}

// --- Names of enclosing statements, which a subquery may use

const TBoundTable* TStatementRun::findScopeTable(const std::string& name, const TStatementRun*& owner) const {
  // An alias anywhere in scope comes before a table name, so that "article.f" in a subquery over
  // "article b" names the enclosing statement's "article".
  for (const bool byAlias : {true, false}) {
    for (const TStatementRun* run = this; run != nullptr; run = run->outer_) {
      for (const TBoundTable& table : run->tables_) {
        if (sameName(byAlias ? table.alias : table.name, name)) {
          owner = run;
          return &table;
        }
      }
    }
  }
  return nullptr;
}

const TBoundTable* TStatementRun::findFieldTable(const std::string& reference, const TStatementRun*& owner) const {
  const std::size_t dot = qualifierDot(reference);
  if (dot != std::string::npos) {
    const TBoundTable* table = findScopeTable(withoutBrackets(reference.substr(0, dot)), owner);
    const bool holds =
        table != nullptr && table->dataSet->FindField(withoutBrackets(reference.substr(dot + 1))) != nullptr;
    return holds ? table : nullptr;
  }
  const std::string field = withoutBrackets(reference);
  for (const TStatementRun* run = this; run != nullptr; run = run->outer_) {
    for (const TBoundTable& table : run->tables_) {
      if (table.dataSet->FindField(field) != nullptr) {
        owner = run;
        return &table;
      }
    }
  }
  return nullptr;
}

bool TStatementRun::resolvesHere(const std::string& reference) const {
  const std::size_t dot = qualifierDot(reference);
  if (dot != std::string::npos) {
    const TStatementRun* owner = nullptr;
    return findScopeTable(withoutBrackets(reference.substr(0, dot)), owner) != nullptr && owner == this;
  }
  const std::string field = withoutBrackets(reference);
  for (const TColumnItem& column : analizer_.columns) {
    if (column.isAsAlias && sameName(column.columnName, field)) return true;
  }
  return std::any_of(tables_.begin(), tables_.end(),
                     [&](const TBoundTable& table) { return table.dataSet->FindField(field) != nullptr; });
}

namespace {

// Only a field reference or a parameter is rewritten, and each begins with one of these.
bool mayHoldReferences(const std::string& text) {
  return text.find(':') != std::string::npos || text.find(kFieldMarker) != std::string::npos;
}

}  // namespace

std::string TStatementRun::resolveText(const std::string& text, bool columnAliases) const {
  if (!mayHoldReferences(text)) return text;
  return rewriteReferences(
      text, [&](const std::string& name) { return resolveReference(name, columnAliases); },
      [&](const std::string& name) {
        for (const TParamAsField& item : environment_.paramsAsFields) {
          if (sameName(item.paramName, name)) {
            return resolveReference(item.fieldName, columnAliases);
          }
        }
        return ":" + name;
      });
}

void TStatementRun::resolveStatementTexts() {
  for (TColumnItem& column : analizer_.columns) {
    for (TAggregateItem& aggregate : column.aggregates) {
      aggregate.argument = resolveText(aggregate.argument, true);
    }
  }
  // Column texts are resolved after their aliases have been read from the originals.
  std::vector<std::string> resolved;
  for (const TColumnItem& column : analizer_.columns) {
    resolved.push_back(resolveText(column.expression, false));
  }
  for (std::size_t i = 0; i < resolved.size(); ++i) analizer_.columns[i].expression = resolved[i];

  std::string where = resolveText(analizer_.whereText, true);
  // Date marks for range delegation are not evaluated.
  for (std::size_t at; (at = where.find("DummyDate(")) != std::string::npos;) {
    int depth = 0;
    std::size_t close = at + 9;
    for (; close < where.size(); ++close) {
      if (where[close] == '(') ++depth;
      if (where[close] == ')' && --depth == 0) break;
    }
    if (close >= where.size()) break;
    where = where.substr(0, at) + where.substr(at + 10, close - at - 10) + where.substr(close + 1);
  }
  analizer_.whereText = where;
  for (TJoinOnItem& join : analizer_.joins) join.condition = resolveText(join.condition, true);
  analizer_.havingText = resolveText(analizer_.havingText, true);
  for (TAggregateItem& aggregate : analizer_.havingAggregates) {
    aggregate.argument = resolveText(aggregate.argument, true);
  }
  for (TUpdateItem& update : analizer_.updates) update.expression = resolveText(update.expression, true);
  for (TInsertItem& insert : analizer_.inserts) {
    for (std::string& value : insert.values) {
      if (mayHoldReferences(value)) value = resolveText(value, true);
    }
  }
}

// --- ORDER BY and GROUP BY

int TStatementRun::bindOrderItem(const TOrderByItem& item, const char* notFoundMessage) const {
  const TColumnList& columns = analizer_.columns;
  if (item.columnIndex >= 0) {
    if (item.columnIndex < 1 || item.columnIndex > static_cast<int>(columns.size())) {
      throw ESqlQueryError(messages::kFieldIndexIncorrect);
    }
    return item.columnIndex - 1;
  }
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (!columns[i].aggregates.empty() && columns[i].isAsAlias && sameName(columns[i].columnName, item.name)) {
      return static_cast<int>(i);
    }
  }
  const std::string resolved = resolveReference(item.name, true);
  const std::string unresolved = fieldReferenceText(item.name);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const TColumnItem& column = columns[i];
    if (sameName(column.expression, resolved) || sameName(column.expression, unresolved) ||
        (column.isAsAlias && sameName(column.columnName, item.name))) {
      return static_cast<int>(i);
    }
  }
  const std::string shown = isLoneReference(resolved) ? loneReferenceName(resolved) : resolved;
  throw ESqlQueryError(common::formatText(notFoundMessage, {shown}));
}

std::vector<int> TStatementRun::bindOrderList(const TOrderByList& list, const char* notFoundMessage) const {
  std::vector<int> bound;
  for (const TOrderByItem& item : list) bound.push_back(bindOrderItem(item, notFoundMessage));
  return bound;
}

// --- Expressions

TExprParserContext TStatementRun::parserContext() const {
  TExprParserContext context;
  context.FindDataSet = [this](const std::string& name) -> dbase::TDataSet* {
    const TStatementRun* owner = nullptr;
    const TBoundTable* table = findScopeTable(name, owner);
    return table == nullptr ? nullptr : table->dataSet;
  };
  context.ParamValue = environment_.ParamValue;
  // Subqueries answer as functions of their own; every other name goes to the query's events.
  context.OnUDFCheck = [this](const std::string& name, const TExprList& params, TExprType& type, int& maxLength) {
    if (checkSubqueryFunction(name, params, type, maxLength)) return true;
    if (checkAggregateTyping(name, params, type, maxLength)) return true;
    return environment_.OnUDFCheck && environment_.OnUDFCheck(name, params, type, maxLength);
  };
  context.OnUDFSolve = [this](const std::string& name, const TExprList& params) {
    if (subqueryFunction(name) != nullptr) return solveSubqueryFunction(name, params);
    if (!environment_.OnUDFSolve) throw EExpression(common::formatText(messages::kInternalError, {"0"}));
    return environment_.OnUDFSolve(name, params);
  };
  return context;
}

TExprPtr TStatementRun::Parse(const std::string& text) {
  if (!parser_) parser_ = std::make_unique<TExprParser>(*tables_.front().dataSet, parserContext());
  parser_->parseExpression(text);
  return parser_->takeExpression();
}

const dbase::TField* TStatementRun::loneField(const std::string& text) const {
  if (!isLoneReference(text)) return nullptr;
  const std::string name = loneReferenceName(text);
  const std::size_t dot = qualifierDot(name);
  const TBoundTable* table =
      dot == std::string::npos ? &tables_.front() : findTable(withoutBrackets(name.substr(0, dot)));
  if (table == nullptr) return nullptr;
  return table->registered->FindField(withoutBrackets(dot == std::string::npos ? name : name.substr(dot + 1)));
}

}  // namespace vekrano::sql
