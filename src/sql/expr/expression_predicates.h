// LIKE, IN, BETWEEN, CASE, IF and CAST nodes.
#pragma once

#include <utility>
#include <vector>

#include "sql/expr/expression.h"
#include "sql/expr/like_pattern.h"

namespace vekrano::sql {

// value [NOT] LIKE pattern [ESCAPE e]. The escape is read once, here: the first character of its
// value, none when `escape` is null or empty. So is the pattern, unless it reads the record (as
// the function form allows): then it is read again for each record.
class TSQLLikeExpr : public TExpression {
 public:
  TSQLLikeExpr(TExprPtr value, TExprPtr pattern, const TExpression* escape, bool negated);
  bool AsBoolean() const override;
  TExprType exprType() const override { return ttBoolean; }
  std::optional<FieldPrefix> requiredFieldPrefix() const override;

 private:
  TExprPtr value_;
  std::optional<char> escape_;
  std::optional<LikePattern> pattern_;  // compiled once when it reads no record
  TExprPtr recordPattern_;  // otherwise, read for each record
  bool negated_;
};

// value [NOT] IN (list): equality with an element read as the value's type.
class TSQLInPredicateExpr : public TExpression {
 public:
  TSQLInPredicateExpr(TExprPtr value, TExprList list, bool negated);
  bool AsBoolean() const override;
  TExprType exprType() const override { return ttBoolean; }

 private:
  TExprPtr value_;
  TExprList list_;
  bool negated_;
};

// True when `list` holds an element equal to `value`, each read as the value's type.
bool listContains(const TExpression& value, const TExprList& list);

// value op element for some element of `list` (every element when `all`), compared as a
// comparison operator compares: false when either side is null. An empty list gives `all`.
bool quantifiedComparison(const TExpression& value, TOperator op, bool all, const TExprList& list);

// value [NOT] BETWEEN low AND high, compared as the value's type.
class TBetweenExpr : public TExpression {
 public:
  TBetweenExpr(TExprPtr value, TExprPtr low, TExprPtr high, bool negated);
  bool AsBoolean() const override;
  TExprType exprType() const override { return ttBoolean; }

 private:
  TExprPtr value_;
  TExprPtr low_;
  TExprPtr high_;
  bool negated_;
};

// CASE WHEN c THEN v ... [ELSE e] END, typed by the first THEN value. The conditions must be
// boolean and no value may have a smaller type than the first; both are checked on each read.
class TCaseWhenElseExpr : public TExpression {
 public:
  using WhenThen = std::pair<TExprPtr, TExprPtr>;
  // REQUIRES: `branches` is not empty; `otherwise` may be null.
  TCaseWhenElseExpr(std::vector<WhenThen> branches, TExprPtr otherwise);
  // The widest of the THEN and ELSE values.
  std::string maxString() const override;
  std::string AsString() const override;
  double AsFloat() const override;
  std::int32_t AsInteger() const override;
  bool AsBoolean() const override;
  TExprType exprType() const override { return branches_.front().second->exprType(); }

 private:
  // The value of the first true condition, else the ELSE value; null when there is neither.
  const TExpression* chosen() const;

  std::vector<WhenThen> branches_;
  TExprPtr otherwise_;
};

// IF(c, a, b): a when c is true, else b; its type is the type of the branch chosen.
// Raises "IF: Invalid parameters" unless there are three arguments and c is boolean.
class TConditional : public TExpression {
 public:
  explicit TConditional(TExprList params);
  std::string maxString() const override;
  std::string AsString() const override { return chosen().AsString(); }
  double AsFloat() const override { return chosen().AsFloat(); }
  std::int32_t AsInteger() const override { return chosen().AsInteger(); }
  bool AsBoolean() const override { return chosen().AsBoolean(); }
  TExprType exprType() const override;
  bool IsNull() const override { return chosen().IsNull(); }
  std::optional<std::string> stringOrNull() const override { return chosen().stringOrNull(); }

 private:
  const TExpression& chosen() const;

  TExprList params_;
};

// CAST(x AS STRING | FLOAT | INTEGER | BOOLEAN).
class TTypeCast : public TExpression {
 public:
  TTypeCast(TExprPtr operand, TExprType target);
  std::string maxString() const override;
  std::string AsString() const override;
  double AsFloat() const override;
  std::int32_t AsInteger() const override;
  bool AsBoolean() const override;
  TExprType exprType() const override { return target_; }

 private:
  TExprPtr operand_;
  TExprType target_;
};

}  // namespace vekrano::sql
