// Record numbers are integers read by the program, never text typed into the statement: they
// are written in decimal, as every statement writes numbers.
#include "printing/picked_statement.h"

#include <algorithm>
#include <cassert>
#include <vector>

#include "printing/print_statement.h"
#include "records/record_statements.h"

namespace vekrano::printing {
namespace {

struct NumberRange {
  int low;
  int high;
};

// The numbers sorted into ranges of consecutive numbers, repeats dropped.
std::vector<NumberRange> rangesOf(std::span<const int> numbers) {
  std::vector<int> sorted(numbers.begin(), numbers.end());
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  std::vector<NumberRange> ranges;
  for (const int num : sorted) {
    if (!ranges.empty() && ranges.back().high + 1 == num) {
      ranges.back().high = num;
    } else {
      ranges.push_back({num, num});
    }
  }
  return ranges;
}

}  // namespace

std::string pickedRecordsStatement(std::span<const int> numbers, const list::SortState& sort) {
  assert(!numbers.empty());
  std::string singles;
  std::string condition;
  for (const NumberRange& range : rangesOf(numbers)) {
    if (range.low == range.high) {
      singles += (singles.empty() ? "" : ",") + std::to_string(range.low);
    } else {
      condition += " or num between " + std::to_string(range.low) + " and " + std::to_string(range.high);
    }
  }
  if (!singles.empty()) condition = " or num in (" + singles + ")" + condition;
  // The leading " or" of the first alternative gives way to the bracket.
  condition = "(" + condition.substr(4) + ")";
  return std::string(records::kPrintStatementHead) + " where " + condition + " and quantite>0 and length(cb)>0 " + " " +
         printOrderPart(sort);
}

}  // namespace vekrano::printing
