// Scanner of the expression language: longest match, earliest rule.
#include <charconv>
#include <cstring>
#include <string>

#include "expr_grammar.hpp"
#include "sql/errors.h"
#include "sql/expr/expr_datetime.h"
#include "sql/expr_messages.h"
#include "sql/expr/expr_scanner.h"

namespace vekrano::sql::expr {
namespace {

using Symbol = parser::symbol_type;

std::string upperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// The reserved word `word` as its token, or a name.
Symbol wordToken(const std::string& word, const location& loc) {
  const std::string upper = upperAscii(word);
  struct Keyword {
    const char* text;
    Symbol (*make)(location);
  };
  static const Keyword kKeywords[] = {
      {"AND", parser::make_AND},         {"OR", parser::make_OR},
      {"XOR", parser::make_XOR},         {"NOT", parser::make_NOT},
      {"MOD", parser::make_MOD},         {"TRUE", parser::make_TRUE},
      {"FALSE", parser::make_FALSE},     {"LIKE", parser::make_LIKE},
      {"STRING", parser::make_KW_STRING}, {"FLOAT", parser::make_KW_FLOAT},
      {"INTEGER", parser::make_KW_INTEGER}, {"BOOLEAN", parser::make_KW_BOOLEAN},
      {"SHL", parser::make_SHL},         {"SHR", parser::make_SHR},
      {"IN", parser::make_IN},           {"BETWEEN", parser::make_BETWEEN},
      {"DIV", parser::make_DIV},         {"CASE", parser::make_CASE},
      {"WHEN", parser::make_WHEN},       {"THEN", parser::make_THEN},
      {"ELSE", parser::make_ELSE},       {"IF", parser::make_IF},
      {"CAST", parser::make_CAST},       {"ESCAPE", parser::make_ESCAPE},
      {"AS", parser::make_AS},           {"END", parser::make_END},
  };
  for (const Keyword& keyword : kKeywords) {
    if (upper == keyword.text) return keyword.make(loc);
  }
  return parser::make_NAME(word, loc);
}

// A decimal number token; a number beyond the range of a float is no token of the language.
Symbol decimalToken(std::string text, const location& loc) {
  if (!text.empty() && text.front() == '+') text.erase(0, 1);
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return parser::make_ILLEGAL(loc);
  return parser::make_DECIMAL(value, loc);
}

// "$" and hexadecimal digits: its value as a decimal number, when it fits 32 bits.
Symbol hexToken(const std::string& digits, const location& loc) {
  unsigned long long value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
  if (error != std::errc() || end != digits.data() + digits.size() || value > 0xFFFFFFFFULL) {
    return parser::make_ILLEGAL(loc);
  }
  return parser::make_DECIMAL(static_cast<double>(value), loc);
}

}  // namespace

Symbol yylex(vekrano::sql::ExprDriver& drv) {
  vekrano::sql::ExprScanner& s = drv.scanner;
  for (;;) {
    s.tokenStart = s.cursor;
    const unsigned char* YYMARKER = nullptr;
    const auto text = [&s] { return s.token(); };
    const auto inner = [&s] {
      return std::string(reinterpret_cast<const char*>(s.tokenStart) + 1,
                         static_cast<std::size_t>(s.cursor - s.tokenStart - 2));
    };
    location loc;
    loc.initialize(nullptr, s.line, s.column() + 1);
    /*!re2c
      re2c:define:YYCTYPE = "unsigned char";
      re2c:define:YYCURSOR = s.cursor;
      re2c:yyfill:enable = 0;

      letter = [A-Za-z\x80-\xFF];
      digit = [0-9];

      "\x00" {
        if (s.tokenStart == s.end) {
          s.cursor = s.tokenStart;
          return parser::make_END_OF_INPUT(loc);
        }
        return parser::make_ILLEGAL(loc);
      }
      letter (letter | digit | "_")* { return wordToken(text(), loc); }
      "[" [^\]\x00]* "]" { return parser::make_NAME(inner(), loc); }
      "\x0c" ["] [^"\x00]* ["] {
        return parser::make_FIELDREF(std::string(reinterpret_cast<const char*>(s.tokenStart) + 2,
                                                 static_cast<std::size_t>(s.cursor - s.tokenStart - 3)), loc);
      }
      digit+ "." digit* | [+-] digit+ "." digit+ | "." digit+ ([eE] [+-]? digit+)? {
        return decimalToken(text(), loc);
      }
      digit+ { return parser::make_INTEGER(text(), loc); }
      [+-] digit+ { return parser::make_SIGNED_INTEGER(text(), loc); }
      "$" [0-9A-Fa-f]+ { return hexToken(text().substr(1), loc); }
      ['] [^'\x00]* ['] (['] [^'\x00]* ['])* { return parser::make_STRING(inner(), loc); }
      ["] [^"\x00]* ["] (["] [^"\x00]* ["])* { return parser::make_STRING(inner(), loc); }
      "#" [^#\x00]* "#" {
        // A date literal shorter than "#m/d/yy#" plus two characters yields no token at all.
        constexpr std::ptrdiff_t kShortestDate = 10;
        if (s.cursor - s.tokenStart < kShortestDate) continue;
        const std::string date = inner();
        const auto serial = vekrano::sql::monthFirstDate(date);
        if (!serial) {
          throw vekrano::sql::EExpression(vekrano::common::formatText(vekrano::sql::messages::kNotDate, {date}));
        }
        return parser::make_DECIMAL(*serial, loc);
      }
      "," { return parser::make_COMMA(loc); }
      "(" { return parser::make_LPAREN(loc); }
      ")" { return parser::make_RPAREN(loc); }
      ">" { return parser::make_GT(loc); }
      "<" { return parser::make_LT(loc); }
      "=" { return parser::make_EQ(loc); }
      "<>" { return parser::make_NEQ(loc); }
      ">=" { return parser::make_GTE(loc); }
      "<=" { return parser::make_LTE(loc); }
      "." { return parser::make_DOT(loc); }
      ":" { return parser::make_COLON(loc); }
      "*" { return parser::make_MULT(loc); }
      "+" { return parser::make_PLUS(loc); }
      "-" { return parser::make_MINUS(loc); }
      "^" { return parser::make_CARET(loc); }
      "/" { return parser::make_SLASH(loc); }
      "/*" [^*\x00]* "*/" { continue; }
      [ \t] { continue; }
      "\n" | "\r\n" {
        ++s.line;
        s.lineStart = s.cursor;
        continue;
      }
      * { return parser::make_ILLEGAL(loc); }
    */
  }
}

}  // namespace vekrano::sql::expr
