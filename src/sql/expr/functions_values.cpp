// DECODE, ISNULL and user-defined functions.
#include "sql/expr/functions.h"

#include <algorithm>

#include "sql/errors.h"
#include "sql/expr_messages.h"

namespace vekrano::sql {

TDecodeExpr::TDecodeExpr(std::string name, TExprList params) : TFunction(std::move(name), std::move(params)) {
  if (Params().size() < 2 || Params().size() % 2 != 0) throw EExpression(messages::kDecodeArguments);
}

TExprType TDecodeExpr::exprType() const { return param(Params().size() > 2 ? 2 : 1).exprType(); }

const TExpression& TDecodeExpr::chosen() const {
  const TExprType type = param(0).exprType();
  const TExprValue value = readAs(param(0), type);
  const std::size_t defaultIndex = Params().size() - 1;
  for (std::size_t i = 1; i < defaultIndex; i += 2) {
    if (readAs(param(i), type) == value) return param(i + 1);
  }
  return param(defaultIndex);
}

std::string TDecodeExpr::AsString() const {
  return exprType() == ttString ? chosen().AsString() : TExpression::AsString();
}

double TDecodeExpr::AsFloat() const { return exprType() == ttFloat ? chosen().AsFloat() : TExpression::AsFloat(); }

std::int32_t TDecodeExpr::AsInteger() const {
  return exprType() == ttInteger ? chosen().AsInteger() : TExpression::AsInteger();
}

bool TDecodeExpr::AsBoolean() const {
  return exprType() == ttBoolean ? chosen().AsBoolean() : TExpression::AsBoolean();
}

bool TISNULLExpr::AsBoolean() const {
  requireArgs({Arg::Any, Arg::Boolean});
  return param(0).IsNull() == param(1).AsBoolean();
}

TUDFExpr::TUDFExpr(std::string name, TExprList params, TExprType type, int maxLength, TUDFSolveEvent solve)
    : TFunction(std::move(name), std::move(params)), type_(type), maxLength_(maxLength), solve_(std::move(solve)) {
  markReadsRecord();
}

std::string TUDFExpr::maxString() const {
  if (type_ == ttString) return std::string(static_cast<std::size_t>(std::max(maxLength_, 0)), 'X');
  return TExpression::maxString();
}

TExplicitParamExpr TUDFExpr::solve() const {
  if (!solve_)
    throw EExpression(common::formatText(messages::kInternalError, {std::to_string(static_cast<int>(type_))}));
  return TExplicitParamExpr(Name(), solve_(Name(), Params()));
}

std::string TUDFExpr::AsString() const { return solve().AsString(); }
double TUDFExpr::AsFloat() const { return solve().AsFloat(); }
std::int32_t TUDFExpr::AsInteger() const { return solve().AsInteger(); }
bool TUDFExpr::AsBoolean() const { return solve().AsBoolean(); }

}  // namespace vekrano::sql
