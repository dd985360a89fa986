// The record grid's cell painting.
#include "list/record_grid_delegate.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include "list/record_grid_view.h"

namespace vekrano::list {

const GridColumn kGridColumns[records::kFieldCount] = {
    {QColor(255, 255, 255), 0},   {QColor(240, 251, 255), 144}, {QColor(192, 220, 192), 188},
    {QColor(240, 202, 166), 182}, {QColor(255, 128, 192), 0},   {QColor(213, 213, 255), 47},
};

QString RecordGridDelegate::shownText(const QFont& font, const QString& text, int width) {
  // A cell shows one line: anything after a line break waits for the editor.
  const QString firstLine = text.section(QLatin1Char('\n'), 0, 0);
  return QFontMetrics(font).elidedText(firstLine, Qt::ElideRight, width);
}

void RecordGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  const bool focused = option.widget != nullptr && option.widget->hasFocus();
  const int column = index.column();
  QColor background = kGridColumns[column >= 0 && column < records::kFieldCount ? column : 0].background;
  if (selected) background = focused ? option.palette.color(QPalette::Highlight) : kUnfocusedSelection;
  painter->save();
  painter->fillRect(option.rect, background);
  painter->setFont(option.font);
  painter->setPen(option.palette.color(selected && focused ? QPalette::HighlightedText : QPalette::Text));
  const QRect textRect = option.rect.adjusted(kCellMargin, 0, -kCellMargin, 0);
  painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                    shownText(option.font, index.data(Qt::DisplayRole).toString(), textRect.width()));
  painter->restore();
}

}  // namespace vekrano::list
