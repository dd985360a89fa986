// The print run's statement for records picked by number (the rows chosen in the list, or
// vekrano-labels --num), ordered as the run orders the list's records.
#pragma once

#include <span>
#include <string>

#include "list/sort_state.h"

namespace vekrano::printing {

// "select * from article" with the condition that keeps the records numbered `numbers` (any
// order, repeats allowed) that have a quantity and a barcode, then " " and printOrderPart(sort):
// "select * from article where (num in (3,7) or num between 12 and 20) and quantite>0 and
// length(cb)>0  order by num", consecutive numbers written as one range.
// REQUIRES: `numbers` is not empty.
std::string pickedRecordsStatement(std::span<const int> numbers, const list::SortState& sort);

}  // namespace vekrano::printing
