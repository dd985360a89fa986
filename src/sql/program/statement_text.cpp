// One reading of statement texts for every part of the engine that looks inside them.
#include "sql/program/statement_text.h"

#include <cctype>
#include <charconv>
#include <utility>

#include "common/code_page.h"

namespace vekrano::sql {
namespace {

std::string quoted(std::string_view text, char quote) {
  std::string literal;
  literal.reserve(text.size() + 2);
  literal += quote;
  literal += text;
  literal += quote;
  return literal;
}

// Past the text that closes at the first `close` from `from`; the end of `text` when none does.
std::size_t closedAt(std::string_view text, std::size_t from, std::string_view close) {
  const std::size_t found = text.find(close, from);
  return found == std::string_view::npos ? text.size() : found + close.size();
}

// True when `what` begins with `piece`, a piece whose text the statement reads as such.
bool standsAt(std::string_view text, const StatementPiece& piece, std::string_view what) {
  const bool open =
      piece.kind == PieceKind::Other || piece.kind == PieceKind::Word || piece.kind == PieceKind::Parameter;
  return open && !what.empty() && text.substr(piece.begin, what.size()) == what;
}

// Past the statement comment that opens at `at` with `open` and closes with `close`, holding
// no character of its closing mark; 0 when none does, as the SQL lexer then reads no comment.
std::size_t statementCommentEnd(std::string_view text, std::size_t at, std::string_view open, std::string_view close) {
  if (text.substr(at, open.size()) != open) return 0;
  const std::size_t mark = text.find(close.front(), at + open.size());
  return mark != std::string_view::npos && text.substr(mark, close.size()) == close ? mark + close.size() : 0;
}

}  // namespace

bool isNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || static_cast<unsigned char>(c) >= 128;
}

bool sameName(std::string_view a, std::string_view b) { return common::sameAnsiText(a, b); }

QuotedRun quotedRun(std::string_view text, std::size_t at) {
  const std::size_t close = text.find(text[at], at + 1);
  if (close == std::string_view::npos) return QuotedRun{text.substr(at + 1), text.size()};
  return QuotedRun{text.substr(at + 1, close - at - 1), close + 1};
}

StatementPiece pieceAt(std::string_view text, std::size_t at, TextLanguage language) {
  const char c = text[at];
  const auto piece = [&](PieceKind kind, std::size_t end) { return StatementPiece{kind, at, end}; };
  if (language == TextLanguage::Statement) {
    for (const auto& [open, close] : {std::pair{"[*", "*]"}, std::pair{"--", "--"}}) {
      const std::size_t end = statementCommentEnd(text, at, open, close);
      if (end != 0) return piece(PieceKind::Comment, end);
    }
  }
  if (c == kFieldMarker && at + 1 < text.size() && text[at + 1] == '"') {
    const std::size_t close = text.find('"', at + 2);
    // Unclosed, the marker stands alone and the quote after it opens a literal.
    if (close != std::string_view::npos) return piece(PieceKind::FieldReference, close + 1);
  } else if (c == '"' || c == '\'') {
    std::size_t end = quotedRun(text, at).end;
    while (end < text.size() && text[end] == c) end = quotedRun(text, end).end;
    return piece(PieceKind::Literal, end);
  } else if (c == '[') {
    return piece(PieceKind::BracketedName, closedAt(text, at + 1, "]"));
  } else if (text.substr(at, 2) == "/*") {
    return piece(PieceKind::Comment, closedAt(text, at + 2, "*/"));
  } else if (c == ':' && at + 1 < text.size() && isNameChar(text[at + 1])) {
    std::size_t end = at + 1;
    while (end < text.size() && isNameChar(text[end])) ++end;
    return piece(PieceKind::Parameter, end);
  } else if (isNameChar(c)) {
    std::size_t end = at;
    while (end < text.size() && isNameChar(text[end])) ++end;
    return piece(PieceKind::Word, end);
  }
  return piece(PieceKind::Other, at + 1);
}

std::string pieceName(std::string_view text, const StatementPiece& piece) {
  const std::string_view whole = text.substr(piece.begin, piece.end - piece.begin);
  if (piece.kind == PieceKind::FieldReference) return std::string(whole.substr(2, whole.size() - 3));
  return std::string(whole.substr(1));
}

std::size_t findOutsideLiterals(std::string_view text, std::string_view what, std::size_t from) {
  for (std::size_t i = 0; i < text.size();) {
    const StatementPiece piece = pieceAt(text, i);
    if (i >= from && standsAt(text, piece, what)) return i;
    i = piece.end;
  }
  return std::string_view::npos;
}

std::string replaceOutsideLiterals(std::string_view text, std::string_view what, std::string_view value) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const StatementPiece piece = pieceAt(text, i);
    if (standsAt(text, piece, what)) {
      result.append(value);
      i += what.size();
    } else {
      result.append(text.substr(i, piece.end - i));
      i = piece.end;
    }
  }
  return result;
}

std::string textLiteral(std::string_view text) {
  if (text.find('"') == std::string_view::npos) return quoted(text, '"');
  if (text.find('\'') == std::string_view::npos) return quoted(text, '\'');
  // Both quote characters: each run lacks one of them and is quoted with it.
  std::string joined = "(";
  std::size_t start = 0;
  while (start < text.size()) {
    // A run that starts with " is quoted with ' and lasts until the next ', and the other way.
    const char quote = text[start] == '"' ? '\'' : '"';
    std::size_t end = text.find(quote, start);
    if (end == std::string_view::npos) end = text.size();
    if (start > 0) joined += " + ";
    joined += quoted(text.substr(start, end - start), quote);
    start = end;
  }
  joined += ')';
  return joined;
}

std::string numberLiteral(double value) {
  char buffer[400];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string text(buffer, error == std::errc() ? end : buffer);
  return value < 0 ? "(" + text + ")" : text;
}

bool isInsertStatement(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  constexpr std::string_view kInsert = "INSERT";
  if (start == std::string_view::npos || text.size() - start <= kInsert.size()) return false;
  if (!common::sameAnsiText(text.substr(start, kInsert.size()), kInsert)) return false;
  const char next = text[start + kInsert.size()];
  return next == ' ' || next == '\t' || next == '\r' || next == '\n';
}

}  // namespace vekrano::sql
