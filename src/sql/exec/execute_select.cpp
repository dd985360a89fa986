// Execution of SELECT: result columns typed by their expressions, the scan of the source, and
// what follows it (aggregation, ORDER BY, DISTINCT, TOP, UNION).
#include <string_view>
#include <utility>

#include "common/byte_codec.h"
#include "sql/exec/statement_run.h"
#include "sql/errors.h"
#include "sql/query_messages.h"
#include "sql/results/result_set_order.h"

namespace vekrano::sql {
namespace {

// The function that stands for an aggregate's value while its column is typed and sized.
constexpr std::string_view kAggregateTypingFunction = "{AGGREGATE}";

// The text that types an aggregate column: each "{Aggregate n}" replaced by the typing function
// over the argument ("0" for COUNT, whatever it counts). A count is a whole number whatever it
// counts; an average or a deviation of whole numbers is rarely whole, so those are typed as
// floats: typed as the argument, their value could not be stored.
std::string typingText(const TColumnItem& column) {
  std::string text = column.expression;
  for (std::size_t n = 0; n < column.aggregates.size(); ++n) {
    const std::string placeholder = "{Aggregate " + std::to_string(n) + "}";
    const TAggregateItem& aggregate = column.aggregates[n];
    std::string typing = aggregate.kind == TAggregateKind::Count ? "0" : "(" + aggregate.argument + ")";
    if (aggregate.kind == TAggregateKind::Avg || aggregate.kind == TAggregateKind::Stdev) {
      typing = "(" + typing + " * 1.0)";
    }
    typing = "[" + std::string(kAggregateTypingFunction) + "](" + typing + ")";
    text = replaceOutsideLiterals(text, placeholder, typing);
  }
  return text;
}

}  // namespace

bool checkAggregateTyping(const std::string& upperName, const TExprList& params, TExprType& type, int& maxLength) {
  if (upperName != kAggregateTypingFunction || params.size() != 1) return false;
  // The value differs from group to group like a value read from a record: a function of the
  // statement reads as one, and is as wide as its argument's text, or as its type's widest.
  type = params.front()->exprType();
  maxLength = type == ttString ? static_cast<int>(params.front()->maxString().size()) : 0;
  return true;
}

void writeColumnValue(const TSqlField& column, char* row, const TExpression& value) {
  if (value.IsNull()) return;
  switch (column.Type()) {
    case ttString:
      if (const std::optional<std::string_view> text = value.textView()) {
        column.setAsString(row, *text);
      } else {
        column.setAsString(row, value.AsString());
      }
      break;
    case ttFloat: column.setAsFloat(row, value.AsFloat()); break;
    case ttInteger: column.setAsInteger(row, value.AsInteger()); break;
    case ttBoolean: column.setAsBoolean(row, value.AsBoolean()); break;
  }
}

bool TStatementRun::hasAggregates() const {
  if (!analizer_.groupBy.empty() || !analizer_.havingAggregates.empty()) return true;
  for (const TColumnItem& column : analizer_.columns) {
    if (!column.aggregates.empty()) return true;
  }
  return false;
}

std::unique_ptr<TResultSet> TStatementRun::executeSelect() {
  bindTables();
  if (tables_.size() > 1) takeSnapshots();
  expandAllFields();
  const bool transform = analizer_.transformColumn != nullptr;
  if (transform) addTransformColumns();
  resolveStatementTexts();
  runSubqueries();
  const std::vector<int> orderColumns = bindOrderList(analizer_.orderBy, messages::kFieldNotFound);
  const std::vector<int> groupColumns = bindOrderList(analizer_.groupBy, messages::kGroupByNotInSelect);
  if (!groupColumns.empty()) {
    std::size_t plainColumns = 0;
    for (const TColumnItem& column : analizer_.columns) plainColumns += column.aggregates.empty();
    if (plainColumns != groupColumns.size()) throw ESqlQueryError(messages::kGroupByCountMismatch);
  }

  auto resultSet = makeResultSet(environment_.storage);
  // Grouping compares row bytes; every other result reads its texts through the columns.
  if (!hasAggregates() && !transform) resultSet->keepTextsBesideRows();
  if (tables_.size() == 1) resultSet->setSourceDataSet(tables_.front().dataSet);
  buildColumns(*resultSet);
  if (!analizer_.whereText.empty()) {
    where_ = Parse(analizer_.whereText);
    if (where_->exprType() != ttBoolean) throw ESqlQueryError(messages::kWhereNotBoolean);
  }
  if (tables_.size() > 1) {
    scanJoined(*resultSet);
  } else if (canAggregateDuringScan(groupColumns)) {
    scanAggregated(*resultSet);
    aggregatedDuringScan_ = true;
  } else {
    const auto handleRecord = [&] {
      if (!where_ || where_->AsBoolean()) fillRow(*resultSet);
    };
    if (!visitSource(*resultSet, handleRecord, true)) {
      Scan([&] {
        handleRecord();
        return true;
      });
    }
  }
  if (!canceled_) finishSelect(*resultSet, orderColumns, groupColumns);
  return transform ? crossTab(*resultSet) : std::move(resultSet);
}

void TStatementRun::buildColumns(TResultSet& resultSet) {
  const auto addColumn = [&](const TColumnItem* item, const std::string& typing, const std::string& name, bool hidden) {
    TExprPtr expression = Parse(typing);
    const TExprType type = expression->exprType();
    const int width = type == ttString ? static_cast<int>(expression->maxString().size()) + 1 : 0;
    auto field = makeSqlField(name, item != nullptr ? item->expression : typing, type, width);
    field->setSourceField(loneField(typing));
    if (item != nullptr) field->setCast(item->cast);
    field->setHidden(hidden);
    resultSet.AddField(std::move(field));
    SelectColumn column;
    column.item = item;
    column.text = typing;
    column.resultColumn = resultSet.Fields().Count() - 1;
    if (item == nullptr || item->aggregates.empty()) column.expression = std::move(expression);
    columns_.push_back(std::move(column));
  };
  for (const TColumnItem& item : analizer_.columns) {
    addColumn(&item, typingText(item), item.columnName, false);
  }
  // One hidden column per aggregate carries its argument's value for each record.
  const std::size_t visible = columns_.size();
  firstArgumentColumn_ = resultSet.Fields().Count();
  for (std::size_t c = 0; c < visible; ++c) {
    const TColumnItem& item = *columns_[c].item;
    for (std::size_t n = 0; n < item.aggregates.size(); ++n) {
      if (n == 0) columns_[c].firstArgumentColumn = resultSet.Fields().Count();
      const std::string& argument = item.aggregates[n].argument;
      addColumn(nullptr, argument.empty() ? "0" : argument, {}, true);
    }
  }
  for (std::size_t n = 0; n < analizer_.havingAggregates.size(); ++n) {
    if (n == 0) havingArgumentColumn_ = resultSet.Fields().Count();
    const std::string& argument = analizer_.havingAggregates[n].argument;
    addColumn(nullptr, argument.empty() ? "0" : argument, {}, true);
  }
}

void TStatementRun::fillRow(TResultSet& resultSet) {
  resultSet.Insert();
  char* row = resultSet.currentRow();
  writeSourceBookmark(resultSet, row);
  fillColumns(resultSet, row);
}

void TStatementRun::writeSourceBookmark(const TResultSet& resultSet, char* row) const {
  char bookmark[kRowBookmarkSize];
  if (resultSet.sourceDataSet() != nullptr && resultSet.sourceDataSet()->copyBookmark(bookmark, kRowBookmarkSize)) {
    resultSet.setSourceBookmark(row, common::load<std::int32_t>(bookmark));
  }
}

void TStatementRun::fillColumns(const TResultSet& resultSet, char* row) const {
  for (const SelectColumn& column : columns_) {
    if (column.expression) writeColumnValue(resultSet.Fields()[column.resultColumn], row, *column.expression);
  }
}

void TStatementRun::Scan(const std::function<bool()>& handleRecord) {
  dbase::TDataSet& source = *tables_.front().dataSet;
  const int count = source.RecordCount();
  if (environment_.OnProgress) environment_.OnProgress(TProgressStatus::psXStart, 0, count, 0);
  int position = 0;
  int reported = 0;
  dbase::TDataSetScan scan(source);
  source.First();
  while (!source.Eof()) {
    // After a deletion the source already stands on the following record.
    if (handleRecord()) source.Next();
    ++position;
    if (environment_.OnProgress && count > 0 && (position - reported) * 20 > count) {
      environment_.OnProgress(TProgressStatus::psXProgress, 0, count, position);
      reported = position;
    }
    if (environment_.OnCancelQuery) {
      bool cancel = false;
      environment_.OnCancelQuery(cancel);
      if (cancel) {
        canceled_ = true;
        break;
      }
    }
  }
  if (environment_.OnProgress) environment_.OnProgress(TProgressStatus::psXEnd, 0, count, position);
}

void TStatementRun::finishSelect(TResultSet& resultSet, const std::vector<int>& orderColumns,
                                 const std::vector<int>& groupColumns) {
  std::vector<TSortKey> keys;
  for (std::size_t i = 0; i < orderColumns.size(); ++i) {
    keys.push_back(TSortKey{orderColumns[i], analizer_.orderBy[i].descending});
  }
  bool sorted = false;
  if (storageOrdered_) {
    if (!hasAggregates() && !keys.empty()) {
      sortStorageOrderedRows(resultSet, keys, [&] { return RowsInWalkOrder(resultSet); });
      sorted = true;
    } else {
      restoreWalkOrder(resultSet);
    }
  }
  if (hasAggregates() && !aggregatedDuringScan_) Aggregate(resultSet, groupColumns);
  if (!sorted) sortRows(resultSet, keys);
  if (analizer_.distinct) removeDuplicateRows(resultSet);
  if (analizer_.top >= 0) keepFirstRows(resultSet, analizer_.top);
  if (analizer_.unionSelect) appendUnion(resultSet);
}

void TStatementRun::appendUnion(TResultSet& resultSet) {
  TStatementRun second(*analizer_.unionSelect, environment_);
  const std::unique_ptr<TResultSet> rows = second.executeSelect();
  const std::vector<const TSqlField*> from = rows->visibleFields();
  const std::vector<const TSqlField*> into = resultSet.visibleFields();
  const std::size_t count = std::min(from.size(), into.size());
  for (int r = 0; r < rows->RecordCount(); ++r) {
    resultSet.Insert();
    for (std::size_t c = 0; c < count; ++c) {
      copyColumnValue(*from[c], rows->Row(r), *into[c], resultSet.currentRow());
    }
  }
}

}  // namespace vekrano::sql
