// Paints the cells of the record grid: the column's colour (or the selection's), the text on one
// line, centred in height with a small margin, cut with "…" when wider than the cell. The selected row is painted in
// the highlight colour while the grid has the focus and in grey otherwise, so a keyboard user sees where the focus is.
#pragma once

#include <QStyledItemDelegate>

#include "records/article_fields.h"

namespace vekrano::list {

// Background colour and width in pixels (0: the grid's default) of each grid column.
struct GridColumn {
  QColor background;
  int width;
};
extern const GridColumn kGridColumns[records::kFieldCount];
// The selected row's colour while the grid does not have the focus.
inline const QColor kUnfocusedSelection(200, 200, 200);

class RecordGridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  // The part of `text` a cell `width` pixels wide shows in `font`.
  static QString shownText(const QFont& font, const QString& text, int width);
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace vekrano::list
