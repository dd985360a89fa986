// The filter of the open query: rows skipped by the cursor, counted out of RecordCount and RecNo.
#include <utility>

#include "common/scope_exit.h"
#include "sql/errors.h"
#include "sql/expr_messages.h"
#include "sql/expr/expr_parser.h"
#include "sql/query/query.h"

namespace vekrano::sql {

void TSqlQuery::SetFilter(const std::string& filter) {
  if (filter == filter_) return;
  std::string previous = std::exchange(filter_, filter);
  ApplyFilter([&] { filter_ = std::move(previous); });
}

void TSqlQuery::SetFiltered(bool filtered) {
  if (filtered == filtered_) return;
  filtered_ = filtered;
  ApplyFilter([&] { filtered_ = !filtered; });
}

void TSqlQuery::ApplyFilter(const std::function<void()>& undo) {
  filterExpression_.reset();
  if (!Active()) return;
  if (Filtering() && !filter_.empty()) {
    const common::OnUnwind undone([&] {
      undo();
      filterExpression_.reset();
    });
    FilterExpression();
  }
  First();
}

const TExpression& TSqlQuery::FilterExpression() const {
  if (!filterExpression_) {
    TExprParserContext context;
    context.NamesAreFields = true;
    // The parser binds the tree to the query's fields, which it only reads.
    TExprParser parser(const_cast<TSqlQuery&>(*this), context);
    parser.ParseExpression(filter_);
    TExprPtr expression = parser.TakeExpression();
    if (expression->ExprType() != ttBoolean) {
      throw EExpression(common::formatText(messages::kCannotReadBoolean, {exprTypeName(expression->ExprType())}));
    }
    filterExpression_ = std::move(expression);
  }
  return *filterExpression_;
}

bool TSqlQuery::RowKept(int rowIndex) const {
  if (!Filtering() || State() != dbase::TDataSetState::dsBrowse) return true;
  filterRecord_.assign(recordSize_, 0);
  FillBuffer(filterRecord_.data(), rowIndex);
  // The fields read the row's copy while it is judged; the query itself does not change.
  auto& self = const_cast<TSqlQuery&>(*this);
  const dbase::TActiveRecord judged(self, filterRecord_);
  bool accept = filter_.empty() || FilterExpression().AsBoolean();
  if (accept && OnFilterRecord) OnFilterRecord(self, accept);
  return accept;
}

int TSqlQuery::NextRowKept(int rowIndex, int step) const {
  const int count = resultSet_->RecordCount();
  for (int row = rowIndex + step; row >= 0 && row < count; row += step) {
    if (RowKept(row)) return row;
  }
  return step > 0 ? count : -1;
}

}  // namespace vekrano::sql
