// The sheet chooser and the own sheet editor, driven offscreen: search and sort as a user does,
// the catalog's absence named, own sheets created, refused, changed and deleted, and the file
// they are kept in.
#include "printing/sheet_chooser_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <memory>

#include "common/prompts.h"
#include "languages/interface_texts.h"
#include "printing/own_sheet_editor.h"
#include "support/temp_dir.h"

namespace vekrano::printing {
namespace {

LabelSheetSpec catalogSheet(const std::string& name, const std::string& page, int columns, int rows, double width,
                            double height) {
  LabelSheetSpec sheet = ownSheet(name, page, 0, 0, {columns, rows, 5, 5, width + 1, height}, width, height);
  sheet.description = "Address labels";
  return sheet;
}

class SheetChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QApplication::instance() == nullptr) app_ = std::make_unique<QApplication>(argc_, argv_);
    languages::setLanguageNumber(languages::kEnglish);
    catalog_.sheets = {
        catalogSheet("Avery 5160", "US Letter", 3, 10, 66.7, 25.4), catalogSheet("Avery L7160", "A4", 3, 7, 63.5, 38.1),
        catalogSheet("Herma 4360", "A4", 3, 8, 70, 36), catalogSheet("Zweckform 3490", "A4", 3, 8, 70, 36)};
  }
  void TearDown() override { languages::setLanguageNumber(0); }

  std::unique_ptr<SheetChooserWindow> chooser(bool installed = true) {
    return std::make_unique<SheetChooserWindow>(catalog_, installed, ownFile(), [this](QDialog& dialog) {
      return answer ? answer(dialog) : int(QDialog::Rejected);
    });
  }
  std::string ownFile() const { return dir_.file(kOwnSheetsFileName); }
  static QStringList shownNames(const SheetChooserWindow& window) {
    const auto* grid = window.findChild<QTableView*>("GrillePlanches");
    QStringList names;
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
      names << grid->model()->index(row, SheetListModel::Name).data().toString();
    }
    return names;
  }

  std::function<int(QDialog&)> answer;
  SheetCatalog catalog_;
  vekrano::testing::TempDir dir_;
  common::ScopedScriptedPrompts prompts_;

 private:
  int argc_ = 1;
  char name_[16] = "printing_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

// Sets the editor's fields as a user types them.
void fill(OwnSheetEditor& editor, const QString& name, int columns, int rows, double width, double height, double left,
          double top, double pitchX, double pitchY) {
  editor.findChild<QLineEdit*>("EditNom")->setText(name);
  editor.findChild<QSpinBox*>("SpinColonnes")->setValue(columns);
  editor.findChild<QSpinBox*>("SpinLignes")->setValue(rows);
  editor.findChild<QDoubleSpinBox*>("SpinLargeurEtiquette")->setValue(width);
  editor.findChild<QDoubleSpinBox*>("SpinHauteurEtiquette")->setValue(height);
  editor.findChild<QDoubleSpinBox*>("SpinGauche")->setValue(left);
  editor.findChild<QDoubleSpinBox*>("SpinHaut")->setValue(top);
  editor.findChild<QDoubleSpinBox*>("SpinPasHorizontal")->setValue(pitchX);
  editor.findChild<QDoubleSpinBox*>("SpinPasVertical")->setValue(pitchY);
}

TEST_F(SheetChooserTest, SearchAndSortLikeAUser) {
  auto window = chooser();
  EXPECT_EQ(window->findChild<QLabel*>("LabCatalogueAbsent"), nullptr);
  auto* grid = window->findChild<QTableView*>("GrillePlanches");
  EXPECT_EQ(grid->model()->headerData(SheetListModel::LabelSize, Qt::Horizontal).toString(), "Label (mm)");
  EXPECT_EQ(shownNames(*window).size(), 4);
  EXPECT_FALSE(window->chosen());
  EXPECT_FALSE(window->findChild<QPushButton*>("btModifierPlanche")->isEnabled());

  // Typed in the search field: by brand, by part, by size with a decimal comma, by page.
  auto* search = window->findChild<QLineEdit*>("EditRecherche");
  search->setText("avery");
  EXPECT_EQ(shownNames(*window), (QStringList{"Avery 5160", "Avery L7160"}));
  search->setText("L7160");
  EXPECT_EQ(shownNames(*window), QStringList{"Avery L7160"});
  search->setText("63,5");
  EXPECT_EQ(shownNames(*window), QStringList{"Avery L7160"});
  search->setText("70.0 x 36.0");
  EXPECT_EQ(shownNames(*window), (QStringList{"Herma 4360", "Zweckform 3490"}));
  search->setText("letter");
  EXPECT_EQ(shownNames(*window), QStringList{"Avery 5160"});
  EXPECT_EQ(grid->model()->index(0, SheetListModel::Labels).data().toString(), "30 (3 x 10)");
  EXPECT_EQ(grid->model()->index(0, SheetListModel::Page).data().toString(), "US Letter");
  search->setText("nothing like it");
  EXPECT_TRUE(shownNames(*window).isEmpty());
  search->clear();

  // Sorted by the number of labels, most first, then a row chosen.
  grid->horizontalHeader()->setSortIndicator(SheetListModel::Labels, Qt::DescendingOrder);
  EXPECT_EQ(shownNames(*window).front(), "Avery 5160");
  EXPECT_EQ(shownNames(*window).back(), "Avery L7160");
  window->select({SheetSource::Catalog, "herma 4360"});
  ASSERT_TRUE(window->chosen());
  EXPECT_EQ(*window->chosen(), (ChosenSheet{SheetSource::Catalog, "Herma 4360"}));
  EXPECT_EQ(window->chosenSheet()->labelCount(), 24);
  EXPECT_FALSE(window->findChild<QPushButton*>("btSupprimerPlanche")->isEnabled());
}

TEST_F(SheetChooserTest, WithoutTheCatalogOnlyOwnSheetsAndThePackageNamed) {
  OwnSheets own;
  own.sheets.push_back(ownSheet("Shop", "A4", 0, 0, {2, 5, 10, 10, 95, 55}, 90, 50));
  writeOwnSheetsFile(ownFile(), own);
  const SheetCatalog empty;
  SheetChooserWindow window(empty, false, ownFile(), [](QDialog&) { return 0; });
  const auto* missing = window.findChild<QLabel*>("LabCatalogueAbsent");
  ASSERT_NE(missing, nullptr);
  EXPECT_TRUE(missing->text().contains("glabels-data")) << missing->text().toStdString();
  EXPECT_TRUE(missing->text().startsWith("The vendors' catalog is not installed"));
  EXPECT_EQ(shownNames(window), QStringList{"Shop"});
  const auto* grid = window.findChild<QTableView*>("GrillePlanches");
  EXPECT_EQ(grid->model()->index(0, SheetListModel::Description).data().toString(), "Own sheet");
}

TEST_F(SheetChooserTest, OwnSheetsCreatedRefusedChangedAndDeleted) {
  auto window = chooser();
  int refusals = 0;
  answer = [&](QDialog& dialog) {
    auto& editor = dynamic_cast<OwnSheetEditor&>(dialog);
    // First overlapping labels, then labels off the page: refused with the reason, and shown
    // under the drawing; then a sheet that fits.
    fill(editor, "Shop 2x5", 2, 5, 90, 50, 10, 10, 80, 55);
    EXPECT_EQ(editor.findChild<QLabel*>("LabProbleme")->text(), "Labels overlap");
    editor.accept();
    refusals += editor.result() != QDialog::Accepted;
    fill(editor, "Shop 2x5", 2, 5, 90, 50, 30, 10, 95, 55);
    EXPECT_EQ(editor.findChild<QLabel*>("LabProbleme")->text(), "Labels leave the page");
    editor.accept();
    refusals += editor.result() != QDialog::Accepted;
    fill(editor, "Shop 2x5", 2, 5, 90, 50, 10, 10, 95, 55);
    EXPECT_EQ(editor.findChild<QLabel*>("LabProbleme")->text(), "");
    editor.accept();
    return editor.result();
  };
  window->findChild<QPushButton*>("btNouvellePlanche")->click();
  EXPECT_EQ(refusals, 2);
  ASSERT_EQ(prompts_.shown.size(), 2u);
  EXPECT_EQ(prompts_.shown[0].text, "Labels overlap");
  EXPECT_EQ(prompts_.shown[1].text, "Labels leave the page");

  // Listed first and selected; kept in the file a person can read.
  EXPECT_EQ(shownNames(*window).front(), "Shop 2x5");
  EXPECT_EQ(*window->chosen(), (ChosenSheet{SheetSource::Own, "Shop 2x5"}));
  EXPECT_NE(vekrano::testing::readFileBytes(ownFile()).find("Shop 2x5\tA4\t2\t5\t90\t50\t10\t10\t95\t55\n"),
            std::string::npos);

  // A second new sheet from the selected one keeps its values and gets a free name.
  answer = [](QDialog& dialog) {
    EXPECT_EQ(dialog.findChild<QSpinBox*>("SpinLignes")->value(), 5);
    dialog.accept();
    return dialog.result();
  };
  window->newSheet();
  EXPECT_EQ(shownNames(*window).mid(0, 2), (QStringList{"Shop 2x5", "Shop 2x5 (2)"}));

  // Changed on a custom page.
  window->select({SheetSource::Own, "Shop 2x5 (2)"});
  answer = [](QDialog& dialog) {
    dialog.findChild<QComboBox*>("CombPage")->setCurrentIndex(2);
    EXPECT_TRUE(dialog.findChild<QDoubleSpinBox*>("SpinLargeurPage")->isEnabled());
    dialog.findChild<QDoubleSpinBox*>("SpinHauteurPage")->setValue(320);
    dialog.findChild<QSpinBox*>("SpinLignes")->setValue(5);
    dialog.findChild<QLineEdit*>("EditNom")->setText("# Tall\tpage");
    dialog.accept();
    return dialog.result();
  };
  window->findChild<QPushButton*>("btModifierPlanche")->click();
  const OwnSheets kept = readOwnSheetsFile(ownFile());
  ASSERT_EQ(kept.sheets.size(), 2u);
  EXPECT_EQ(kept.sheets[1].name, "Tall page");
  EXPECT_EQ(kept.sheets[1].pageName, "");
  EXPECT_DOUBLE_EQ(kept.sheets[1].pageHeightMm, 320);
  EXPECT_DOUBLE_EQ(kept.sheets[1].pageWidthMm, 210);

  // Deleted only when the user agrees.
  window->select({SheetSource::Own, "Shop 2x5"});
  prompts_.answers = {common::PromptAnswer::No};
  window->findChild<QPushButton*>("btSupprimerPlanche")->click();
  EXPECT_EQ(readOwnSheetsFile(ownFile()).sheets.size(), 2u);
  EXPECT_EQ(prompts_.shown.back().text, "Delete Shop 2x5 ?");
  prompts_.answers = {common::PromptAnswer::Yes};
  window->findChild<QPushButton*>("btSupprimerPlanche")->click();
  EXPECT_EQ(readOwnSheetsFile(ownFile()).sheets.size(), 1u);
  EXPECT_EQ(shownNames(*window).front(), "Tall page");
}

TEST_F(SheetChooserTest, ASheetThatCannotBeSavedIsReportedAndNotListed) {
  std::filesystem::create_directory(ownFile());  // a folder where the file should be
  auto window = chooser();
  answer = [](QDialog& dialog) {
    dialog.accept();
    return dialog.result();
  };
  window->newSheet();
  ASSERT_EQ(prompts_.shown.size(), 1u);
  EXPECT_EQ(prompts_.shown[0].text.rfind("The sheet could not be saved: ", 0), 0u) << prompts_.shown[0].text;
  EXPECT_EQ(shownNames(*window).size(), 4);
}

}  // namespace
}  // namespace vekrano::printing
