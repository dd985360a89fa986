// Drawing in device units converted from millimetres, so that fonts keep their point sizes on
// every device and bars land on whole device pixels as far as the device allows.
#include "printing/label_painter.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QList>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QTextLayout>
#include <QTextOption>
#include <QTransform>
#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "common/code_page.h"
#include "printing/code39.h"
#include "printing/device_scale.h"
#include "printing/symbol_fit.h"

namespace vekrano::printing {
namespace {

QString toQString(std::string_view ansi) { return QString::fromStdString(common::ansiToUtf8(ansi)); }

QFont labelFont(double pointSize) {
  QFont font(QString::fromLatin1(kLabelFontFamily));
  font.setPointSizeF(pointSize);
  return font;
}

// A label font resolved for the painter's device, with its metrics. Resolving a font or loading
// its metrics looks up a font engine each time, so both are kept per resolution and size;
// painting runs on the GUI thread only.
struct LineFont {
  const QFont& font;
  const QFontMetricsF& metrics;
  LineFont(const QPainter& painter, double pointSize) : LineFont(known(*painter.device(), pointSize)) {}

 private:
  using Resolved = std::pair<QFont, QFontMetricsF>;
  explicit LineFont(const Resolved& resolved) : font(resolved.first), metrics(resolved.second) {}
  static const Resolved& known(QPaintDevice& device, double pointSize) {
    static std::map<std::pair<int, double>, Resolved> fonts;
    const auto key = std::make_pair(device.logicalDpiY(), pointSize);
    const auto it = fonts.find(key);
    if (it != fonts.end()) return it->second;
    const QFont font(labelFont(pointSize), &device);
    return fonts.emplace(key, Resolved(font, QFontMetricsF(font))).first->second;
  }
};

// The longest start of `text` that ends before `room` device units: whole characters, so that
// no glyph is printed in half.
QString cutToRoom(const QString& text, const QFontMetricsF& metrics, double room) {
  qsizetype low = 0, high = text.size();
  while (low < high) {
    const qsizetype middle = (low + high + 1) / 2;
    if (metrics.horizontalAdvance(text.left(middle)) <= room) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return text.left(low);
}

// The text lines of one page in one font, each text shaped once and drawn from its glyphs: a
// record's labels repeat their texts, and drawing the glyphs shapes nothing again.
class PageLines {
 public:
  PageLines(const QPainter& painter, double pointSize) : font_(painter, pointSize) {}

  // One line of text whose top-left corner is (leftMm, topMm), cut at `rightMm`, the label's
  // right edge. REQUIRES: the painter's pen is black.
  void draw(QPainter& painter, const DeviceScale& scale, double leftMm, double topMm, double rightMm,
            const QString& text) {
    if (text.isEmpty()) return;
    const double room = (rightMm - leftMm) * scale.x;
    const Line* line = &laidOut(whole_, text, text);
    // Labels differ in width from column to column: a line is cut for the room it lacks.
    if (line->advance > room) line = &laidOut(cut_, {text, room}, cutToRoom(text, font_.metrics, room));
    const QPointF origin(leftMm * scale.x, topMm * scale.y + font_.metrics.ascent() - line->ascent);
    for (const QGlyphRun& run : line->glyphs) painter.drawGlyphRun(origin, run);
  }

 private:
  // The glyphs of a line, placed from its top-left corner, the baseline's depth below it and
  // where the next text would start.
  struct Line {
    QList<QGlyphRun> glyphs;
    double ascent = 0;
    double advance = 0;
  };

  template <typename Key>
  const Line& laidOut(std::map<Key, Line>& lines, const Key& key, const QString& text) const {
    const auto [known, added] = lines.try_emplace(key);
    if (!added) return known->second;
    QTextLayout layout(text, font_.font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    known->second = {layout.glyphRuns(), line.ascent(), line.horizontalAdvance()};
    return known->second;
  }

  LineFont font_;
  std::map<QString, Line> whole_;
  std::map<std::pair<QString, double>, Line> cut_;
};

// The bars of one symbol in narrow widths from its first bar, one unit high, with the transform
// that puts them in place on the device. Small whole numbers: a PDF page then states each bar in
// a few bytes instead of four long decimals, and the device still sees the same rectangles.
struct SymbolBars {
  QTransform place;
  std::vector<QRect> bars;
};

// The symbol of `value` with its first bar at (leftMm, topMm) and the narrow element `narrowMm`.
SymbolBars code39Bars(const DeviceScale& scale, double leftMm, double topMm, double heightMm, double narrowMm,
                      std::string_view value) {
  SymbolBars symbol;
  symbol.place.translate(leftMm * scale.x, topMm * scale.y);
  symbol.place.scale(narrowMm * scale.x, heightMm * scale.y);
  int x = 0;
  bool bar = true;
  for (int width : code39Elements(value)) {
    if (bar) symbol.bars.emplace_back(x, 0, width, 1);
    x += width;
    bar = !bar;
  }
  return symbol;
}

// Fills the bars symbol by symbol, with the brush set once for the page.
void fillBars(QPainter& painter, const std::vector<SymbolBars>& symbols) {
  if (symbols.empty()) return;
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::black);
  const QTransform page = painter.worldTransform();
  for (const SymbolBars& symbol : symbols) {
    painter.setWorldTransform(symbol.place * page);
    painter.drawRects(symbol.bars.data(), static_cast<int>(symbol.bars.size()));
  }
  painter.setWorldTransform(page);
}

const std::string& slotValue(const SlotValues& values, const std::string& name) {
  static const std::string empty;
  const auto it = values.find(name);
  return it == values.end() ? empty : it->second;
}

// Dark enough to be seen at a glance, lighter than anything printed.
constexpr int kMarkGray = 80;

// A label whose barcode cannot be printed is left blank: printed as another value it would be
// worse than none. Shown, its place is crossed out.
void markUnprintable(QPainter& painter, const DeviceScale& scale, const LabelRectangle& label) {
  const QRectF place(scale.at(label.left, label.top), scale.at(label.right, label.bottom));
  painter.save();
  painter.setClipRect(place);
  painter.setPen(QPen(QColor(kMarkGray, kMarkGray, kMarkGray), std::max(1.0, 0.5 * scale.x), Qt::DashLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(place.adjusted(scale.x, scale.y, -scale.x, -scale.y));
  painter.drawLine(place.topLeft(), place.bottomRight());
  painter.drawLine(place.topRight(), place.bottomLeft());
  painter.restore();
}

}  // namespace

bool printableOn(const TLabelLayout& layout, const std::string& barcode) {
  return barcode.empty() || unprintableOn(layout, barcode) == Unprintable::No;
}

// Bars first, then the human-readable lines, then the text lines: all is black on white, so the
// order changes nothing drawn and the painter changes its pen and font only twice a page.
void paintLabelPage(QPainter& painter, const TLabelLayout& layout, const SlotValues& values,
                    const std::set<int>& removedBarcodes, bool markUnprintablePlaces) {
  const DeviceScale scale(painter);
  std::vector<bool> blank(layout.labelsPerSheet() + 1, false);
  std::vector<SymbolBars> symbols;
  for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
    const std::string& barcode = slotValue(values, barcodeSlot(p));
    blank[p] = !printableOn(layout, barcode);
    if (blank[p] || removedBarcodes.contains(p)) continue;
    const TLabelPosition& position = layout.positions[p - 1];
    const double narrow = barcode.empty() ? kCode39NarrowMm : fitAtPosition(layout, p, barcode).narrowMm;
    symbols.push_back(code39Bars(scale, position.barLeft, position.barTop, position.barHeight, narrow, barcode));
  }
  painter.save();
  fillBars(painter, symbols);
  painter.setPen(Qt::black);
  PageLines humanReadableLines(painter, layout.humanReadablePointSize);
  for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
    if (blank[p] || removedBarcodes.contains(p)) continue;
    const TLabelPosition& position = layout.positions[p - 1];
    humanReadableLines.draw(painter, scale, position.barLeft, position.barTop + position.barHeight,
                            labelRectangle(layout, p).right, toQString(slotValue(values, barcodeSlot(p))));
  }
  PageLines textLines(painter, layout.textPointSize);
  for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
    if (blank[p]) continue;
    const TLabelPosition& position = layout.positions[p - 1];
    const double right = labelRectangle(layout, p).right;
    textLines.draw(painter, scale, position.text1Left, position.text1Top, right,
                   toQString(slotValue(values, text1Slot(p))));
    if (!layout.oneText) {
      textLines.draw(painter, scale, position.text2Left, position.text2Top, right,
                     toQString(slotValue(values, text2Slot(p))));
    }
  }
  if (markUnprintablePlaces) {
    for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
      if (blank[p]) markUnprintable(painter, scale, labelRectangle(layout, p));
    }
  }
  painter.restore();
}

void SheetPainter::operator()(QPainter& painter) const {
  paintLabelPage(painter, *sheet->layout, sheet->values, sheet->removedBarcodes, markUnprintablePlaces);
}

}  // namespace vekrano::printing
