// Field references inside expression texts.
#include "sql/program/field_references.h"

#include "sql/program/statement_text.h"

namespace vekrano::sql {

std::string rewriteReferences(const std::string& text, const TReferenceRewrite& field,
                              const TReferenceRewrite& parameter) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const StatementPiece piece = pieceAt(text, i);
    if (piece.kind == PieceKind::FieldReference) {
      out += field(pieceName(text, piece));
    } else if (piece.kind == PieceKind::Parameter) {
      out += parameter(pieceName(text, piece));
    } else {
      out.append(text, piece.begin, piece.end - piece.begin);
    }
    i = piece.end;
  }
  return out;
}

void forEachReference(const std::string& text, const std::function<void(const std::string& name)>& visit) {
  rewriteReferences(
      text,
      [&](const std::string& name) {
        visit(name);
        return std::string();
      },
      [](const std::string&) { return std::string(); });
}

bool isLoneReference(std::string_view text) {
  return text.size() >= 3 && text[0] == kFieldMarker && text[1] == '"' && text.back() == '"' &&
         text.find('"', 2) == text.size() - 1;
}

std::size_t qualifierDot(std::string_view name) {
  bool inBrackets = false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '[') inBrackets = true;
    if (name[i] == ']') inBrackets = false;
    if (name[i] == '.' && !inBrackets) return i;
  }
  return std::string::npos;
}

std::string withoutBrackets(std::string_view name) {
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
  return std::string(name);
}

}  // namespace vekrano::sql
