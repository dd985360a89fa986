// Grouping and aggregation of a filled result set, with HAVING.
#include <charconv>
#include <cmath>
#include <cstring>

#include "sql/analyzer_run.h"
#include "sql/errors.h"
#include "sql/query_messages.h"
#include "sql/result_set_order.h"

namespace vekrano::sql {

std::string numberLiteral(double value) {
  char buffer[400];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string text(buffer, error == std::errc() ? end : buffer);
  return value < 0 ? "(" + text + ")" : text;
}

std::string stringLiteral(const std::string& value) {
  const char quote = value.find('"') == std::string::npos ? '"' : '\'';
  return quote + value + quote;
}

namespace {

// The values of one aggregate's argument over one group, null values skipped.
class Accumulator {
 public:
  explicit Accumulator(const TSqlField& argument) : argument_(argument) {}

  void Add(const char* row) {
    if (argument_.IsNull(row)) return;
    ++count_;
    if (argument_.Type() == ttString) {
      const std::string text = argument_.AsString(row);
      if (count_ == 1 || text < minText_) minText_ = text;
      if (count_ == 1 || text > maxText_) maxText_ = text;
      return;
    }
    const double value = argument_.AsFloat(row);
    sum_ += value;
    squares_ += value * value;
    if (count_ == 1 || value < min_) min_ = value;
    if (count_ == 1 || value > max_) max_ = value;
  }

  // The final value written as text.
  std::string Result(TAggregateKind kind) const {
    const bool text = argument_.Type() == ttString;
    switch (kind) {
      case TAggregateKind::Count:
        return std::to_string(count_);
      case TAggregateKind::Sum:
        return numberLiteral(sum_);
      case TAggregateKind::Avg:
        return numberLiteral(count_ == 0 ? 0 : sum_ / count_);
      case TAggregateKind::Stdev: {
        if (count_ < 2) return numberLiteral(0);
        const double spread = std::max(0.0, squares_ - sum_ * sum_ / count_);
        return numberLiteral(std::sqrt(spread / (count_ - 1)));
      }
      case TAggregateKind::Min:
        return text ? stringLiteral(minText_) : numberLiteral(min_);
      case TAggregateKind::Max:
        return text ? stringLiteral(maxText_) : numberLiteral(max_);
    }
    return {};
  }

 private:
  const TSqlField& argument_;
  int count_ = 0;
  double sum_ = 0;
  double squares_ = 0;
  double min_ = 0;
  double max_ = 0;
  std::string minText_;
  std::string maxText_;
};

// The final values of `aggregates` over the rows [first, last], whose arguments are the
// result set's columns from `firstColumn` on.
std::vector<std::string> aggregateValues(const TResultSet& resultSet,
                                         const TAggregateList& aggregates, int firstColumn,
                                         int first, int last) {
  std::vector<std::string> values;
  for (std::size_t n = 0; n < aggregates.size(); ++n) {
    Accumulator accumulator(resultSet.Fields()[firstColumn + static_cast<int>(n)]);
    for (int r = first; r <= last; ++r) accumulator.Add(resultSet.Row(r));
    values.push_back(accumulator.Result(aggregates[n].kind));
  }
  return values;
}

bool sameGroup(const TResultSet& resultSet, const std::vector<int>& groupColumns, int a, int b) {
  for (int c : groupColumns) {
    const TSqlField& column = resultSet.Fields()[c];
    const std::size_t bytes = kPresenceSize + column.StorageSize();
    if (std::memcmp(resultSet.Row(a) + column.Offset(), resultSet.Row(b) + column.Offset(), bytes) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string TStatementRun::AggregateText(const std::string& text, const TAggregateList& aggregates,
                                         const std::vector<std::string>& values) const {
  std::string result = text;
  for (std::size_t n = 0; n < aggregates.size(); ++n) {
    const std::string placeholder = "{Aggregate " + std::to_string(n) + "}";
    for (std::size_t at; (at = result.find(placeholder)) != std::string::npos;) {
      result.replace(at, placeholder.size(), values[n]);
    }
  }
  return result;
}

void TStatementRun::Aggregate(TResultSet& resultSet, const std::vector<int>& groupColumns) {
  if (resultSet.RecordCount() == 0) return;
  std::vector<TSortKey> keys;
  for (int c : groupColumns) keys.push_back(TSortKey{c, false});
  SortRows(resultSet, keys);

  dbase::TDataSet* source = resultSet.SourceDataSet();
  // Positions the source on a group's first record, for the parts of a text that read fields.
  const auto placeSource = [&](const char* row, const std::string& text) {
    const std::int32_t bookmark = resultSet.SourceBookmark(row);
    if (source == nullptr || bookmark == 0 || text.find(kFieldMarker) == std::string::npos) return;
    dbase::TBookmark data(kRowBookmarkSize);
    std::memcpy(data.data(), &bookmark, sizeof bookmark);
    source->GotoBookmark(data);
  };

  const int rowCount = resultSet.RecordCount();
  for (int first = 0; first < rowCount;) {
    int last = first;
    while (last + 1 < rowCount && sameGroup(resultSet, groupColumns, first, last + 1)) ++last;
    char* representative = resultSet.Row(first);
    for (const SelectColumn& column : columns_) {
      if (column.item == nullptr || column.item->aggregates.empty()) continue;
      const std::string text = AggregateText(
          column.item->expression, column.item->aggregates,
          aggregateValues(resultSet, column.item->aggregates, column.firstArgumentColumn, first, last));
      placeSource(representative, text);
      const TExprPtr value = Parse(text);
      const TSqlField& field = resultSet.Fields()[column.resultColumn];
      field.Clear(representative);
      writeColumnValue(field, representative, *value);
    }
    bool keep = true;
    if (!analizer_.havingText.empty()) {
      const std::string text = AggregateText(
          analizer_.havingText, analizer_.havingAggregates,
          aggregateValues(resultSet, analizer_.havingAggregates, havingArgumentColumn_, first, last));
      placeSource(representative, text);
      const TExprPtr condition = Parse(text);
      if (condition->ExprType() != ttBoolean) throw ESqlQueryError(messages::kWhereNotBoolean);
      keep = condition->AsBoolean();
    }
    for (int r = first + 1; r <= last; ++r) resultSet.MarkRow(r);
    if (!keep) resultSet.MarkRow(first);
    first = last + 1;
  }
  resultSet.DeleteMarkedRows();
}

}  // namespace vekrano::sql
