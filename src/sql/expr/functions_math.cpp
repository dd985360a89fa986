// Numeric functions: the mathematical table, MINOF/MAXOF and decimal rounding.
#include "sql/expr/functions.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sql/errors.h"
#include "sql/expr/expr_convert.h"
#include "sql/expr_messages.h"

namespace vekrano::sql {
namespace {

double roundHalfEven(double value) {
  const double whole = std::trunc(value);
  const double fraction = std::fabs(value - whole);
  if (fraction != 0.5) return std::round(value);
  return std::fmod(whole, 2.0) == 0 ? whole : whole + (value < 0 ? -1 : 1);
}

double requirePositive(double value, bool zeroAllowed) {
  if (value < 0 || (!zeroAllowed && value == 0)) throw EExpression(messages::kInvalidFloatOperation);
  return value;
}

}  // namespace

TMathExpression::TMathExpression(std::string name, TExprList params, Kind kind)
    : TFunction(std::move(name), std::move(params)), kind_(kind) {}

TExprType TMathExpression::exprType() const {
  return kind_ == Kind::Trunc || kind_ == Kind::Round ? ttInteger : ttFloat;
}

double TMathExpression::AsFloat() const {
  if (exprType() != ttFloat) return TExpression::AsFloat();
  if (kind_ == Kind::Pi) {
    requireArgs({});
    return std::numbers::pi;
  }
  if (kind_ == Kind::Power) {
    requireArgs({Arg::Numeric, Arg::Numeric});
    return checkedFloat(std::pow(param(0).AsFloat(), param(1).AsFloat()));
  }
  requireArgs({Arg::Numeric});
  const double x = param(0).AsFloat();
  switch (kind_) {
    case Kind::Abs: return std::fabs(x);
    case Kind::ArcTan: return std::atan(x);
    case Kind::Cos: return checkedFloat(std::cos(x));
    case Kind::Sin: return checkedFloat(std::sin(x));
    case Kind::Exp: return checkedFloat(std::exp(x));
    case Kind::Frac: return x - std::trunc(x);
    case Kind::Int: return std::trunc(x);
    case Kind::Ln: return std::log(requirePositive(x, false));
    case Kind::Sqr: return checkedFloat(x * x);
    case Kind::Sqrt: return std::sqrt(requirePositive(x, true));
    default: return TExpression::AsFloat();
  }
}

std::int32_t TMathExpression::AsInteger() const {
  if (exprType() != ttInteger) return TExpression::AsInteger();
  requireArgs({Arg::Numeric});
  const double x = param(0).AsFloat();
  return truncToInteger(kind_ == Kind::Round ? roundHalfEven(x) : x);
}

TMinMaxOfExpr::TMinMaxOfExpr(std::string name, TExprList params, bool maximum)
    : TFunction(std::move(name), std::move(params)), maximum_(maximum) {
  if (Params().empty()) throw EExpression(messages::kMinMaxArguments);
}

double TMinMaxOfExpr::AsFloat() const {
  double result = 0;
  for (std::size_t i = 0; i < Params().size(); ++i) {
    const TExprType type = param(i).exprType();
    if (type != ttFloat && type != ttInteger) invalidParameter();
    const double value = param(i).AsFloat();
    result = i == 0 ? value : (maximum_ ? std::max(result, value) : std::min(result, value));
  }
  return result;
}

TRoundDecExpr::TRoundDecExpr(std::string name, TExprList params, bool round)
    : TFunction(std::move(name), std::move(params)), round_(round) {}

double TRoundDecExpr::AsFloat() const {
  requireArgs({Arg::Numeric, Arg::Integer});
  const double x = param(0).AsFloat();
  const std::int32_t decimals = param(1).AsInteger();
  // Beyond 15 decimals a double has nothing left to round.
  if (decimals > 15) return x;
  const auto cut = [this](double v) { return round_ ? std::round(v) : std::trunc(v); };
  // Negative counts round to tens, hundreds, ...; both signs round symmetrically around zero.
  if (decimals < 0) {
    const double factor = std::pow(10.0, -static_cast<double>(decimals));
    return std::isfinite(factor) ? checkedFloat(cut(x / factor) * factor) : 0.0;
  }
  const double scaled = x * std::pow(10.0, decimals);
  if (!(std::fabs(scaled) < 4.5e15)) return x;
  return cut(scaled) / std::pow(10.0, decimals);
}

}  // namespace vekrano::sql
