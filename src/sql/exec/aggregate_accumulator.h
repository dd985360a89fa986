// The running values of one aggregate's argument over one group.
#pragma once

#include <string>
#include <string_view>

#include "sql/expr/expression.h"
#include "sql/program/analyzer.h"
#include "sql/results/column.h"

namespace vekrano::sql {

// Reads the argument from result rows, null values skipped.
class AggregateAccumulator {
 public:
  // `argument` must outlive the accumulator.
  explicit AggregateAccumulator(const TSqlField& argument) : argument_(&argument) {}

  void Add(const char* row);
  const TSqlField& argument() const { return *argument_; }
  // Adds `value` as Add would read it from a row it was written into.
  // REQUIRES: the argument column is not a string column.
  void AddValue(const TExpression& value);
  // The final value written as an expression text reads it.
  std::string Result(TAggregateKind kind) const;
  // The running values as a text that restore takes back exactly, to be kept across processes.
  std::string state() const;
  // Takes back the running values from what state gave; false, with nothing changed, for any
  // other text.
  bool restore(std::string_view state);

 private:
  void addNumber(double value);

  const TSqlField* argument_;
  int count_ = 0;
  double sum_ = 0;
  double squares_ = 0;
  double min_ = 0;
  double max_ = 0;
  std::string minText_;
  std::string maxText_;
};

}  // namespace vekrano::sql
