// The barcode record table in memory, with an expression parser bound to it under "article".
#pragma once

#include <string>

#include "common/exception.h"
#include "sql/expr/expr_parser.h"
#include "support/memory_dataset.h"

namespace vekrano::sql::testing {

class ArticleTable {
 public:
  ArticleTable();

  // Adds a record; the table stays open.
  void add(int num, const std::string& cb, int quantite, const std::string& topp, const std::string& lib1 = "",
           const std::string& lib2 = "");
  // Positions the table on the record added `index`-th (0-based).
  void moveTo(int index);

  // Parses `text` (the tree stays with the parser).
  TExpression& parse(const std::string& text);
  // Parses `text` and reads it as a boolean / string / integer / float on record `index`.
  bool isTrue(const std::string& text, int index = 0);
  std::string text(const std::string& text, int index = 0);
  int integer(const std::string& text, int index = 0);
  double number(const std::string& text, int index = 0);

  vekrano::testing::MemoryDataset data;
  TExprParserContext context;
  TExprParser& parser();

 private:
  std::unique_ptr<TExprParser> parser_;
};

// The message of the exception `action` raises; empty when it raises none.
template <typename Action>
std::string messageOf(Action&& action) {
  try {
    action();
  } catch (const common::Exception& error) {
    return error.message();
  }
  return {};
}

}  // namespace vekrano::sql::testing
