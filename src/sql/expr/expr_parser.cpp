// Runs the generated scanner and parser over one expression text.
#include "sql/expr/expr_parser.h"

#include "expr_grammar.hpp"
#include "sql/errors.h"
#include "sql/expr_messages.h"
#include "sql/expr/expr_scanner.h"
#include "sql/expr/expression_field.h"

namespace vekrano::sql {

TExprParser::TExprParser(dbase::TDataSet& dataSet, TExprParserContext context)
    : dataSet_(dataSet), context_(std::move(context)) {}

TExprParser::~TExprParser() = default;

void TExprParser::ParseExpression(const std::string& text) {
  root_.reset();
  const ExprBuilder builder(dataSet_, context_);
  ExprDriver driver{ExprScanner(text), builder, nullptr, {}};
  expr::parser parser(driver);
  int status = 0;
  try {
    status = parser.parse();
  } catch (const ExprParseFailure& failure) {
    driver.errorText = failure.text;
    status = 1;
  }
  if (status != 0 || !driver.result) {
    const ExprScanner& scanner = driver.scanner;
    const std::string errorText = driver.errorText.empty() ? messages::kSyntaxError : driver.errorText;
    throw ESqlQueryError(parseErrorText(errorText, scanner.line, scanner.column(), scanner.token()));
  }
  root_ = std::move(driver.result);
}

dbase::TField* TExprParser::ParseSingleField(const std::string& text) {
  ParseExpression(text);
  const auto* fieldNode = dynamic_cast<const TFieldExpr*>(root_.get());
  if (fieldNode == nullptr || &fieldNode->Field().DataSet() != &dataSet_) return nullptr;
  return &fieldNode->Field();
}

}  // namespace vekrano::sql
