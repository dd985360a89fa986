// Building the nodes of a tree while the grammar reduces, and resolving names.
#include "sql/expr/expr_builder.h"

#include <charconv>
#include <limits>

#include "common/code_page.h"
#include "sql/errors.h"
#include "sql/expr_messages.h"
#include "sql/expr/expression_field.h"
#include "sql/expr/expression_operators.h"
#include "sql/program/field_references.h"
#include "sql/expr/functions.h"

namespace vekrano::sql {

ExprBuilder::ExprBuilder(dbase::TDataSet& dataSet, const TExprParserContext& context)
    : dataSet_(dataSet), context_(context) {}

TExprPtr ExprBuilder::checked(TExprPtr node) const {
  if (node->depth() > TExprParser::kMaxDepth) throw ExprParseFailure{messages::kStackOverflow};
  return node;
}

TExprPtr ExprBuilder::integer(const std::string& text) const {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  std::int64_t value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error == std::errc() && end == digits.data() + digits.size() &&
      value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()) {
    return std::make_unique<TIntegerLiteral>(static_cast<std::int32_t>(value));
  }
  double number = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), number);
  return std::make_unique<TFloatLiteral>(number);
}

TExprPtr ExprBuilder::decimal(double value) const { return std::make_unique<TFloatLiteral>(value); }

TExprPtr ExprBuilder::string(std::string value) const { return std::make_unique<TStringLiteral>(std::move(value)); }

TExprPtr ExprBuilder::boolean(bool value) const { return std::make_unique<TBooleanLiteral>(value); }

TExprPtr ExprBuilder::parameter(const std::string& name) const {
  std::optional<TExprValue> value;
  if (context_.ParamValue) value = context_.ParamValue(name);
  if (!value) throw ESqlQueryError(common::formatText(messages::kParameterMissing, {name}));
  return std::make_unique<TExplicitParamExpr>(name, std::move(*value));
}

TExprPtr ExprBuilder::field(dbase::TDataSet& dataSet, const std::string& name) const {
  dbase::TField* found = dataSet.FindField(name);
  if (found == nullptr) throw EExpression(common::formatText(messages::kFieldMissing, {name}));
  return std::make_unique<TFieldExpr>(*found);
}

TExprPtr ExprBuilder::qualified(const std::string& table, const std::string& fieldName) const {
  dbase::TDataSet* dataSet = context_.FindDataSet ? context_.FindDataSet(table) : nullptr;
  if (dataSet == nullptr) throw EExpression(common::formatText(messages::kDataSetMissing, {table}));
  return field(*dataSet, fieldName);
}

TExprPtr ExprBuilder::fieldReference(const std::string& text) const {
  const std::size_t dot = qualifierDot(text);
  if (dot == std::string::npos) return field(dataSet_, withoutBrackets(text));
  return qualified(withoutBrackets(std::string_view(text).substr(0, dot)),
                   withoutBrackets(std::string_view(text).substr(dot + 1)));
}

TExprPtr ExprBuilder::function(const std::string& name, TExprList& params, bool called) const {
  const std::string upper = common::ansiUpper(name);
  if (!called && context_.NamesAreFields && dataSet_.FindField(name) != nullptr) return field(dataSet_, name);
  if (isSpecialFunctionName(upper)) return checked(makeBuiltinFunction(upper, params));
  TExprType type = ttString;
  int maxLength = 0;
  if (context_.OnUDFCheck && context_.OnUDFCheck(upper, params, type, maxLength)) {
    return checked(std::make_unique<TUDFExpr>(upper, std::move(params), type, maxLength, context_.OnUDFSolve));
  }
  if (TExprPtr builtin = makeBuiltinFunction(upper, params)) return checked(std::move(builtin));
  throw ExprParseFailure{common::formatText(messages::kUnknownIdentifier, {name})};
}

TExprPtr ExprBuilder::name(const std::string& name) const {
  TExprList none;
  return function(name, none, false);
}

TExprPtr ExprBuilder::call(const std::string& name, TExprList params) const { return function(name, params, true); }

TExprPtr ExprBuilder::unary(TOperator op, TExprPtr operand) const {
  return checked(std::make_unique<TUnaryOp>(op, std::move(operand)));
}

TExprPtr ExprBuilder::binary(TOperator op, TExprPtr left, TExprPtr right) const {
  return checked(std::make_unique<TBinaryOp>(op, std::move(left), std::move(right)));
}

TExprPtr ExprBuilder::relational(TOperator op, TExprPtr left, TExprPtr right) const {
  return checked(std::make_unique<TRelationalOp>(op, std::move(left), std::move(right)));
}

TExprPtr ExprBuilder::like(TExprPtr value, std::string pattern, std::optional<std::string> escape, bool negated) const {
  const TStringLiteral escapeNode(escape.value_or(std::string()));
  return checked(std::make_unique<TSQLLikeExpr>(std::move(value), std::make_unique<TStringLiteral>(std::move(pattern)),
                                                &escapeNode, negated));
}

TExprPtr ExprBuilder::in(TExprPtr value, TExprList list, bool negated) const {
  return checked(std::make_unique<TSQLInPredicateExpr>(std::move(value), std::move(list), negated));
}

TExprPtr ExprBuilder::between(TExprPtr value, TExprPtr low, TExprPtr high, bool negated) const {
  return checked(std::make_unique<TBetweenExpr>(std::move(value), std::move(low), std::move(high), negated));
}

TExprPtr ExprBuilder::caseWhen(std::vector<TCaseWhenElseExpr::WhenThen> branches, TExprPtr otherwise) const {
  return checked(std::make_unique<TCaseWhenElseExpr>(std::move(branches), std::move(otherwise)));
}

TExprPtr ExprBuilder::conditional(TExprList params) const {
  return checked(std::make_unique<TConditional>(std::move(params)));
}

TExprPtr ExprBuilder::cast(TExprPtr operand, TExprType target) const {
  return checked(std::make_unique<TTypeCast>(std::move(operand), target));
}

}  // namespace vekrano::sql
