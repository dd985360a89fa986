// Tokens of key expressions. Names and numbers are read in upper case; string contents keep
// their case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vekrano::dbase {

// clang-format off
enum class TokenKind {
  End, Number, String, Name, AliasedName,
  Plus, Minus, Star, Slash, Power, Equal, ExactEqual, NotEqual,
  Less, LessEqual, Greater, GreaterEqual, Dollar, LeftParen, RightParen, Comma,
  Error,  // a character no token starts with, or an unterminated string
};
// clang-format on

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;  // name (upper case), string contents or number text
  std::string alias;  // AliasedName: the text before "->", upper case
  std::size_t position = 0;
};

class KeyLexer {
 public:
  explicit KeyLexer(std::string_view text) : text_(text) {}
  // The next token; End at the end of the text, again on every later call.
  Token next();
  // True when the text at the current position starts with "(" after blanks.
  bool nextIsLeftParen() const;

 private:
  void skipBlanks();
  std::string readName();
  Token readNumber(std::size_t start);

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace vekrano::dbase
