// The function base class and the table of built-in function names.
#include "sql/expr/functions.h"

#include <map>

#include "sql/errors.h"
#include "sql/expr_messages.h"
#include "sql/expr/expression_predicates.h"

namespace vekrano::sql {

TFunction::TFunction(std::string name, TExprList params) : name_(std::move(name)), params_(std::move(params)) {
  for (const TExprPtr& p : params_) adopt(*p);
}

void TFunction::invalidParameter() const {
  throw EExpression(common::formatText(messages::kInvalidParameter, {name_}));
}

void TFunction::requireArgs(std::initializer_list<Arg> kinds) const {
  if (params_.size() != kinds.size()) invalidParameter();
  std::size_t i = 0;
  for (Arg kind : kinds) {
    const TExprType type = params_[i++]->exprType();
    const bool fits = kind == Arg::Any || (kind == Arg::String && type == ttString) ||
                      (kind == Arg::Numeric && (type == ttFloat || type == ttInteger)) ||
                      (kind == Arg::Integer && (type == ttInteger || type == ttBoolean)) ||
                      (kind == Arg::Boolean && type == ttBoolean);
    if (!fits) invalidParameter();
  }
}

namespace {

using Factory = TExprPtr (*)(std::string name, TExprList& params);

template <typename Node, auto... extra>
TExprPtr make(std::string name, TExprList& params) {
  return std::make_unique<Node>(std::move(name), std::move(params), extra...);
}

template <bool negated>
TExprPtr makeLike(std::string name, TExprList& params) {
  if (params.size() != 2 && params.size() != 3) {
    throw EExpression(common::formatText(messages::kInvalidParameter, {name}));
  }
  const TExpression* escape = params.size() == 3 ? params[2].get() : nullptr;
  return std::make_unique<TSQLLikeExpr>(std::move(params[0]), std::move(params[1]), escape, negated);
}

using S = TStringExpression::Kind;
using M = TMathExpression::Kind;
using D = TDecodeDateTimeExpr::Part;

const std::map<std::string, Factory>& functionTable() {
  static const std::map<std::string, Factory> table = {
      {"UPPER", make<TStringExpression, S::Upper>},
      {"LOWER", make<TStringExpression, S::Lower>},
      {"COPY", make<TStringExpression, S::Copy>},
      {"SUBSTRING", make<TStringExpression, S::Copy>},
      {"POS", make<TStringExpression, S::Pos>},
      {"CHARINDEX", make<TStringExpression, S::Pos>},
      {"LENGTH", make<TStringExpression, S::Length>},
      {"LTRIM", make<TStringExpression, S::LTrim>},
      {"RTRIM", make<TStringExpression, S::RTrim>},
      {"TRIM", make<TStringExpression, S::Trim>},
      {"LEFT", make<TLeftExpr>},
      {"RIGHT", make<TRightExpr>},
      {"ASCII", make<TASCIIExpr>},
      {"TRUNC", make<TMathExpression, M::Trunc>},
      {"ROUND", make<TMathExpression, M::Round>},
      {"ABS", make<TMathExpression, M::Abs>},
      {"ARCTAN", make<TMathExpression, M::ArcTan>},
      {"COS", make<TMathExpression, M::Cos>},
      {"SIN", make<TMathExpression, M::Sin>},
      {"EXP", make<TMathExpression, M::Exp>},
      {"FRAC", make<TMathExpression, M::Frac>},
      {"INT", make<TMathExpression, M::Int>},
      {"LN", make<TMathExpression, M::Ln>},
      {"SQR", make<TMathExpression, M::Sqr>},
      {"SQRT", make<TMathExpression, M::Sqrt>},
      {"PI", make<TMathExpression, M::Pi>},
      {"POWER", make<TMathExpression, M::Power>},
      {"YEAR", make<TDecodeDateTimeExpr, D::Year>},
      {"MONTH", make<TDecodeDateTimeExpr, D::Month>},
      {"DAY", make<TDecodeDateTimeExpr, D::Day>},
      {"HOUR", make<TDecodeDateTimeExpr, D::Hour>},
      {"MIN", make<TDecodeDateTimeExpr, D::Min>},
      {"SEC", make<TDecodeDateTimeExpr, D::Sec>},
      {"MSEC", make<TDecodeDateTimeExpr, D::MSec>},
      {"NOW", make<TNowExpr>},
      {"FORMATDATETIME", make<TFormatDateTimeExpr>},
      {"FORMATFLOAT", make<TFormatFloatExpr>},
      {"FORMAT", make<TFormatExpr>},
      {"DECODE", make<TDecodeExpr>},
      {"MINOF", make<TMinMaxOfExpr, false>},
      {"MAXOF", make<TMinMaxOfExpr, true>},
      {"SQLTRIM", make<TSQLTrimExpr>},
      {"ROUNDDEC", make<TRoundDecExpr, true>},
      {"TRUNCDEC", make<TRoundDecExpr, false>},
      {"ISNULL", make<TISNULLExpr>},
      {"SQLLIKE", makeLike<false>},
      {"SQLNOTLIKE", makeLike<true>},
  };
  return table;
}

}  // namespace

bool isSpecialFunctionName(const std::string& upperName) {
  return upperName == "NOW" || upperName == "SQLTRIM" || upperName == "ROUNDDEC" || upperName == "TRUNCDEC" ||
         upperName == "ISNULL";
}

TExprPtr makeBuiltinFunction(const std::string& upperName, TExprList& params) {
  const auto& table = functionTable();
  const auto entry = table.find(upperName);
  if (entry == table.end()) return nullptr;
  return entry->second(upperName, params);
}

}  // namespace vekrano::sql
