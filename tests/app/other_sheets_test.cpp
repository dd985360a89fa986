// "Autres planches…" on the Printing page: the chooser it opens, the sheet chosen there listed
// after the twelve types, printed on, remembered across a restart beside an unchanged
// VEKRANO.PAR; and vekrano-labels printing on a catalog sheet.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

#include "printing/chosen_sheet.h"
#include "printing/label_types.h"
#include "printing/page_destinations.h"
#include "printing/print_preview_window.h"
#include "printing/sheet_catalog.h"
#include "printing/sheet_chooser_window.h"
#include "records/record_statements.h"
#include "shell_fixture.h"
#include "support/shell_command.h"

namespace vekrano::app::testing {
namespace {

class PdfDesktop : public AnsweringDesktop {
 public:
  QString saveFileName(QWidget*, const QString&, const QString&) override { return path; }
  QString path;
};

class OtherSheets : public ShellTest {
 protected:
  void SetUp() override {
    printing::OwnSheets own;
    own.sheets.push_back(printing::ownSheet("Shop 2x5", "A4", 0, 0, {2, 5, 10, 10, 95, 55}, 90, 50));
    printing::writeOwnSheetsFile(dir() + printing::kOwnSheetsFileName, own);
  }
  void TearDown() override { printing::setListedSheet(nullptr); }

  TFprincip& open() {
    window = std::make_unique<TFprincip>(dir(), pdf, data);
    window->FormShow();
    window->FormActivate();
    return *window;
  }
  QComboBox& types() { return *window->findChild<QComboBox*>("CombListeEtiquette"); }
  // The user picks "Autres planches…" in the list.
  void pickOtherSheets() {
    const int other = types().findData(printing::kOtherSheetsEntry);
    types().setCurrentIndex(other);
    emit types().activated(other);
  }

  PdfDesktop pdf;
};

TEST_F(OtherSheets, ChosenListedPrintedAndRememberedAcrossARestart) {
  TFprincip& w = open();
  ASSERT_EQ(types().count(), 13);
  EXPECT_EQ(types().itemText(12), QString::fromUtf8("Autres planches…"));
  types().setCurrentIndex(4);

  // Left without a choice: the list goes back to the entry chosen before.
  pdf.whileShown = [](QDialog& dialog) { dialog.reject(); };
  pickOtherSheets();
  EXPECT_EQ(types().currentIndex(), 4);
  EXPECT_EQ(pdf.modalTitles.back(), QString::fromUtf8("Planches d'étiquettes"));

  // Found by a search and chosen; the position where the last run on paper on it stopped is
  // offered.
  vekrano::testing::writeFileBytes(directory.path() / "VEKRANO.POS",
                                   "Shop 2x5\t7\t" + printing::calibratedPrinterName("") + "\n");
  pdf.whileShown = [](QDialog& dialog) {
    auto& chooser = dynamic_cast<printing::SheetChooserWindow&>(dialog);
    chooser.findChild<QLineEdit*>("EditRecherche")->setText("shop");
    chooser.select({printing::SheetSource::Own, "Shop 2x5"});
    chooser.accept();
  };
  pickOtherSheets();
  ASSERT_EQ(types().count(), 14);
  EXPECT_EQ(types().currentIndex(), 12);
  EXPECT_EQ(types().currentText(), QString::fromUtf8("Shop 2x5 (10 etiquettes : 2X5 - 90.0 x 50.0 mm)"));
  EXPECT_EQ(vekrano::testing::readFileBytes(directory.path() / "VEKRANO.PLS"), "own\tShop 2x5\n");
  auto* firstPosition = w.findChild<QSpinBox*>("SpinPremPos");
  EXPECT_EQ(firstPosition->maximum(), 10);
  EXPECT_EQ(firstPosition->value(), 7);

  // 23 labels on sheets of 10, starting on position 9 of a used sheet: four sheets.
  data.openData();
  data.executeStatement(records::newRecordStatement({1, "A1", "t1", "t2", 20, "O"}));
  data.executeStatement(records::newRecordStatement({2, "B2", "t1", "t2", 3, "O"}));
  firstPosition->setValue(9);
  pdf.path = QString::fromStdString(directory.file("labels.pdf"));
  w.findChild<QPushButton*>("btimprimePdf")->click();
  EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front().text;
  const auto info = vekrano::testing::runShell("pdfinfo " + pdf.path.toStdString());
  EXPECT_NE(info.out.find("Pages:           4"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("595 x 842 pts (A4)"), std::string::npos) << info.out;

  // No paper was used: the remembered position is offered again, and the preview starts there,
  // on A4 pages: 6 + 23 labels take three sheets.
  EXPECT_EQ(firstPosition->value(), 7);
  int previewPages = 0;
  pdf.whileShown = [&previewPages](QDialog& dialog) {
    auto& preview = dynamic_cast<printing::LabelPreviewWindow&>(dialog);
    const QImage& page = preview.pageImage(QSize(600, 800));
    EXPECT_NEAR(double(page.width()) / page.height(), 210.0 / 297.0, 0.01);
    preview.showPage(99);  // kept within the pages: the last one
    previewPages = preview.currentPage() + 1;
    dialog.reject();
  };
  w.findChild<QPushButton*>("btApercu")->click();
  EXPECT_EQ(previewPages, 3);

  // The settings file keeps its 116 bytes and the list's index; the sheet comes back listed.
  stop();
  EXPECT_EQ(vekrano::testing::readFileBytes(directory.path() / "VEKRANO.PAR"), settingsBytes(1, 12, ""));
  printing::setListedSheet(nullptr);
  open();
  EXPECT_EQ(types().currentIndex(), 12);
  EXPECT_TRUE(types().currentText().startsWith("Shop 2x5 ("));

  // Deleted in the chooser, which is then left: the sheet is no longer listed nor selected.
  pdf.whileShown = [](QDialog& dialog) {
    auto& chooser = dynamic_cast<printing::SheetChooserWindow&>(dialog);
    chooser.select({printing::SheetSource::Own, "Shop 2x5"});
    chooser.deleteSheet();
    chooser.reject();
  };
  pickOtherSheets();
  EXPECT_EQ(types().count(), 13);
  EXPECT_EQ(types().currentIndex(), 0);
  EXPECT_EQ(prompts.shown.back().text, "Supprimer Shop 2x5 ?");
}

TEST_F(OtherSheets, ASavedIndexOnOtherSheetsOrAVanishedSheetOpensNothing) {
  // The remembered sheet was deleted from the file since: the list has no entry for it, and
  // the index saved for it now falls on "Autres planches…", which is not left selected.
  vekrano::testing::writeFileBytes(directory.path() / "VEKRANO.PLS", "own\tGone\n");
  vekrano::testing::writeFileBytes(directory.path() / "VEKRANO.PAR", settingsBytes(1, 12, ""));
  open();
  EXPECT_EQ(types().count(), 13);
  EXPECT_EQ(types().currentIndex(), 0);
  EXPECT_TRUE(pdf.modalTitles.empty());
}

TEST(LabelsProgramSheets, PrintsOnACatalogSheetAndListsTheSheets) {
  using vekrano::testing::runShell;
  vekrano::testing::TempDir dir;
  const std::string labels = VEKRANO_LABELS_PROGRAM;
  const std::string folder = dir.path().string();
  runShell(
      std::string(VEKRANO_SQL_PROGRAM) + " " + folder +
      " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"L7163\",\"a\",\"b\",15,\"O\")' >/dev/null");

  const auto unknown = runShell(labels + " " + folder + " --sheet 'Avery L9999' --pdf x.pdf 2>&1");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.out.find("no label sheet is named \"Avery L9999\""), std::string::npos) << unknown.out;
  EXPECT_EQ(runShell(labels + " " + folder + " --type 3 --sheet 'Avery L7163' 2>/dev/null").status, 2);

  if (printing::installedCatalogDirectory().empty()) GTEST_SKIP() << "glabels-data is not installed";
  const std::string pdf = dir.file("l7163.pdf");
  const auto printed = runShell(labels + " " + folder + " --sheet 'avery l7163' --pdf " + pdf);
  EXPECT_EQ(printed.status, 0);
  const auto info = runShell("pdfinfo " + pdf);
  EXPECT_NE(info.out.find("Pages:           2"), std::string::npos) << info.out;  // 15 labels, 14 a sheet
  EXPECT_EQ(runShell(labels + " " + folder + " --sheet 'Avery L7163' --start 15 --pdf " + pdf + " 2>/dev/null").status,
            2);

  const auto list = runShell(labels + " --list-sheets");
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("Avery L7163\t14\t99.1 x 38.1 mm\tA4\t"), std::string::npos);
}

}  // namespace
}  // namespace vekrano::app::testing
