// Rendered label pages measured at 600 dpi, where one narrow element is exactly 6 pixels.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <cstdlib>
#include <set>
#include <sstream>

#include "page_measure.h"
#include "printing/code39.h"
#include "printing/label_layouts.h"
#include "support/temp_dir.h"

namespace vekrano::printing {
namespace {

using namespace testing;

constexpr int kNarrowPx = 6;

// Where the first bar of `position` starts, found on the rendered page.
struct FirstBar {
  int left;
  int top;
};

FirstBar findFirstBar(const QImage& image, const TLabelPosition& position) {
  const int middle = px(position.barTop + position.barHeight / 2);
  const int left = firstDarkInRow(image, middle, px(position.barLeft - 2), px(position.barLeft + 5));
  const int top = firstDarkInColumn(image, left + kNarrowPx / 2, px(position.barTop - 0.5), px(position.barTop + 2));
  return {left, top};
}

void expectFirstBarAt(const QImage& image, const std::string& layoutName, int p) {
  const TLabelPosition& position = Layout(layoutName)->positions.at(p - 1);
  const FirstBar bar = findFirstBar(image, position);
  EXPECT_NEAR(bar.left, position.barLeft / 25.4 * kDpi, 1.0) << layoutName << " position " << p;
  EXPECT_NEAR(bar.top, position.barTop / 25.4 * kDpi, 1.0) << layoutName << " position " << p;
}

SlotValues everyBarcode(const std::string& layoutName, const std::string& value) {
  SlotValues values;
  for (int p = 1; p <= Layout(layoutName)->labelsPerSheet(); ++p) values[barcodeSlot(p)] = value;
  return values;
}

TEST(LabelRender, FirstBarsStartAtBarLeftAndBarTop) {
  const std::vector<std::pair<std::string, std::vector<int>>> samples = {
      {"etiquette1", {1, 6, 12}}, {"etiquette2", {1, 24}},  {"etiquette5", {1, 13, 24}}, {"etiquette9", {4, 15, 38}},
      {"etiquette10", {1, 40}},   {"etiquette11", {2, 21}}, {"etiquette12", {1, 16}}};
  for (const auto& [layoutName, positions] : samples) {
    const QImage image = renderLayout(layoutName, everyBarcode(layoutName, "A1"));
    ASSERT_EQ(image.width(), px(Layout(layoutName)->pageWidthMm()));
    for (int p : positions) expectFirstBarAt(image, layoutName, p);
  }
}

TEST(LabelRender, IrregularPositionsOfEtiquette6AndEtiquette12) {
  const QImage six = renderLayout("etiquette6", everyBarcode("etiquette6", "A1"));
  for (int p : {1, 2, 3}) expectFirstBarAt(six, "etiquette6", p);
  const TLabelPosition& third = Layout("etiquette6")->positions[2];
  EXPECT_NEAR(findFirstBar(six, third).top, px(9.00), 1);
  EXPECT_NEAR(findFirstBar(six, Layout("etiquette6")->positions[1]).top, px(11.00), 1);

  SlotValues values = everyBarcode("etiquette12", "A1");
  for (int p = 1; p <= 16; ++p) values[text1Slot(p)] = "H";
  const QImage twelve = renderLayout("etiquette12", values);
  const auto& positions = Layout("etiquette12")->positions;
  for (int p = 1; p <= 16; ++p) {
    const bool shifted = p >= 7 && p <= 12;
    const double columnLeft = p % 2 == 1 ? 9.76 : 115.00;
    EXPECT_NEAR(findFirstBar(twelve, positions[p - 1]).left, px(columnLeft + (shifted ? 1 : 0)), 1) << "position " << p;
  }
  // The text lines move with the bars: "H" of position 7 is 1 mm right of that of position 5.
  const auto textStart = [&](int p) {
    const TLabelPosition& position = positions[p - 1];
    return firstDarkInRow(twelve, px(position.text1Top + 2), px(position.text1Left - 2), px(position.text1Left + 5));
  };
  EXPECT_NEAR(textStart(7) - textStart(5), px(1.0), 1);
  EXPECT_NEAR(textStart(8) - textStart(6), px(1.0), 1);
}

TEST(LabelRender, SymbolWidthAndHumanReadableLine) {
  const TLabelPosition& position = Layout("etiquette5")->positions[0];
  const int row = px(position.barTop + 1);
  const int barBottom = px(position.barTop + position.barHeight);
  const auto render = [&](const std::string& value) {
    SlotValues values;
    values[barcodeSlot(1)] = value;
    return renderLayout("etiquette5", values);
  };

  // Position 2's empty barcode starts at 75 mm: measure left of it.
  const int end = px(74);
  const QImage thirteen = render("ABC-123 456.7");
  const int first = firstDarkInRow(thirteen, row, 0, end);
  const int last = lastDarkInRow(thirteen, row, 0, end);
  EXPECT_EQ(last - first + 1, (16 * 13 + 31) * kNarrowPx);
  EXPECT_NEAR((last - first + 1) * 25.4 / kDpi, 60.71, 0.01);
  // Rendered runs are the encoder's elements, six pixels per narrow width.
  std::vector<int> expected;
  for (int element : code39Elements("ABC-123 456.7")) expected.push_back(element * kNarrowPx);
  EXPECT_EQ(darkLightRuns(thirteen, row, 0, end), expected);
  // The human-readable line starts at the bottom of the bars, below the first bar.
  const int textTop = firstDarkInColumn(thirteen, first + px(1), barBottom, barBottom + px(4));
  EXPECT_TRUE(anyDark(thirteen, first, barBottom, px(60), px(3.5)));
  EXPECT_FALSE(anyDark(thirteen, first - px(3), barBottom, px(3), px(3.5)));
  EXPECT_GE(firstDarkInRow(thirteen, barBottom + px(1.5), first - px(3), first + px(3)), first);
  EXPECT_GE(textTop, barBottom);
  EXPECT_LT(textTop, barBottom + px(1.0));

  // A value Code 39 cannot hold as it is would scan as another one: its label stays blank.
  const QImage nothing = render("abc*");
  EXPECT_FALSE(anyDark(nothing, 0, px(position.barTop) - 2, end, px(position.barHeight + 5)));
}

TEST(LabelRender, TextLinesAreCutAtTheLabelsRightEdgeNeverWrapped) {
  const TLabelPosition& position = Layout("etiquette2")->positions[0];
  const std::string longText = "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
  SlotValues values;
  values[text1Slot(1)] = longText;
  values[text2Slot(1)] = "Line two";
  const QImage image = renderLayout("etiquette2", values);
  // Text 1 is one line running beyond its nominal 35 mm box up to the label's right edge, where
  // position 2 starts at 76 mm, and its top is at 23.00 mm.
  EXPECT_TRUE(anyDark(image, px(position.text1Left + 58), px(23.0), px(8), px(4)));
  EXPECT_FALSE(anyDark(image, px(76.0), px(22.0), px(60), px(10)));
  const int top = firstDarkInColumn(image, px(position.text1Left) + 8, px(20), px(27.35));
  EXPECT_GE(top, px(23.0));
  EXPECT_LT(top, px(24.0));
  EXPECT_FALSE(anyDark(image, px(position.text1Left + 10), px(27.35) + px(4), px(40), px(6)));
  // The human-readable line of an empty barcode is empty; text 2 stands at its own top.
  EXPECT_FALSE(anyDark(image, 0, px(21.35), px(60), px(1.6)));
  const int top2 = firstDarkInColumn(image, px(position.text2Left) + 8, px(26), px(32));
  EXPECT_GE(top2, px(27.35));
  EXPECT_LT(top2, px(28.35));
}

TEST(LabelRender, OneTextLayoutsPrintTextOneAboveTheBarsAndNoTextTwo) {
  for (const std::string layoutName : {"etiquette9", "etiquette10"}) {
    const TLabelPosition& position = Layout(layoutName)->positions[0];
    SlotValues values;
    values[barcodeSlot(1)] = "A1";
    values[text1Slot(1)] = "Text one";
    const QImage withoutText2 = renderLayout(layoutName, values);
    for (int p = 1; p <= Layout(layoutName)->labelsPerSheet(); ++p) values[text2Slot(p)] = "Two";
    EXPECT_EQ(renderLayout(layoutName, values), withoutText2) << layoutName;
    EXPECT_TRUE(anyDark(withoutText2, px(position.text1Left), px(position.text1Top), px(20),
                        px(position.barTop - position.text1Top)))
        << layoutName;
  }
}

// zbarimg's decodings of an image file, one per line, sorted.
std::multiset<std::string> decode(const std::string& imageFile) {
  int exitCode = 0;
  std::istringstream output(runProgram({"zbarimg", "-q", "--raw", imageFile}, &exitCode));
  EXPECT_EQ(exitCode, 0) << "zbarimg found no symbol in " << imageFile;
  std::multiset<std::string> decoded;
  for (std::string line; std::getline(output, line);) decoded.insert(line);
  return decoded;
}

TEST(LabelRender, RenderedSymbolsDecodeWithZbar) {
  const std::vector<std::string> values = {"ABCDEFGHIJKLM",   "NOPQRSTUVWXYZ", "0123456789",
                                           "A-B.C D$E/F+G%H", "-. $/+%",       "Z-123"};
  vekrano::testing::TempDir dir;
  for (int dpi : {300, 600}) {
    std::multiset<std::string> expected;
    std::multiset<std::string> decoded;
    for (std::size_t i = 0; i < values.size(); ++i) {
      SlotValues slotValues;
      slotValues[barcodeSlot(1)] = values[i];
      const QImage page = renderLayout("etiquette12", slotValues, dpi);
      // One symbol per file, with its quiet zones.
      const QImage label = page.copy(0, 0, px(105, dpi), px(24, dpi));
      const std::string file = dir.file("symbol" + std::to_string(i) + ".png");
      ASSERT_TRUE(label.save(QString::fromStdString(file)));
      for (const std::string& text : decode(file)) decoded.insert(text);
      expected.insert(values[i]);
    }
    EXPECT_EQ(decoded, expected) << dpi << " dpi";
  }
}

TEST(LabelRender, PdfPagesCarryTheSameGeometry) {
  vekrano::testing::TempDir dir;
  const std::string pdf = dir.file("job.pdf");
  {
    PdfDestination destination(pdf);
    LabelReport report(destination);
    report.open(kLayoutFileName);
    report.setSlot(barcodeSlot(1), "ABC-123 456.7");
    report.setSlot(barcodeSlot(24), "Z");
    report.printLayout("etiquette2");
    report.printLayout("etiquette5");
    EXPECT_EQ(destination.pages(), 2);
  }
  int exitCode = 0;
  runProgram({"pdftoppm", "-r", "600", "-gray", "-png", pdf, dir.file("page")}, &exitCode);
  ASSERT_EQ(exitCode, 0);
  const std::vector<std::pair<std::string, std::string>> pages = {{"etiquette2", "page-1.png"},
                                                                  {"etiquette5", "page-2.png"}};
  PdfDestination nowhere(dir.file("missing/folder/job.pdf"));
  const PagePainter nothing = [](QPainter&) {};
  EXPECT_THROW(nowhere.printPage(*Layout("etiquette1"), "", nothing), EReportError);

  QImageReader::setAllocationLimit(0);  // a 600 dpi page is larger than the default limit
  for (const auto& [layoutName, file] : pages) {
    QImage image(QString::fromStdString(dir.file(file)));
    ASSERT_FALSE(image.isNull()) << file;
    // PDF page sizes are whole points: A4 is 595 x 842 pt.
    EXPECT_NEAR(image.width(), px(Layout(layoutName)->pageWidthMm()), 3);
    EXPECT_NEAR(image.height(), px(Layout(layoutName)->pageHeightMm()), 3);
    expectFirstBarAt(image, layoutName, 1);
    expectFirstBarAt(image, layoutName, 24);
    const TLabelPosition& first = Layout(layoutName)->positions[0];
    const int row = px(first.barTop + 1);
    const int left = firstDarkInRow(image, row, 0, px(74));
    EXPECT_NEAR(lastDarkInRow(image, row, 0, px(74)) - left + 1, 239 * kNarrowPx, 2) << file;
    if (layoutName == "etiquette5") {
      // Where the symbol keeps its full narrow element, every bar and space of the PDF is the
      // encoder's element, six pixels per narrow width, as on the printed page.
      std::vector<int> expected;
      for (int element : code39Elements("ABC-123 456.7")) expected.push_back(element * kNarrowPx);
      EXPECT_EQ(darkLightRuns(image, row, 0, px(74)), expected);
    }
  }
}

}  // namespace
}  // namespace vekrano::printing
