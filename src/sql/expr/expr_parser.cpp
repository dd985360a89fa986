// Runs the generated scanner and parser over one expression text.
#include "sql/expr/expr_parser.h"

#include <algorithm>
#include <charconv>

#include "common/scope_exit.h"
#include "expr_grammar.hpp"
#include "sql/errors.h"
#include "sql/expr_messages.h"
#include "sql/expr/expr_scanner.h"
#include "sql/expr/expression_field.h"
#include "sql/program/field_references.h"
#include "sql/program/statement_text.h"

namespace vekrano::sql {

struct TExprParser::Machine {
  Machine(dbase::TDataSet& dataSet, const TExprParserContext& context)
      : builder(dataSet, context), driver{ExprScanner(none), builder, nullptr, {}}, parser(driver) {}

  const std::string none;
  const ExprBuilder builder;
  ExprDriver driver;
  expr::parser parser;  // starts each parse from an empty stack
};

namespace {

// A lone field reference, a whole number or a quoted text, built as the grammar builds it; null
// for any other text.
bool isDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

TExprPtr literalOrReference(std::string_view text, const ExprBuilder& builder) {
  if (text.empty()) return nullptr;
  if (isLoneReference(text)) return builder.fieldReference(loneReferenceName(text));
  if (const std::optional<TPlainLiteral> literal = plainLiteral(text)) {
    if (const auto* quoted = std::get_if<std::string_view>(&*literal)) return builder.string(std::string(*quoted));
    return std::make_unique<TIntegerLiteral>(std::get<std::int32_t>(*literal));
  }
  // Too large for 32 bits: the builder makes it a float.
  if (isDigits(text)) return builder.integer(std::string(text));
  return nullptr;
}

// The text inside a few brackets around it; a deeper nesting is left to the grammar.
std::string_view withoutParentheses(std::string_view text) {
  constexpr int kMostParentheses = 4;
  for (int n = 0; n < kMostParentheses && text.size() >= 2 && text.front() == '(' && text.back() == ')'; ++n) {
    text = text.substr(1, text.size() - 2);
  }
  return text;
}

// The commonest expressions, built as the grammar builds them without running it: a literal or a
// lone reference in a few brackets, or a function named in square brackets over one (as an
// aggregate column is typed). Null for any other text.
TExprPtr simpleExpression(const std::string& text, const ExprBuilder& builder) {
  const std::string_view inner = withoutParentheses(text);
  if (TExprPtr simple = literalOrReference(inner, builder)) return simple;
  // A bracketed name holds no "]": the first one closes it.
  const std::size_t close = inner.find(']');
  if (inner.empty() || inner.front() != '[' || close == std::string::npos || close + 2 >= inner.size() ||
      inner[close + 1] != '(' || inner.back() != ')') {
    return nullptr;
  }
  TExprPtr argument = literalOrReference(withoutParentheses(inner.substr(close + 1)), builder);
  if (!argument) return nullptr;
  TExprList params;
  params.push_back(std::move(argument));
  return builder.call(std::string(inner.substr(1, close - 1)), std::move(params));
}

}  // namespace

std::optional<TPlainLiteral> plainLiteral(std::string_view text) {
  // A text holding a NUL byte is left to the grammar, which says where it stopped.
  if (text.empty() || text.find('\0') != std::string_view::npos) return std::nullopt;
  if (isDigits(text)) {
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
  }
  const char quote = text.front();
  if (quote != '"' && quote != '\'') return std::nullopt;
  const QuotedRun run = quotedRun(text, 0);
  // Closed by the last character, and by no other.
  if (run.inside.size() + 2 != text.size()) return std::nullopt;
  return run.inside;
}

TExprParser::TExprParser(dbase::TDataSet& dataSet, TExprParserContext context)
    : dataSet_(dataSet), context_(std::move(context)) {}

TExprParser::~TExprParser() = default;

void TExprParser::parseExpression(const std::string& text) {
  root_.reset();
  if (text.find('\0') == std::string::npos) {
    try {
      if (TExprPtr simple = simpleExpression(text, ExprBuilder(dataSet_, context_))) {
        root_ = std::move(simple);
        return;
      }
    } catch (const ExprParseFailure&) {
      // Worded with the place the scanner stopped at: the grammar says it.
    }
  }
  // A parse started from inside another one (by a function's check) gets a parser of its own.
  std::unique_ptr<Machine> nested;
  if (!machine_) machine_ = std::make_unique<Machine>(dataSet_, context_);
  if (parsing_) nested = std::make_unique<Machine>(dataSet_, context_);
  Machine& machine = nested ? *nested : *machine_;
  const bool wasParsing = parsing_;
  const common::ScopeExit restored([&] { parsing_ = wasParsing; });
  parsing_ = true;
  ExprDriver& driver = machine.driver;
  driver.scanner = ExprScanner(text);
  driver.result.reset();
  driver.errorText.clear();
  int status = 0;
  try {
    status = machine.parser.parse();
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

dbase::TField* TExprParser::parseSingleField(const std::string& text) {
  parseExpression(text);
  const auto* fieldNode = dynamic_cast<const TFieldExpr*>(root_.get());
  if (fieldNode == nullptr || &fieldNode->Field().DataSet() != &dataSet_) return nullptr;
  return &fieldNode->Field();
}

}  // namespace vekrano::sql
