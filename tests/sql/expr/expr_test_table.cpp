// The in-memory barcode record table of the expression tests.
#include "sql/expr/expr_test_table.h"

#include "common/code_page.h"
#include "common/format_settings.h"

namespace vekrano::sql::testing {

using dbase::TFieldType;

ArticleTable::ArticleTable()
    : data({{"num", TFieldType::ftInteger, 0},
            {"cb", TFieldType::ftString, 50},
            {"lib1", TFieldType::ftString, 100},
            {"lib2", TFieldType::ftString, 100},
            {"quantite", TFieldType::ftInteger, 0},
            {"topp", TFieldType::ftString, 2}}) {
  common::formatSettings().decimalSeparator = '.';
  context.FindDataSet = [this](const std::string& name) -> dbase::TDataSet* {
    return common::ansiUpper(name) == "ARTICLE" ? &data : nullptr;
  };
  data.Open();
}

void ArticleTable::add(int num, const std::string& cb, int quantite, const std::string& topp, const std::string& lib1,
                       const std::string& lib2) {
  data.addRow({std::int64_t{num}, cb, lib1, lib2, std::int64_t{quantite}, topp});
}

void ArticleTable::moveTo(int index) {
  data.First();
  data.MoveBy(index);
}

TExprParser& ArticleTable::parser() {
  if (!parser_) parser_ = std::make_unique<TExprParser>(data, context);
  return *parser_;
}

TExpression& ArticleTable::parse(const std::string& text) {
  parser().parseExpression(text);
  return *parser().Expression();
}

bool ArticleTable::isTrue(const std::string& expression, int index) {
  TExpression& tree = parse(expression);
  moveTo(index);
  return tree.AsBoolean();
}

std::string ArticleTable::text(const std::string& expression, int index) {
  TExpression& tree = parse(expression);
  moveTo(index);
  return tree.AsString();
}

int ArticleTable::integer(const std::string& expression, int index) {
  TExpression& tree = parse(expression);
  moveTo(index);
  return tree.AsInteger();
}

double ArticleTable::number(const std::string& expression, int index) {
  TExpression& tree = parse(expression);
  moveTo(index);
  return tree.AsFloat();
}

}  // namespace vekrano::sql::testing
