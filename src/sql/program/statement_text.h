// Statement and expression texts read piece by piece: string literals, field references,
// bracketed names, comments, ":name" parameters and words, as the SQL and expression scanners
// see them; and the writers of literals that put a value back into such a text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vekrano::sql {

// The field reference marker of expression texts: 0x0C, then the name between double quotes.
inline constexpr char kFieldMarker = '\x0C';

// A letter, digit, "_" or a byte of the upper half: a character of a name or parameter.
bool isNameChar(char c);

// True when the names are the same without regard to case.
bool sameName(std::string_view a, std::string_view b);

// A run of text between two of the same quote character, as literals and quoted picture text are.
struct QuotedRun {
  std::string_view inside;  // between the quotes
  std::size_t end = 0;  // past the closing quote; the end of the text when none closes it
};

// The run opened by the quote at `at`; a doubled quote closes it and opens another.
// REQUIRES: at < text.size().
QuotedRun quotedRun(std::string_view text, std::size_t at);

// The language a text is written in: statements know two comment forms that expressions lack.
enum class TextLanguage {
  Expression,  // /* ... */
  Statement,  // /* ... */, [* ... *] and -- ... -- as the SQL lexer skips them
};

enum class PieceKind {
  Literal,  // "..." or '...', runs of the same quote written back to back included
  FieldReference,  // the marker, then the name between double quotes
  BracketedName,  // [...]
  Comment,  // a comment of the text's language
  Parameter,  // ":" and a name
  Word,  // name characters
  Other,  // any other single character
};

struct StatementPiece {
  PieceKind kind = PieceKind::Other;
  std::size_t begin = 0;
  std::size_t end = 0;  // past the piece; an unclosed literal, name or comment ends with the text
};

// The piece of `text` that begins at `at`. REQUIRES: at < text.size().
StatementPiece pieceAt(std::string_view text, std::size_t at, TextLanguage language = TextLanguage::Expression);

// The name a field reference or parameter piece stands for.
std::string pieceName(std::string_view text, const StatementPiece& piece);

// Where `what` first stands in `text` from `from` on, outside literals, field references,
// bracketed names and comments; npos when it does not.
std::size_t findOutsideLiterals(std::string_view text, std::string_view what, std::size_t from = 0);

// `text` with every `what` found so replaced by `value`; `value` itself is not searched.
std::string replaceOutsideLiterals(std::string_view text, std::string_view what, std::string_view value);

// True when the statement's first word, after blanks, is INSERT (in any case).
bool isInsertStatement(std::string_view text);

// The literal whose value is `text`, every character kept. Text without a double quote is written
// "text", as every statement of the application always read; text with one is written with the
// other quote character, or, when it holds both, as a parenthesised concatenation of runs quoted
// each with the character they lack (the scanners read no escape inside a literal).
std::string textLiteral(std::string_view text);

// A number as an expression text reads it back: fixed notation (the expression language reads
// no exponent there), a negative value in brackets.
std::string numberLiteral(double value);

}  // namespace vekrano::sql
