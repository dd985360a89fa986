// Parse-time filling of the statement analyser.
#include "sql/program/analyzer.h"

#include <utility>

#include "sql/program/field_references.h"

namespace vekrano::sql {
namespace {

// The name inside a lone field reference, or the empty text when `text` is anything else.
std::string referencedName(const std::string& text) {
  if (!isLoneReference(text)) return {};
  std::string name = loneReferenceName(text);
  return name.find(kFieldMarker) == std::string::npos ? name : std::string();
}

}  // namespace

std::string fieldReferenceText(const std::string& name) {
  std::string text;
  text.reserve(name.size() + 3);
  text += kFieldMarker;
  text += '"';
  text += name;
  text += '"';
  return text;
}

void TSqlAnalizer::addTable(std::string tableName, std::string alias, bool isQuotedFileName) {
  TTableItem item;
  item.alias = alias.empty() ? tableName : std::move(alias);
  item.tableName = std::move(tableName);
  item.isQuotedFileName = isQuotedFileName;
  tables.push_back(std::move(item));
}

void TSqlAnalizer::addColumn(TColumnItem column) {
  if (column.columnName.empty()) column.columnName = referencedName(column.expression);
  columns.push_back(std::move(column));
}

void TSqlAnalizer::addSelectAll() { selectAll = true; }

void TSqlAnalizer::addAllFieldsOf(std::string tableName) {
  TColumnItem column;
  column.allFieldsOf = std::move(tableName);
  columns.push_back(std::move(column));
}

void TSqlAnalizer::addJoin(TJoinKind kind, std::string condition) {
  joins.push_back(TJoinOnItem{kind, tables.size() - 1, std::move(condition)});
}

void TSqlAnalizer::addOrderBy(TOrderByItem item) { orderBy.push_back(std::move(item)); }

void TSqlAnalizer::addGroupBy(TOrderByItem item) { groupBy.push_back(std::move(item)); }

void TSqlAnalizer::addUpdate(std::string fieldName, std::string expression) {
  updates.push_back(TUpdateItem{std::move(fieldName), std::move(expression)});
}

void TSqlAnalizer::beginInsert(std::string tableName, bool isQuotedFileName) {
  TInsertItem item;
  item.tableName = std::move(tableName);
  item.isQuotedFileName = isQuotedFileName;
  inserts.push_back(std::move(item));
}

void TSqlAnalizer::addInsertField(std::string fieldName) { inserts.back().fieldNames.push_back(std::move(fieldName)); }

void TSqlAnalizer::addInsertValue(std::string value) { inserts.back().values.push_back(std::move(value)); }

void TSqlAnalizer::beginCreateTable(TStatementKind kind, std::string tableName) {
  statementKind = kind;
  createTables.push_back(TCreateTableItem{std::move(tableName), {}, {}, {}});
}

void TSqlAnalizer::addFieldDefinition(TFieldDefinition field) {
  createTables.back().fields.push_back(std::move(field));
}

void TSqlAnalizer::addDroppedField(std::string fieldName) {
  createTables.back().droppedFields.push_back(std::move(fieldName));
}

void TSqlAnalizer::setPrimaryKey(std::vector<std::string> fieldNames) {
  createTables.back().primaryKey = std::move(fieldNames);
}

}  // namespace vekrano::sql
