// "Export the list" on the records page, driven as a user drives it: the list filtered and
// sorted first, the export window filled, and the file compared with what the grid shows.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

#include <sstream>

#include "common/code_page.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "list/list_export_window.h"
#include "list/sort_state.h"
#include "records/record_statements.h"
#include "shell_fixture.h"

namespace vekrano::app::testing {
namespace {

using vekrano::testing::readFileBytes;

class ExportPage : public ShellTest {
 protected:
  void SetUp() override { list::sortState() = {}; }

  void add(int num, const std::string& cb, const std::string& lib1, int quantite, const std::string& topp) {
    data.executeStatement(records::newRecordStatement({num, cb, lib1, "", quantite, topp}));
  }
  // The export window filled with these choices and confirmed.
  void exportTo(const QString& path, const QString& separator, int encoding) {
    desktop.whileShown = [=](QDialog& dialog) {
      dialog.findChild<QLineEdit*>("EditFichier")->setText(path);
      auto* separators = dialog.findChild<QComboBox*>("combSepa");
      separators->setCurrentIndex(separators->findText(separator));
      dialog.findChild<QComboBox*>("combEncodage")->setCurrentIndex(encoding);
      dialog.findChild<QPushButton*>("bExporter")->click();
    };
    window->findChild<QPushButton*>("bexport")->click();
  }
  QTableView& grid() { return *window->findChild<QTableView*>("s"); }
  // The grid's rows as the file writes them: barcode, texts, quantity, stored top flag.
  std::string shownAsCsv(char separator) {
    std::string text =
        std::string("cb") + separator + "lib1" + separator + "lib2" + separator + "quantite" + separator + "topp\r\n";
    for (int row = 0; row < grid().model()->rowCount(); ++row) {
      for (int column = 1; column <= 5; ++column) {
        QString value = grid().model()->index(row, column).data().toString();
        if (column == 5) value = value == "X" ? "O" : "N";
        text += languages::fromQt(value) + (column < 5 ? std::string(1, separator) : "\r\n");
      }
    }
    return text;
  }
};

TEST_F(ExportPage, WritesWhatTheFilteredSortedListShowsInItsOrder) {
  desktop.choice = 1;
  start();
  add(1, "A10", "un", 3, "O");
  add(2, "B20", "deux", 1, "O");
  add(3, "A30", "tr\xe8s", 7, "N");
  add(4, "A40", "quatre", 5, "O");
  add(5, "A50", "cinq", 7, "O");
  window->findChild<QLineEdit*>("TexCb")->setText("A");
  window->redisplayList();
  window->sTitleClick(4);
  window->sTitleClick(4);  // quantity descending, equal quantities by barcode
  ASSERT_EQ(grid().model()->rowCount(), 4);
  EXPECT_EQ(grid().model()->index(0, 1).data().toString(), "A30");
  EXPECT_EQ(grid().model()->index(3, 1).data().toString(), "A10");

  const std::string path = directory.file("liste.csv");
  exportTo(QString::fromStdString(path), ";", 1);
  EXPECT_EQ(readFileBytes(path), shownAsCsv(';'));
  EXPECT_EQ(readFileBytes(path),
            "cb;lib1;lib2;quantite;topp\r\nA30;tr\xe8s;;7;N\r\nA50;cinq;;7;O\r\n"
            "A40;quatre;;5;O\r\nA10;un;;3;O\r\n");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text,
            "Nombre de fiches export\xe9"
            "es : 4");
  EXPECT_EQ(prompts.shown[0].caption,
            "Exportation termin\xe9"
            "e");
  EXPECT_EQ(desktop.modalTitles.back(), "Exporter la liste");

  // A criterion typed but not applied changes nothing: the list shows what it showed. The
  // window kept its choices; the UTF-8 file starts with its byte-order mark.
  window->findChild<QLineEdit*>("TexCb")->setText("B");
  exportTo(QString::fromStdString(path), ",", 0);
  EXPECT_EQ(readFileBytes(path), "\xef\xbb\xbf" + common::ansiToUtf8(shownAsCsv(',')));
  // The grid keeps its current row.
  grid().selectRow(2);
  exportTo(QString::fromStdString(path), ",", 0);
  EXPECT_EQ(grid().currentIndex().row(), 2);
}

TEST_F(ExportPage, NoFileChosenOrAFileThatCannotBeWritten) {
  desktop.choice = 2;
  start();
  EXPECT_EQ(captionOf(*window, "bexport"), "Export the list");
  EXPECT_EQ(hintOf(*window, "bexport"), "Write the records of the list into a CSV file");
  add(1, "A", "x", 1, "O");
  window->redisplayList();
  bool stayedOpen = false;
  desktop.whileShown = [&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Export the list");
    EXPECT_EQ(dialog.findChild<QLabel*>("LabEncodage")->text(), "Encoding");
    dialog.findChild<QLineEdit*>("EditFichier")->clear();
    dialog.findChild<QPushButton*>("bExporter")->click();
    stayedOpen = dialog.result() == -1;
    dialog.findChild<QPushButton*>("sretour")->click();
  };
  window->findChild<QPushButton*>("bexport")->click();
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "The file is not chosen");
  EXPECT_EQ(prompts.shown[0].caption, "Operation cancelled");

  // The file's name is shown as typed, accents included.
  const std::string target = directory.file("gone/\xc3\xa9t\xc3\xa9.csv");
  exportTo(QString::fromStdString(target), ",", 0);
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[1].text,
            "Cannot write the file " + directory.file("gone/\xe9t\xe9.csv") + ": No such file or directory");
  EXPECT_EQ(prompts.shown[1].caption, "Vekrano");
}

TEST_F(ExportPage, ChoosingTheFileAddsTheExtension) {
  desktop.choice = 1;
  start();
  // The save dialog answers with a name without extension.
  class Saving : public AnsweringDesktop {
   public:
    QString saveFileName(QWidget*, const QString& title, const QString& filter) override {
      asked << title << filter;
      return answer;
    }
    QString answer;
    QStringList asked;
  };
  Saving saving;
  saving.answer = QString::fromStdString(directory.file("labels"));
  window = std::make_unique<TFprincip>(dir(), saving, data);
  window->FormShow();
  window->FormActivate();
  QString chosen;
  saving.whileShown = [&](QDialog& dialog) {
    dialog.findChild<QPushButton*>("bChoisir")->click();
    chosen = dialog.findChild<QLineEdit*>("EditFichier")->text();
    dialog.findChild<QPushButton*>("sretour")->click();
  };
  add(1, "A", "x", 1, "O");
  window->redisplayList();
  window->findChild<QPushButton*>("bexport")->click();
  EXPECT_EQ(chosen, saving.answer + ".csv");
  EXPECT_EQ(saving.asked, (QStringList{"Exporter la liste", "Fichiers CSV (*.csv)"}));
  EXPECT_FALSE(std::filesystem::exists(directory.file("labels.csv")));  // cancelled
}

TEST_F(ExportPage, EveryCaptionOfTheExportWindowFitsInEachLanguage) {
  desktop.choice = 1;
  start();
  auto& choices = *window->findChild<list::Tfexportliste*>();
  const char* titles[] = {"Exporter la liste", "Export the list", "Exportar a lista", "Exportar la lista"};
  const int chosen = languages::languageNumber();
  for (int language = 1; language <= 4; ++language) {
    languages::setLanguageNumber(language);
    choices.applyTexts();
    choices.adjustSize();
    choices.show();
    EXPECT_EQ(choices.windowTitle(), titles[language - 1]);
    for (QWidget* control : choices.findChildren<QWidget*>()) {
      if (qobject_cast<QLabel*>(control) == nullptr && qobject_cast<QPushButton*>(control) == nullptr) continue;
      EXPECT_GE(control->width(), control->sizeHint().width())
          << control->objectName().toStdString() << " " << language;
    }
    choices.hide();
  }
  languages::setLanguageNumber(chosen);
}

}  // namespace
}  // namespace vekrano::app::testing
