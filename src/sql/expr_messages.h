// The texts of expression errors, each written once.
#pragma once

namespace vekrano::sql::messages {

inline constexpr char kOperatorIncompatible[] = "Operator %s incompatible with %s";
inline constexpr char kNotUnary[] = "%s is not simple unary operator";
inline constexpr char kNotBinary[] = "%s is not a simple binary operator";
inline constexpr char kNotRelational[] = "%s is not relational operator";
inline constexpr char kBooleanOperands[] = "cannot apply %s to boolean operands";
inline constexpr char kCannotReadString[] = "Cannot read %s as String";
inline constexpr char kCannotReadFloat[] = "Cannot read %s as Float";
inline constexpr char kCannotReadInteger[] = "Cannot read %s as Integer";
inline constexpr char kCannotReadBoolean[] = "Cannot read %s as boolean";
inline constexpr char kInvalidParameter[] = "Invalid parameter to %s";
inline constexpr char kIfInvalid[] = "IF: Invalid parameters";
inline constexpr char kAsciiArgument[] = "ASCII: Incorrect argument";
inline constexpr char kCaseBoolean[] = "Expression in Case must be boolean";
inline constexpr char kThenSameType[] = "Expressions in THEN section must be all of same type";
inline constexpr char kDecodeArguments[] = "DECODE: Incorrect number of arguments";
inline constexpr char kMinMaxArguments[] = "MINOF, MAXOF: Incorrect number of arguments";
inline constexpr char kTrimCharLength[] = "Length of trimmed char in TRIM function must be 1";
inline constexpr char kDataSetMissing[] = "DataSet %s doesn't exists";
inline constexpr char kFieldMissing[] = "Field Name %s not found";
inline constexpr char kInternalError[] = "Internal parser error. Code %d";
inline constexpr char kUnknownIdentifier[] = "Unknown Identifier %s";
inline constexpr char kParameterMissing[] = "Parameter %s not found in the list of params";
inline constexpr char kSyntaxError[] = "syntax error";
inline constexpr char kStackOverflow[] = "yyparse stack overflow";

// The platform's conversion and arithmetic errors.
inline constexpr char kNotFloat[] = "'%s' is not a valid floating point value";
inline constexpr char kNotInteger[] = "'%s' is not a valid integer value";
inline constexpr char kNotDate[] = "'%s' is not a valid date";
inline constexpr char kDivisionByZero[] = "Division by zero";
inline constexpr char kFloatDivisionByZero[] = "Floating point division by zero";
inline constexpr char kInvalidFloatOperation[] = "Invalid floating point operation";
inline constexpr char kFormatInvalid[] = "Format '%s' invalid or incompatible with argument";

}  // namespace vekrano::sql::messages
