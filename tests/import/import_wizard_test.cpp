// The wizard driven offscreen: its two steps, the preview, the progress line and its messages.
#include "import/import_wizard.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "common/process_events.h"
#include "common/progress_pace.h"
#include "common/prompts.h"
#include "import/import_mapping.h"
#include "import_fixture.h"
#include "languages/interface_texts.h"

namespace vekrano::import::testing {
namespace {

class Wizard : public ImportTest {
 protected:
  Wizard()
      : wizard(data, {[this](QWidget*, const QString& title, const QString& filter) {
                        dialogs.push_back(title + "|" + filter);
                        return chosen;
                      },
                      [this](const std::exception& error) { errors.push_back(error.what()); }}) {
    wizard.FormActivate();
  }

  template <typename T>
  T& control(const char* name) {
    return *wizard.findChild<T*>(name);
  }
  QString cell(int row, int column) {
    QTableWidgetItem* item = control<QTableWidget>("sgrille1").item(row, column);
    return item ? item->text() : QString();
  }
  // Opens the wizard again at this size, on step 2 with the preview.
  void reopenAt(int width, int height) {
    wizard.hide();
    wizard.resize(width, height);
    wizard.show();
    wizard.bsuivantClick();
    QApplication::processEvents();
  }
  void choose(const std::string& path) {
    chosen = QString::fromStdString(path);
    wizard.SouvrirClick();
  }

  common::ScopedScriptedPrompts prompts;
  QString chosen;
  QStringList dialogs;
  std::vector<std::string> errors;
  Tfimportcsv wizard;
};

TEST_F(Wizard, ActivationSetsTextsListsDefaultsAndStepOne) {
  EXPECT_EQ(wizard.windowTitle(), QString::fromUtf8("Importation données à partir de fichier csv"));
  EXPECT_EQ(control<QPushButton>("bimport").text(), "Lancer l'importation");
  EXPECT_EQ(control<QGroupBox>("gparchamp").title(), QString::fromUtf8("Paramétrage des champs"));
  QComboBox& quantity = control<QComboBox>("combQuantite");
  ASSERT_EQ(quantity.count(), 11);
  EXPECT_EQ(quantity.itemText(9), "Champs 10");
  EXPECT_EQ(quantity.currentText(), "Pas de champs");
  EXPECT_EQ(control<QComboBox>("combcb").count(), 10);
  EXPECT_EQ(control<QComboBox>("combt2").currentIndex(), 2);
  EXPECT_EQ(control<QComboBox>("CombnbLentete").count(), 7);
  EXPECT_EQ(cell(0, 1), "CHPS 1");
  EXPECT_EQ(cell(0, 10), "CHPS 10");
  EXPECT_EQ(wizard.step(), 1);
  EXPECT_FALSE(control<QPushButton>("bprecedent").isEnabled());
  EXPECT_TRUE(control<QPushButton>("bimport").isHidden());

  languages::setLanguageNumber(languages::kEnglish);
  wizard.FormActivate();
  EXPECT_EQ(control<QComboBox>("combt1").itemText(0), "Field 1");
  EXPECT_EQ(control<QComboBox>("combt2").itemText(10), "No field");
}

TEST_F(Wizard, AnEmptyPathStaysInStepOneWithItsMessage) {
  wizard.bsuivantClick();
  EXPECT_EQ(wizard.step(), 1);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Le chemin d acces au fichier n est pas precis\xE9");
  EXPECT_EQ(prompts.shown[0].caption, "Abandon Op\xE9ration");
}

TEST_F(Wizard, BothStepsPreviewThenImportWithProgressAndFinalMessage) {
  const std::string path = csvFile("Title,t\n\nA1,red,blue,2\nA2,x\n\"q\",1\"2\n");
  choose(path);
  EXPECT_EQ(dialogs, QStringList{QString::fromUtf8("Sélectionnez le fichier csv|fichier csv (*.csv)")});
  EXPECT_EQ(control<QLineEdit>("LabchemFic").text().toStdString(), path);
  control<QComboBox>("CombnbLentete").setCurrentIndex(1);
  wizard.bsuivantClick();
  EXPECT_EQ(wizard.step(), 2);
  EXPECT_FALSE(control<QPushButton>("bsuivant").isEnabled());
  EXPECT_FALSE(control<QPushButton>("bimport").isHidden());
  QTableWidget& grid = control<QTableWidget>("sgrille1");
  EXPECT_EQ(grid.rowCount(), 5);  // titles, three lines, one empty row
  EXPECT_EQ(cell(1, 3), "blue");
  EXPECT_EQ(cell(3, 1), "\"q\"");

  control<QComboBox>("combQuantite").setCurrentIndex(3);
  std::vector<QString> progress;
  auto previous = common::setProcessEventsHook([&] {
    progress.push_back(control<QLabel>("Labetatimport").text());
    std::this_thread::sleep_for(common::kProgressInterval);  // slow lines: each one shows
    wizard.reject();  // the close box while the import runs
    wizard.bimportClick();
  });
  wizard.bimportClick();
  common::setProcessEventsHook(previous);
  EXPECT_EQ(progress, (std::vector<QString>{"", QString::fromUtf8("Nombre de fiches importées: 2"),
                                            QString::fromUtf8("Nombre de fiches importées: 3")}));
  // The barcode is turned into capitals as the editor turns it.
  EXPECT_EQ(storedRecords(), (std::vector<std::string>{"1|A1|red|blue|2|O", "2|A2|x||1|O", "3|Q|12||1|O"}));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text,
            "Nombre de fiches import\xE9"
            "es: 3");
  EXPECT_EQ(prompts.shown[0].caption,
            "Importation termin\xE9"
            "e");
  EXPECT_TRUE(control<QLabel>("Labetatimport").text().isEmpty());
  EXPECT_EQ(wizard.result(), QDialog::Accepted);
  EXPECT_TRUE(control<QPushButton>("bimport").isEnabled());

  wizard.FormActivate();  // the next opening keeps the path, back in step 1
  EXPECT_EQ(control<QLineEdit>("LabchemFic").text().toStdString(), path);
  EXPECT_EQ(wizard.step(), 1);
}

TEST_F(Wizard, AMissingFileGoesToStepTwoThenFailsToImportAndStaysOpen) {
  choose(directory.file("gone.csv"));
  wizard.bsuivantClick();
  EXPECT_EQ(wizard.step(), 2);
  EXPECT_EQ(control<QTableWidget>("sgrille1").rowCount(), 2);
  wizard.bimportClick();
  EXPECT_EQ(errors,
            std::vector<std::string>{"Could not open the file \"" + directory.file("gone.csv") + "\" for reading"});
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_TRUE(storedRecords().empty());
  EXPECT_NE(wizard.result(), QDialog::Accepted);
}

TEST_F(Wizard, TheQuotingBoxReadsSpreadsheetFieldsForPreviewAndImport) {
  choose(csvFile("\"A 1\",\"a,b \"\"hi\"\"\",\"two\nlines\"\n"));
  control<QCheckBox>("quotedFields").setChecked(true);
  wizard.bsuivantClick();
  EXPECT_EQ(cell(1, 1), "A 1");
  EXPECT_EQ(cell(1, 2), "a,b \"hi\"");
  EXPECT_EQ(cell(1, 3), "two\nlines");
  wizard.bimportClick();
  EXPECT_EQ(storedRecords(), std::vector<std::string>{"1|A 1|a,b \"hi\"|two\nlines|1|O"});
}

TEST_F(Wizard, PastedTypographyPreviewsAsItIsAndIsStoredAsTypedByHandAndSaid) {
  choose(
      csvFile("lot-868,Lot 868 \xE2\x80\x93 Stra\xC3\x9F"
              "e,\xE2\x98\x83\nB#1,x\n"));
  wizard.bsuivantClick();
  EXPECT_EQ(cell(1, 2), QString::fromUtf8("Lot 868 – Straße"));
  EXPECT_EQ(cell(1, 3), QString::fromUtf8("☃"));
  control<QComboBox>("combt2").setCurrentIndex(10);  // no field for text 2
  wizard.bimportClick();
  EXPECT_EQ(storedRecords(), std::vector<std::string>{"1|LOT-868|Lot 868 - Stra\xDF"
                                                      "e||1|O"});
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_NE(prompts.shown[0].text.find("ligne 2 - Code Barre : le caract\xE8re \xAB # \xBB (U+0023) (position 2)"),
            std::string::npos)
      << prompts.shown[0].text;
  EXPECT_NE(prompts.shown[0].text.find("\xE9"
                                       "crits autrement : 1 (1)"),
            std::string::npos);
}

TEST_F(Wizard, ALongImportShowsItsProgressAtAPaceNotAtEveryLine) {
  constexpr int kLines = 1000;
  std::string lines;
  for (int n = 1; n <= kLines; ++n) lines += "C" + std::to_string(n) + ",t\n";
  choose(csvFile(lines));
  wizard.bsuivantClick();
  std::vector<QString> progress;
  auto previous = common::setProcessEventsHook([&] { progress.push_back(control<QLabel>("Labetatimport").text()); });
  const auto start = std::chrono::steady_clock::now();
  wizard.bimportClick();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  common::setProcessEventsHook(previous);
  EXPECT_EQ(storedRecords().size(), static_cast<std::size_t>(kLines));
  // The first line lets the window answer at once; after it, once per interval at most.
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress[0], "");
  EXPECT_LE(progress.size(), static_cast<std::size_t>(elapsed / common::kProgressInterval) + 1);
  int shown = 1;
  for (std::size_t i = 1; i < progress.size(); ++i) {
    const QString prefix = QString::fromUtf8("Nombre de fiches importées: ");
    ASSERT_TRUE(progress[i].startsWith(prefix)) << progress[i].toStdString();
    const int count = progress[i].mid(prefix.size()).toInt();
    EXPECT_GT(count, shown);
    EXPECT_LE(count, kLines);
    shown = count;
  }
}

TEST_F(Wizard, ThePreviewTakesTheRoomAndShowsEveryFieldItCan) {
  // Ten short fields, one of them long: the long one is cut, the others show whole.
  const std::string longText(300, 'L');
  choose(
      csvFile("CODE,Libelle,Rayon,Qte,Fournisseur,Prix,Poids,Couleur,Taille,Remarque\n"
              "VK-1," +
              longText + ",Allee 3,12,Durand,1.20,0.5,gris,M,-\n"));
  wizard.bsuivantClick();
  wizard.show();
  QApplication::processEvents();
  QTableWidget& grid = control<QTableWidget>("sgrille1");
  const int viewport = grid.viewport()->width();
  // At the opening size the ten fields stand side by side in the preview.
  const int lastRight = grid.columnViewportPosition(10) + grid.columnWidth(10);
  EXPECT_LE(lastRight, viewport) << "right edge of field 10";
  EXPECT_LT(grid.columnWidth(2), grid.fontMetrics().horizontalAdvance(QString::fromStdString(longText)));
  for (int column : {1, 3, 5, 10}) {
    int text = 0;
    for (int row : {0, 1, 2}) text = std::max(text, grid.fontMetrics().horizontalAdvance(cell(row, column)));
    EXPECT_GE(grid.columnWidth(column), text) << column;
    EXPECT_LE(grid.columnWidth(column), text + grid.fontMetrics().averageCharWidth() * 8) << column;
  }
  // A larger window gives its room to the preview, not to the field choices.
  QGroupBox& fields = control<QGroupBox>("gparchamp");
  const QSize gridBefore = grid.size();
  const int fieldsHeight = fields.height();
  reopenAt(wizard.width() + 200, wizard.height() + 150);
  EXPECT_EQ(grid.width(), gridBefore.width() + 200);
  EXPECT_EQ(grid.height(), gridBefore.height() + 150);
  EXPECT_EQ(fields.height(), fieldsHeight);
  // Smaller, down to what its texts need.
  reopenAt(100, 100);
  EXPECT_EQ(wizard.size(), wizard.minimumSizeHint());
  wizard.hide();
}

TEST(ImportStatement, TheInsertOfALineReadsAsTheTableExpects) {
  std::optional<records::BarcodeRecord> record = recordFromFields({"A1", "red"}, {}, false).record;
  ASSERT_TRUE(record);
  record->num = 7;
  EXPECT_EQ(records::newRecordStatement(*record),
            "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (7,\"A1\",\"red\", \"\", 1, \"O\" )");
}

}  // namespace
}  // namespace vekrano::import::testing
