// Reuse of an INSERT's parse for the next statement of the same shape.
#include "sql/query/held_insert_shapes.h"

#include <algorithm>

#include "sql/program/statement_text.h"
#include "sql_grammar.hpp"

namespace vekrano::sql {
namespace {

// The scanner's token codes this file reads, as the generated parser names them.
using Token = stmt::parser::token;
constexpr int kUnsignedInteger = Token::TOK_UINTEGER;
constexpr int kString = Token::TOK_STRING;
constexpr int kComma = Token::TOK_COMMA;
constexpr int kOpenParenthesis = Token::TOK_LPAREN;
constexpr int kCloseParenthesis = Token::TOK_RPAREN;
constexpr int kSemicolon = Token::TOK_SEMICOLON;
constexpr int kIllegal = Token::TOK_ILLEGAL;
constexpr int kValues = Token::TOK_VALUES;
constexpr int kNull = Token::TOK_NULL;
// Integers, signed integers, decimals and strings are numbered one after the other.
static_assert(Token::TOK_SINTEGER == kUnsignedInteger + 1 && Token::TOK_NUMBER == kUnsignedInteger + 2 &&
              kString == kUnsignedInteger + 3);

bool isLiteral(const TSqlToken& token) {
  return token.code >= kUnsignedInteger && token.code <= kString && token.asWritten;
}

}  // namespace

bool HeldInsertShapes::reuse(std::string_view text, const TSqlParser& parser, TSqlAnalizer& analizer) {
  learnable_ = false;
  // Only statements that begin with the word INSERT are read ahead; any other is parsed at once.
  if (!isInsertStatement(text)) return false;
  TSqlTokenReader reader = parser.tokenReader(text);
  // A text written as a held one but for its values is compared byte for byte, its values alone
  // read as tokens; a carriage return would make the bytes read differ from the bytes written.
  if (text.find('\r') == std::string_view::npos) {
    for (std::size_t i = 0; i < shapes_.size(); ++i) {
      if (!matchesText(shapes_[i], text, reader)) continue;
      moveToFront(i);
      fill(analizer);
      return true;
    }
    reader.rewind();
  }
  scannedCount_ = 0;
  for (int code = -1; code != 0 && code != kIllegal;) {
    if (scannedCount_ == scanned_.size()) scanned_.emplace_back();
    reader.next(scanned_[scannedCount_]);
    code = scanned_[scannedCount_].code;
    if (code != 0) ++scannedCount_;
  }
  for (std::size_t i = 0; i < shapes_.size(); ++i) {
    if (!matchesTokens(shapes_[i])) continue;
    const std::vector<std::size_t>& valueTokens = shapes_[i].valueTokens;
    if (values_.size() < valueTokens.size()) values_.resize(valueTokens.size());
    for (std::size_t k = 0; k < valueTokens.size(); ++k) {
      if (valueTokens[k] != kNoToken) values_[k].text.swap(scanned_[valueTokens[k]].text);
    }
    moveToFront(i);
    fill(analizer);
    return true;
  }
  learnable_ = true;
  learnedText_.assign(text);
  return false;
}

bool HeldInsertShapes::matchesText(const Shape& shape, std::string_view text, TSqlTokenReader& reader) {
  if (shape.text.empty()) return false;
  if (values_.size() < shape.valueTokens.size()) values_.resize(shape.valueTokens.size());
  const std::string_view held = shape.text;
  std::size_t at = 0;
  std::size_t heldAt = 0;
  for (std::size_t k = 0; k < shape.valueTokens.size(); ++k) {
    if (shape.valueTokens[k] == kNoToken) continue;
    const TSqlToken& heldValue = shape.tokens[shape.valueTokens[k]];
    const std::string_view written = held.substr(heldAt, heldValue.offset - heldAt);
    if (text.substr(at, written.size()) != written) return false;
    at += written.size();
    TSqlToken& value = values_[k];
    if (!reader.readAt(at, value) || value.code != heldValue.code || !value.asWritten) return false;
    at += value.text.size();
    heldAt = heldValue.offset + heldValue.text.size();
    if (at > text.size()) return false;
  }
  return text.substr(at) == held.substr(heldAt);
}

bool HeldInsertShapes::matchesTokens(const Shape& shape) const {
  if (shape.tokens.size() != scannedCount_) return false;
  for (std::size_t i = 0; i < scannedCount_; ++i) {
    const TSqlToken& held = shape.tokens[i];
    const TSqlToken& token = scanned_[i];
    if (held.code != token.code) return false;
    if (shape.isValue[i] ? !token.asWritten : held.text != token.text) return false;
  }
  return true;
}

void HeldInsertShapes::moveToFront(std::size_t index) {
  // The shape used last is tried first next time.
  std::rotate(shapes_.begin(), shapes_.begin() + static_cast<std::ptrdiff_t>(index),
              shapes_.begin() + static_cast<std::ptrdiff_t>(index) + 1);
}

void HeldInsertShapes::fill(TSqlAnalizer& analizer) {
  const Shape& shape = shapes_.front();
  analizer.statementKind = TStatementKind::Insert;
  analizer.inserts.resize(1);
  TInsertItem& insert = analizer.inserts.front();
  insert.tableName = shape.insert.tableName;
  insert.isQuotedFileName = shape.insert.isQuotedFileName;
  insert.fieldNames = shape.insert.fieldNames;
  insert.values.resize(shape.valueTokens.size());
  for (std::size_t k = 0; k < shape.valueTokens.size(); ++k) {
    // The values read are not needed once placed: handed over rather than copied.
    if (shape.valueTokens[k] == kNoToken) {
      insert.values[k] = shape.insert.values[k];
    } else {
      insert.values[k].swap(values_[k].text);
    }
  }
  ++reusedCount_;
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
  if (learnedText_.find('\r') == std::string::npos) shape.text = learnedText_;
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
