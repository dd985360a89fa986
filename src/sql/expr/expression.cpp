// Conversions the base node makes from a node's own type to the other types.
#include "sql/expr/expression.h"

#include <algorithm>

#include "sql/errors.h"
#include "sql/expr/expr_convert.h"
#include "sql/expr_messages.h"

namespace vekrano::sql {
namespace {

[[noreturn]] void cannotRead(const char* pattern, TExprType type) {
  throw EExpression(common::formatText(pattern, {exprTypeName(type)}));
}

}  // namespace

const char* exprTypeName(TExprType type) {
  switch (type) {
    case ttString: return "String";
    case ttFloat: return "Float";
    case ttInteger: return "Integer";
    case ttBoolean: return "Boolean";
  }
  return "";
}

const char* operatorName(TOperator op) {
  static constexpr const char* kNames[] = {"opNot", "opExp", "opMult", "opDivide", "opDiv", "opMod", "opAnd",
                                           "opShl", "opShr", "opPlus", "opMinus",  "opOr",  "opXor", "opEq",
                                           "opNEQ", "opLT",  "opGT",   "opLTE",    "opGTE"};
  return op <= opGTE ? kNames[op] : "";
}

void TExpression::adopt(const TExpression& child) {
  depth_ = std::max(depth_, child.depth_ + 1);
  readsRecord_ = readsRecord_ || child.readsRecord_;
}

std::string TExpression::maxString() const {
  // A value read from the record may be wider on another record: the widest text of its type,
  // rather than the width of whichever record is current.
  if (!readsRecord()) return AsString();
  switch (exprType()) {
    case ttString: return std::string(kWidestRecordText, 'X');
    case ttFloat: return std::string(kWidestFloatText, 'X');
    case ttInteger: return std::string(kWidestIntegerText, 'X');
    case ttBoolean: break;
  }
  return std::string(kWidestBooleanText, 'X');
}

std::string TExpression::AsString() const {
  switch (exprType()) {
    case ttFloat: return floatToText(AsFloat());
    case ttInteger: return std::to_string(AsInteger());
    case ttBoolean: return AsBoolean() ? "True" : "False";
    case ttString: break;
  }
  cannotRead(messages::kCannotReadString, ttString);
}

double TExpression::AsFloat() const {
  switch (exprType()) {
    case ttString: return textToFloat(AsString());
    case ttInteger:
    case ttBoolean: return AsInteger();
    case ttFloat: break;
  }
  cannotRead(messages::kCannotReadFloat, ttFloat);
}

std::int32_t TExpression::AsInteger() const {
  switch (exprType()) {
    case ttString: return textToInteger(AsString());
    case ttBoolean: return AsBoolean() ? 1 : 0;
    case ttFloat:
    case ttInteger: break;
  }
  cannotRead(messages::kCannotReadInteger, exprType());
}

bool TExpression::AsBoolean() const { cannotRead(messages::kCannotReadBoolean, exprType()); }

bool TExpression::IsNull() const { return exprType() == ttString && AsString().empty(); }

std::optional<std::string> TExpression::stringOrNull() const {
  std::string text = AsString();
  if (text.empty()) return std::nullopt;
  return text;
}

std::string TExplicitParamExpr::AsString() const {
  if (auto* text = std::get_if<std::string>(&value_)) return *text;
  return TExpression::AsString();
}

double TExplicitParamExpr::AsFloat() const {
  if (auto* number = std::get_if<double>(&value_)) return *number;
  return TExpression::AsFloat();
}

std::int32_t TExplicitParamExpr::AsInteger() const {
  if (auto* number = std::get_if<std::int32_t>(&value_)) return *number;
  return TExpression::AsInteger();
}

bool TExplicitParamExpr::AsBoolean() const {
  if (auto* flag = std::get_if<bool>(&value_)) return *flag;
  return TExpression::AsBoolean();
}

TExprValue readAs(const TExpression& node, TExprType type) {
  switch (type) {
    case ttString: return node.AsString();
    case ttFloat: return node.AsFloat();
    case ttInteger: return node.AsInteger();
    case ttBoolean: return node.AsBoolean();
  }
  return node.AsString();
}

}  // namespace vekrano::sql
