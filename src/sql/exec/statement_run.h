// Analysis and execution of one parsed statement: names resolved against the datasets the query
// registered, expression trees built, the source scanned, and either a result set filled or the
// source changed.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dbase/dataset/dataset.h"
#include "sql/exec/aggregate_accumulator.h"
#include "sql/program/analyzer.h"
#include "sql/expr/expr_parser.h"
#include "sql/results/result_set.h"

namespace vekrano::sql {

class TSqlQuery;

enum class TProgressStatus { psXStart, psXProgress, psXEnd };
using TProgressEvent = std::function<void(TProgressStatus status, int min, int max, int position)>;
// Setting `cancel` stops the scan; the rows gathered so far are the result.
using TCancelQueryEvent = std::function<void(bool& cancel)>;
// Gives the dataset of a table written as a quoted file name (left null: not found).
using TResolveDatasetEvent =
    std::function<void(const std::string& fileName, const std::string& tableName, dbase::TDataSet*& dataSet)>;

struct TDataSetAlias {
  std::string alias;
  dbase::TDataSet* dataSet = nullptr;
};

// A parameter name that stands for a field name.
struct TParamAsField {
  std::string paramName;
  std::string fieldName;
};

// What a run takes from the query that starts it.
struct TRunEnvironment {
  std::vector<TDataSetAlias> dataSets;
  TProgressEvent OnProgress;
  TCancelQueryEvent OnCancelQuery;
  TResolveDatasetEvent OnResolveDataset;
  std::function<std::optional<TExprValue>(const std::string& name)> ParamValue;
  std::vector<TParamAsField> paramsAsFields;
  TUDFCheckEvent OnUDFCheck;
  TUDFSolveEvent OnUDFSolve;
  TStorageOptions storage;
};

// A FROM table (or the INSERT target) with the dataset found for it.
struct TBoundTable {
  std::string name;
  std::string alias;  // the name itself when none was written
  std::string qualifier;  // how rewritten references name it: the alias when one was written
  dbase::TDataSet* dataSet = nullptr;  // the registered dataset, or the snapshot of a join
  dbase::TDataSet* registered = nullptr;  // the registered dataset: result fields copy its fields
};

// One run of one statement. The analyser's texts are rewritten in place.
class TStatementRun {
 public:
  // Both must outlive the run.
  TStatementRun(TSqlAnalizer& analizer, const TRunEnvironment& environment);
  ~TStatementRun();
  TStatementRun(const TStatementRun&) = delete;
  TStatementRun& operator=(const TStatementRun&) = delete;

  // SELECT or UNION: analysis, the scan, aggregation, ORDER BY, DISTINCT, TOP and the
  // rows of a UNION. Raises ESqlQueryError, EExpression or the source's exceptions.
  std::unique_ptr<TResultSet> executeSelect();
  // UPDATE, DELETE or INSERT; adds every changed row to `changedRowCount` as it happens, so
  // that a failure leaves the count of the rows already changed.
  void executeChange(int& changedRowCount);

 private:
  // A select column as the run evaluates it.
  struct SelectColumn {
    const TColumnItem* item = nullptr;  // null for the hidden argument column of an aggregate
    std::string text;  // the expression text evaluated per record
    TExprPtr expression;  // null for aggregate columns, which are computed afterwards
    int resultColumn = 0;  // its column in the result set
    int firstArgumentColumn = -1;  // the hidden column of its first aggregate's argument
  };

  // --- Names (statement_resolve.cpp)
  void bindTables();
  TBoundTable bindTable(const std::string& name, const std::string& alias, bool isQuotedFileName);
  const TBoundTable* findTable(const std::string& name) const;
  void expandAllFields();
  std::string resolveText(const std::string& text, bool columnAliases) const;
  std::string resolveReference(const std::string& name, bool columnAliases) const;
  void resolveStatementTexts();
  int bindOrderItem(const TOrderByItem& item, const char* notFoundMessage) const;
  std::vector<int> bindOrderList(const TOrderByList& list, const char* notFoundMessage) const;

  // --- Expressions
  TExprParserContext parserContext() const;
  TExprPtr Parse(const std::string& text);
  // The field a lone field reference names; null for any other text.
  const dbase::TField* loneField(const std::string& text) const;

  // --- SELECT (execute_select.cpp)
  void buildColumns(TResultSet& resultSet);
  // Appends a row for the source's current record.
  void fillRow(TResultSet& resultSet);
  void writeSourceBookmark(const TResultSet& resultSet, char* row) const;
  // Writes the value of every column evaluated per record.
  void fillColumns(const TResultSet& resultSet, char* row) const;
  void Scan(const std::function<bool()>& handleRecord);
  void finishSelect(TResultSet& resultSet, const std::vector<int>& orderColumns, const std::vector<int>& groupColumns);
  bool hasAggregates() const;
  void appendUnion(TResultSet& resultSet);

  // --- Storage order (execute_storage_order.cpp)
  // No handler and no subquery could see the records' order during the scan.
  bool storageOrderAllowed() const;
  // Every column and HAVING is made of COUNT, MIN and MAX alone, whose values no order changes.
  bool orderFreeAggregates() const;
  // Calls `handleRecord` for the records of a SELECT's scan in a cheaper way than the walk when
  // the result cannot show it: in the walk's order but only for the records an index finds for
  // the fixed start the WHERE condition requires of a field (the others cannot match and raise
  // nothing); else, when `mayUseStorageOrder` (the order cannot show, or is restored later), every
  // record in storage order (`storageOrdered_` set). False when neither was done: the caller
  // walks. A failure empties the result set and gives false, for the walk to meet it again.
  bool visitSource(TResultSet& resultSet, const std::function<void()>& handleRecord, bool mayUseStorageOrder);
  bool visitFieldPrefix(const std::function<void()>& handleRecord);
  // The source fields the select columns and WHERE read; nothing when a reference names none.
  std::optional<std::vector<const dbase::TField*>> sourceFieldsRead() const;
  // Every row (0-based) of a result gathered in storage order, in the order the walk would have
  // given them.
  std::vector<int> RowsInWalkOrder(const TResultSet& resultSet) const;
  // Puts rows gathered in storage order into the order the walk would have given them.
  void restoreWalkOrder(TResultSet& resultSet) const;

  // --- TRANSFORM (execute_transform.cpp)
  // Adds the pivot expression as a column grouped on, and the TRANSFORM aggregate after it.
  void addTransformColumns();
  // REQUIRES: the last two visible columns of `grouped` are the pivot and the aggregate.
  std::unique_ptr<TResultSet> crossTab(const TResultSet& grouped) const;

  // --- Joins (execute_join.cpp)
  // A query holding every record of `source` with all its fields, hidden ones hidden again.
  std::unique_ptr<TSqlQuery> takeSnapshot(dbase::TDataSet& source) const;
  // Puts a snapshot of every FROM table in place of its dataset.
  void takeSnapshots();
  void scanJoined(TResultSet& resultSet);
  void checkJoinDefined() const;

  // --- Subqueries (execute_subquery.cpp; the scope look-ups in statement_resolve.cpp)
  // A subquery's values, for "{... subquery n}" functions.
  struct Subquery;
  // A field of an enclosing statement's table, with the run of that statement.
  struct OuterField {
    const TStatementRun* owner = nullptr;
    dbase::TField* field = nullptr;
  };
  // The run of a subquery of `outer`: the names its own tables cannot resolve resolve to the
  // tables of `outer` and of the statements around it.
  TStatementRun(TSqlAnalizer& analizer, const TRunEnvironment& environment, const TStatementRun* outer);
  // Puts the subqueries' values, or functions that give them, in place of their placeholders.
  void runSubqueries();
  // `location` names the text ("Where", "Column 2") in the functions put in place.
  std::string replaceSubqueries(const std::string& text, TSubqueryList& subqueries, const std::string& location);
  // The table named `name` (alias first) of this statement or, failing that, of the nearest
  // enclosing one; `owner` receives the run whose table it is.
  const TBoundTable* findScopeTable(const std::string& name, const TStatementRun*& owner) const;
  // The table, of this statement or the nearest enclosing one, holding the field that
  // `reference` ("f" or "t.f") names; null when none does.
  const TBoundTable* findFieldTable(const std::string& reference, const TStatementRun*& owner) const;
  // True when `reference` names a field of this statement's own tables or a column alias.
  bool resolvesHere(const std::string& reference) const;
  // Adds the fields of enclosing statements that this statement, or a subquery inside it, names.
  // REQUIRES: the tables are not bound yet (a run of its own).
  void collectOuterFields(std::vector<OuterField>& fields);
  std::vector<OuterField> outerFieldsOf(TSqlAnalizer& subquery) const;
  // The subquery a "{... subquery n}" function name stands for, made ready on first use; null
  // for any other name.
  Subquery* subqueryFunction(const std::string& upperName) const;
  std::unique_ptr<Subquery> prepareSubquery(TSubqueryItem& item) const;
  bool checkSubqueryFunction(const std::string& upperName, const TExprList& params, TExprType& type,
                             int& maxLength) const;
  TExprValue solveSubqueryFunction(const std::string& upperName, const TExprList& params) const;

  const TStatementRun* outer_ = nullptr;
  // By function name; declared before the trees that call them, so destroyed after them.
  mutable std::map<std::string, std::unique_ptr<Subquery>> subqueries_;

  // --- Aggregation (execute_aggregate.cpp)
  void Aggregate(TResultSet& resultSet, const std::vector<int>& groupColumns);
  // Aggregates without GROUP BY can be gathered as the scan meets each record, without a row
  // stored per record.
  bool canAggregateDuringScan(const std::vector<int>& groupColumns) const;
  // Scans as Scan does and leaves the one row the aggregation of the stored rows would leave.
  void scanAggregated(TResultSet& resultSet);
  // One accumulator per hidden argument column, in column order.
  std::vector<AggregateAccumulator> argumentAccumulators(const TResultSet& resultSet) const;
  // Writes the aggregate columns of a group's row from its accumulators; false when HAVING
  // drops the group.
  bool finishGroup(TResultSet& resultSet, char* representative, const std::vector<AggregateAccumulator>& accumulators);
  std::string aggregateText(const std::string& text, const TAggregateList& aggregates,
                            const std::vector<std::string>& values) const;

  // --- Changes (execute_change.cpp)
  void executeUpdate(int& changedRowCount);
  void executeDelete(int& changedRowCount);
  void executeInsert(int& changedRowCount);

  TSqlAnalizer& analizer_;
  const TRunEnvironment& environment_;
  std::vector<TBoundTable> tables_;
  std::unique_ptr<TExprParser> parser_;
  std::vector<SelectColumn> columns_;
  int firstArgumentColumn_ = -1;  // the first hidden argument column of any aggregate
  int havingArgumentColumn_ = -1;  // the hidden column of the first HAVING aggregate
  TExprPtr where_;
  bool canceled_ = false;
  bool aggregatedDuringScan_ = false;
  bool storageOrdered_ = false;  // the rows came in storage order, not in the walk's
  std::vector<std::unique_ptr<TSqlQuery>> snapshots_;  // of the FROM tables of a join
  std::vector<int> snapshotRows_;  // records of each snapshot, before its null row
};

// Answers for the function that stands for an aggregate while its column is typed: the type of
// its one argument, and for text the argument's width. False for any other name.
bool checkAggregateTyping(const std::string& upperName, const TExprList& params, TExprType& type, int& maxLength);

// Writes `value` read as the column's type into `row`; leaves the column as it is when the value
// is null.
void writeColumnValue(const TSqlField& column, char* row, const TExpression& value);

// Copies a column value of `source` into a column of `row`, read as the target's type; a null
// value leaves the target as it is.
void copyColumnValue(const TSqlField& from, const char* source, const TSqlField& into, char* row);

// Writes the value of `value` into `field` with the setter its data type calls for: integer
// types AsInteger, boolean AsBoolean, float, currency, BCD and date-time types AsFloat, byte and
// blob types the text read as hexadecimal pairs, every other type AsString.
void assignFieldValue(dbase::TField& field, const TExpression& value);

// The text of a table or field name as expression texts write it: in brackets when it is a
// reserved word of the expression language, starts with a digit or holds a character other
// than letters, digits and "_".
std::string quotedName(const std::string& name);

}  // namespace vekrano::sql
