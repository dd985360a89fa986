// Node construction for the expression grammar: constants, name resolution, operators.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dbase/dataset/dataset.h"
#include "sql/expr/expr_parser.h"
#include "sql/expr/expression.h"
#include "sql/expr/expression_predicates.h"

namespace vekrano::sql {

// A parse error found by a grammar action ("Unknown Identifier %s", "yyparse stack overflow");
// the parser adds the position.
struct ExprParseFailure {
  std::string text;
};

class ExprBuilder {
 public:
  ExprBuilder(dbase::TDataSet& dataSet, const TExprParserContext& context);

  // An integer token: an integer constant when it fits 32 bits, else a float constant.
  TExprPtr integer(const std::string& text) const;
  TExprPtr decimal(double value) const;
  TExprPtr string(std::string value) const;
  TExprPtr boolean(bool value) const;
  TExprPtr parameter(const std::string& name) const;

  // A name alone: the special names, then user-defined functions, then the function table
  // (and, for a Filter, first a field of the bound dataset).
  TExprPtr name(const std::string& name) const;
  // t.f of the statement's tables.
  TExprPtr qualified(const std::string& table, const std::string& field) const;
  // The text of a field reference marker: "t.f" or "f", parts possibly in brackets.
  TExprPtr fieldReference(const std::string& text) const;
  TExprPtr call(const std::string& name, TExprList params) const;

  TExprPtr unary(TOperator op, TExprPtr operand) const;
  TExprPtr binary(TOperator op, TExprPtr left, TExprPtr right) const;
  TExprPtr relational(TOperator op, TExprPtr left, TExprPtr right) const;
  TExprPtr like(TExprPtr value, std::string pattern, std::optional<std::string> escape, bool negated) const;
  TExprPtr in(TExprPtr value, TExprList list, bool negated) const;
  TExprPtr between(TExprPtr value, TExprPtr low, TExprPtr high, bool negated) const;
  TExprPtr caseWhen(std::vector<TCaseWhenElseExpr::WhenThen> branches, TExprPtr otherwise) const;
  TExprPtr conditional(TExprList params) const;
  TExprPtr cast(TExprPtr operand, TExprType target) const;

 private:
  // Refuses a tree deeper than TExprParser::kMaxDepth.
  TExprPtr checked(TExprPtr node) const;
  TExprPtr field(dbase::TDataSet& dataSet, const std::string& name) const;
  TExprPtr function(const std::string& name, TExprList& params, bool called) const;

  dbase::TDataSet& dataSet_;
  const TExprParserContext& context_;
};

}  // namespace vekrano::sql
