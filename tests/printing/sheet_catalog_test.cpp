// The vendors' catalog read from small files written here, and from the installed package.
#include "printing/sheet_catalog.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/temp_dir.h"

namespace vekrano::printing {
namespace {

const LabelSheetSpec* find(const SheetCatalog& catalog, const std::string& name) {
  const auto found = std::find_if(catalog.sheets.begin(), catalog.sheets.end(),
                                  [&](const LabelSheetSpec& sheet) { return sheet.name == name; });
  return found == catalog.sheets.end() ? nullptr : &*found;
}

void expectGrid(const SheetGrid& grid, const SheetGrid& expected) {
  EXPECT_EQ(grid.columns, expected.columns);
  EXPECT_EQ(grid.rows, expected.rows);
  EXPECT_NEAR(grid.left, expected.left, 1e-9);
  EXPECT_NEAR(grid.top, expected.top, 1e-9);
  EXPECT_NEAR(grid.pitchX, expected.pitchX, 1e-9);
  EXPECT_NEAR(grid.pitchY, expected.pitchY, 1e-9);
}

std::vector<std::string> names(const SheetCatalog& catalog) {
  std::vector<std::string> all;
  for (const LabelSheetSpec& sheet : catalog.sheets) all.push_back(sheet.name);
  return all;
}

// Two layouts in one template, US Letter in inches and A4 in points and millimetres, a
// round-cornered label, a circle, a part declared equivalent to another, one equivalent to the
// circle, and an unknown paper.
const char* const kTemplates = R"(<?xml version="1.0"?>
<Glabels-templates>
  <Template brand="Test" part="TWO" size="US-Letter" _description="Two grids">
    <Meta category="label"/>
    <Label-rectangle id="0" width="2in" height="1in" round="0.0625in">
      <Markup-margin size="5"/>
      <Layout nx="2" ny="3" x0="0.5in" y0="1in" dx="2.5in" dy="1.5in"/>
      <Layout nx="1" ny="3" x0="5.5in" y0="1.25in" dy="1.5in"/>
    </Label-rectangle>
  </Template>
  <Template brand="Test" part="A4-PT" size="A4" description="In points">
    <Label-rectangle id="0" width="180" height="108" x_waste="0" y_waste="0">
      <Layout nx="3" ny="7" x0="21.26" y0="43.09" dx="184.25" dy="108"/>
    </Label-rectangle>
  </Template>
  <Template brand="Test" part="ROUND" size="A4" _description="Circles">
    <Label-round id="0" radius="20mm">
      <Layout nx="4" ny="5" x0="10mm" y0="10mm" dx="45mm" dy="45mm"/>
    </Label-round>
  </Template>
  <Template brand="Test" part="SAME" equiv="TWO"/>
  <Template brand="Test" part="ROUND-TOO" equiv="ROUND"/>
  <Template brand="Test" part="NOPAPER" size="Z99" _description="Unknown paper">
    <Label-rectangle id="0" width="10mm" height="10mm">
      <Layout nx="1" ny="1" x0="1mm" y0="1mm"/>
    </Label-rectangle>
  </Template>
  <Template brand="Test" part="HUGE" size="A4" _description="Damaged counts">
    <Label-rectangle id="0" width="1mm" height="1mm">
      <Layout nx="100000" ny="100000" x0="0" y0="0" dx="1mm" dy="1mm"/>
    </Label-rectangle>
  </Template>
  <Template brand="Other" part="ROLL" size="Other" width="62mm" height="100mm" _description="Roll">
    <Label-rectangle id="0" width="60mm" height="98mm" round="2mm">
      <Layout nx="1" ny="1" x0="1mm" y0="1mm"/>
    </Label-rectangle>
  </Template>
</Glabels-templates>
)";

TEST(SheetCatalog, LengthsInEveryUnitOfTheFiles) {
  EXPECT_DOUBLE_EQ(*catalogLengthMm("63.5mm"), 63.5);
  EXPECT_DOUBLE_EQ(*catalogLengthMm("1.5cm"), 15.0);
  EXPECT_DOUBLE_EQ(*catalogLengthMm("8.5in"), 215.9);
  EXPECT_DOUBLE_EQ(*catalogLengthMm("72pt"), 25.4);
  EXPECT_DOUBLE_EQ(*catalogLengthMm("72"), 25.4);  // a bare number counts in points
  EXPECT_DOUBLE_EQ(*catalogLengthMm("6pc"), 25.4);
  EXPECT_DOUBLE_EQ(*catalogLengthMm(" 0mm "), 0.0);
  for (const char* bad : {"", "mm", "abc", "-3mm", "3 furlongs", "1,5mm", "3mmm", "infmm", "nan", "1e999in"}) {
    EXPECT_FALSE(catalogLengthMm(bad)) << bad;
  }
}

TEST(SheetCatalog, TemplatesOfOneFile) {
  SheetCatalog catalog;
  readCatalogTemplates(kTemplates, standardPapers(), "test.xml", catalog);
  EXPECT_TRUE(catalog.problems.empty());
  // Circles, their equivalent, the unknown paper and the damaged counts are left out; sorted
  // by name.
  EXPECT_EQ(names(catalog), (std::vector<std::string>{"Other ROLL", "Test A4-PT", "Test SAME", "Test TWO"}));

  const LabelSheetSpec& two = *find(catalog, "Test TWO");
  EXPECT_EQ(two.description, "Two grids");
  EXPECT_EQ(two.pageName, "US Letter");
  EXPECT_DOUBLE_EQ(two.pageWidthMm, 215.9);
  EXPECT_DOUBLE_EQ(two.pageHeightMm, 279.4);
  EXPECT_DOUBLE_EQ(two.labelWidthMm, 50.8);
  EXPECT_DOUBLE_EQ(two.labelHeightMm, 25.4);
  EXPECT_DOUBLE_EQ(two.cornerRadiusMm, 1.5875);
  ASSERT_EQ(two.grids.size(), 2u);
  expectGrid(two.grids[0], {2, 3, 12.7, 25.4, 63.5, 38.1});
  expectGrid(two.grids[1], {1, 3, 139.7, 31.75, 0, 38.1});
  EXPECT_EQ(two.labelCount(), 9);
  // Reading order over both grids: the third column's labels sit a little lower in each row.
  const std::vector<LabelRect> labels = two.labelRects();
  ASSERT_EQ(labels.size(), 9u);
  EXPECT_DOUBLE_EQ(labels[0].left, 12.7);
  EXPECT_DOUBLE_EQ(labels[1].left, 76.2);
  EXPECT_DOUBLE_EQ(labels[2].left, 139.7);
  EXPECT_DOUBLE_EQ(labels[2].top, 31.75);
  EXPECT_DOUBLE_EQ(labels[3].top, 63.5);
  EXPECT_NEAR(labels[8].bottom(), 31.75 + 2 * 38.1 + 25.4, 1e-9);

  // The equivalent part has the geometry of the one it names and its own name.
  const LabelSheetSpec& same = *find(catalog, "Test SAME");
  EXPECT_EQ(same.grids, two.grids);
  EXPECT_EQ(same.description, "Two grids");

  const LabelSheetSpec& points = *find(catalog, "Test A4-PT");
  EXPECT_EQ(points.description, "In points");
  EXPECT_EQ(points.pageName, "A4");
  EXPECT_NEAR(points.labelWidthMm, 63.5, 1e-9);
  EXPECT_NEAR(points.labelHeightMm, 38.1, 1e-9);
  EXPECT_DOUBLE_EQ(points.cornerRadiusMm, 0);
  EXPECT_NEAR(points.grids[0].pitchX, 65.0, 1e-3);
  EXPECT_EQ(points.labelCount(), 21);

  const LabelSheetSpec& roll = *find(catalog, "Other ROLL");
  EXPECT_EQ(roll.pageName, "");
  EXPECT_DOUBLE_EQ(roll.pageWidthMm, 62);
  EXPECT_DOUBLE_EQ(roll.pageHeightMm, 100);
}

TEST(SheetCatalog, FolderWithPapersEquivalentsAcrossFilesAndADamagedFile) {
  vekrano::testing::TempDir dir;
  vekrano::testing::writeFileBytes(dir.path() / "paper-sizes.xml", R"(<Glabels-paper-sizes>
    <Paper-size id="A5" _name="A5" width="148mm" height="210mm"/>
    <Paper-size id="bad" _name="Bad" width="wide" height="210mm"/>
  </Glabels-paper-sizes>)");
  vekrano::testing::writeFileBytes(dir.path() / "a-templates.xml", R"(<Glabels-templates>
    <Template brand="B" part="COPY" equiv="ORIGINAL"/>
  </Glabels-templates>)");
  vekrano::testing::writeFileBytes(dir.path() / "b-templates.xml", R"(<Glabels-templates>
    <Template brand="B" part="ORIGINAL" size="A5">
      <Label-rectangle id="0" width="40mm" height="20mm"><Layout nx="3" ny="9" x0="10mm"
       y0="15mm" dx="45mm" dy="20mm"/></Label-rectangle>
    </Template>
    <Template brand="B" part="BADPAPER" size="bad">
      <Label-rectangle id="0" width="40mm" height="20mm"><Layout nx="1" ny="1" x0="0"
       y0="0"/></Label-rectangle>
    </Template>
  </Glabels-templates>)");
  vekrano::testing::writeFileBytes(dir.path() / "c-templates.xml", R"(<Glabels-templates>
    <Template brand="C" part="FIRST" size="A4">
      <Label-rectangle id="0" width="40mm" height="20mm"><Layout nx="1" ny="1" x0="5mm"
       y0="5mm"/></Label-rectangle>
    </Template>
    <Template brand="C" part="BROKEN" size="A4"><Label-rectangle>
  </Glabels-templates>)");
  vekrano::testing::writeFileBytes(dir.path() / "notes.xml", "<not-a-catalog/>");

  const SheetCatalog catalog = readSheetCatalog(dir.path().string());
  EXPECT_EQ(names(catalog), (std::vector<std::string>{"B COPY", "B ORIGINAL", "C FIRST"}));
  EXPECT_EQ(find(catalog, "B COPY")->pageName, "A5");
  EXPECT_DOUBLE_EQ(find(catalog, "B COPY")->pageWidthMm, 148);
  EXPECT_EQ(find(catalog, "B COPY")->labelCount(), 27);
  ASSERT_EQ(catalog.problems.size(), 1u);
  EXPECT_NE(catalog.problems[0].find("c-templates.xml"), std::string::npos) << catalog.problems[0];

  EXPECT_TRUE(readSheetCatalog((dir.path() / "absent").string()).sheets.empty());
  EXPECT_TRUE(readSheetCatalog("").problems.empty());
}

// The package the scripts install: only rectangles, every label on its page, and the sheet
// users ask for most by its part number.
TEST(SheetCatalog, InstalledPackage) {
  const std::string folder = installedCatalogDirectory();
  if (folder.empty()) GTEST_SKIP() << kCatalogPackage << " is not installed";
  const SheetCatalog& catalog = installedCatalog();
  EXPECT_TRUE(catalog.problems.empty()) << catalog.problems.front();
  EXPECT_GT(catalog.sheets.size(), 1000u);
  const LabelSheetSpec* l7163 = find(catalog, "Avery L7163");
  ASSERT_NE(l7163, nullptr);
  EXPECT_EQ(l7163->pageName, "A4");
  EXPECT_EQ(l7163->labelCount(), 14);
  EXPECT_NEAR(l7163->labelWidthMm, 99.1, 0.01);
  EXPECT_NEAR(l7163->labelHeightMm, 38.1, 0.01);
  for (const LabelSheetSpec& sheet : catalog.sheets) {
    EXPECT_GT(sheet.labelCount(), 0) << sheet.name;
    EXPECT_GT(sheet.labelWidthMm, 0) << sheet.name;
  }
}

}  // namespace
}  // namespace vekrano::printing
