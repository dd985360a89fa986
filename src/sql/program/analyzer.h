// The statement analyser: what one SQL statement says, as the parser leaves it. The parser
// fills the lists below and writes every expression as an expression text; name resolution and
// execution read and annotate the same lists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sql/program/statement_text.h"

namespace vekrano::dbase {
class TDataSet;
}

namespace vekrano::sql {

// Statement kinds with the codes the system gives them.
enum class TStatementKind : std::uint8_t {
  Select = 0,
  Update = 1,
  Delete = 2,
  Insert = 3,
  Union = 4,  // a SELECT joined to a second one (TSqlAnalizer::unionSelect)
  CreateTable = 5,
  AlterTable = 6,
  CreateIndex = 7,
  DropTable = 8,
  DropIndex = 9,
  PackTable = 10,
  ZapTable = 11,
  ReindexTable = 12,
};

enum class TAggregateKind : std::uint8_t { Sum = 0, Avg = 1, Stdev = 2, Min = 3, Max = 4, Count = 5 };

// One aggregate call, replaced by "{Aggregate n}" in the text that holds it.
struct TAggregateItem {
  TAggregateKind kind = TAggregateKind::Count;
  std::string argument;  // expression text; empty for COUNT(*)
  bool distinct = false;
};
using TAggregateList = std::vector<TAggregateItem>;

class TSqlAnalizer;

// How a subquery stands in the text that holds it: "({Subquery n})" alone, after IN or NOT IN,
// or after ANY or ALL (which follow a comparison operator).
enum class TSubqueryKind : std::uint8_t { Scalar, In, NotIn, Any, All };

struct TSubqueryItem {
  TSubqueryKind kind = TSubqueryKind::Scalar;
  std::unique_ptr<TSqlAnalizer> analizer;
};
using TSubqueryList = std::vector<TSubqueryItem>;

// Target of a CAST; the expression text carries the nearest type of the expression language.
enum class TCastType : std::uint8_t { None, Char, Integer, Boolean, Date, Time, DateTime, Float, Money };

struct TCastTarget {
  TCastType type = TCastType::None;
  int size = 0;  // characters of CHAR(n); 0 otherwise
};

struct TColumnItem {
  std::string expression;  // expression text; aggregates and subqueries as placeholders
  std::string columnName;  // the AS alias, else the field name of a lone field reference
  bool isAsAlias = false;  // columnName was written with AS
  std::string allFieldsOf;  // the table of "table.*"; the column then stands for its fields
  TAggregateList aggregates;
  TSubqueryList subqueries;
  TCastTarget cast;  // the last CAST written in the column
  bool hidden = false;  // argument column removed before the result is shown
};
using TColumnList = std::vector<TColumnItem>;

struct TTableItem {
  std::string tableName;
  std::string alias;  // the table name itself when none was written
  bool isQuotedFileName = false;  // written as a string: resolved only through OnResolveDataset
  dbase::TDataSet* dataSet = nullptr;  // set by name resolution
};
using TTableList = std::vector<TTableItem>;

// An ORDER BY or GROUP BY item.
struct TOrderByItem {
  int columnIndex = -1;  // the column number as written (1-based); -1 when given by name
  std::string name;  // the name as written ("cb", "article.cb"), brackets removed
  bool descending = false;
};
using TOrderByList = std::vector<TOrderByItem>;

struct TUpdateItem {
  std::string fieldName;
  std::string expression;  // empty for SET field = NULL
};
using TUpdateList = std::vector<TUpdateItem>;

struct TInsertItem {
  std::string tableName;
  bool isQuotedFileName = false;
  std::vector<std::string> fieldNames;
  std::vector<std::string> values;  // expression texts; "NULL" for NULL
  dbase::TDataSet* dataSet = nullptr;  // set by name resolution
};
using TInsertList = std::vector<TInsertItem>;

enum class TJoinKind : std::uint8_t { Inner, LeftOuter, RightOuter, FullOuter };

// "JOIN table ON condition": the joined table is tables[tableIndex].
struct TJoinOnItem {
  TJoinKind kind = TJoinKind::Inner;
  std::size_t tableIndex = 0;
  std::string condition;  // expression text
};
using TJOINOnList = std::vector<TJoinOnItem>;

enum class TFieldType : std::uint8_t {
  Char,
  Integer,
  SmallInt,
  Boolean,
  Date,
  Time,
  DateTime,
  Float,
  Money,
  AutoInc,
  Blob
};

// A field of CREATE TABLE or ALTER TABLE ... ADD.
struct TFieldDefinition {
  std::string name;
  TFieldType type = TFieldType::Char;
  int size = 0;  // CHAR(size), FLOAT(size, decimals), BLOB(size, blobType)
  int decimals = 0;
  int blobType = 0;
};

// A table described by CREATE TABLE, or changed by ALTER TABLE.
struct TCreateTableItem {
  std::string tableName;
  std::vector<TFieldDefinition> fields;  // created or added fields, in written order
  std::vector<std::string> primaryKey;  // CREATE TABLE ... PRIMARY KEY (fields)
  std::vector<std::string> droppedFields;  // ALTER TABLE ... DROP fields
};
using TCreateTableList = std::vector<TCreateTableItem>;

// CREATE [UNIQUE] [DESC] INDEX name ON table (fields), DROP INDEX name ON table.
struct TIndexItem {
  std::string indexName;
  std::string tableName;
  std::vector<std::string> fields;
  bool unique = false;
  bool descending = false;
};

// One statement (or subquery, linked to the statement that holds it).
class TSqlAnalizer {
 public:
  explicit TSqlAnalizer(TSqlAnalizer* parent = nullptr) : parent(parent) {}
  TSqlAnalizer(const TSqlAnalizer&) = delete;
  TSqlAnalizer& operator=(const TSqlAnalizer&) = delete;

  // Parse-time filling, called by the grammar's actions in the order the text is read.

  void addTable(std::string tableName, std::string alias, bool isQuotedFileName);
  // A select column; a column without alias that is one field reference takes the field's name.
  void addColumn(TColumnItem column);
  // "*": every visible field of every table.
  void addSelectAll();
  // "table.*".
  void addAllFieldsOf(std::string tableName);
  // REQUIRES: the joined table was added last.
  void addJoin(TJoinKind kind, std::string condition);
  void addOrderBy(TOrderByItem item);
  void addGroupBy(TOrderByItem item);
  void addUpdate(std::string fieldName, std::string expression);
  void beginInsert(std::string tableName, bool isQuotedFileName);
  // REQUIRES: beginInsert was called.
  void addInsertField(std::string fieldName);
  void addInsertValue(std::string value);
  void beginCreateTable(TStatementKind kind, std::string tableName);
  // REQUIRES: beginCreateTable was called.
  void addFieldDefinition(TFieldDefinition field);
  void addDroppedField(std::string fieldName);
  void setPrimaryKey(std::vector<std::string> fieldNames);

  TStatementKind statementKind = TStatementKind::Select;
  TSqlAnalizer* parent;  // the statement holding this subquery or UNION part; null at the top

  TTableList tables;
  TColumnList columns;
  bool selectAll = false;  // "*" was written
  bool distinct = false;
  int top = -1;  // TOP n; -1 when absent
  std::string intoTable;  // SELECT ... INTO table
  std::string whereText;
  TSubqueryList whereSubqueries;  // "{Subquery n}" of the WHERE text
  TOrderByList orderBy;
  TOrderByList groupBy;
  std::string havingText;
  TAggregateList havingAggregates;  // "{Aggregate n}" of the HAVING text
  TJOINOnList joins;
  TUpdateList updates;
  TInsertList inserts;
  TCreateTableList createTables;
  TIndexItem index;
  std::unique_ptr<TSqlAnalizer> unionSelect;  // the SELECT after UNION
  // TRANSFORM column SELECT ... PIVOT pivotText: a cross-tab SELECT.
  std::unique_ptr<TColumnItem> transformColumn;
  std::string pivotText;
};

// The expression text of a reference to `name` ("field" or "table.field").
std::string fieldReferenceText(const std::string& name);

}  // namespace vekrano::sql
