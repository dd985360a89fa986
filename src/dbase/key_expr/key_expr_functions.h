// The functions of key expressions: names with their abbreviations, the argument types each
// accepts, and their evaluation.
#pragma once

#include <string_view>
#include <vector>

#include "dbase/key_expr/key_expr_program.h"

namespace vekrano::dbase {

// Argument type letters ("CNN") and the result type of one accepted form.
struct KeySignature {
  std::string_view arguments;
  char result;
};

struct KeyFunction {
  std::string_view name;
  std::vector<std::string_view> abbreviations;
  std::vector<KeySignature> signatures;
  // REQUIRES: args holds argc values matching one of the signatures.
  ExprValue (*apply)(ExprValue* args, int argc, EvalContext& context);
};

// The function named `name` (upper case, whole name or an accepted abbreviation), or nullptr.
const KeyFunction* findKeyFunction(std::string_view name);

// The result type for these argument types, or '\0' when no form accepts them.
char keyFunctionResult(const KeyFunction& function, std::string_view argumentTypes);

// Value makers shared by the functions and the operators.
ExprValue numberValue(double n);
ExprValue dateValue(double day);
ExprValue logicalValue(bool b);
// Character values are limited to 255 characters.
ExprValue textValue(std::string text);

}  // namespace vekrano::dbase
