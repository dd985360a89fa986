// The expression parser: expression text in, an evaluable tree bound to a dataset out.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "dbase/dataset/dataset.h"
#include "sql/expr/expression.h"
#include "sql/expr/functions.h"

namespace vekrano::sql {

// What the statement (or the query, for its Filter) gives the parser to resolve names.
struct TExprParserContext {
  // The dataset of a table name or alias, compared without regard to case; nullptr when none.
  std::function<dbase::TDataSet*(const std::string& name)> FindDataSet;
  // The value of a ":name" parameter; nothing when the query has none of that name.
  std::function<std::optional<TExprValue>(const std::string& name)> ParamValue;
  TUDFCheckEvent OnUDFCheck;
  TUDFSolveEvent OnUDFSolve;
  // A query's Filter: a name alone may also be a field of the bound dataset.
  bool NamesAreFields = false;
};

// A whole number that fits 32 bits, or the text between the quotes of a quoted text that holds no
// other quote of its kind.
using TPlainLiteral = std::variant<std::int32_t, std::string_view>;

// The value of `text` when it is one such literal alone, read as a parse would read it; nothing
// for any other text.
std::optional<TPlainLiteral> plainLiteral(std::string_view text);

class TExprParser {
 public:
  // The dataset must outlive the parser and its trees.
  explicit TExprParser(dbase::TDataSet& dataSet, TExprParserContext context = {});
  ~TExprParser();
  TExprParser(const TExprParser&) = delete;
  TExprParser& operator=(const TExprParser&) = delete;

  // Parses `text` into a tree that replaces any earlier one.
  // Raises ESqlQueryError " %s at line : %d, Column: %d, token: %s" for "syntax error",
  // "yyparse stack overflow" (nesting deeper than kMaxDepth) and "Unknown Identifier %s";
  // EExpression for an error while a node is built. No tree is kept after an error.
  void parseExpression(const std::string& text);

  // ParseExpression with the single-field test: the field when the text was exactly one field
  // reference of the bound dataset, else nullptr.
  dbase::TField* parseSingleField(const std::string& text);

  // The tree of the last successful parse; nullptr when there is none.
  TExpression* Expression() const { return root_.get(); }
  // Hands the tree over to the caller.
  TExprPtr takeExpression() { return std::move(root_); }

  dbase::TDataSet& DataSet() const { return dataSet_; }

  // The deepest tree accepted, so that evaluation never recurses without bound.
  static constexpr int kMaxDepth = 1048;

 private:
  // The generated parser with the state it shares, made at the first parse and kept for the
  // next ones: a statement parses each of its expressions with one parser.
  struct Machine;

  dbase::TDataSet& dataSet_;
  TExprParserContext context_;
  TExprPtr root_;
  std::unique_ptr<Machine> machine_;
  bool parsing_ = false;
};

}  // namespace vekrano::sql
