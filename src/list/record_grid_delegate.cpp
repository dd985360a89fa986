// The record grid's cell painting.
#include "list/record_grid_delegate.h"

#include <QPainter>
#include <QWidget>

namespace vekrano::list {

const GridColumn kGridColumns[6] = {
    {QColor(255, 255, 255), 0},   {QColor(240, 251, 255), 144}, {QColor(192, 220, 192), 188},
    {QColor(240, 202, 166), 182}, {QColor(255, 128, 192), 0},   {QColor(213, 213, 255), 47},
};

void RecordGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  const bool focused = option.widget != nullptr && option.widget->hasFocus();
  const int column = index.column();
  QColor background = kGridColumns[column >= 0 && column < 6 ? column : 0].background;
  if (selected) background = focused ? option.palette.color(QPalette::Highlight) : kUnfocusedSelection;
  painter->save();
  painter->fillRect(option.rect, background);
  painter->setFont(option.font);
  painter->setPen(option.palette.color(selected && focused ? QPalette::HighlightedText : QPalette::Text));
  painter->drawText(option.rect, Qt::AlignLeft | Qt::AlignTop, index.data(Qt::DisplayRole).toString());
  painter->restore();
}

}  // namespace vekrano::list
