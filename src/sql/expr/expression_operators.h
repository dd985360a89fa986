// Operator nodes: NOT and the signs, the arithmetic and logical binary operators, comparisons.
#pragma once

#include <optional>

#include "sql/expr/expression.h"

namespace vekrano::sql {

// The result type of `op` applied to operands of `operandType`; raises EExpression
// "Operator %s incompatible with %s" for a combination the language does not allow.
TExprType operatorResultType(TOperator op, TExprType operandType);

// NOT, unary + or unary -. Raises "%s is not simple unary operator" for any other operator.
class TUnaryOp : public TExpression {
 public:
  TUnaryOp(TOperator op, TExprPtr operand);
  std::string maxString() const override;
  std::string AsString() const override;
  double AsFloat() const override;
  std::int32_t AsInteger() const override;
  bool AsBoolean() const override;
  TExprType exprType() const override;

 private:
  TOperator op_;
  TExprPtr operand_;
  mutable std::optional<TExprType> type_;
};

// Arithmetic, concatenation, AND, OR, XOR and shifts. Raises "%s is not a simple binary
// operator" for NOT and the relational operators. AND and OR on booleans evaluate their right
// side only when the left side does not decide.
class TBinaryOp : public TExpression {
 public:
  TBinaryOp(TOperator op, TExprPtr left, TExprPtr right);
  std::string maxString() const override;
  std::string AsString() const override;
  double AsFloat() const override;
  std::int32_t AsInteger() const override;
  bool AsBoolean() const override;
  TExprType exprType() const override;
  // AND evaluates its right side only where its left side holds.
  std::optional<FieldPrefix> requiredFieldPrefix() const override;
  bool leadingFieldEqualities(std::vector<FieldEquality>& equalities) const override;

 private:
  TExprType operandType() const;

  TOperator op_;
  TExprPtr left_;
  TExprPtr right_;
  mutable std::optional<TExprType> type_;
};

// =, <>, <, >, <=, >=: False when either side is null, otherwise a comparison as the smaller of
// the operand types (strings byte by byte). Raises "%s is not relational operator" for others.
class TRelationalOp : public TExpression {
 public:
  TRelationalOp(TOperator op, TExprPtr left, TExprPtr right);
  bool AsBoolean() const override;
  TExprType exprType() const override { return ttBoolean; }
  // "field = field" compared as strings or integers.
  bool leadingFieldEqualities(std::vector<FieldEquality>& equalities) const override;

 private:
  TOperator op_;
  TExprPtr left_;
  TExprPtr right_;
};

// -1, 0 or 1 as `left` is below, equal to or above `right`, both read as `type`.
int compareAs(const TExpression& left, const TExpression& right, TExprType type);

}  // namespace vekrano::sql
