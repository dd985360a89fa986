// The calibration test sheet measured at 600 dpi: label outlines, bar corners, the rulers' marks
// and numbers, and the sheet moved by a printer's calibration.
#include "printing/test_sheet.h"

#include <gtest/gtest.h>

#include <cmath>

#include "page_measure.h"
#include "printing/page_destinations.h"

namespace vekrano::printing {
namespace {

using namespace testing;

QImage testSheet(const TLabelLayout& layout, const PrinterCalibrations& calibrations = {}) {
  ImageDestination destination(kDpi, calibrations);
  destination.printPage(layout, "P", [&](QPainter& painter) { paintTestSheet(painter, layout); });
  return destination.pages().at(0).image;
}

// A line of the sheet crosses row `y` (or column `x`) within a pixel of `at`.
bool lineAcrossRow(const QImage& image, double yMm, double atMm) {
  const int found = firstDarkInRow(image, px(yMm), px(atMm) - 4, px(atMm) + 5);
  return found >= 0 && std::abs(found - px(atMm)) <= 3;
}
bool lineAcrossColumn(const QImage& image, double xMm, double atMm) {
  const int found = firstDarkInColumn(image, px(xMm), px(atMm) - 4, px(atMm) + 5);
  return found >= 0 && std::abs(found - px(atMm)) <= 3;
}

TEST(TestSheet, OutlinesCornersAndRulers) {
  const TLabelLayout& layout = *Layout("etiquette9");  // 4 x 11 on A4
  const QImage sheet = testSheet(layout);
  ASSERT_EQ(sheet.width(), px(210));

  // Label outlines: the page shared among 4 columns and 11 rows.
  for (int c = 1; c < 4; ++c) EXPECT_TRUE(lineAcrossRow(sheet, 5.5, 210.0 * c / 4)) << c;
  for (int r = 1; r < 11; ++r) EXPECT_TRUE(lineAcrossColumn(sheet, 2, 297.0 * r / 11)) << r;
  EXPECT_FALSE(anyDark(sheet, px(1), px(1), px(50), px(8)));  // inside the first label

  // A cross where each position's bars start, open between its arms.
  for (const TLabelPosition& at : layout.positions) {
    EXPECT_TRUE(isDark(sheet, px(at.barLeft + 2), px(at.barTop)));
    EXPECT_TRUE(isDark(sheet, px(at.barLeft - 2), px(at.barTop)));
    EXPECT_TRUE(isDark(sheet, px(at.barLeft), px(at.barTop + 2)));
    EXPECT_FALSE(isDark(sheet, px(at.barLeft + 0.6), px(at.barTop + 0.6)));
  }

  // The across ruler at 148.5 mm: a mark every millimetre from the left edge, 1.5 mm high,
  // 3 mm every 5, 5 mm every 10, and nothing between the marks but the outlines at 52.5 and
  // 157.5 mm. The down ruler's own marks stand from 100 to 105 mm.
  const double across = testSheetRulerY(layout);
  EXPECT_DOUBLE_EQ(across, 148.5);
  EXPECT_TRUE(lineAcrossColumn(sheet, 30.5, across));
  for (int mm = 0; mm < 210; ++mm) {
    EXPECT_TRUE(isDark(sheet, px(mm) + (mm == 0 ? 1 : 0), px(across - 1.2))) << mm;
    if (mm >= 100 && mm <= 105) continue;
    EXPECT_EQ(isDark(sheet, px(mm) + (mm == 0 ? 1 : 0), px(across - 2.5)), mm % 5 == 0) << mm;
    EXPECT_EQ(isDark(sheet, px(mm) + (mm == 0 ? 1 : 0), px(across - 4.5)), mm % 10 == 0) << mm;
    if (mm == 52 || mm == 157) continue;
    EXPECT_FALSE(isDark(sheet, px(mm + 0.5), px(across - 1.2))) << mm;
  }
  // The down ruler at 105 mm, its marks to the left, from the top edge; the row outlines cross
  // it every 27 mm.
  const double down = testSheetRulerX(layout);
  for (int mm = 1; mm < 297; ++mm) {
    EXPECT_TRUE(isDark(sheet, px(down - 1.2), px(mm))) << mm;
    if (mm % 27 == 0) continue;
    EXPECT_EQ(isDark(sheet, px(down - 4.5), px(mm)), mm % 10 == 0) << mm;
  }
  // Numbers every 10 mm beside the rulers, none beside the other marks.
  for (int mm = 10; mm <= 200; mm += 10) {
    EXPECT_TRUE(anyDark(sheet, px(mm + 0.3), px(across + 0.3), px(2.5), px(2.4))) << mm;
    if (mm == 100) continue;
    EXPECT_FALSE(anyDark(sheet, px(mm + 4), px(across + 0.3), px(1), px(2.4))) << mm;
  }
  for (int mm = 10; mm <= 290; mm += 10) {
    if (mm == 150) continue;  // left out where the rulers cross
    EXPECT_TRUE(anyDark(sheet, px(down + 0.8), px(mm - 1.5), px(2.5), px(2.6))) << mm;
  }
}

TEST(TestSheet, ThePrintersCalibrationMovesTheWholeSheet) {
  const TLabelLayout& layout = *Layout("etiquette1");  // 3 x 4 on 8.5 x 11 in
  const QImage sheet = testSheet(layout, {{"P", {2.0, -1.0, 98.0}}});
  const double across = -1.0 + testSheetRulerY(layout) * 0.98;
  EXPECT_TRUE(lineAcrossColumn(sheet, 30.5, across));
  // The ruler's 0 now stands 2 mm from the paper's edge, its 100 at 2 + 98 mm.
  EXPECT_TRUE(isDark(sheet, px(2.0), px(across - 4.5)));
  EXPECT_TRUE(isDark(sheet, px(100.0), px(across - 4.5)));
  EXPECT_FALSE(isDark(sheet, px(100.0) + 12, px(across - 4.5)));
  EXPECT_TRUE(lineAcrossRow(sheet, 3, 2.0 + 215.9 / 3 * 0.98));
}

}  // namespace
}  // namespace vekrano::printing
