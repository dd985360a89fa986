// dBase key expressions: AssignExpr compiles an expression text against an open table into a
// typed code list; Evaluate runs it on a record and gives a C, N, L or D value.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vekrano::dbase {

class DbfTable;
class KeyProgram;

// Dates are Julian day numbers (1 January 2000 is 2451545); an empty or invalid date is this.
inline constexpr double kEmptyDate = 1e100;

// One value of an expression.
//   C: `text` (at most 255 characters); N: `number`; D: `number` as a day number;
//   L: `logical`; M: `number` as the memo block number.
struct ExprValue {
  char type = 'C';
  std::string text;
  double number = 0;
  bool logical = false;
};

// A compiled expression. Release is destruction.
class KeyExpression {
 public:
  ~KeyExpression();
  KeyExpression(const KeyExpression&) = delete;
  KeyExpression& operator=(const KeyExpression&) = delete;

  const std::string& text() const { return text_; }
  // C, N, L, D or M.
  char resultType() const { return resultType_; }
  // C: the length of the evaluated text (50 for `cb`); N and D: 8; L: 1; M: 10.
  int resultLength() const { return resultLength_; }
  // N: the decimal count of the result, that of the field for a bare numeric field, else 0.
  int resultDecimals() const { return resultDecimals_; }

  // Evaluates on the current record buffer of the table it was compiled against (fields of
  // other tables named by alias: their current records). A zero divisor sets code 358 and the
  // quotient becomes a very large number; evaluation goes on.
  ExprValue Evaluate() const;
  // Evaluates on `record`, a raw ANSI record of that table, taken as record number `recNo`.
  ExprValue Evaluate(const char* record, std::int32_t recNo) const;

 private:
  friend std::unique_ptr<KeyExpression> AssignExpr(DbfTable& table, std::string_view text);
  KeyExpression(DbfTable& table, std::string text, std::unique_ptr<KeyProgram> program);

  DbfTable& table_;
  std::string text_;
  std::unique_ptr<KeyProgram> program_;
  char resultType_ = 'C';
  int resultLength_ = 0;
  int resultDecimals_ = 0;
};

// Compiles `text` against `table` (fields by name, other tables through `alias->field`).
// Returns nullptr with the current error code and text set (351 syntax or type error with the
// text around the error position, 217 nesting too deep) when it cannot be compiled.
// REQUIRES: table is open; it must outlive the result.
std::unique_ptr<KeyExpression> AssignExpr(DbfTable& table, std::string_view text);

}  // namespace vekrano::dbase
