// Grouping and aggregation of a filled result set, with HAVING.
#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>

#include "dbase/table/table_dataset.h"
#include "sql/exec/aggregate_accumulator.h"
#include "sql/exec/statement_run.h"
#include "sql/errors.h"
#include "sql/query_messages.h"
#include "sql/program/statement_text.h"
#include "sql/results/result_set_order.h"

namespace vekrano::sql {

namespace {

bool sameGroup(const TResultSet& resultSet, const std::vector<int>& groupColumns, int a, int b) {
  for (int c : groupColumns) {
    const TSqlField& column = resultSet.Fields()[c];
    const std::size_t bytes = kPresenceSize + column.storageSize();
    if (std::memcmp(resultSet.Row(a) + column.Offset(), resultSet.Row(b) + column.Offset(), bytes) != 0) {
      return false;
    }
  }
  return true;
}

// Whether any record matched, asked beside the aggregates: without one the result has no row.
constexpr char kRowsQuestion[] = "any record";

// What a table can keep the answers to for a statement made only of COUNT(*), MIN(field) and
// MAX(field) over every record it shows, none read beside them: one question per aggregate in
// the order of the accumulators, then kRowsQuestion. Empty for any other statement.
std::vector<std::string> keptQuestions(const TSqlAnalizer& analizer,
                                       const std::function<const dbase::TField*(const std::string&)>& fieldOf) {
  if (!analizer.havingText.empty() || !analizer.havingAggregates.empty()) return {};
  std::vector<std::string> questions;
  for (const TColumnItem& column : analizer.columns) {
    if (column.aggregates.empty() || column.expression.find(kFieldMarker) != std::string::npos) return {};
    for (const TAggregateItem& aggregate : column.aggregates) {
      const dbase::TField* field = aggregate.argument.empty() ? nullptr : fieldOf(aggregate.argument);
      if (aggregate.distinct) return {};
      if (aggregate.kind == TAggregateKind::Count && aggregate.argument.empty()) {
        questions.emplace_back("COUNT(*)");
      } else if ((aggregate.kind == TAggregateKind::Min || aggregate.kind == TAggregateKind::Max) && field != nullptr) {
        questions.push_back(std::string(aggregate.kind == TAggregateKind::Min ? "MIN(" : "MAX(") + field->FieldName() +
                            ")");
      } else {
        return {};
      }
    }
  }
  questions.emplace_back(kRowsQuestion);
  return questions;
}

}  // namespace

std::string TStatementRun::aggregateText(const std::string& text, const TAggregateList& aggregates,
                                         const std::vector<std::string>& values) const {
  std::string result = text;
  for (std::size_t n = 0; n < aggregates.size(); ++n) {
    result = replaceOutsideLiterals(result, "{Aggregate " + std::to_string(n) + "}", values[n]);
  }
  return result;
}

std::vector<AggregateAccumulator> TStatementRun::argumentAccumulators(const TResultSet& resultSet) const {
  std::vector<AggregateAccumulator> accumulators;
  if (firstArgumentColumn_ < 0) return accumulators;
  for (int c = firstArgumentColumn_; c < resultSet.Fields().Count(); ++c) {
    accumulators.emplace_back(resultSet.Fields()[c]);
  }
  return accumulators;
}

bool TStatementRun::finishGroup(TResultSet& resultSet, char* representative,
                                const std::vector<AggregateAccumulator>& accumulators) {
  // The final values of `aggregates`, whose arguments are the columns from `firstColumn` on.
  const auto valuesOf = [&](const TAggregateList& aggregates, int firstColumn) {
    std::vector<std::string> values;
    for (std::size_t n = 0; n < aggregates.size(); ++n) {
      const std::size_t at = static_cast<std::size_t>(firstColumn - firstArgumentColumn_) + n;
      values.push_back(accumulators[at].Result(aggregates[n].kind));
    }
    return values;
  };
  dbase::TDataSet* source = resultSet.sourceDataSet();
  // Positions the source on the group's first record, for the parts of a text that read fields.
  const auto placeSource = [&](const std::string& text) {
    const std::int32_t bookmark = resultSet.sourceBookmark(representative);
    if (source == nullptr || bookmark == 0 || text.find(kFieldMarker) == std::string::npos) return;
    dbase::TBookmark data(kRowBookmarkSize);
    std::memcpy(data.data(), &bookmark, sizeof bookmark);
    source->GotoBookmark(data);
  };

  for (const SelectColumn& column : columns_) {
    if (column.item == nullptr || column.item->aggregates.empty()) continue;
    const std::string text = aggregateText(column.item->expression, column.item->aggregates,
                                           valuesOf(column.item->aggregates, column.firstArgumentColumn));
    placeSource(text);
    const TExprPtr value = Parse(text);
    const TSqlField& field = resultSet.Fields()[column.resultColumn];
    field.Clear(representative);
    writeColumnValue(field, representative, *value);
  }
  if (analizer_.havingText.empty()) return true;
  const std::string text = aggregateText(analizer_.havingText, analizer_.havingAggregates,
                                         valuesOf(analizer_.havingAggregates, havingArgumentColumn_));
  placeSource(text);
  const TExprPtr condition = Parse(text);
  if (condition->exprType() != ttBoolean) throw ESqlQueryError(messages::kWhereNotBoolean);
  return condition->AsBoolean();
}

void TStatementRun::Aggregate(TResultSet& resultSet, const std::vector<int>& groupColumns) {
  if (resultSet.RecordCount() == 0) return;
  std::vector<TSortKey> keys;
  for (int c : groupColumns) keys.push_back(TSortKey{c, false});
  sortRows(resultSet, keys);

  const int rowCount = resultSet.RecordCount();
  for (int first = 0; first < rowCount;) {
    int last = first;
    while (last + 1 < rowCount && sameGroup(resultSet, groupColumns, first, last + 1)) ++last;
    std::vector<AggregateAccumulator> accumulators = argumentAccumulators(resultSet);
    for (AggregateAccumulator& accumulator : accumulators) {
      for (int r = first; r <= last; ++r) accumulator.Add(resultSet.Row(r));
    }
    const bool keep = finishGroup(resultSet, resultSet.Row(first), accumulators);
    for (int r = first + 1; r <= last; ++r) resultSet.markRow(r);
    if (!keep) resultSet.markRow(first);
    first = last + 1;
  }
  resultSet.deleteMarkedRows();
}

bool TStatementRun::canAggregateDuringScan(const std::vector<int>& groupColumns) const {
  // A canceled scan leaves the rows gathered so far as the result, which needs a row per record.
  return hasAggregates() && groupColumns.empty() && analizer_.transformColumn == nullptr && !environment_.OnCancelQuery;
}

void TStatementRun::scanAggregated(TResultSet& resultSet) {
  // The first matching record's row stays as the group's representative; the others only pass
  // their argument values through one scratch row, as the stored rows would give them.
  std::vector<AggregateAccumulator> accumulators = argumentAccumulators(resultSet);
  // Aggregates over a whole table may be answered for files that no program changed since some
  // process worked them out; else they are worked out below and kept.
  auto* table = dynamic_cast<dbase::TTzDbf*>(tables_.front().dataSet);
  std::vector<std::string> questions;
  if (table != nullptr && !where_ && storageOrderAllowed())
    questions = keptQuestions(analizer_, [this](const std::string& text) { return loneField(text); });
  if (questions.size() != accumulators.size() + 1) questions.clear();
  std::optional<dbase::TableFilesStanding> before;
  if (!questions.empty()) {
    if (const std::optional<std::vector<std::string>> answers = table->keptAnswers(questions)) {
      bool restored = answers->back() == "0" || answers->back() == "1";
      for (std::size_t k = 0; k < accumulators.size() && restored; ++k) {
        restored = accumulators[k].restore((*answers)[k]);
      }
      if (restored) {
        if (answers->back() == "1") {
          resultSet.Insert();
          finishGroup(resultSet, resultSet.currentRow(), accumulators);
        }
        return;
      }
      accumulators = argumentAccumulators(resultSet);
    }
    before = table->filesStanding();
  }
  // Numbers go from their expressions straight into the accumulators, as their rows give them.
  std::vector<const TExpression*> arguments;
  bool direct = true;
  for (const AggregateAccumulator& accumulator : accumulators) {
    direct = direct && accumulator.argument().Type() != ttString;
    for (const SelectColumn& column : columns_) {
      if (&resultSet.Fields()[column.resultColumn] == &accumulator.argument())
        arguments.push_back(column.expression.get());
    }
  }
  direct = direct && arguments.size() == accumulators.size() &&
           std::find(arguments.begin(), arguments.end(), nullptr) == arguments.end();
  char* scratch = nullptr;
  bool represented = false;  // the first matching record's row is stored
  const auto handleRecord = [&] {
    if (where_ && !where_->AsBoolean()) return;
    char* row = nullptr;
    if (!represented) {
      fillRow(resultSet);
      represented = true;
      row = resultSet.currentRow();
    } else if (direct) {
      for (std::size_t k = 0; k < accumulators.size(); ++k) accumulators[k].AddValue(*arguments[k]);
      return;
    } else {
      if (scratch == nullptr) {
        resultSet.Insert();
        scratch = resultSet.currentRow();
      } else {
        resultSet.clearRow(scratch);
      }
      row = scratch;
      fillColumns(resultSet, row);
    }
    for (AggregateAccumulator& accumulator : accumulators) accumulator.Add(row);
  };
  if (!visitSource(resultSet, handleRecord, orderFreeAggregates())) {
    // What a failed visit in storage order gathered is dropped.
    accumulators = argumentAccumulators(resultSet);
    scratch = nullptr;
    represented = false;
    Scan([&] {
      handleRecord();
      return true;
    });
  }
  if (before) {
    std::vector<std::string> answers;
    for (const AggregateAccumulator& accumulator : accumulators) answers.push_back(accumulator.state());
    answers.emplace_back(represented ? "1" : "0");
    table->keepAnswers(*before, questions, answers);
  }
  resultSet.Truncate(1);
  if (resultSet.RecordCount() == 0) return;
  if (!finishGroup(resultSet, resultSet.Row(0), accumulators)) {
    resultSet.markRow(0);
    resultSet.deleteMarkedRows();
  }
}

}  // namespace vekrano::sql
