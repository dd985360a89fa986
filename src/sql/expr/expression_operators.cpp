// Evaluation of the operator nodes.
#include "sql/expr/expression_operators.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "sql/errors.h"
#include "sql/expr/expr_convert.h"
#include "sql/expr_messages.h"
#include "sql/expr/expression_field.h"

namespace vekrano::sql {
namespace {

bool isRelational(TOperator op) { return op >= opEq && op <= opGTE; }

[[noreturn]] void internalError(TOperator op) {
  throw EExpression(common::formatText(messages::kInternalError, {std::to_string(op)}));
}

// e raised to (exponent x ln(base)); a base that is not positive has no logarithm.
double power(double base, double exponent) {
  if (!(base > 0)) throw EExpression(messages::kInvalidFloatOperation);
  return checkedFloat(std::exp(exponent * std::log(base)));
}

template <typename T>
int threeWay(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

TExprType operatorResultType(TOperator op, TExprType operandType) {
  if (isRelational(op)) return ttBoolean;
  switch (operandType) {
    case ttString:
      if (op == opPlus) return ttString;
      break;
    case ttFloat:
      if (op == opExp || op == opMult || op == opDivide || op == opPlus || op == opMinus) return ttFloat;
      break;
    case ttInteger:
      if (op == opExp || op == opDivide) return ttFloat;
      return ttInteger;
    case ttBoolean:
      if (op == opNot || op == opAnd || op == opOr || op == opXor) return ttBoolean;
      break;
  }
  throw EExpression(common::formatText(messages::kOperatorIncompatible, {operatorName(op), exprTypeName(operandType)}));
}

TUnaryOp::TUnaryOp(TOperator op, TExprPtr operand) : op_(op), operand_(std::move(operand)) {
  if (op != opNot && op != opPlus && op != opMinus) {
    throw EExpression(common::formatText(messages::kNotUnary, {operatorName(op)}));
  }
  adopt(*operand_);
}

TExprType TUnaryOp::exprType() const {
  if (!type_) type_ = operatorResultType(op_, operand_->exprType());
  return *type_;
}

std::string TUnaryOp::maxString() const {
  return exprType() == ttString ? operand_->maxString() : TExpression::maxString();
}

std::string TUnaryOp::AsString() const {
  if (exprType() != ttString) return TExpression::AsString();
  return operand_->AsString();  // only unary + keeps a string
}

double TUnaryOp::AsFloat() const {
  if (exprType() != ttFloat) return TExpression::AsFloat();
  const double value = operand_->AsFloat();
  return op_ == opMinus ? -value : value;
}

std::int32_t TUnaryOp::AsInteger() const {
  if (exprType() != ttInteger) return TExpression::AsInteger();
  const std::int32_t value = operand_->AsInteger();
  switch (op_) {
    case opNot: return ~value;
    case opMinus: return wrapInteger(-static_cast<std::int64_t>(value));
    case opPlus: return value;
    default: internalError(op_);
  }
}

bool TUnaryOp::AsBoolean() const {
  if (exprType() != ttBoolean) return TExpression::AsBoolean();
  return !operand_->AsBoolean();
}

TBinaryOp::TBinaryOp(TOperator op, TExprPtr left, TExprPtr right)
    : op_(op), left_(std::move(left)), right_(std::move(right)) {
  if (op == opNot || isRelational(op)) {
    throw EExpression(common::formatText(messages::kNotBinary, {operatorName(op)}));
  }
  adopt(*left_);
  adopt(*right_);
}

TExprType TBinaryOp::operandType() const { return std::min(left_->exprType(), right_->exprType()); }

TExprType TBinaryOp::exprType() const {
  if (!type_) type_ = operatorResultType(op_, operandType());
  return *type_;
}

std::string TBinaryOp::maxString() const {
  if (exprType() != ttString) return TExpression::maxString();
  return left_->maxString() + right_->maxString();
}

std::string TBinaryOp::AsString() const {
  if (exprType() != ttString) return TExpression::AsString();
  return left_->AsString() + right_->AsString();
}

double TBinaryOp::AsFloat() const {
  if (exprType() != ttFloat) return TExpression::AsFloat();
  const double left = left_->AsFloat();
  const double right = right_->AsFloat();
  switch (op_) {
    case opExp: return power(left, right);
    case opMult: return left * right;
    case opDivide:
      if (right == 0) throw EExpression(messages::kFloatDivisionByZero);
      return left / right;
    case opPlus: return left + right;
    case opMinus: return left - right;
    default: internalError(op_);
  }
}

std::int32_t TBinaryOp::AsInteger() const {
  if (exprType() != ttInteger) return TExpression::AsInteger();
  const std::int64_t left = left_->AsInteger();
  const std::int64_t right = right_->AsInteger();
  const auto bits = [](std::int64_t v) { return static_cast<std::uint32_t>(v); };
  switch (op_) {
    case opMult: return wrapInteger(left * right);
    case opPlus: return wrapInteger(left + right);
    case opMinus: return wrapInteger(left - right);
    // In 64 bits the quotient of -2147483648 by -1 exists and then wraps like the rest.
    case opDiv:
      if (right == 0) throw EExpression(messages::kDivisionByZero);
      return wrapInteger(left / right);
    case opMod:
      if (right == 0) throw EExpression(messages::kDivisionByZero);
      return wrapInteger(left % right);
    case opAnd: return wrapInteger(bits(left) & bits(right));
    case opOr: return wrapInteger(bits(left) | bits(right));
    case opXor: return wrapInteger(bits(left) ^ bits(right));
    case opShl: return wrapInteger(bits(left) << (bits(right) % 32));
    case opShr: return wrapInteger(bits(left) >> (bits(right) % 32));
    default: internalError(op_);
  }
}

bool TBinaryOp::AsBoolean() const {
  if (exprType() != ttBoolean) return TExpression::AsBoolean();
  switch (op_) {
    case opAnd: return left_->AsBoolean() && right_->AsBoolean();
    case opOr: return left_->AsBoolean() || right_->AsBoolean();
    case opXor: return left_->AsBoolean() != right_->AsBoolean();
    default: internalError(op_);
  }
}

std::optional<TExpression::FieldPrefix> TBinaryOp::requiredFieldPrefix() const {
  if (op_ != opAnd || exprType() != ttBoolean) return std::nullopt;
  return left_->requiredFieldPrefix();
}

bool TBinaryOp::leadingFieldEqualities(std::vector<FieldEquality>& equalities) const {
  if (op_ != opAnd || exprType() != ttBoolean) return false;
  return left_->leadingFieldEqualities(equalities) && right_->leadingFieldEqualities(equalities);
}

bool TRelationalOp::leadingFieldEqualities(std::vector<FieldEquality>& equalities) const {
  const auto* left = dynamic_cast<const TFieldExpr*>(left_.get());
  const auto* right = dynamic_cast<const TFieldExpr*>(right_.get());
  const TExprType type = std::min(left_->exprType(), right_->exprType());
  if (op_ != opEq || left == nullptr || right == nullptr || (type != ttString && type != ttInteger)) return false;
  equalities.push_back(FieldEquality{left, right, &left->Field(), &right->Field(), type});
  return true;
}

TRelationalOp::TRelationalOp(TOperator op, TExprPtr left, TExprPtr right)
    : op_(op), left_(std::move(left)), right_(std::move(right)) {
  if (!isRelational(op)) throw EExpression(common::formatText(messages::kNotRelational, {operatorName(op)}));
  adopt(*left_);
  adopt(*right_);
}

int compareAs(const TExpression& left, const TExpression& right, TExprType type) {
  switch (type) {
    case ttString: return threeWay(left.AsString(), right.AsString());
    case ttFloat: return threeWay(left.AsFloat(), right.AsFloat());
    case ttInteger: return threeWay(left.AsInteger(), right.AsInteger());
    case ttBoolean: return threeWay(left.AsBoolean(), right.AsBoolean());
  }
  return 0;
}

// Each side is evaluated once, so nested comparisons cost no more than their nodes.
bool TRelationalOp::AsBoolean() const {
  const TExprType type = std::min(left_->exprType(), right_->exprType());
  int order = 0;
  if (type == ttString) {
    const std::optional<std::string> left = left_->stringOrNull();
    if (!left) return false;
    const std::optional<std::string> right = right_->stringOrNull();
    if (!right) return false;
    order = threeWay(*left, *right);
  } else {
    if (left_->IsNull() || right_->IsNull()) return false;
    if (type == ttBoolean && op_ != opEq && op_ != opNEQ) {
      throw EExpression(common::formatText(messages::kBooleanOperands, {operatorName(op_)}));
    }
    order = compareAs(*left_, *right_, type);
  }
  switch (op_) {
    case opEq: return order == 0;
    case opNEQ: return order != 0;
    case opLT: return order < 0;
    case opGT: return order > 0;
    case opLTE: return order <= 0;
    case opGTE: return order >= 0;
    default: internalError(op_);
  }
}

}  // namespace vekrano::sql
