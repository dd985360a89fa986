#include "table_test_support.h"

namespace vekrano::dbase::testing {

std::vector<std::string> TableFolder::shownTexts() const {
  std::vector<std::string> texts;
  for (const common::Prompt& prompt : prompts.shown) texts.push_back(prompt.text);
  return texts;
}

void AppendArticle(TTzDbf& table, int num, const std::string& cb, const std::string& lib1) {
  table.Append();
  table.FieldByName("num").SetAsInteger(num);
  table.FieldByName("cb").SetAsString(cb);
  if (!lib1.empty()) table.FieldByName("lib1").SetAsString(lib1);
  table.Post();
}

std::vector<std::string> Barcodes(TTzDbf& table) {
  std::vector<std::string> seen;
  for (table.First(); !table.Eof(); table.Next()) seen.push_back(table.FieldByName("cb").AsString());
  return seen;
}

}  // namespace vekrano::dbase::testing
