// Field values read through the field's own getters.
#include "sql/expr/expression_field.h"

#include <algorithm>

namespace vekrano::sql {

using dbase::TFieldType;

TExprType fieldExprType(TFieldType type) {
  if (dbase::isHeldAsDouble(type)) return ttFloat;
  switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
    case TFieldType::ftAutoInc:
    case TFieldType::ftBlob:
    case TFieldType::ftBytes: return ttInteger;
    case TFieldType::ftBoolean: return ttBoolean;
    case TFieldType::ftLargeint: return ttFloat;
    default: return ttString;
  }
}

TFieldExpr::TFieldExpr(dbase::TField& field) : field_(field), type_(fieldExprType(field.DataType())) {
  markReadsRecord();
}

std::optional<std::string> TFieldExpr::stringOrNull() const {
  if (field_.IsNull()) return std::nullopt;
  return AsString();
}

std::optional<std::string_view> TFieldExpr::textView() const {
  std::string_view text;
  if (type_ != ttString || !field_.textView(text)) return std::nullopt;
  return text;
}

bool TFieldExpr::isBinary() const {
  return field_.DataType() == TFieldType::ftBlob || field_.DataType() == TFieldType::ftBytes;
}

std::string TFieldExpr::maxString() const {
  if (type_ == ttInteger && field_.Size() > 0 && !isBinary()) {
    return std::string(std::min(static_cast<std::size_t>(field_.Size()), kWidestIntegerText), 'X');
  }
  if (type_ != ttString) return TExpression::maxString();
  constexpr int kMemoWidth = 10;
  const int width = field_.DataType() == TFieldType::ftMemo ? kMemoWidth : field_.Size();
  return std::string(static_cast<std::size_t>(std::max(width, 0)), 'X');
}

std::string TFieldExpr::AsString() const { return isBinary() ? std::string() : field_.AsString(); }

double TFieldExpr::AsFloat() const { return type_ == ttFloat ? field_.AsFloat() : TExpression::AsFloat(); }

std::int32_t TFieldExpr::AsInteger() const {
  if (type_ != ttInteger) return TExpression::AsInteger();
  return isBinary() ? 0 : field_.AsInteger();
}

bool TFieldExpr::AsBoolean() const { return type_ == ttBoolean ? field_.AsBoolean() : TExpression::AsBoolean(); }

}  // namespace vekrano::sql
