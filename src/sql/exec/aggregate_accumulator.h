// The running values of one aggregate's argument over one group.
#pragma once

#include <string>

#include "sql/program/analyzer.h"
#include "sql/results/column.h"

namespace vekrano::sql {

// Reads the argument from result rows, null values skipped.
class AggregateAccumulator {
 public:
  // `argument` must outlive the accumulator.
  explicit AggregateAccumulator(const TSqlField& argument) : argument_(&argument) {}

  void Add(const char* row);
  // The final value written as an expression text reads it.
  std::string Result(TAggregateKind kind) const;

 private:
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
