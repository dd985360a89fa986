// How the record grid lays out its rows and titles: one line per row, high enough for the
// grid's font and a small margin, the last column taking the free width, and an arrow on the
// title of the ordering column.
#pragma once

#include "list/sort_state.h"

class QHeaderView;
class QTableView;

namespace vekrano::list {

// Blank pixels around a cell's text.
inline constexpr int kCellMargin = 4;

// Sets the row height from the grid's current font, so call it after the font is set.
void arrangeRecordGrid(QTableView& grid);
// The arrow on the title of `state`'s column, pointing up when ascending; none before any
// title was clicked.
void showSortIndicator(QHeaderView& titles, const SortState& state);

}  // namespace vekrano::list
