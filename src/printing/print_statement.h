// The SELECT of a label print run: the records to print, built from the Printing page's options,
// the list's criteria text and the list's sort state.
#pragma once

#include <string>

#include "list/sort_state.h"

namespace vekrano::printing {

// The ordering clause of the print run for the list's sort state: "order by num" without a
// column (never descending), otherwise the column's clause with " desc" in it when descending,
// e.g. " order by quantite  desc , cb". Its blanks differ from the list's own order part.
std::string printOrderPart(const list::SortState& sort);

// "select * from article" and the condition: every record with a quantity and a barcode when
// `printEveryRecord` (no ordering), otherwise those that also meet `criteriaText` (the list's
// criteria text, may be empty), followed by " " and printOrderPart(sort).
std::string printStatement(bool printEveryRecord, const std::string& criteriaText, const list::SortState& sort);

}  // namespace vekrano::printing
