// The test sheet, drawn in device units from millimetres like the label pages.
#include "printing/test_sheet.h"

#include <QFont>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <cmath>
#include <vector>

#include "printing/device_scale.h"
#include "printing/label_painter.h"

namespace vekrano::printing {
namespace {

constexpr double kLineMm = 0.15;
constexpr double kCrossMm = 3.0;
constexpr double kNumberPointSize = 6;

double markLength(int mm) { return mm % 10 == 0 ? 5.0 : mm % 5 == 0 ? 3.0 : 1.5; }

void addOutlines(std::vector<QLineF>& lines, const DeviceScale& mm, const TLabelLayout& layout) {
  if (!layout.labels.empty()) return;  // sheets that know their labels draw them instead
  const double width = layout.pageWidthMm();
  const double height = layout.pageHeightMm();
  for (int c = 1; c < layout.columns; ++c) {
    const double x = width * c / layout.columns;
    lines.emplace_back(mm.at(x, 0), mm.at(x, height));
  }
  for (int r = 1; r < layout.rows; ++r) {
    const double y = height * r / layout.rows;
    lines.emplace_back(mm.at(0, y), mm.at(width, y));
  }
}

// The labels of a catalog or own sheet as their makers cut them, round corners included; the
// line runs just inside each label, so that a label on the paper's edge shows all of it.
void drawLabels(QPainter& painter, const DeviceScale& mm, const TLabelLayout& layout) {
  painter.setBrush(Qt::NoBrush);
  const double inset = kLineMm / 2;
  const double radius = std::max(0.0, layout.cornerRadiusMm - inset) * mm.x;
  for (const LabelRect& label : layout.labels) {
    const QRectF outline(mm.at(label.left + inset, label.top + inset),
                         mm.at(label.right() - inset, label.bottom() - inset));
    painter.drawRoundedRect(outline, radius, radius);
  }
}

void addCrosses(std::vector<QLineF>& lines, const DeviceScale& mm, const TLabelLayout& layout) {
  for (const TLabelPosition& position : layout.positions) {
    const double x = position.barLeft;
    const double y = position.barTop;
    lines.emplace_back(mm.at(x - kCrossMm, y), mm.at(x + kCrossMm, y));
    lines.emplace_back(mm.at(x, y - kCrossMm), mm.at(x, y + kCrossMm));
  }
}

// The across ruler's marks rise from its line, the down ruler's go left of it; numbers stand
// on the other side, so none of them hides a mark.
void addRulers(std::vector<QLineF>& lines, const DeviceScale& mm, const TLabelLayout& layout) {
  const double across = testSheetRulerY(layout);
  const double down = testSheetRulerX(layout);
  lines.emplace_back(mm.at(0, across), mm.at(layout.pageWidthMm(), across));
  lines.emplace_back(mm.at(down, 0), mm.at(down, layout.pageHeightMm()));
  for (int x = 0; x <= std::floor(layout.pageWidthMm()); ++x) {
    lines.emplace_back(mm.at(x, across), mm.at(x, across - markLength(x)));
  }
  for (int y = 0; y <= std::floor(layout.pageHeightMm()); ++y) {
    lines.emplace_back(mm.at(down, y), mm.at(down - markLength(y), y));
  }
}

void drawNumbers(QPainter& painter, const DeviceScale& mm, const TLabelLayout& layout) {
  QFont font(QString::fromLatin1(kLabelFontFamily));
  font.setPointSizeF(kNumberPointSize);
  painter.setFont(font);
  const double across = testSheetRulerY(layout);
  const double down = testSheetRulerX(layout);
  for (int x = 10; x < layout.pageWidthMm(); x += 10) {
    painter.drawText(mm.at(x + 0.3, across + 2.5), QString::number(x));
  }
  for (int y = 10; y < layout.pageHeightMm(); y += 10) {
    if (std::abs(y - across) < 3) continue;  // would run into the across ruler's numbers
    painter.drawText(mm.at(down + 0.8, y + 1.0), QString::number(y));
  }
  painter.drawText(mm.at(down + 8, across - 8), QString::fromStdString(layout.name));
}

}  // namespace

void paintTestSheet(QPainter& painter, const TLabelLayout& layout) {
  const DeviceScale mm(painter);
  std::vector<QLineF> lines;
  addOutlines(lines, mm, layout);
  addCrosses(lines, mm, layout);
  addRulers(lines, mm, layout);
  painter.save();
  painter.setPen(QPen(Qt::black, kLineMm * mm.x, Qt::SolidLine, Qt::FlatCap));
  painter.drawLines(lines.data(), static_cast<int>(lines.size()));
  drawLabels(painter, mm, layout);
  drawNumbers(painter, mm, layout);
  painter.restore();
}

}  // namespace vekrano::printing
