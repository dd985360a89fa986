#include "sql/exec/aggregate_accumulator.h"

#include <algorithm>
#include <cmath>

#include "sql/exec/statement_run.h"

namespace vekrano::sql {

void AggregateAccumulator::Add(const char* row) {
  if (argument_->IsNull(row)) return;
  ++count_;
  if (argument_->Type() == ttString) {
    const std::string text = argument_->AsString(row);
    if (count_ == 1 || text < minText_) minText_ = text;
    if (count_ == 1 || text > maxText_) maxText_ = text;
    return;
  }
  addNumber(argument_->AsFloat(row));
}

void AggregateAccumulator::AddValue(const TExpression& value) {
  if (value.IsNull()) return;
  ++count_;
  switch (argument_->Type()) {
    case ttInteger: addNumber(value.AsInteger()); break;
    case ttFloat: addNumber(value.AsFloat()); break;
    case ttBoolean: addNumber(value.AsBoolean() ? 1 : 0); break;
    case ttString: break;
  }
}

void AggregateAccumulator::addNumber(double value) {
  sum_ += value;
  squares_ += value * value;
  if (count_ == 1 || value < min_) min_ = value;
  if (count_ == 1 || value > max_) max_ = value;
}

std::string AggregateAccumulator::Result(TAggregateKind kind) const {
  const bool text = argument_->Type() == ttString;
  switch (kind) {
    case TAggregateKind::Count: return std::to_string(count_);
    case TAggregateKind::Sum: return numberLiteral(sum_);
    case TAggregateKind::Avg: return numberLiteral(count_ == 0 ? 0 : sum_ / count_);
    case TAggregateKind::Stdev: {
      if (count_ < 2) return numberLiteral(0);
      const double spread = std::max(0.0, squares_ - sum_ * sum_ / count_);
      return numberLiteral(std::sqrt(spread / (count_ - 1)));
    }
    case TAggregateKind::Min: return text ? textLiteral(minText_) : numberLiteral(min_);
    case TAggregateKind::Max: return text ? textLiteral(maxText_) : numberLiteral(max_);
  }
  return {};
}

}  // namespace vekrano::sql
