// Date-time functions and the formatting functions.
#include "sql/expr/functions.h"

#include "sql/expr/expr_datetime.h"
#include "sql/expr/expr_format.h"

namespace vekrano::sql {

TDecodeDateTimeExpr::TDecodeDateTimeExpr(std::string name, TExprList params, Part part)
    : TFunction(std::move(name), std::move(params)), part_(part) {}

std::int32_t TDecodeDateTimeExpr::AsInteger() const {
  requireArgs({Arg::Numeric});
  const DateTimeParts parts = decodeDateTime(param(0).AsFloat());
  switch (part_) {
    case Part::Year: return parts.year;
    case Part::Month: return parts.month;
    case Part::Day: return parts.day;
    case Part::Hour: return parts.hour;
    case Part::Min: return parts.minute;
    case Part::Sec: return parts.second;
    case Part::MSec: return parts.msec;
  }
  return 0;
}

double TNowExpr::AsFloat() const {
  requireArgs({});
  return nowDateTime();
}

std::string TFormatDateTimeExpr::AsString() const {
  requireArgs({Arg::String, Arg::Numeric});
  return formatDateTime(param(0).AsString(), param(1).AsFloat());
}

std::string TFormatFloatExpr::AsString() const {
  requireArgs({Arg::String, Arg::Numeric});
  return formatFloat(param(0).AsString(), param(1).AsFloat());
}

std::string TFormatExpr::AsString() const {
  constexpr std::size_t kMaxValues = 20;
  if (Params().empty() || Params().size() > kMaxValues + 1 || param(0).exprType() != ttString) {
    invalidParameter();
  }
  std::vector<const TExpression*> values;
  for (std::size_t i = 1; i < Params().size(); ++i) values.push_back(&param(i));
  return formatValues(param(0).AsString(), values);
}

}  // namespace vekrano::sql
