#include "sql/exec/aggregate_accumulator.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

#include "sql/exec/statement_run.h"

namespace vekrano::sql {
namespace {

// Numbers as the hexadecimal digits of their bits, so that a kept state loses no bit.
std::string hexOf(double value) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, std::bit_cast<std::uint64_t>(value), 16).ptr;
  return std::string(digits, end);
}

bool fromHex(std::string_view text, double& value) {
  std::uint64_t bits = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), bits, 16);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  value = std::bit_cast<double>(bits);
  return true;
}

template <typename Number>
bool fromDecimal(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

}  // namespace

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

std::string AggregateAccumulator::state() const {
  // The two texts follow their lengths whole, blanks and all.
  return std::to_string(count_) + " " + hexOf(sum_) + " " + hexOf(squares_) + " " + hexOf(min_) + " " + hexOf(max_) +
         " " + std::to_string(minText_.size()) + " " + std::to_string(maxText_.size()) + " " + minText_ + maxText_;
}

bool AggregateAccumulator::restore(std::string_view state) {
  std::vector<std::string_view> words;
  std::size_t start = 0;
  while (words.size() < 7) {
    const std::size_t blank = state.find(' ', start);
    if (blank == std::string_view::npos) return false;
    words.push_back(state.substr(start, blank - start));
    start = blank + 1;
  }
  const std::string_view texts = state.substr(start);
  int count = 0;
  double sum = 0, squares = 0, min = 0, max = 0;
  std::size_t minLength = 0, maxLength = 0;
  if (!fromDecimal(words[0], count) || count < 0 || !fromHex(words[1], sum) || !fromHex(words[2], squares) ||
      !fromHex(words[3], min) || !fromHex(words[4], max) || !fromDecimal(words[5], minLength) ||
      !fromDecimal(words[6], maxLength) || minLength > texts.size() || texts.size() - minLength != maxLength) {
    return false;
  }
  count_ = count;
  sum_ = sum;
  squares_ = squares;
  min_ = min;
  max_ = max;
  minText_ = std::string(texts.substr(0, minLength));
  maxText_ = std::string(texts.substr(minLength));
  return true;
}

}  // namespace vekrano::sql
