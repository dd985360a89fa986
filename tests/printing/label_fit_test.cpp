// Symbols fitted into their labels: the narrowed element, the labels' rectangles, every layout's
// PDF decoded position by position with zbarimg, and nothing drawn across a neighbour's label.
#include <gtest/gtest.h>

#include <QImageReader>
#include <QPainter>
#include <sstream>

#include "page_measure.h"
#include "printing/label_layouts.h"
#include "printing/label_report.h"
#include "printing/print_preview.h"
#include "printing/symbol_fit.h"
#include "support/temp_dir.h"

namespace vekrano::printing {
namespace {

using namespace testing;

// A value of `length` characters of the 43, different for each position.
std::string valueOf(int length, int position) {
  const std::string characters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
  std::string value = "P" + std::to_string(position) + "-";
  for (int i = 0; static_cast<int>(value.size()) < length; ++i) {
    value += characters[(position * 7 + i * 11) % characters.size()];
  }
  value.resize(length);
  // Leading or trailing blanks would not survive the table; a symbol never starts or ends so.
  if (value.front() == ' ') value.front() = 'Q';
  if (value.back() == ' ') value.back() = 'Z';
  return value;
}

TEST(LabelFit, SymbolsKeepTheirElementWhenTheyFitAndAreNarrowedDownToTheLimit) {
  const std::string thirteen = "ABC-123 456.7";  // 60.71 mm at 0.254 mm
  EXPECT_EQ(fitCode39(60.71 + kQuietZoneMm + 0.01, thirteen).narrowMm, kCode39NarrowMm);
  EXPECT_EQ(fitCode39(200, "A").narrowMm, kCode39NarrowMm);
  // Less room: the narrow element that ends the symbol and its quiet zone at the edge.
  const SymbolFit narrowed = fitCode39(50, thirteen);
  ASSERT_TRUE(narrowed.fits());
  EXPECT_NEAR(code39WidthMm(thirteen, narrowed.narrowMm) + kQuietZoneMm, 50, 1e-9);
  EXPECT_NEAR(narrowed.narrowMm, 47.46 / 239, 1e-9);
  // 239 narrow widths at 0.19 mm are 45.41 mm: below that room nothing fits.
  EXPECT_TRUE(fitCode39(45.41 + kQuietZoneMm + 0.001, thirteen).fits());
  EXPECT_FALSE(fitCode39(45.41 + kQuietZoneMm - 0.01, thirteen).fits());
  // A character Code 39 lacks would print as another value: never a fit, whatever the room.
  for (const std::string bad : {"abc-1", "A*B", "A#1",
                                "SP\xC9"
                                "CIAL"}) {
    EXPECT_FALSE(fitCode39(500, bad).fits()) << bad;
  }

  const TLabelLayout& nine = *Layout("etiquette9");
  EXPECT_EQ(unprintableOn(nine, thirteen), Unprintable::No);
  EXPECT_EQ(unprintableOn(nine, std::string(30, 'A')), Unprintable::Length);
  EXPECT_EQ(unprintableOn(nine, "low-abc1"), Unprintable::Character);
  EXPECT_LT(fitAtPosition(nine, 1, thirteen).narrowMm, kCode39NarrowMm);
  EXPECT_EQ(fitAtPosition(*Layout("etiquette2"), 1, thirteen).narrowMm, kCode39NarrowMm);
}

TEST(LabelFit, LabelRectanglesComeFromThePitchAndThePageEdge) {
  const TLabelLayout& two = *Layout("etiquette2");
  const LabelRectangle first = labelRectangle(two, 1);
  EXPECT_DOUBLE_EQ(first.left, 10.00);
  EXPECT_DOUBLE_EQ(first.top, 15.00);
  EXPECT_DOUBLE_EQ(first.right, 76.00);  // where position 2 starts
  EXPECT_DOUBLE_EQ(first.bottom, 50.00);  // where row 2 starts
  EXPECT_DOUBLE_EQ(labelRectangle(two, 3).right, 145.00 + (145.00 - 10.00) / 2);
  EXPECT_DOUBLE_EQ(labelRectangle(two, 24).bottom, 279.4);
  // The last column of etiquette12 ends at the page's edge, not one pitch beyond it.
  EXPECT_DOUBLE_EQ(labelRectangle(*Layout("etiquette12"), 2).right, 210.0);
  // Positions placed by hand: etiquette9's position 35 starts at 108.67, so 34 ends there.
  EXPECT_DOUBLE_EQ(labelRectangle(*Layout("etiquette9"), 34).right, 108.67);
  // A one-text layout's label starts at its text line, above the bars.
  EXPECT_DOUBLE_EQ(labelRectangle(*Layout("etiquette10"), 1).top, 24.50);
  for (const TLabelLayout& layout : allLayouts()) {
    for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
      const LabelRectangle label = labelRectangle(layout, p);
      EXPECT_GT(label.width(), 40) << layout.name << " " << p;
      EXPECT_GT(label.height(), 19) << layout.name << " " << p;
      EXPECT_LE(label.right, layout.pageWidthMm());
    }
  }
}

// zbarimg's decoding of one label cut out of a page and set on white with room around it, so
// that nothing of the neighbours is read: "" when it finds no symbol.
std::string decodeLabel(const QImage& page, const LabelRectangle& label, int dpi, const std::string& file) {
  // Two pixels in from the right and bottom edges, where the neighbours' bars may start on the
  // edge's own pixels; the label's own first bar may stand on its left edge.
  const QRect cut(QPoint(px(label.left, dpi) - 1, px(label.top, dpi) - 1),
                  QPoint(px(label.right, dpi) - 3, px(label.bottom, dpi) - 3));
  QImage padded(cut.width() + px(20, dpi), cut.height() + px(20, dpi), QImage::Format_Grayscale8);
  padded.fill(Qt::white);
  QPainter painter(&padded);
  painter.drawImage(QPoint(px(10, dpi), px(10, dpi)), page.copy(cut));
  painter.end();
  EXPECT_TRUE(padded.save(QString::fromStdString(file)));
  int exitCode = 0;
  std::string text = runProgram({"zbarimg", "-q", "--raw", file}, &exitCode);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return exitCode == 0 ? text : "";
}

TEST(LabelFit, EveryLayoutsPdfDecodesPositionByPositionToItsOwnValue) {
  vekrano::testing::TempDir dir;
  const std::string pdf = dir.file("layouts.pdf");
  const std::vector<int> lengths = {1, 13, 30, 50};
  {
    PdfDestination destination(pdf);
    LabelReport report(destination);
    report.open(kLayoutFileName);
    for (const TLabelLayout& layout : allLayouts()) {
      for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
        report.setSlot(barcodeSlot(p), valueOf(lengths[(p - 1) % lengths.size()], p));
      }
      report.printLayout(layout.name);
    }
  }
  constexpr int kDpi300 = 300;
  int exitCode = 0;
  runProgram({"pdftoppm", "-r", "300", "-gray", "-png", pdf, dir.file("page")}, &exitCode);
  ASSERT_EQ(exitCode, 0);
  QImageReader::setAllocationLimit(0);
  int page = 0;
  for (const TLabelLayout& layout : allLayouts()) {
    char name[32];
    std::snprintf(name, sizeof name, "page-%02d.png", ++page);
    const QImage image(QString::fromStdString(dir.file(name)));
    ASSERT_FALSE(image.isNull()) << name;
    for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
      const int length = lengths[(p - 1) % lengths.size()];
      // 13 characters fit every sheet, narrowed on the 4-column ones; 30 and 50 fit none.
      const std::string expected = length <= 13 ? valueOf(length, p) : "";
      EXPECT_EQ(decodeLabel(image, labelRectangle(layout, p), kDpi300, dir.file("label.png")), expected)
          << layout.name << " position " << p;
    }
  }
}

// Prints `layout` with the longest values that still print, and long text lines, on every
// other position; the others are left empty without a barcode.
QImage everyOtherLabel(const TLabelLayout& layout, int phase, int dpi) {
  ImageDestination destination(dpi);
  LabelReport report(destination);
  report.open(kLayoutFileName);
  const std::string longText(120, 'W');
  for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
    const int row = (p - 1) / layout.columns;
    const int column = (p - 1) % layout.columns;
    if ((row + column) % 2 == phase) {
      std::string value = valueOf(40, p);
      while (unprintableOn(layout, value) != Unprintable::No) value.pop_back();
      report.setSlot(barcodeSlot(p), value);
      report.setSlot(text1Slot(p), longText);
      report.setSlot(text2Slot(p), longText);
    } else {
      report.removePositionBarcode(layout.name, p);
    }
  }
  report.printLayout(layout.name);
  return destination.pages().at(0).image;
}

TEST(LabelFit, NothingOfOneLabelIsDrawnInsideAnotherLabel) {
  constexpr int kDpi150 = 150;
  for (const TLabelLayout& layout : allLayouts()) {
    for (int phase : {0, 1}) {
      const QImage image = everyOtherLabel(layout, phase, kDpi150);
      for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
        const int row = (p - 1) / layout.columns;
        const int column = (p - 1) % layout.columns;
        const LabelRectangle label = labelRectangle(layout, p);
        // One pixel in from the edges: the neighbour's last bar may touch a shared edge pixel.
        const int left = px(label.left, kDpi150) + 1;
        const int top = px(label.top, kDpi150) + 1;
        const int width = px(label.right, kDpi150) - left - 1;
        const int height = px(label.bottom, kDpi150) - top - 1;
        if ((row + column) % 2 == phase) {
          EXPECT_TRUE(anyDark(image, left, top, width, height)) << layout.name << " " << p;
        } else {
          EXPECT_FALSE(anyDark(image, left, top, width, height)) << layout.name << " " << p;
        }
      }
    }
  }
}

TEST(LabelFit, ThePreviewCrossesOutUnprintablePlacesThatPrintBlank) {
  const TLabelLayout& layout = *Layout("etiquette8");
  PreviewDestination preview;
  ImageDestination printed(kDpi);
  for (PageDestination* destination :
       {static_cast<PageDestination*>(&preview), static_cast<PageDestination*>(&printed)}) {
    LabelReport report(*destination);
    report.open(kLayoutFileName);
    report.setSlot(barcodeSlot(1), "low-abc1");
    report.setSlot(text1Slot(1), "Lot 1");
    report.setSlot(barcodeSlot(2), "GOOD-1");
    report.printLayout(layout.name);
  }
  const QImage shown = renderKeptPage(preview.pages().at(0), {}, kDpi);
  const QImage& paper = printed.pages().at(0).image;
  const LabelRectangle first = labelRectangle(layout, 1);
  const int left = px(first.left) + 2, top = px(first.top) + 2;
  const int width = px(first.width()) - 4, height = px(first.height()) - 4;
  EXPECT_FALSE(anyDark(paper, left, top, width, height));
  EXPECT_TRUE(anyDark(shown, left, top, width, height));
  // The cross runs corner to corner through the middle of the label.
  const int middleX = px((first.left + first.right) / 2), middleY = px((first.top + first.bottom) / 2);
  EXPECT_TRUE(anyDark(shown, middleX - 8, middleY - 8, 16, 16));
  // The printable neighbour is the same on screen and on paper.
  const LabelRectangle second = labelRectangle(layout, 2);
  EXPECT_EQ(shown.copy(px(second.left), px(second.top), px(second.width()), px(second.height())),
            paper.copy(px(second.left), px(second.top), px(second.width()), px(second.height())));
}

}  // namespace
}  // namespace vekrano::printing
