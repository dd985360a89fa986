// The scanner of key expressions.
#include "dbase/key_expr/key_expr_lexer.h"

namespace vekrano::dbase {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool startsName(char c) { return isLetter(c) || c == '.' || c == '_'; }
bool continuesName(char c) { return startsName(c) || isDigit(c); }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

void KeyLexer::skipBlanks() {
  while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
}

bool KeyLexer::nextIsLeftParen() const {
  std::size_t i = at_;
  while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t')) ++i;
  return i < text_.size() && text_[i] == '(';
}

std::string KeyLexer::readName() {
  std::string name;
  while (at_ < text_.size() && continuesName(text_[at_])) name += upper(text_[at_++]);
  return name;
}

Token KeyLexer::readNumber(std::size_t start) {
  bool dot = false;
  while (at_ < text_.size() && (isDigit(text_[at_]) || (text_[at_] == '.' && !dot))) {
    dot = dot || text_[at_] == '.';
    ++at_;
  }
  if (at_ < text_.size() && upper(text_[at_]) == 'E') {
    std::size_t e = at_ + 1;
    if (e < text_.size() && (text_[e] == '+' || text_[e] == '-')) ++e;
    if (e < text_.size() && isDigit(text_[e])) {
      at_ = e;
      while (at_ < text_.size() && isDigit(text_[at_])) ++at_;
    }
  }
  std::string number;
  for (std::size_t i = start; i < at_; ++i) number += upper(text_[i]);
  return Token{TokenKind::Number, number, {}, start};
}

Token KeyLexer::next() {
  skipBlanks();
  const std::size_t start = at_;
  if (at_ >= text_.size()) return Token{TokenKind::End, {}, {}, start};
  const char c = text_[at_];
  if (isDigit(c)) return readNumber(start);
  if (startsName(c)) {
    std::string name = readName();
    if (text_.substr(at_, 2) == "->") {
      at_ += 2;
      std::string field = readName();
      return Token{TokenKind::AliasedName, std::move(field), std::move(name), start};
    }
    return Token{TokenKind::Name, std::move(name), {}, start};
  }
  if (c == '\'' || c == '"') {
    const std::size_t close = text_.find(c, at_ + 1);
    if (close == std::string_view::npos) {
      at_ = text_.size();
      return Token{TokenKind::Error, {}, {}, start};
    }
    std::string contents(text_.substr(at_ + 1, close - at_ - 1));
    at_ = close + 1;
    return Token{TokenKind::String, std::move(contents), {}, start};
  }
  const auto two = [&](char second) { return at_ + 1 < text_.size() && text_[at_ + 1] == second; };
  TokenKind kind = TokenKind::Error;
  std::size_t length = 1;
  switch (c) {
    case '+': kind = TokenKind::Plus; break;
    case '-': kind = TokenKind::Minus; break;
    case '*':
      kind = two('*') ? TokenKind::Power : TokenKind::Star;
      length = two('*') ? 2 : 1;
      break;
    case '/': kind = TokenKind::Slash; break;
    case '^': kind = TokenKind::Power; break;
    case '=':
      kind = two('=') ? TokenKind::ExactEqual : TokenKind::Equal;
      length = two('=') ? 2 : 1;
      break;
    case '#': kind = TokenKind::NotEqual; break;
    case '<':
      kind = two('>') ? TokenKind::NotEqual : two('=') ? TokenKind::LessEqual : TokenKind::Less;
      length = two('>') || two('=') ? 2 : 1;
      break;
    case '>':
      kind = two('=') ? TokenKind::GreaterEqual : TokenKind::Greater;
      length = two('=') ? 2 : 1;
      break;
    case '$': kind = TokenKind::Dollar; break;
    case '(': kind = TokenKind::LeftParen; break;
    case ')': kind = TokenKind::RightParen; break;
    case ',': kind = TokenKind::Comma; break;
    default: break;
  }
  at_ += length;
  return Token{kind, std::string(text_.substr(start, length)), {}, start};
}

}  // namespace vekrano::dbase
