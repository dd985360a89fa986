// The filter of the open query: rows skipped by the cursor, counted out of RecordCount and RecNo.
#include <utility>

#include "common/scope_exit.h"
#include "sql/errors.h"
#include "sql/expr_messages.h"
#include "sql/expr/expr_parser.h"
#include "sql/query/query.h"

namespace vekrano::sql {

void TSqlQuery::setFilter(const std::string& filter) {
  if (filter == filter_) return;
  std::string previous = std::exchange(filter_, filter);
  applyFilter([&] { filter_ = std::move(previous); });
}

void TSqlQuery::setFiltered(bool filtered) {
  if (filtered == filtered_) return;
  filtered_ = filtered;
  applyFilter([&] { filtered_ = !filtered; });
}

void TSqlQuery::applyFilter(const std::function<void()>& undo) {
  filterExpression_.reset();
  if (!Active()) return;
  if (filtering() && !filter_.empty()) {
    const common::OnUnwind undone([&] {
      undo();
      filterExpression_.reset();
    });
    filterExpression();
  }
  First();
}

const TExpression& TSqlQuery::filterExpression() const {
  if (!filterExpression_) {
    TExprParserContext context;
    context.NamesAreFields = true;
    // The parser binds the tree to the query's fields, which it only reads.
    TExprParser parser(const_cast<TSqlQuery&>(*this), context);
    parser.parseExpression(filter_);
    TExprPtr expression = parser.takeExpression();
    if (expression->exprType() != ttBoolean) {
      throw EExpression(common::formatText(messages::kCannotReadBoolean, {exprTypeName(expression->exprType())}));
    }
    filterExpression_ = std::move(expression);
  }
  return *filterExpression_;
}

bool TSqlQuery::rowKept(int rowIndex) const {
  if (!filtering() || State() != dbase::TDataSetState::dsBrowse) return true;
  filterRecord_.assign(recordSize_, 0);
  fillBuffer(filterRecord_.data(), rowIndex);
  // The fields read the row's copy while it is judged; the query itself does not change.
  auto& self = const_cast<TSqlQuery&>(*this);
  const dbase::TActiveRecord judged(self, filterRecord_);
  bool accept = filter_.empty() || filterExpression().AsBoolean();
  if (accept && OnFilterRecord) OnFilterRecord(self, accept);
  return accept;
}

int TSqlQuery::nextRowKept(int rowIndex, int step) const {
  const int count = resultSet_->RecordCount();
  for (int row = rowIndex + step; row >= 0 && row < count; row += step) {
    if (rowKept(row)) return row;
  }
  return step > 0 ? count : -1;
}

}  // namespace vekrano::sql
