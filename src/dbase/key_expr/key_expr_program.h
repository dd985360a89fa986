// The compiled form of a key expression: a code list for a stack machine.
#pragma once

#include <cstdint>
#include <vector>

#include "dbase/key_expr/key_expression.h"

namespace vekrano::dbase {

class DbfTable;
struct KeyFunction;

// clang-format off
enum class OpCode {
  PushConstant,  // constant
  PushField,     // fieldIndex of `table` (nullptr: the record being evaluated)
  Negate, Power, Multiply, Divide, Add, Subtract,
  Equal, ExactEqual, NotEqual, Less, LessEqual, Greater, GreaterEqual, Contains,
  Not, And, Or,
  Call,          // function with argumentCount arguments
};
// clang-format on

struct Operation {
  OpCode code = OpCode::PushConstant;
  ExprValue constant;
  DbfTable* table = nullptr;
  int fieldIndex = 0;
  const KeyFunction* function = nullptr;
  int argumentCount = 0;
};

// What an evaluation may read besides the stack.
struct EvalContext {
  const DbfTable& table;
  const char* record;
  std::int32_t recNo;
  bool divideByZero = false;
};

class KeyProgram {
 public:
  std::vector<Operation> code;
  // Evaluates the code list; a zero divisor sets context.divideByZero and goes on.
  ExprValue run(EvalContext& context) const;

 private:
  mutable std::vector<ExprValue> stack_;
};

}  // namespace vekrano::dbase
