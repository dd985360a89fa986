// Evaluation of LIKE, IN, BETWEEN, CASE, IF and CAST.
#include "sql/expr/expression_predicates.h"

#include <algorithm>

#include "sql/errors.h"
#include "sql/expr/expr_convert.h"
#include "sql/expr_messages.h"
#include "sql/expr/expression_field.h"
#include "sql/expr/expression_operators.h"

namespace vekrano::sql {
namespace {

std::optional<char> escapeOf(const TExpression* escape) {
  if (escape == nullptr) return std::nullopt;
  const std::string text = escape->AsString();
  if (text.empty()) return std::nullopt;
  return text.front();
}

}  // namespace

TSQLLikeExpr::TSQLLikeExpr(TExprPtr value, TExprPtr pattern, const TExpression* escape, bool negated)
    : value_(std::move(value)), escape_(escapeOf(escape)), negated_(negated) {
  adopt(*value_);
  if (pattern->readsRecord()) {
    adopt(*pattern);
    recordPattern_ = std::move(pattern);
  } else {
    pattern_.emplace(pattern->AsString(), escape_);
  }
}

bool TSQLLikeExpr::AsBoolean() const {
  const std::string text = value_->stringOrNull().value_or(std::string());
  const bool matches =
      pattern_ ? pattern_->matches(text) : LikePattern(recordPattern_->AsString(), escape_).matches(text);
  return matches != negated_;
}

std::optional<TExpression::FieldPrefix> TSQLLikeExpr::requiredFieldPrefix() const {
  const auto* field = dynamic_cast<const TFieldExpr*>(value_.get());
  if (negated_ || !pattern_ || field == nullptr || field->Field().DataType() != dbase::TFieldType::ftString) {
    return std::nullopt;
  }
  std::string prefix = pattern_->fixedStart();
  if (prefix.empty()) return std::nullopt;
  return FieldPrefix{&field->Field(), std::move(prefix)};
}

TSQLInPredicateExpr::TSQLInPredicateExpr(TExprPtr value, TExprList list, bool negated)
    : value_(std::move(value)), list_(std::move(list)), negated_(negated) {
  adopt(*value_);
  for (const TExprPtr& element : list_) adopt(*element);
}

bool TSQLInPredicateExpr::AsBoolean() const { return listContains(*value_, list_) != negated_; }

bool listContains(const TExpression& value, const TExprList& list) {
  const TExprType type = value.exprType();
  const TExprValue read = readAs(value, type);
  return std::any_of(list.begin(), list.end(), [&](const TExprPtr& element) { return readAs(*element, type) == read; });
}

bool quantifiedComparison(const TExpression& value, TOperator op, bool all, const TExprList& list) {
  if (list.empty()) return all;
  if (value.IsNull()) return false;
  // Read once: the value is compared with every element.
  const TExplicitParamExpr read({}, readAs(value, value.exprType()));
  const auto holds = [&](const TExprPtr& element) {
    if (element->IsNull()) return false;
    const int order = compareAs(read, *element, std::min(read.exprType(), element->exprType()));
    switch (op) {
      case opNEQ: return order != 0;
      case opLT: return order < 0;
      case opGT: return order > 0;
      case opLTE: return order <= 0;
      case opGTE: return order >= 0;
      default: return order == 0;
    }
  };
  return all ? std::all_of(list.begin(), list.end(), holds) : std::any_of(list.begin(), list.end(), holds);
}

TBetweenExpr::TBetweenExpr(TExprPtr value, TExprPtr low, TExprPtr high, bool negated)
    : value_(std::move(value)), low_(std::move(low)), high_(std::move(high)), negated_(negated) {
  adopt(*value_);
  adopt(*low_);
  adopt(*high_);
}

bool TBetweenExpr::AsBoolean() const {
  const TExprType type = value_->exprType();
  const bool inside = compareAs(*low_, *value_, type) <= 0 && compareAs(*value_, *high_, type) <= 0;
  return inside != negated_;
}

TCaseWhenElseExpr::TCaseWhenElseExpr(std::vector<WhenThen> branches, TExprPtr otherwise)
    : branches_(std::move(branches)), otherwise_(std::move(otherwise)) {
  for (const WhenThen& branch : branches_) {
    adopt(*branch.first);
    adopt(*branch.second);
  }
  if (otherwise_) adopt(*otherwise_);
}

const TExpression* TCaseWhenElseExpr::chosen() const {
  const TExprType type = exprType();
  for (const WhenThen& branch : branches_) {
    if (branch.first->exprType() != ttBoolean) throw EExpression(messages::kCaseBoolean);
    if (branch.second->exprType() < type) throw EExpression(messages::kThenSameType);
  }
  if (otherwise_ && otherwise_->exprType() < type) throw EExpression(messages::kThenSameType);
  for (const WhenThen& branch : branches_) {
    if (branch.first->AsBoolean()) return branch.second.get();
  }
  return otherwise_.get();
}

std::string TCaseWhenElseExpr::maxString() const {
  if (exprType() != ttString) return TExpression::maxString();
  std::string widest = otherwise_ ? otherwise_->maxString() : std::string();
  for (const WhenThen& branch : branches_) {
    std::string text = branch.second->maxString();
    if (text.size() > widest.size()) widest = std::move(text);
  }
  return widest;
}

std::string TCaseWhenElseExpr::AsString() const {
  if (exprType() != ttString) return TExpression::AsString();
  const TExpression* value = chosen();
  return value ? value->AsString() : std::string();
}

double TCaseWhenElseExpr::AsFloat() const {
  if (exprType() != ttFloat) return TExpression::AsFloat();
  const TExpression* value = chosen();
  return value ? value->AsFloat() : 0.0;
}

std::int32_t TCaseWhenElseExpr::AsInteger() const {
  if (exprType() != ttInteger) return TExpression::AsInteger();
  const TExpression* value = chosen();
  return value ? value->AsInteger() : 0;
}

bool TCaseWhenElseExpr::AsBoolean() const {
  if (exprType() != ttBoolean) return TExpression::AsBoolean();
  const TExpression* value = chosen();
  return value ? value->AsBoolean() : false;
}

TConditional::TConditional(TExprList params) : params_(std::move(params)) {
  if (params_.size() != 3 || params_[0]->exprType() != ttBoolean) throw EExpression(messages::kIfInvalid);
  for (const TExprPtr& param : params_) adopt(*param);
}

TExprType TConditional::exprType() const {
  // Branches of one type need no evaluation of the condition to tell the type.
  const TExprType type = params_[1]->exprType();
  return type == params_[2]->exprType() ? type : chosen().exprType();
}

const TExpression& TConditional::chosen() const { return params_[0]->AsBoolean() ? *params_[1] : *params_[2]; }

std::string TConditional::maxString() const {
  const std::string a = params_[1]->maxString();
  const std::string b = params_[2]->maxString();
  return a.size() >= b.size() ? a : b;
}

TTypeCast::TTypeCast(TExprPtr operand, TExprType target) : operand_(std::move(operand)), target_(target) {
  adopt(*operand_);
}

std::string TTypeCast::maxString() const {
  return target_ == ttString ? operand_->maxString() : TExpression::maxString();
}

std::string TTypeCast::AsString() const {
  if (target_ != ttString) return TExpression::AsString();
  return operand_->AsString();
}

double TTypeCast::AsFloat() const {
  if (target_ != ttFloat) return TExpression::AsFloat();
  return operand_->AsFloat();
}

std::int32_t TTypeCast::AsInteger() const {
  if (target_ != ttInteger) return TExpression::AsInteger();
  if (operand_->exprType() == ttFloat) return truncToInteger(operand_->AsFloat());
  return operand_->AsInteger();
}

bool TTypeCast::AsBoolean() const {
  if (target_ != ttBoolean) return TExpression::AsBoolean();
  return operand_->AsBoolean();
}

}  // namespace vekrano::sql
