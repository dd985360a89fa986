// Query parameters.
#include "sql/query/params.h"

#include "sql/errors.h"
#include "sql/program/statement_text.h"
#include "sql/query_messages.h"

namespace vekrano::sql {
namespace {

// The names of the ":name" markers of `sql`, in text order.
std::vector<std::string> markerNames(const std::string& sql) {
  std::vector<std::string> names;
  // Every marker begins with ":"; most statements hold none, and are not read piece by piece.
  if (sql.find(':') == std::string::npos) return names;
  for (std::size_t i = 0; i < sql.size();) {
    const StatementPiece piece = pieceAt(sql, i, TextLanguage::Statement);
    if (piece.kind == PieceKind::Parameter) names.push_back(pieceName(sql, piece));
    i = piece.end;
  }
  return names;
}

}  // namespace

TParam* TParams::findParam(const std::string& name) {
  for (TParam& param : items_) {
    if (sameName(param.Name, name)) return &param;
  }
  return nullptr;
}

void TParams::parseSQL(const std::string& sql) {
  std::vector<TParam> parsed;
  for (const std::string& name : markerNames(sql)) {
    bool listed = false;
    for (const TParam& param : parsed) listed = listed || sameName(param.Name, name);
    if (listed) continue;
    const TParam* old = findParam(name);
    parsed.push_back(TParam{name, old != nullptr ? old->Value : std::nullopt});
  }
  items_ = std::move(parsed);
}

void TParamsAsFields::Add(const std::string& paramName, const std::string& fieldName) {
  for (const TParamAsFieldItem& item : items_) {
    if (sameName(item.ParamName, paramName)) throw ESqlQueryError(messages::kParamsAsFieldsDuplicate);
  }
  items_.push_back(TParamAsFieldItem{paramName, fieldName});
}

}  // namespace vekrano::sql
