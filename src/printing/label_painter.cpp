// Drawing in device units converted from millimetres, so that fonts keep their point sizes on
// every device and bars land on whole device pixels as far as the device allows.
#include "printing/label_painter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QRectF>
#include <QString>

#include "common/code_page.h"
#include "printing/code39.h"

namespace vekrano::printing {
namespace {

constexpr double kMmPerInch = 25.4;

// Millimetre to device unit conversions of one painter.
struct DeviceScale {
  double x;
  double y;
  explicit DeviceScale(const QPainter& painter)
      : x(painter.device()->logicalDpiX() / kMmPerInch),
        y(painter.device()->logicalDpiY() / kMmPerInch) {}
};

QString toQString(std::string_view ansi) {
  return QString::fromStdString(common::ansiToUtf8(ansi));
}

QFont labelFont(double pointSize) {
  QFont font(QString::fromLatin1(kLabelFontFamily));
  font.setPointSizeF(pointSize);
  return font;
}

// One line of text whose top-left corner is (leftMm, topMm); never wrapped nor clipped.
void drawTextLine(QPainter& painter, double leftMm, double topMm, const QFont& font,
                  const QString& text) {
  if (text.isEmpty()) return;
  const DeviceScale scale(painter);
  painter.setFont(font);
  const QFontMetricsF metrics(font, painter.device());
  painter.setPen(Qt::black);
  painter.drawText(QPointF(leftMm * scale.x, topMm * scale.y + metrics.ascent()), text);
}

const std::string& slotValue(const SlotValues& values, const std::string& name) {
  static const std::string empty;
  const auto it = values.find(name);
  return it == values.end() ? empty : it->second;
}

}  // namespace

void paintCode39(QPainter& painter, double leftMm, double topMm, double heightMm,
                 std::string_view value) {
  const DeviceScale scale(painter);
  const double narrow = kCode39NarrowMm * scale.x;
  const double top = topMm * scale.y;
  const double height = heightMm * scale.y;
  double x = leftMm * scale.x;
  bool bar = true;
  for (int width : code39Elements(value)) {
    if (bar) painter.fillRect(QRectF(x, top, width * narrow, height), Qt::black);
    x += width * narrow;
    bar = !bar;
  }
  drawTextLine(painter, leftMm, topMm + heightMm, labelFont(kHumanReadablePointSize),
               toQString(code39Encodable(value)));
}

void paintLabelPage(QPainter& painter, const TLabelLayout& layout, const SlotValues& values,
                    const std::set<int>& removedBarcodes) {
  const QFont textFont = labelFont(layout.textPointSize);
  for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
    const TLabelPosition& position = layout.positions[p - 1];
    if (!removedBarcodes.contains(p)) {
      paintCode39(painter, position.barLeft, position.barTop, position.barHeight,
                  slotValue(values, barcodeSlot(p)));
    }
    drawTextLine(painter, position.text1Left, position.text1Top, textFont,
                 toQString(slotValue(values, text1Slot(p))));
    if (!layout.oneText) {
      drawTextLine(painter, position.text2Left, position.text2Top, textFont,
                   toQString(slotValue(values, text2Slot(p))));
    }
  }
}

}  // namespace vekrano::printing
