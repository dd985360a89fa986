// Value types and operators of the expression language, with the names its messages use.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace vekrano::sql {

// Ordered: the operand type of a binary operator is the smaller of its operands' types.
enum class TExprType : std::uint8_t { ttString = 0, ttFloat = 1, ttInteger = 2, ttBoolean = 3 };
using enum TExprType;

// "String", "Float", "Integer" or "Boolean".
const char* exprTypeName(TExprType type);

// Operator codes; 13 and above are the relational operators.
enum TOperator : std::uint8_t {
  opNot = 0,
  opExp = 1,
  opMult = 2,
  opDivide = 3,
  opDiv = 4,
  opMod = 5,
  opAnd = 6,
  opShl = 7,
  opShr = 8,
  opPlus = 9,
  opMinus = 10,
  opOr = 11,
  opXor = 12,
  opEq = 13,
  opNEQ = 14,
  opLT = 15,
  opGT = 16,
  opLTE = 17,
  opGTE = 18,
};

// "opNot", "opExp", ... as messages name the operators.
const char* operatorName(TOperator op);

// A value handed across the engine's boundary (parameters, user-defined functions); the
// alternative's index is its TExprType.
using TExprValue = std::variant<std::string, double, std::int32_t, bool>;

inline TExprType valueType(const TExprValue& value) { return static_cast<TExprType>(value.index()); }

}  // namespace vekrano::sql
