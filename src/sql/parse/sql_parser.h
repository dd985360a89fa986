// The SQL statement parser: statement text in, statement analyser filled or syntax error out.
// SqlParseContext is the state the generated scanner and grammar share during one parse; its
// methods are the grammar's actions and write the expression texts.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sql/program/analyzer.h"

namespace vekrano::sql {

// Why a statement was refused, and where.
struct SqlSyntaxError {
  std::string errorText;  // "syntax error" or "yyparse stack overflow"
  int line = 0;  // 1-based line of the offending token
  int column = 0;  // 0-based column of the offending token's first character
  std::string token;  // the offending token's text; empty at the end of the text

  // " %s at line : %d, Column: %d, token: %s", the message a query reports.
  std::string message() const;
};

// A token as the parser receives it.
struct TSqlToken {
  int code = 0;
  std::string text;
  // The text is the statement's own characters, not a value the scanner computed (a date, NOW,
  // a "$" number in decimal, "||" as "+").
  bool asWritten = false;
  std::size_t offset = 0;  // its first byte in the text, lines joined by line feeds
};

class TSqlTokenReader;

class TSqlParser {
 public:
  // `dateFormat` reads "#" date "#" literals; empty means the process's short date format.
  explicit TSqlParser(std::string dateFormat = {});

  // Parses one statement (a final ";" allowed) into `analizer`, which must be fresh.
  // Returns nothing when the text was accepted, else the error; `analizer` is then partly filled.
  std::optional<SqlSyntaxError> Parse(std::string_view text, TSqlAnalizer& analizer) const;

  // Reads the tokens of `text` as Parse would, without parsing.
  TSqlTokenReader tokenReader(std::string_view text) const;

 private:
  const std::string& dateFormat() const;

  std::string dateFormat_;
};

// Deepest parser stack a statement may need before the parse stops with "yyparse stack overflow".
inline constexpr std::size_t kMaxParserDepth = 1048;

class SqlParseContext {
 public:
  SqlParseContext(std::string_view text, std::string dateFormat, TSqlAnalizer& root);

  // Scanner state, used by the generated scanner (sql_lexer.re).
  const char* cursor;
  const char* marker = nullptr;
  const char* limit;
  const char* tokenStart = nullptr;
  bool insideWhere = false;  // date literals and NOW are wrapped as "DummyDate(...)"
  const std::string& dateFormat() const { return dateFormat_; }

  // The parser's token source: the next token's code and text, given the parser's stack depth;
  // past kMaxParserDepth it gives the illegal-character token and notes the overflow.
  int nextToken(std::size_t depth, std::string& text);
  // Keeps the first error of the parse, placed at the token read last.
  void recordError(const std::string& errorText);
  std::optional<SqlSyntaxError> error() const { return error_; }

  // Grammar actions that fill the analyser. Those that refuse a construct throw the parser's
  // syntax_error, which ends the parse with "syntax error".
  void setKind(TStatementKind kind);
  void setDistinct();
  void setTop(const std::string& number);
  void setInto(const std::string& name);
  void addTable(const std::string& name, const std::string& alias, bool isQuotedFileName);
  void addColumn(const std::string& expression, const std::string& alias);
  void addSelectAll();
  void addAllFieldsOf(const std::string& table);
  void addJoin(TJoinKind kind, const std::string& condition);
  void setWhere(const std::string& condition);
  void setHaving(const std::string& condition);
  void addOrderBy(const std::string& name, bool descending);
  void addOrderByNumber(const std::string& number, bool descending);
  void addGroupBy(const std::string& name);
  void addGroupByNumber(const std::string& number);
  void addUpdate(const std::string& field, const std::string& value);
  void beginInsert(const std::string& table, bool isQuotedFileName);
  void addInsertField(const std::string& field);
  void addInsertValue(const std::string& value);
  void beginCreateTable(TStatementKind kind, const std::string& table);
  void addFieldDefinition(const std::string& name, TFieldDefinition type);
  void addDroppedField(const std::string& name);
  void setPrimaryKey(std::vector<std::string> fields);
  void setIndex(TStatementKind kind, const std::string& index, const std::string& table,
                std::vector<std::string> fields, bool unique, bool descending);
  void setTableStatement(TStatementKind kind, const std::string& table);
  void setTransform(const std::string& expression);
  void setPivot(const std::string& expression);
  void beginSubquery();
  // Ends the innermost subquery and returns its placeholder text, "({Subquery n})".
  std::string endSubquery(TSubqueryKind kind);
  void endUnion();

  // Field types, numbers and names of the statement.
  TFieldDefinition fieldType(TFieldType type, const std::string& size = {}, const std::string& decimals = {});
  TCastTarget castTarget(TCastType type, const std::string& size = {});
  int number(const std::string& text);
  // A name with its enclosing brackets removed.
  static std::string plainName(const std::string& name);

  // Expression texts.
  std::string fieldReference(const std::string& name);
  std::string parameter(const std::string& name);
  std::string binary(const std::string& left, const std::string& op, const std::string& right);
  std::string unary(const std::string& op, const std::string& operand);
  std::string call(const std::string& function, const std::string& arguments);
  std::string list(const std::string& items, const std::string& item);
  std::string parenthesized(const std::string& expression);
  std::string inList(const std::string& value, const std::string& items, bool negated);
  // "x IN ({Subquery n})" or "x NOT IN ({Subquery n})", ending the innermost subquery.
  std::string inSubquery(const std::string& value, bool negated);
  // "ANY ({Subquery n})" or "ALL ({Subquery n})", ending the innermost subquery.
  std::string quantified(const std::string& keyword, TSubqueryKind kind);
  std::string like(const std::string& value, const std::string& pattern, const std::string& escape, bool negated);
  std::string between(const std::string& value, const std::string& low, const std::string& high, bool negated);
  std::string isNull(const std::string& value, bool negated);
  std::string trim(int kind, const std::string& character, const std::string& value);
  std::string substring(const std::string& value, const std::string& start, const std::string& count);
  std::string extract(const std::string& part, const std::string& value);
  std::string cast(const std::string& value, TCastTarget target);
  std::string whenThen(const std::string& whens, const std::string& condition, const std::string& value);
  std::string caseWhen(const std::string& whens, const std::string& elseValue);
  std::string aggregate(TAggregateKind kind, const std::string& argument, bool distinct);

 private:
  // What the statement or subquery being read has gathered for the expression being read.
  struct Frame {
    TSqlAnalizer* analizer;
    std::unique_ptr<TSqlAnalizer> owned;  // subqueries and UNION parts until they are placed
    TAggregateList aggregates;
    TSubqueryList subqueries;
    TCastTarget cast;
    std::string castText;  // the expression text of that CAST
  };

  Frame& frame() { return frames_.back(); }
  TSqlAnalizer& current() { return *frames_.back().analizer; }
  // Refuses aggregates or subqueries gathered where the statement cannot hold them.
  void refuseGathered();
  // Forgets what was gathered once its expression has been placed.
  void clearGathered();

  std::string text_;
  std::string dateFormat_;
  std::vector<Frame> frames_;
  std::size_t lastTokenOffset_ = 0;
  std::string lastToken_;
  bool stackOverflowed_ = false;
  std::optional<SqlSyntaxError> error_;
};

// Reads the tokens of one statement text as the parser receives them: one after the other, or
// the one that begins at a given byte.
class TSqlTokenReader {
 public:
  TSqlTokenReader(std::string_view text, std::string dateFormat);
  TSqlTokenReader(const TSqlTokenReader&) = delete;
  TSqlTokenReader& operator=(const TSqlTokenReader&) = delete;

  // The token after the last one read, blanks and comments skipped; code 0 at the end.
  void next(TSqlToken& token);
  // The token that begins at byte `offset`; false at the end of the text and where a blank or a
  // comment begins. REQUIRES: the text holds no carriage return, so that its bytes are those read.
  bool readAt(std::size_t offset, TSqlToken& token);
  // Goes back to the start of the text.
  void rewind();

 private:
  TSqlAnalizer unused_;  // no grammar action runs on the scanner's behalf
  SqlParseContext context_;
  const char* start_;
};

// The generated scanner: the next token's code, skipping blanks and comments; 0 at the end.
// The token's text is left in `text`.
int scanSqlToken(SqlParseContext& context, std::string& text);

}  // namespace vekrano::sql
