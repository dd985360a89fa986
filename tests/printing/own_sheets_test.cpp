// Own sheets: the refusal of labels that leave the page or overlap, the file a person can edit,
// and the remembered choice of a sheet.
#include "printing/own_sheets.h"

#include <gtest/gtest.h>

#include "common/safe_file_writer.h"
#include "languages/interface_texts.h"
#include "printing/chosen_sheet.h"
#include "support/temp_dir.h"

namespace vekrano::printing {
namespace {

// 3 x 7 labels of 63.5 x 38.1 mm on A4, the rows touching.
LabelSheetSpec twentyOne(const std::string& name = "Shop 21") {
  return ownSheet(name, "A4", 0, 0, {3, 7, 7.2, 15.15, 66.0, 38.1}, 63.5, 38.1);
}

class OwnSheetsTest : public ::testing::Test {
 protected:
  void SetUp() override { languages::setLanguageNumber(languages::kEnglish); }
  void TearDown() override { languages::setLanguageNumber(0); }
};

TEST_F(OwnSheetsTest, LabelsThatLeaveThePageOrOverlapAreRefused) {
  EXPECT_EQ(sheetFault(twentyOne()), std::nullopt);
  EXPECT_DOUBLE_EQ(twentyOne().pageWidthMm, 210.0);

  LabelSheetSpec overlapping = twentyOne();
  overlapping.grids[0].pitchX = 60.0;  // narrower than a label
  EXPECT_EQ(sheetFault(overlapping), SheetFault::Overlap);
  overlapping = twentyOne();
  overlapping.grids[0].pitchY = 38.0;
  EXPECT_EQ(sheetFault(overlapping), SheetFault::Overlap);

  LabelSheetSpec offPage = twentyOne();
  offPage.grids[0].left = 20.0;  // the third column ends at 215.5 mm
  EXPECT_EQ(sheetFault(offPage), SheetFault::LeavesPage);
  offPage = twentyOne();
  offPage.grids[0].rows = 8;  // the eighth row ends at 320 mm
  EXPECT_EQ(sheetFault(offPage), SheetFault::LeavesPage);
  // The same grid fits a custom page tall enough, and fails on US Letter, which is wider but lower.
  EXPECT_EQ(sheetFault(ownSheet("tall", "", 210, 330, offPage.grids[0], 63.5, 38.1)), std::nullopt);
  EXPECT_EQ(sheetFault(ownSheet("letter", "US Letter", 0, 0, twentyOne().grids[0], 63.5, 38.1)),
            SheetFault::LeavesPage);

  EXPECT_EQ(sheetFaultText(SheetFault::LeavesPage), "Labels leave the page");
  EXPECT_EQ(sheetFaultText(SheetFault::Overlap), "Labels overlap");
  languages::setLanguageNumber(languages::kFrench);
  EXPECT_EQ(sheetFaultText(SheetFault::Overlap), "Des \xE9tiquettes se chevauchent");  // ANSI
}

TEST_F(OwnSheetsTest, FileThatAPersonEditsKeepsEveryLine) {
  const std::string text =
      "# my sheets\r\n"
      "Shop 21\tA4\t3\t7\t63.5\t38.1\t7.2\t15.15\t66\t38.1\r\n"
      "\n"
      "Roll\t100x150\t1\t2\t90,5\t70\t4,75\t5\t0\t72\n"
      "Broken\tA4\t3\tseven\t63.5\t38.1\t7.2\t15.15\t66\t38.1\n"
      "Crowded\tA4\t3\t7\t63.5\t38.1\t7.2\t15.15\t60\t38.1\n"
      "shop 21\tLetter\t1\t1\t50\t50\t0\t0\t0\t0\n"
      "Short line\tA4\t3\n"
      "Millions\t1000x1000\t5000\t5000\t0.1\t0.1\t0\t0\t0.2\t0.2\n";
  const OwnSheets own = parseOwnSheets(text);
  ASSERT_EQ(own.sheets.size(), 2u);
  EXPECT_EQ(own.sheets[0], twentyOne());
  const LabelSheetSpec& roll = own.sheets[1];
  EXPECT_EQ(roll.name, "Roll");
  EXPECT_EQ(roll.pageName, "");
  EXPECT_DOUBLE_EQ(roll.pageWidthMm, 100);
  EXPECT_DOUBLE_EQ(roll.labelWidthMm, 90.5);
  EXPECT_DOUBLE_EQ(roll.grids[0].left, 4.75);
  EXPECT_EQ(own.find("ROLL"), &own.sheets[1]);
  EXPECT_EQ(own.find("Broken"), nullptr);
  // A value that is not a number, overlapping labels, a name taken, a line cut short, a grid
  // of millions of labels.
  EXPECT_EQ(own.otherLines, (std::vector<std::string>{"Broken\tA4\t3\tseven\t63.5\t38.1\t7.2\t15.15\t66\t38.1",
                                                      "Crowded\tA4\t3\t7\t63.5\t38.1\t7.2\t15.15\t60\t38.1",
                                                      "shop 21\tLetter\t1\t1\t50\t50\t0\t0\t0\t0", "Short line\tA4\t3",
                                                      "Millions\t1000x1000\t5000\t5000\t0.1\t0.1\t0\t0\t0.2\t0.2"}));

  const std::string written = formatOwnSheets(own);
  EXPECT_NE(written.find("Shop 21\tA4\t3\t7\t63.5\t38.1\t7.2\t15.15\t66\t38.1\n"), std::string::npos) << written;
  EXPECT_NE(written.find("Roll\t100x150\t1\t2\t90.5\t70\t4.75\t5\t0\t72\n"), std::string::npos);
  const OwnSheets again = parseOwnSheets(written);
  EXPECT_EQ(again.sheets, own.sheets);
  EXPECT_EQ(again.otherLines, own.otherLines);
}

TEST_F(OwnSheetsTest, AnOwnSheetSurvivesARestart) {
  vekrano::testing::TempDir dir;
  const std::string path = dir.file(kOwnSheetsFileName);
  EXPECT_TRUE(readOwnSheetsFile(path).sheets.empty());

  OwnSheets own;
  own.sheets.push_back(twentyOne("Étiquettes du magasin"));
  own.sheets.push_back(ownSheet("Letter 30", "US Letter", 0, 0, {3, 10, 4.8, 12.7, 69.85, 25.4}, 66.68, 25.4));
  writeOwnSheetsFile(path, own);
  const OwnSheets read = readOwnSheetsFile(path);
  EXPECT_EQ(read.sheets, own.sheets);
  EXPECT_EQ(read.sheets[1].pageName, "US Letter");
  EXPECT_EQ(read.sheets[0].name, "Étiquettes du magasin");

  // A file that cannot be replaced is reported and the old one stays whole.
  const std::string before = vekrano::testing::readFileBytes(path);
  EXPECT_THROW(writeOwnSheetsFile(dir.file(std::string(kOwnSheetsFileName) + "/inside"), own), common::EFileWriteError);
  EXPECT_EQ(vekrano::testing::readFileBytes(path), before);

  // The chosen sheet is remembered beside it.
  const std::string chosenPath = dir.file(kChosenSheetFileName);
  EXPECT_EQ(readChosenSheet(chosenPath), std::nullopt);
  writeChosenSheet(chosenPath, {SheetSource::Own, "Letter 30"});
  const auto chosen = readChosenSheet(chosenPath);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, (ChosenSheet{SheetSource::Own, "Letter 30"}));
  EXPECT_EQ(findChosenSheet(*chosen, read, SheetCatalog{}), read.find("Letter 30"));
  EXPECT_EQ(findChosenSheet({SheetSource::Catalog, "Letter 30"}, read, SheetCatalog{}), nullptr);
  vekrano::testing::writeFileBytes(chosenPath, "somewhere\tLetter 30\n");
  EXPECT_EQ(readChosenSheet(chosenPath), std::nullopt);
}

TEST_F(OwnSheetsTest, SheetsByNameAndTheirListEntries) {
  SheetCatalog catalog;
  LabelSheetSpec avery = twentyOne("Avery L7160");
  catalog.sheets.push_back(avery);
  OwnSheets own;
  own.sheets.push_back(ownSheet("avery l7160", "A4", 0, 0, {2, 7, 4.67, 15.15, 101.6, 38.1}, 99.1, 38.1));
  EXPECT_EQ(findSheet("AVERY L7160", own, catalog), &own.sheets[0]);
  EXPECT_EQ(findSheet("Avery L7160", OwnSheets{}, catalog), &catalog.sheets[0]);
  EXPECT_EQ(findSheet("Avery L7161", own, catalog), nullptr);

  EXPECT_EQ(sheetEntryText(own.sheets[0]), "avery l7160 (14 labels : 2X7 - 99.1 x 38.1 mm)");
  LabelSheetSpec twoGrids = avery;
  twoGrids.grids.push_back({1, 2, 205, 10, 0, 40});
  twoGrids.labelWidthMm = 4.06;
  EXPECT_EQ(sheetEntryText(twoGrids), "Avery L7160 (23 labels - 4.1 x 38.1 mm)");
}

}  // namespace
}  // namespace vekrano::printing
