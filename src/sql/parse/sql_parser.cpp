// The SQL parser's driver and the grammar's actions: list filling and expression texts.
#include "sql/parse/sql_parser.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "common/format_settings.h"
#include "sql_grammar.hpp"

namespace vekrano::sql {
namespace {

constexpr int kIllegalToken = 292;

// Lines end at a line feed or at a carriage return followed by one; every line, the last one
// included, reaches the scanner followed by one line feed.
std::string normalizedLines(std::string_view text) {
  std::string lines;
  lines.reserve(text.size() + 1);
  for (std::size_t from = 0; from < text.size();) {
    const std::size_t pair = text.find("\r\n", from);
    const std::size_t end = pair == std::string_view::npos ? text.size() : pair;
    lines.append(text.substr(from, end - from));
    from = end + 1;  // the carriage return dropped, its line feed kept
  }
  if (!lines.empty() && lines.back() != '\n') lines += '\n';
  return lines;
}

[[noreturn]] void refuse() { throw stmt::parser::syntax_error("syntax error"); }

}  // namespace

std::string SqlSyntaxError::message() const {
  return " " + errorText + " at line : " + std::to_string(line) + ", Column: " + std::to_string(column) +
         ", token: " + token;
}

TSqlParser::TSqlParser(std::string dateFormat) : dateFormat_(std::move(dateFormat)) {}

const std::string& TSqlParser::dateFormat() const {
  return dateFormat_.empty() ? common::formatSettings().shortDateFormat : dateFormat_;
}

std::optional<SqlSyntaxError> TSqlParser::Parse(std::string_view text, TSqlAnalizer& analizer) const {
  SqlParseContext context(text, dateFormat(), analizer);
  stmt::parser parser(context);
  if (parser.parse() == 0) return std::nullopt;
  if (!context.error()) context.recordError("syntax error");
  return context.error();
}

TSqlTokenReader TSqlParser::tokenReader(std::string_view text) const { return TSqlTokenReader(text, dateFormat()); }

TSqlTokenReader::TSqlTokenReader(std::string_view text, std::string dateFormat)
    : context_(text, std::move(dateFormat), unused_), start_(context_.cursor) {}

void TSqlTokenReader::next(TSqlToken& token) {
  token.code = scanSqlToken(context_, token.text);
  token.offset = static_cast<std::size_t>(context_.tokenStart - start_);
  token.asWritten = token.text == std::string_view(context_.tokenStart, context_.cursor);
}

void TSqlTokenReader::rewind() {
  context_.cursor = start_;
  context_.insideWhere = false;
}

bool TSqlTokenReader::readAt(std::size_t offset, TSqlToken& token) {
  if (offset >= static_cast<std::size_t>(context_.limit - start_)) return false;
  context_.cursor = start_ + offset;
  next(token);
  return token.code != 0 && token.offset == offset;
}

SqlParseContext::SqlParseContext(std::string_view text, std::string dateFormat, TSqlAnalizer& root)
    : text_(normalizedLines(text)), dateFormat_(std::move(dateFormat)) {
  cursor = text_.c_str();
  limit = text_.c_str() + text_.size();
  frames_.push_back(Frame{&root, nullptr, {}, {}, {}});
}

int SqlParseContext::nextToken(std::size_t depth, std::string& text) {
  if (depth > kMaxParserDepth) {
    stackOverflowed_ = true;
    text.clear();
    return kIllegalToken;
  }
  const int code = scanSqlToken(*this, text);
  lastTokenOffset_ = static_cast<std::size_t>(tokenStart - text_.c_str());
  lastToken_.assign(tokenStart, cursor);
  // The end of the text stands after the last line, on the line feed that closes it.
  if (code == 0 && !text_.empty()) lastTokenOffset_ = text_.size() - 1;
  return code;
}

void SqlParseContext::recordError(const std::string& errorText) {
  if (error_) return;
  SqlSyntaxError error;
  error.errorText = stackOverflowed_ ? "yyparse stack overflow" : errorText;
  const std::size_t offset = std::min(lastTokenOffset_, text_.size());
  const auto begin = text_.begin();
  error.line = 1 + static_cast<int>(std::count(begin, begin + offset, '\n'));
  const std::size_t lineStart = text_.rfind('\n', offset == 0 ? 0 : offset - 1);
  error.column = static_cast<int>(lineStart == std::string::npos || offset == 0 ? offset : offset - lineStart - 1);
  error.token = lastToken_;
  error_ = std::move(error);
}

// Statement lists.

void SqlParseContext::setKind(TStatementKind kind) { current().statementKind = kind; }

void SqlParseContext::setDistinct() { current().distinct = true; }

void SqlParseContext::setTop(const std::string& text) { current().top = number(text); }

void SqlParseContext::setInto(const std::string& name) { current().intoTable = plainName(name); }

void SqlParseContext::addTable(const std::string& name, const std::string& alias, bool isQuotedFileName) {
  const std::string table = isQuotedFileName ? name.substr(1, name.size() - 2) : plainName(name);
  current().addTable(table, plainName(alias), isQuotedFileName);
}

void SqlParseContext::addColumn(const std::string& expression, const std::string& alias) {
  TColumnItem column;
  column.expression = expression;
  column.columnName = plainName(alias);
  column.isAsAlias = !alias.empty();
  column.aggregates = std::move(frame().aggregates);
  column.subqueries = std::move(frame().subqueries);
  // A CAST types the column only when it is the whole column: "cast(q as integer) + 0.5" is a
  // float, whatever it holds inside.
  if (expression == frame().castText) column.cast = frame().cast;
  clearGathered();
  current().addColumn(std::move(column));
}

void SqlParseContext::addSelectAll() { current().addSelectAll(); }

void SqlParseContext::addAllFieldsOf(const std::string& table) { current().addAllFieldsOf(plainName(table)); }

void SqlParseContext::addJoin(TJoinKind kind, const std::string& condition) {
  refuseGathered();
  current().addJoin(kind, condition);
}

void SqlParseContext::setWhere(const std::string& condition) {
  if (!frame().aggregates.empty()) refuse();
  current().whereText = condition;
  current().whereSubqueries = std::move(frame().subqueries);
  clearGathered();
}

void SqlParseContext::setHaving(const std::string& condition) {
  if (!frame().subqueries.empty()) refuse();
  current().havingText = condition;
  current().havingAggregates = std::move(frame().aggregates);
  clearGathered();
}

void SqlParseContext::addOrderBy(const std::string& name, bool descending) {
  current().addOrderBy(TOrderByItem{-1, name, descending});
}

void SqlParseContext::addOrderByNumber(const std::string& text, bool descending) {
  current().addOrderBy(TOrderByItem{number(text), text, descending});
}

void SqlParseContext::addGroupBy(const std::string& name) { current().addGroupBy(TOrderByItem{-1, name, false}); }

void SqlParseContext::addGroupByNumber(const std::string& text) {
  current().addGroupBy(TOrderByItem{number(text), text, false});
}

void SqlParseContext::addUpdate(const std::string& field, const std::string& value) {
  refuseGathered();
  current().addUpdate(field, value);
}

void SqlParseContext::beginInsert(const std::string& table, bool isQuotedFileName) {
  current().statementKind = TStatementKind::Insert;
  current().beginInsert(isQuotedFileName ? table.substr(1, table.size() - 2) : plainName(table), isQuotedFileName);
}

void SqlParseContext::addInsertField(const std::string& field) { current().addInsertField(plainName(field)); }

void SqlParseContext::addInsertValue(const std::string& value) {
  refuseGathered();
  current().addInsertValue(value);
}

void SqlParseContext::beginCreateTable(TStatementKind kind, const std::string& table) {
  current().beginCreateTable(kind, plainName(table));
}

void SqlParseContext::addFieldDefinition(const std::string& name, TFieldDefinition type) {
  type.name = plainName(name);
  current().addFieldDefinition(std::move(type));
}

void SqlParseContext::addDroppedField(const std::string& name) { current().addDroppedField(plainName(name)); }

void SqlParseContext::setPrimaryKey(std::vector<std::string> fields) { current().setPrimaryKey(std::move(fields)); }

void SqlParseContext::setIndex(TStatementKind kind, const std::string& index, const std::string& table,
                               std::vector<std::string> fields, bool unique, bool descending) {
  current().statementKind = kind;
  current().index = TIndexItem{plainName(index), plainName(table), std::move(fields), unique, descending};
}

void SqlParseContext::setTableStatement(TStatementKind kind, const std::string& table) {
  current().statementKind = kind;
  current().addTable(plainName(table), {}, false);
}

void SqlParseContext::setTransform(const std::string& expression) {
  auto column = std::make_unique<TColumnItem>();
  column->expression = expression;
  if (!frame().subqueries.empty()) refuse();
  column->aggregates = std::move(frame().aggregates);
  clearGathered();
  current().transformColumn = std::move(column);
}

void SqlParseContext::setPivot(const std::string& expression) {
  refuseGathered();
  current().pivotText = expression;
}

void SqlParseContext::beginSubquery() {
  auto analizer = std::make_unique<TSqlAnalizer>(&current());
  TSqlAnalizer* const raw = analizer.get();
  frames_.push_back(Frame{raw, std::move(analizer), {}, {}, {}});
}

std::string SqlParseContext::endSubquery(TSubqueryKind kind) {
  std::unique_ptr<TSqlAnalizer> analizer = std::move(frame().owned);
  frames_.pop_back();
  frame().subqueries.push_back(TSubqueryItem{kind, std::move(analizer)});
  return "({Subquery " + std::to_string(frame().subqueries.size() - 1) + "})";
}

void SqlParseContext::endUnion() {
  std::unique_ptr<TSqlAnalizer> analizer = std::move(frame().owned);
  frames_.pop_back();
  current().statementKind = TStatementKind::Union;
  current().unionSelect = std::move(analizer);
}

void SqlParseContext::clearGathered() {
  frame().aggregates.clear();
  frame().subqueries.clear();
  frame().cast = {};
  frame().castText.clear();
}

void SqlParseContext::refuseGathered() {
  if (!frame().aggregates.empty() || !frame().subqueries.empty()) refuse();
  frame().cast = {};
  frame().castText.clear();
}

// Types, numbers and names.

TFieldDefinition SqlParseContext::fieldType(TFieldType type, const std::string& size, const std::string& decimals) {
  TFieldDefinition field;
  field.type = type;
  if (!size.empty()) field.size = number(size);
  if (type == TFieldType::Blob) {
    field.blobType = number(decimals);
  } else if (!decimals.empty()) {
    field.decimals = number(decimals);
  }
  return field;
}

TCastTarget SqlParseContext::castTarget(TCastType type, const std::string& size) {
  return TCastTarget{type, size.empty() ? 0 : number(size)};
}

int SqlParseContext::number(const std::string& text) {
  int value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) refuse();
  return value;
}

std::string SqlParseContext::plainName(const std::string& name) {
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') {
    return name.substr(1, name.size() - 2);
  }
  return name;
}

// Expression texts.

std::string SqlParseContext::fieldReference(const std::string& name) { return fieldReferenceText(name); }

std::string SqlParseContext::parameter(const std::string& name) { return ":" + plainName(name); }

std::string SqlParseContext::binary(const std::string& left, const std::string& op, const std::string& right) {
  return left + " " + op + " " + right;
}

std::string SqlParseContext::unary(const std::string& op, const std::string& operand) {
  return op == "+" || op == "-" ? op + operand : op + " " + operand;
}

std::string SqlParseContext::call(const std::string& function, const std::string& arguments) {
  return function + "(" + arguments + ")";
}

std::string SqlParseContext::list(const std::string& items, const std::string& item) { return items + ", " + item; }

std::string SqlParseContext::parenthesized(const std::string& expression) { return "(" + expression + ")"; }

std::string SqlParseContext::inList(const std::string& value, const std::string& items, bool negated) {
  return value + (negated ? " NOT IN (" : " IN (") + items + ")";
}

std::string SqlParseContext::inSubquery(const std::string& value, bool negated) {
  return value + (negated ? " NOT IN " : " IN ") + endSubquery(negated ? TSubqueryKind::NotIn : TSubqueryKind::In);
}

std::string SqlParseContext::quantified(const std::string& keyword, TSubqueryKind kind) {
  return keyword + " " + endSubquery(kind);
}

std::string SqlParseContext::like(const std::string& value, const std::string& pattern, const std::string& escape,
                                  bool negated) {
  // The escape string goes in without its own quotes: only an escape written with inner
  // quotes, such as "'\'", reaches the expression as a one-character string.
  const std::string escapeText = escape.empty() ? "''" : escape.substr(1, escape.size() - 2);
  return (negated ? "SQLNOTLIKE(" : "SQLLIKE(") + value + ", " + pattern + ", " + escapeText + ")";
}

std::string SqlParseContext::between(const std::string& value, const std::string& low, const std::string& high,
                                     bool negated) {
  // Bracketed whole: the expressions read AND and OR from left to right, so that an unbracketed
  // range after an OR would take the OR's left side into its AND.
  const std::string range = "((" + value + " >= " + low + ") AND (" + value + " <= " + high + "))";
  return negated ? "NOT " + range : range;
}

std::string SqlParseContext::isNull(const std::string& value, bool negated) {
  return "ISNULL(" + value + (negated ? ",FALSE)" : ",TRUE)");
}

std::string SqlParseContext::trim(int kind, const std::string& character, const std::string& value) {
  return "SQLTRIM(" + character + ", " + value + ", " + std::to_string(kind) + ")";
}

std::string SqlParseContext::substring(const std::string& value, const std::string& start, const std::string& count) {
  return "COPY(" + value + "," + start + "," + (count.empty() ? "LENGTH(" + value + ")" : count) + ")";
}

std::string SqlParseContext::extract(const std::string& part, const std::string& value) {
  return part + "(" + value + ")";
}

std::string SqlParseContext::cast(const std::string& value, TCastTarget target) {
  frame().cast = target;
  const char* type = "FLOAT";
  switch (target.type) {
    case TCastType::Char: type = "STRING"; break;
    case TCastType::Integer: type = "INTEGER"; break;
    case TCastType::Boolean: type = "BOOLEAN"; break;
    default: break;
  }
  std::string& text = frame().castText;
  text = "CAST(" + value + " AS " + type + ")";
  // CHAR(n) holds n characters: the text is cut there, and the column is sized by it.
  if (target.type == TCastType::Char) text = "COPY(" + text + ",1," + std::to_string(target.size) + ")";
  return text;
}

std::string SqlParseContext::whenThen(const std::string& whens, const std::string& condition,
                                      const std::string& value) {
  return (whens.empty() ? "" : whens + " ") + "WHEN " + condition + " THEN " + value;
}

std::string SqlParseContext::caseWhen(const std::string& whens, const std::string& elseValue) {
  return "CASE " + whens + (elseValue.empty() ? "" : " ELSE " + elseValue) + " END";
}

std::string SqlParseContext::aggregate(TAggregateKind kind, const std::string& argument, bool distinct) {
  frame().aggregates.push_back(TAggregateItem{kind, argument, distinct});
  return "{Aggregate " + std::to_string(frame().aggregates.size() - 1) + "}";
}

}  // namespace vekrano::sql
