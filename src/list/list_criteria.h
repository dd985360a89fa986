// The criteria of the record list, as the criteria controls hold them, and the statements built
// from them.
#pragma once

#include <string>

#include "list/sort_state.h"

namespace vekrano::list {

enum class TopCriterion { All, Topped, NotTopped };

// Texts are in the engine's character set, exactly as typed.
struct ListCriteria {
  std::string cb;
  std::string lib1;
  std::string lib2;
  TopCriterion top = TopCriterion::All;
};

// A criterion typed in UTF-8, in the table's characters by the conversion the stored values went
// through, so that a typed “ finds the " stored for it. Throws common::Exception (text 267)
// naming a character the table cannot hold, which no record holds either.
std::string typedCriterion(const std::string& utf8);

// The condition text, empty without a criterion: ` cb like "AB%" and  topp="O"`. Each typed
// text, with "%" after it, is one literal that holds it exactly.
std::string criteriaText(const ListCriteria& criteria);
// "select *  from article " with " where " and the criteria text when there is one, then the
// order part, nothing between them.
std::string listStatement(const ListCriteria& criteria, const SortState& sort);

}  // namespace vekrano::list
