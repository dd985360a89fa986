// A printer's calibration moves and scales the whole page by the expected number of pixels at
// 600 dpi, and only on the pages of that printer.
#include <gtest/gtest.h>

#include "page_measure.h"
#include "printing/label_layouts.h"
#include "printing/label_report.h"
#include "printing/page_destinations.h"

namespace vekrano::printing {
namespace {

using namespace testing;

constexpr double kPxPerMm = kDpi / 25.4;

// The page of etiquette5 with "ABC" at positions 1 and 3, printed for `printer`.
QImage printedFor(const std::string& printer, const PrinterCalibrations& calibrations) {
  ImageDestination destination(kDpi, calibrations);
  LabelReport report(destination);
  report.open(kLayoutFileName);
  report.setSlot(barcodeSlot(1), "ABC");
  report.setSlot(barcodeSlot(3), "ABC");
  report.setLayoutPrinter("etiquette5", printer);
  report.printLayout("etiquette5");
  return destination.pages().at(0).image;
}

struct Symbol {
  int left;
  int top;
  int width;
};

// The symbol expected to start near (leftMm, topMm), measured on the image.
Symbol symbolNear(const QImage& image, double leftMm, double topMm) {
  const int row = px(topMm + 2);
  const int left = firstDarkInRow(image, row, px(leftMm - 3), px(leftMm + 3));
  const int right = lastDarkInRow(image, row, left, left + px(30));
  const int top = firstDarkInColumn(image, left + 2, px(topMm - 3), px(topMm + 3));
  return {left, top, right - left + 1};
}

TEST(CalibrationRender, OffsetsAndScaleMoveTheBarsOfThatPrinterOnly) {
  const TLabelPosition& first = Layout("etiquette5")->positions[0];
  const TLabelPosition& third = Layout("etiquette5")->positions[2];
  const int symbolPx = (16 * 3 + 31) * 6;  // "ABC" at six pixels a narrow width

  const QImage plain = printedFor("Office", {});
  const Symbol plainFirst = symbolNear(plain, first.barLeft, first.barTop);
  EXPECT_NEAR(plainFirst.left, first.barLeft * kPxPerMm, 1);
  EXPECT_NEAR(plainFirst.top, first.barTop * kPxPerMm, 1);
  EXPECT_EQ(plainFirst.width, symbolPx);

  for (const PrinterCalibration calibration : {PrinterCalibration{1.5, -0.8, 100}, PrinterCalibration{-6, 10, 100},
                                               PrinterCalibration{0, 0, 95}, PrinterCalibration{-2, 3, 104}}) {
    const QImage image = printedFor("Office", {{"Office", calibration}, {"Other", {5, 5, 100}}});
    const double scale = calibration.scalePercent / 100;
    for (const TLabelPosition* position : {&first, &third}) {
      const double leftMm = calibration.offsetXMm + position->barLeft * scale;
      const double topMm = calibration.offsetYMm + position->barTop * scale;
      const Symbol symbol = symbolNear(image, leftMm, topMm);
      const std::string what = std::to_string(calibration.offsetXMm) + " " + std::to_string(calibration.offsetYMm) +
                               " " + std::to_string(calibration.scalePercent);
      EXPECT_NEAR(symbol.left, leftMm * kPxPerMm, 1.5) << what;
      EXPECT_NEAR(symbol.top, topMm * kPxPerMm, 1.5) << what;
      EXPECT_NEAR(symbol.width, symbolPx * scale, 2) << what;
    }
  }
  // The 1.5 mm offset is 35 to 36 pixels from the plain page.
  const QImage moved = printedFor("Office", {{"Office", {1.5, -0.8, 100}}});
  EXPECT_NEAR(symbolNear(moved, first.barLeft + 1.5, first.barTop).left - plainFirst.left, 35.4, 1);
  EXPECT_NEAR(symbolNear(moved, first.barLeft, first.barTop - 0.8).top - plainFirst.top, -18.9, 1);

  // Another printer's calibration, or none, leaves the page as it is.
  EXPECT_EQ(printedFor("Office", {{"Other", {5, 5, 100}}}), plain);
  EXPECT_EQ(printedFor("Office", {{"Office", {}}}), plain);
}

}  // namespace
}  // namespace vekrano::printing
