// Drawing in device units converted from millimetres, so that fonts keep their point sizes on
// every device and bars land on whole device pixels as far as the device allows.
#include "printing/label_painter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <map>
#include <utility>
#include <vector>

#include "common/code_page.h"
#include "printing/code39.h"
#include "printing/device_scale.h"

namespace vekrano::printing {
namespace {

QString toQString(std::string_view ansi) {
  return QString::fromStdString(common::ansiToUtf8(ansi));
}

QFont labelFont(double pointSize) {
  QFont font(QString::fromLatin1(kLabelFontFamily));
  font.setPointSizeF(pointSize);
  return font;
}

// A label font with its ascent on the painter's device. Measuring loads a font engine each
// time, so ascents are kept per resolution and size; painting runs on the GUI thread only.
struct LineFont {
  QFont font;
  double ascent;
  LineFont(const QPainter& painter, double pointSize)
      : font(labelFont(pointSize)), ascent(ascentOf(font, *painter.device(), pointSize)) {}

 private:
  static double ascentOf(const QFont& font, QPaintDevice& device, double pointSize) {
    static std::map<std::pair<int, double>, double> ascents;
    const auto key = std::make_pair(device.logicalDpiY(), pointSize);
    const auto it = ascents.find(key);
    if (it != ascents.end()) return it->second;
    return ascents[key] = QFontMetricsF(font, &device).ascent();
  }
};

// One line of text whose top-left corner is (leftMm, topMm); never wrapped nor clipped.
// REQUIRES: the painter's pen is black.
void drawTextLine(QPainter& painter, const DeviceScale& scale, double leftMm, double topMm,
                  const LineFont& font, const QString& text) {
  if (text.isEmpty()) return;
  if (painter.font() != font.font) painter.setFont(font.font);
  painter.drawText(QPointF(leftMm * scale.x, topMm * scale.y + font.ascent), text);
}

// Appends the bars of the symbol of `value` to `bars`, in device units.
void addCode39Bars(std::vector<QRectF>& bars, const DeviceScale& scale, double leftMm,
                   double topMm, double heightMm, std::string_view value) {
  const double narrow = kCode39NarrowMm * scale.x;
  const double top = topMm * scale.y;
  const double height = heightMm * scale.y;
  double x = leftMm * scale.x;
  bool bar = true;
  for (int width : code39Elements(value)) {
    if (bar) bars.emplace_back(x, top, width * narrow, height);
    x += width * narrow;
    bar = !bar;
  }
}

// Fills all the bars in one call: one painter state and one PDF fill operator per page
// instead of one per bar.
void fillBars(QPainter& painter, const std::vector<QRectF>& bars) {
  if (bars.empty()) return;
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  painter.drawRects(bars.data(), static_cast<int>(bars.size()));
}

const std::string& slotValue(const SlotValues& values, const std::string& name) {
  static const std::string empty;
  const auto it = values.find(name);
  return it == values.end() ? empty : it->second;
}

}  // namespace

// Bars first, then the human-readable lines, then the text lines: all is black on white, so the
// order changes nothing drawn and the painter changes its pen and font only twice a page.
void paintLabelPage(QPainter& painter, const TLabelLayout& layout, const SlotValues& values,
                    const std::set<int>& removedBarcodes) {
  const DeviceScale scale(painter);
  std::vector<QRectF> bars;
  for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
    if (removedBarcodes.contains(p)) continue;
    const TLabelPosition& position = layout.positions[p - 1];
    addCode39Bars(bars, scale, position.barLeft, position.barTop, position.barHeight,
                  slotValue(values, barcodeSlot(p)));
  }
  painter.save();
  fillBars(painter, bars);
  painter.setPen(Qt::black);
  const LineFont humanReadableFont(painter, layout.humanReadablePointSize);
  for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
    if (removedBarcodes.contains(p)) continue;
    const TLabelPosition& position = layout.positions[p - 1];
    drawTextLine(painter, scale, position.barLeft, position.barTop + position.barHeight,
                 humanReadableFont, toQString(code39Encodable(slotValue(values, barcodeSlot(p)))));
  }
  const LineFont textFont(painter, layout.textPointSize);
  for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
    const TLabelPosition& position = layout.positions[p - 1];
    drawTextLine(painter, scale, position.text1Left, position.text1Top, textFont,
                 toQString(slotValue(values, text1Slot(p))));
    if (!layout.oneText) {
      drawTextLine(painter, scale, position.text2Left, position.text2Top, textFont,
                   toQString(slotValue(values, text2Slot(p))));
    }
  }
  painter.restore();
}

}  // namespace vekrano::printing
