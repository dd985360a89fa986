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

constexpr char kHexDigits[] = "0123456789abcdef";

// Texts and numbers as hexadecimal, so that a kept state holds no blank and loses no bit.
std::string hexOf(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) {
    text += kHexDigits[static_cast<unsigned char>(c) >> 4];
    text += kHexDigits[static_cast<unsigned char>(c) & 0x0F];
  }
  return text;
}

std::string hexOf(double value) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, std::bit_cast<std::uint64_t>(value), 16).ptr;
  return std::string(digits, end);
}

bool fromHex(std::string_view text, std::string& bytes) {
  if (text.size() % 2 != 0) return false;
  bytes.clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
    if (error != std::errc() || end != text.data() + i + 2) return false;
    bytes += static_cast<char>(value);
  }
  return true;
}

bool fromHex(std::string_view text, double& value) {
  std::uint64_t bits = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), bits, 16);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  value = std::bit_cast<double>(bits);
  return true;
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
  // A text is kept with a mark before it, so that an empty one still makes a word.
  return std::to_string(count_) + " " + hexOf(sum_) + " " + hexOf(squares_) + " " + hexOf(min_) + " " + hexOf(max_) +
         " t" + hexOf(minText_) + " t" + hexOf(maxText_);
}

bool AggregateAccumulator::restore(std::string_view state) {
  std::vector<std::string_view> words;
  for (std::size_t start = 0; start <= state.size();) {
    const std::size_t blank = std::min(state.find(' ', start), state.size());
    words.push_back(state.substr(start, blank - start));
    start = blank + 1;
  }
  int count = 0;
  double sum = 0, squares = 0, min = 0, max = 0;
  std::string minText, maxText;
  if (words.size() != 7 || words[5].empty() || words[5][0] != 't' || words[6].empty() || words[6][0] != 't') {
    return false;
  }
  const auto [end, error] = std::from_chars(words[0].data(), words[0].data() + words[0].size(), count);
  if (words[0].empty() || error != std::errc() || end != words[0].data() + words[0].size() || count < 0 ||
      !fromHex(words[1], sum) || !fromHex(words[2], squares) || !fromHex(words[3], min) || !fromHex(words[4], max) ||
      !fromHex(words[5].substr(1), minText) || !fromHex(words[6].substr(1), maxText)) {
    return false;
  }
  count_ = count;
  sum_ = sum;
  squares_ = squares;
  min_ = min;
  max_ = max;
  minText_ = std::move(minText);
  maxText_ = std::move(maxText);
  return true;
}

}  // namespace vekrano::sql
