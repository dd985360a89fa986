// The built-in functions of the expression language and user-defined functions.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "sql/expr/expression.h"

namespace vekrano::sql {

// A function call: its upper-case name and its ordered arguments.
class TFunction : public TExpression {
 public:
  TFunction(std::string name, TExprList params);
  const std::string& Name() const { return name_; }
  const TExprList& Params() const { return params_; }

 protected:
  // What an argument must be: text, a number (float or integer), an integer (or boolean),
  // a boolean, or anything.
  enum class Arg { String, Numeric, Integer, Boolean, Any };

  // Raises "Invalid parameter to %s" unless the arguments are exactly `kinds`.
  void requireArgs(std::initializer_list<Arg> kinds) const;
  [[noreturn]] void invalidParameter() const;
  const TExpression& param(std::size_t i) const { return *params_[i]; }

 private:
  std::string name_;
  TExprList params_;
};

// UPPER, LOWER, COPY/SUBSTRING, POS/CHARINDEX, LENGTH, LTRIM, RTRIM, TRIM.
class TStringExpression : public TFunction {
 public:
  enum class Kind { Upper, Lower, Copy, Pos, Length, LTrim, RTrim, Trim };
  TStringExpression(std::string name, TExprList params, Kind kind);
  std::string maxString() const override;
  std::string AsString() const override;
  std::int32_t AsInteger() const override;
  TExprType exprType() const override;

 private:
  Kind kind_;
};

// LEFT(s, n) and RIGHT(s, n).
class TLeftExpr : public TFunction {
 public:
  using TFunction::TFunction;
  std::string maxString() const override;
  std::string AsString() const override;
  TExprType exprType() const override { return ttString; }
};

class TRightExpr : public TFunction {
 public:
  using TFunction::TFunction;
  std::string maxString() const override;
  std::string AsString() const override;
  TExprType exprType() const override { return ttString; }
};

// ASCII(s): the code of the first character, 0 for the empty text. Raises "ASCII: Incorrect
// argument" unless it has one string argument.
class TASCIIExpr : public TFunction {
 public:
  TASCIIExpr(std::string name, TExprList params);
  std::int32_t AsInteger() const override;
  TExprType exprType() const override { return ttInteger; }
};

// SQLTRIM(ch, s, k): s without ch at its start (k 0), end (1) or both (2).
class TSQLTrimExpr : public TFunction {
 public:
  using TFunction::TFunction;
  std::string maxString() const override;
  std::string AsString() const override;
  TExprType exprType() const override { return ttString; }
};

// ABS, ARCTAN, COS, SIN, EXP, FRAC, INT, LN, SQR, SQRT, PI, POWER (float); TRUNC, ROUND (integer).
class TMathExpression : public TFunction {
 public:
  enum class Kind { Abs, ArcTan, Cos, Sin, Exp, Frac, Int, Ln, Sqr, Sqrt, Pi, Power, Trunc, Round };
  TMathExpression(std::string name, TExprList params, Kind kind);
  double AsFloat() const override;
  std::int32_t AsInteger() const override;
  TExprType exprType() const override;

 private:
  Kind kind_;
};

// MINOF, MAXOF: the smallest or largest of one or more numbers. Raises "MINOF, MAXOF:
// Incorrect number of arguments" without arguments.
class TMinMaxOfExpr : public TFunction {
 public:
  TMinMaxOfExpr(std::string name, TExprList params, bool maximum);
  double AsFloat() const override;
  TExprType exprType() const override { return ttFloat; }

 private:
  bool maximum_;
};

// ROUNDDEC(x, d), TRUNCDEC(x, d): x rounded (halves away from zero) or truncated to d decimals.
class TRoundDecExpr : public TFunction {
 public:
  TRoundDecExpr(std::string name, TExprList params, bool round);
  double AsFloat() const override;
  TExprType exprType() const override { return ttFloat; }

 private:
  bool round_;
};

// YEAR, MONTH, DAY, HOUR, MIN, SEC, MSEC of a date-time.
class TDecodeDateTimeExpr : public TFunction {
 public:
  enum class Part { Year, Month, Day, Hour, Min, Sec, MSec };
  TDecodeDateTimeExpr(std::string name, TExprList params, Part part);
  std::int32_t AsInteger() const override;
  TExprType exprType() const override { return ttInteger; }

 private:
  Part part_;
};

// NOW: the current date and time.
class TNowExpr : public TFunction {
 public:
  using TFunction::TFunction;
  double AsFloat() const override;
  TExprType exprType() const override { return ttFloat; }
};

// FORMATDATETIME(format, date-time).
class TFormatDateTimeExpr : public TFunction {
 public:
  using TFunction::TFunction;
  std::string AsString() const override;
  TExprType exprType() const override { return ttString; }
};

// FORMATFLOAT(format, number).
class TFormatFloatExpr : public TFunction {
 public:
  using TFunction::TFunction;
  std::string AsString() const override;
  TExprType exprType() const override { return ttString; }
};

// FORMAT(format, up to 20 values).
class TFormatExpr : public TFunction {
 public:
  using TFunction::TFunction;
  std::string AsString() const override;
  TExprType exprType() const override { return ttString; }
};

// DECODE(x, a1, b1, ..., default): the b after the first a equal to x, else the default.
// Raises "DECODE: Incorrect number of arguments" unless the count is even.
class TDecodeExpr : public TFunction {
 public:
  TDecodeExpr(std::string name, TExprList params);
  std::string AsString() const override;
  double AsFloat() const override;
  std::int32_t AsInteger() const override;
  bool AsBoolean() const override;
  TExprType exprType() const override;

 private:
  const TExpression& chosen() const;
};

// ISNULL(x, TRUE) tells that x is null, ISNULL(x, FALSE) that it is not.
class TISNULLExpr : public TFunction {
 public:
  using TFunction::TFunction;
  bool AsBoolean() const override;
  TExprType exprType() const override { return ttBoolean; }
};

// Whether a user-defined function of that name accepts these arguments; when it does, it sets
// the result type and the widest text length of the result.
using TUDFCheckEvent =
    std::function<bool(const std::string& identifier, const TExprList& params, TExprType& dataType, int& maxLength)>;
// The value of an accepted user-defined function for the current record.
using TUDFSolveEvent = std::function<TExprValue(const std::string& identifier, const TExprList& params)>;

// A function answered by the query's OnUDFCheck and OnUDFSolve events.
class TUDFExpr : public TFunction {
 public:
  TUDFExpr(std::string name, TExprList params, TExprType type, int maxLength, TUDFSolveEvent solve);
  std::string maxString() const override;
  std::string AsString() const override;
  double AsFloat() const override;
  std::int32_t AsInteger() const override;
  bool AsBoolean() const override;
  TExprType exprType() const override { return type_; }

 private:
  TExplicitParamExpr solve() const;

  TExprType type_;
  int maxLength_;
  TUDFSolveEvent solve_;
};

// The names looked up before user-defined functions: NOW, SQLTRIM, ROUNDDEC, TRUNCDEC, ISNULL.
bool isSpecialFunctionName(const std::string& upperName);

// The built-in function `upperName` over `params`; nothing when there is no such function.
// May raise the EExpression texts checked while a tree is built (ASCII, DECODE, MINOF, IF).
TExprPtr makeBuiltinFunction(const std::string& upperName, TExprList& params);

}  // namespace vekrano::sql
