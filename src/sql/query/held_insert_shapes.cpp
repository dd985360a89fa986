// Reuse of an INSERT's parse for the next statement of the same shape.
#include "sql/query/held_insert_shapes.h"

#include <algorithm>

#include "common/code_page.h"

namespace vekrano::sql {
namespace {

// The scanner's token codes this file reads.
constexpr int kUnsignedInteger = 258;
constexpr int kString = 261;
constexpr int kComma = 262;
constexpr int kOpenParenthesis = 263;
constexpr int kCloseParenthesis = 264;
constexpr int kSemicolon = 268;
constexpr int kValues = 342;
constexpr int kNull = 369;

bool isLiteral(const TSqlToken& token) {
  return token.code >= kUnsignedInteger && token.code <= kString && token.asWritten;
}

// Only statements that begin with the word INSERT are read ahead; any other is parsed at once.
bool beginsWithInsert(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  constexpr std::string_view kInsert = "INSERT";
  if (start == std::string_view::npos || text.size() - start <= kInsert.size()) return false;
  if (!common::sameAnsiText(text.substr(start, kInsert.size()), kInsert)) return false;
  const unsigned char next = static_cast<unsigned char>(text[start + kInsert.size()]);
  return next == ' ' || next == '\t' || next == '\r' || next == '\n';
}

}  // namespace

bool HeldInsertShapes::reuse(std::string_view text, const TSqlParser& parser, TSqlAnalizer& analizer) {
  learnable_ = false;
  if (!beginsWithInsert(text)) return false;
  scannedCount_ = parser.scanTokens(text, scanned_);
  for (auto found = shapes_.begin(); found != shapes_.end(); ++found) {
    if (!matches(*found)) continue;
    // The shape used last is tried first next time.
    std::rotate(shapes_.begin(), found, found + 1);
    const Shape& shape = shapes_.front();
    analizer.statementKind = TStatementKind::Insert;
    analizer.inserts.assign(1, shape.insert);
    std::vector<std::string>& values = analizer.inserts.front().values;
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (shape.valueTokens[i] != kNoToken) values[i] = scanned_[shape.valueTokens[i]].text;
    }
    ++reusedCount_;
    return true;
  }
  learnable_ = true;
  return false;
}

bool HeldInsertShapes::matches(const Shape& shape) const {
  if (shape.tokens.size() != scannedCount_) return false;
  for (std::size_t i = 0; i < scannedCount_; ++i) {
    const TSqlToken& held = shape.tokens[i];
    const TSqlToken& token = scanned_[i];
    if (held.code != token.code) return false;
    if (shape.isValue[i] ? !token.asWritten : held.text != token.text) return false;
  }
  return true;
}

std::vector<std::size_t> HeldInsertShapes::literalValueTokens() const {
  std::size_t at = 0;
  while (at < scannedCount_ && scanned_[at].code != kValues) ++at;
  if (at + 1 >= scannedCount_ || scanned_[at + 1].code != kOpenParenthesis) return {};
  std::vector<std::size_t> valueTokens;
  for (at += 2; at + 1 < scannedCount_; at += 2) {
    const TSqlToken& value = scanned_[at];
    if (isLiteral(value)) {
      valueTokens.push_back(at);
    } else if (value.code == kNull) {
      valueTokens.push_back(kNoToken);
    } else {
      return {};
    }
    const int after = scanned_[at + 1].code;
    if (after == kCloseParenthesis) {
      // After the closing parenthesis, at most a final ";".
      const std::size_t end = at + 2;
      const bool ends = end == scannedCount_ || (end + 1 == scannedCount_ && scanned_[end].code == kSemicolon);
      return ends ? valueTokens : std::vector<std::size_t>{};
    }
    if (after != kComma) return {};
  }
  return {};
}

void HeldInsertShapes::learn(const TSqlAnalizer& analizer) {
  if (!learnable_) return;
  learnable_ = false;
  if (analizer.statementKind != TStatementKind::Insert || analizer.inserts.size() != 1) return;
  std::vector<std::size_t> valueTokens = literalValueTokens();
  const TInsertItem& insert = analizer.inserts.front();
  if (valueTokens.empty() || valueTokens.size() != insert.values.size()) return;
  // The parse wrote each value as its token; held only when it is seen to have done so.
  for (std::size_t i = 0; i < valueTokens.size(); ++i) {
    const std::string& expected = valueTokens[i] == kNoToken ? std::string("NULL") : scanned_[valueTokens[i]].text;
    if (insert.values[i] != expected) return;
  }
  Shape shape;
  shape.tokens.assign(scanned_.begin(), scanned_.begin() + static_cast<std::ptrdiff_t>(scannedCount_));
  shape.isValue.assign(scannedCount_, false);
  for (std::size_t token : valueTokens) {
    if (token != kNoToken) shape.isValue[token] = true;
  }
  shape.valueTokens = std::move(valueTokens);
  shape.insert = insert;
  // The shape used longest ago makes room.
  if (shapes_.size() == kMaxShapes) shapes_.pop_back();
  shapes_.insert(shapes_.begin(), std::move(shape));
}

}  // namespace vekrano::sql
