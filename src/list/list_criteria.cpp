// The criteria text and the list statement.
#include "list/list_criteria.h"

#include "common/best_fit_text.h"
#include "common/exception.h"
#include "languages/interface_texts.h"
#include "records/record_statements.h"
#include "records/sql_literal.h"

namespace vekrano::list {

namespace {

constexpr int kNoRecordHoldsText = 267;

void addCondition(std::string& text, const std::string& condition) {
  if (!text.empty()) text += " and ";
  text += " " + condition;
}

void addPrefix(std::string& text, const char* field, const std::string& typed) {
  if (!typed.empty()) addCondition(text, std::string(field) + " like " + records::SqlText(typed + "%"));
}

}  // namespace

std::string typedCriterion(const std::string& utf8) {
  const common::TableText text = common::toTableText(utf8);
  if (text.refused) {
    throw common::Exception(languages::GetText(kNoRecordHoldsText) + " " +
                            common::characterName(text.refused->codePoint));
  }
  return text.ansi;
}

std::string criteriaText(const ListCriteria& criteria) {
  std::string text;
  addPrefix(text, records::kCbField, criteria.cb);
  addPrefix(text, records::kLib1Field, criteria.lib1);
  addPrefix(text, records::kLib2Field, criteria.lib2);
  const auto topIs = [](const char* value) { return std::string(records::kToppField) + "=" + records::SqlText(value); };
  if (criteria.top == TopCriterion::Topped) addCondition(text, topIs(records::kTopped));
  if (criteria.top == TopCriterion::NotTopped) addCondition(text, topIs(records::kNotTopped));
  return text;
}

std::string listStatement(const ListCriteria& criteria, const SortState& sort) {
  const std::string condition = criteriaText(criteria);
  const std::string where = condition.empty() ? "" : " where " + condition;
  return records::kListStatementHead + where + listOrderPart(sort);
}

}  // namespace vekrano::list
