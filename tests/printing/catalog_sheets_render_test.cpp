// Five sheets of the installed vendors' catalog, of different shapes and sizes, printed into a
// PDF as a run prints them and measured on the PDF's pixels: every label's symbol decodes to its
// record inside the label's rectangle as the catalog defines it, nothing is printed outside the
// labels (text lines too long for them are cut at their edge), and the test sheet draws each
// label's outline on its edges.
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "page_measure.h"
#include "printing/code39.h"
#include "printing/label_report.h"
#include "printing/page_destinations.h"
#include "printing/print_run.h"
#include "printing/sheet_catalog.h"
#include "printing/sheet_layout.h"
#include "printing/test_sheet.h"
#include "support/temp_dir.h"

namespace vekrano::printing {
namespace {

using namespace testing;

constexpr int kPdfDpi = 300;
// Anti-aliased edges and the rounding of the PDF's page to whole points.
constexpr double kToleranceMm = 0.35;

// Pixels from millimetres, never before the page's first pixel.
int dot(double mm) { return std::max(0, px(mm, kPdfDpi)); }

const LabelSheetSpec& catalogSheet(const std::string& name) {
  const SheetCatalog& catalog = installedCatalog();
  const auto found = std::find_if(catalog.sheets.begin(), catalog.sheets.end(),
                                  [&](const LabelSheetSpec& sheet) { return sheet.name == name; });
  EXPECT_NE(found, catalog.sheets.end()) << name;
  return *found;
}

// A value of the 43 characters, different on every label, as long as the label holds at the
// built-in narrow element (at most 8 characters).
std::string valueFor(const TLabelPosition& position, int p) {
  const int fitting = static_cast<int>((position.textWidth / kCode39NarrowMm - 31) / 16);
  std::string value = "P" + std::to_string(p) + "-ABCDEFG";
  value.resize(std::clamp(fitting, 2, 8));
  return value;
}

std::vector<std::string> decode(const std::string& imageFile) {
  std::istringstream output(runProgram({"zbarimg", "-q", "--raw", imageFile}));
  std::vector<std::string> decoded;
  for (std::string line; std::getline(output, line);) decoded.push_back(line);
  return decoded;
}

QRect labelPixels(const LabelRect& label, double growMm) {
  return QRect(QPoint(dot(label.left - growMm), dot(label.top - growMm)),
               QPoint(dot(label.right() + growMm), dot(label.bottom() + growMm)));
}

// Every dark pixel of `page` lies in one of the labels.
void expectNothingOutsideLabels(QImage page, const TLabelLayout& layout) {
  QPainter blank(&page);
  for (const LabelRect& label : layout.labels) blank.fillRect(labelPixels(label, kToleranceMm), Qt::white);
  blank.end();
  EXPECT_FALSE(anyDark(page, 0, 0, page.width(), page.height())) << layout.name;
}

// The outline passes within the tolerance of each edge of every label, away from the rulers.
void expectOutlinesOnEdges(const QImage& sheet, const TLabelLayout& layout) {
  const double reach = kToleranceMm + 0.2;
  for (const LabelRect& label : layout.labels) {
    for (double share : {0.3, 0.7}) {
      const double x = label.left + share * label.width;
      const double y = label.top + share * label.height;
      EXPECT_GE(firstDarkInColumn(sheet, dot(x), dot(label.top - reach), dot(label.top + reach)), 0)
          << layout.name << " top edge at " << x;
      EXPECT_GE(firstDarkInColumn(sheet, dot(x), dot(label.bottom() - reach), dot(label.bottom() + reach)), 0)
          << layout.name << " bottom edge at " << x;
      EXPECT_GE(firstDarkInRow(sheet, dot(y), dot(label.left - reach), dot(label.left + reach)), 0)
          << layout.name << " left edge at " << y;
      EXPECT_GE(firstDarkInRow(sheet, dot(y), dot(label.right() - reach), dot(label.right() + reach)), 0)
          << layout.name << " right edge at " << y;
    }
  }
}

TEST(CatalogSheetsRender, SymbolsDecodeInsideTheirLabelsAndOutlinesFollowTheCatalog) {
  if (installedCatalogDirectory().empty()) GTEST_SKIP() << kCatalogPackage << " is not installed";
  // A4 with round corners, US Letter 3 x 10, 80 small labels, a roll label as its own page, and
  // square labels in two grids.
  const std::vector<std::string> names = {"Avery L7163", "Avery 5160", "Avery L4732", "Brother DK-1202",
                                          "Stomper PRO Zip"};
  vekrano::testing::TempDir dir;
  const std::string pdf = dir.file("sheets.pdf");
  std::vector<const TLabelLayout*> layouts;
  std::vector<std::vector<std::string>> values;
  {
    PdfDestination destination(pdf, kPdfDpi);
    LabelReport report(destination);
    report.open("docvkb.rav");
    for (const std::string& name : names) {
      const TLabelLayout& layout = addSheet(catalogSheet(name));
      ASSERT_EQ(layout.labels.size(), layout.positions.size());
      layouts.push_back(&layout);
      std::vector<LabelRecord> records;
      values.emplace_back();
      for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
        values.back().push_back(valueFor(layout.positions[p - 1], p));
        // Text 2 runs far beyond every label: it is cut at the label's right edge.
        records.push_back({values.back().back(), "T" + std::to_string(p), "Lot 7 " + std::string(120, 'W'), 1});
      }
      EXPECT_EQ(fillLabelSheets(report, layout.name, layout.labelsPerSheet(), "", records, {}), 1);
      destination.printPage(layout, "", [&layout](QPainter& painter) { paintTestSheet(painter, layout); });
    }
    destination.finish();
  }
  int exitCode = 0;
  runProgram({"pdftoppm", "-r", std::to_string(kPdfDpi), "-gray", "-png", pdf, dir.file("page")}, &exitCode);
  ASSERT_EQ(exitCode, 0);
  QImageReader::setAllocationLimit(0);

  for (std::size_t s = 0; s < names.size(); ++s) {
    const TLabelLayout& layout = *layouts[s];
    const auto pageFile = [&](std::size_t page) {
      char name[32];
      std::snprintf(name, sizeof name, "page-%02zu.png", page);
      return dir.file(name);
    };
    const QImage labels(QString::fromStdString(pageFile(2 * s + 1)));
    const QImage sheet(QString::fromStdString(pageFile(2 * s + 2)));
    ASSERT_FALSE(labels.isNull() || sheet.isNull()) << layout.name;
    EXPECT_NEAR(labels.width(), dot(layout.pageWidthMm()), 3) << layout.name;
    EXPECT_NEAR(labels.height(), dot(layout.pageHeightMm()), 3) << layout.name;

    expectNothingOutsideLabels(labels, layout);
    for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
      const std::string crop = dir.file("label.png");
      ASSERT_TRUE(labels.copy(labelPixels(layout.labels[p - 1], 0)).save(QString::fromStdString(crop)));
      EXPECT_EQ(decode(crop), std::vector<std::string>{values[s][p - 1]}) << layout.name << " position " << p;
    }
    expectOutlinesOnEdges(sheet, layout);
  }
}

// The placement inside a label: within the margin, the bars over a good share of its height and
// the text shrunk on small labels only.
TEST(CatalogSheetsRender, PlacementInsideTheLabel) {
  LabelSheetSpec sheet;
  sheet.name = "Test";
  sheet.pageName = "A4";
  sheet.pageWidthMm = 210;
  sheet.pageHeightMm = 297;
  for (const auto& [width, height] : {std::pair{99.1, 38.1}, {35.6, 16.9}, {17.8, 10.0}, {100.0, 150.0}}) {
    sheet.labelWidthMm = width;
    sheet.labelHeightMm = height;
    sheet.cornerRadiusMm = 1.5;
    sheet.grids = {{2, 1, 5, 10, width + 2, 0}};
    const TLabelLayout layout = sheetLayout(sheet);
    ASSERT_EQ(layout.labelsPerSheet(), 2);
    EXPECT_EQ(layout.page, PageSize::A4);
    for (int p = 0; p < 2; ++p) {
      const TLabelPosition& at = layout.positions[p];
      const LabelRect& label = layout.labels[p];
      EXPECT_GT(at.barLeft, label.left + 0.8) << width;
      EXPECT_NEAR(at.textWidth, label.right() - at.barLeft - (at.barLeft - label.left), 1e-9);
      EXPECT_GT(at.barTop, label.top + 0.8) << width;
      const double text2Bottom = at.text2Top + layout.textPointSize * 25.4 / 72 * 1.15;
      EXPECT_LT(text2Bottom, label.bottom() - 0.8) << width;
      EXPECT_GE(at.barHeight, std::min(15.0, 0.25 * height)) << width;
      EXPECT_LE(at.barHeight, 15.0) << width;
    }
    EXPECT_EQ(layout.textPointSize, height >= 38 ? 10.0 : height > 15 ? 6.5 : 4.0) << height;
    EXPECT_DOUBLE_EQ(layout.humanReadablePointSize, 0.8 * layout.textPointSize);
  }
  // A custom page stays custom.
  sheet.pageName = "";
  sheet.pageWidthMm = 62;
  sheet.pageHeightMm = 100;
  sheet.grids = {{1, 1, 1, 1, 0, 0}};
  sheet.labelWidthMm = 60;
  sheet.labelHeightMm = 98;
  const TLabelLayout roll = sheetLayout(sheet);
  EXPECT_EQ(roll.page, PageSize::Custom);
  EXPECT_DOUBLE_EQ(roll.pageWidthMm(), 62);
  EXPECT_DOUBLE_EQ(roll.pageHeightMm(), 100);
}

}  // namespace
}  // namespace vekrano::printing
