// The record list's ordering: the column whose title was clicked last and its direction. It
// lives for the run and is shared by the list and the print run.
#pragma once

#include <string>
#include <string_view>

namespace vekrano::list {

// The sort columns; None is the initial value only, ordering by record number.
enum class SortColumn { None = 0, Barcode = 1, Text1 = 2, Text2 = 3, Quantity = 4, Top = 5 };

struct SortState {
  SortColumn column = SortColumn::None;
  bool descending = false;
};

// The one sort state of the run, initially no column and ascending.
SortState& sortState();

// The sort column of a title whose field is `fieldName` (any case, surrounding blanks ignored):
// cb, lib1, lib2, quantite, topp; None for any other name.
SortColumn sortColumnOfField(std::string_view fieldName);
// A click on the title of `fieldName`: the same column again inverts the direction, another
// starts ascending; a name that is no sort column changes nothing. False in that last case.
bool ClickTitle(SortState& state, std::string_view fieldName);
// The order part of the list statement: "order by num", or the column's head, "desc" when
// descending, and its tail (" order by quantite desc , cb").
std::string listOrderPart(const SortState& state);

}  // namespace vekrano::list
