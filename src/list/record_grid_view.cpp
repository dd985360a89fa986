// The record grid's rows and titles.
#include "list/record_grid_view.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>

namespace vekrano::list {

void arrangeRecordGrid(QTableView& grid) {
  grid.setWordWrap(false);
  grid.setTextElideMode(Qt::ElideRight);
  QHeaderView& rows = *grid.verticalHeader();
  rows.setMinimumSectionSize(1);
  rows.setDefaultSectionSize(QFontMetrics(grid.font()).height() + 2 * kCellMargin);
  rows.setSectionResizeMode(QHeaderView::Fixed);
  QHeaderView& titles = *grid.horizontalHeader();
  titles.setStretchLastSection(true);
  titles.setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  titles.setSortIndicatorShown(true);
  titles.setSortIndicator(-1, Qt::AscendingOrder);
}

void showSortIndicator(QHeaderView& titles, const SortState& state) {
  const int column = static_cast<int>(state.column);
  titles.setSortIndicator(state.column == SortColumn::None ? -1 : column,
                          state.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

}  // namespace vekrano::list
