// The feedback at the end of long work: its texts in the four languages, the labels and sheets a
// run counts, and the status bar after a PDF, a backup and a restore driven through the window.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/filled_text.h"
#include "app/label_count.h"
#include "app/work_feedback.h"
#include "backup/backup_commands.h"
#include "languages/interface_texts.h"
#include "records/record_statements.h"
#include "shell_fixture.h"
#include "support/shell_command.h"

namespace vekrano::app::testing {
namespace {

using vekrano::testing::TempDir;

TEST(FilledText, ReplacesEachPlaceholderOnceAndLeavesTheOthers) {
  EXPECT_EQ(fillIn("%1 on %2 to %3", {"5", "2", "Office %1 %2"}), "5 on 2 to Office %1 %2");
  EXPECT_EQ(fillIn("%3 then %1", {"a", "b", "c"}), "c then a");
  EXPECT_EQ(fillIn("100% of %2, %4 %", {"a", "b"}), "100% of b, %4 %");
}

TEST(WorkFeedback, TextsInTheFourLanguages) {
  languages::setLanguageNumber(1);
  EXPECT_EQ(printedText(1, 1, "Bureau"), QString::fromUtf8("1 étiquette sur 1 feuille envoyée à Bureau"));
  EXPECT_EQ(printedText(12, 1, "Bureau"), QString::fromUtf8("12 étiquettes sur 1 feuille envoyées à Bureau"));
  EXPECT_EQ(printedText(25, 3, "Bureau %2"), QString::fromUtf8("25 étiquettes sur 3 feuilles envoyées à Bureau %2"));
  EXPECT_EQ(pdfWrittenText("/tmp/a.pdf"), QString::fromUtf8("PDF écrit : /tmp/a.pdf"));
  EXPECT_EQ(restoredText(1), QString::fromUtf8("Restauration terminée : 1 fiche"));
  EXPECT_EQ(restoredText(0), QString::fromUtf8("Restauration terminée : 0 fiches"));
  EXPECT_EQ(dataSizeText(512), "512 octets");
  EXPECT_EQ(dataSizeText(1536), "1,5 Ko");
  EXPECT_EQ(dataSizeText(1300000), "1,2 Mo");
  EXPECT_EQ(dataSizeText(5ull << 30), "5,0 Go");
  EXPECT_EQ(dataSizeText(5ull << 40), QString::fromUtf8("5\u202f120,0 Go"));

  languages::setLanguageNumber(2);
  EXPECT_EQ(printedText(25, 3, "Office"), "25 labels on 3 sheets sent to Office");
  EXPECT_EQ(pdfWrittenText("/tmp/a.pdf"), "PDF written: /tmp/a.pdf");
  EXPECT_EQ(restoredText(5000), "Restored: 5000 records");
  EXPECT_EQ(dataSizeText(1023), "1,023 bytes");
  EXPECT_EQ(dataSizeText(1300000), "1.2 MB");
  backup::CommandResult result;
  result.files = {"article.dbf", "article.mdx"};
  TempDir folder;
  vekrano::testing::writeFileBytes(folder.file("a.vkb"), std::string(2000, 'x'));
  vekrano::testing::writeFileBytes(folder.file("a.002"), std::string(1072, 'x'));
  result.volumes = {folder.file("a.vkb"), folder.file("a.002"), folder.file("gone.003")};
  EXPECT_EQ(backupWrittenText(result), "Backup written: 2 files, 3.0 KB");
  result.files.resize(1);
  EXPECT_EQ(backupWrittenText(result), "Backup written: 1 file, 3.0 KB");

  languages::setLanguageNumber(3);
  EXPECT_EQ(printedText(2, 2, "X"), "2 etiquetas em 2 folhas enviadas para X");
  EXPECT_EQ(backupWrittenText(result), "Salvaguarda escrita: 1 ficheiro, 3,0 KB");
  languages::setLanguageNumber(4);
  EXPECT_EQ(printedText(2, 1, "X"), "2 etiquetas en 1 hoja enviadas a X");
  EXPECT_EQ(restoredText(7), QString::fromUtf8("Restauración terminada: 7 registros"));
}

// Records what reaches it, to check that the counter passes everything on.
class RecordingSink : public printing::LabelJobSink {
 public:
  void open(const std::string&) override { calls.push_back("open"); }
  void close() override { calls.push_back("close"); }
  void setSlot(const std::string& slot, const std::string& text) override { calls.push_back(slot + "=" + text); }
  void removePositionBarcode(const std::string&, int p) override { calls.push_back("remove " + std::to_string(p)); }
  void restorePositionBarcode(const std::string&, int p) override { calls.push_back("restore " + std::to_string(p)); }
  void setLayoutPrinter(const std::string&, const std::string& printer) override {
    calls.push_back("printer " + printer);
  }
  void printLayout(const std::string& layout) override { calls.push_back("print " + layout); }
  std::vector<std::string> calls;
};

TEST(LabelCount, CountsThePlacedLabelsAndThePrintedSheets) {
  RecordingSink direct;
  RecordingSink behind;
  CountingLabelSink counted(behind);
  const printing::LabelRecord records[] = {
      {"A1", "t", "u", 20}, {"B2", "", "", 5}, {"C3", "t", "u", 0}, {"D4", "t", "u", -2}};
  // From position 4 of 12: 3 used + 25 labels on three sheets.
  for (printing::LabelJobSink* sink :
       {static_cast<printing::LabelJobSink*>(&direct), static_cast<printing::LabelJobSink*>(&counted)}) {
    EXPECT_EQ(printing::fillLabelSheets(*sink, "etiquette1", 12, "Office", records, {true, false}, 4), 3);
  }
  EXPECT_EQ(counted.labels(), 25);
  EXPECT_EQ(counted.sheets(), 3);
  EXPECT_EQ(behind.calls, direct.calls);
}

class FeedbackInTheWindow : public ShellTest {
 protected:
  // Answers every file dialog with `chosen`.
  class ChoosingDesktop : public AnsweringDesktop {
   public:
    QString openFileName(QWidget*, const QString&, const QString&) override { return chosen; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return chosen; }
    QString chosen;
  };
  void open(int language) {
    vekrano::testing::writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(language, 0, ""));
    window = std::make_unique<TFprincip>(dir(), files, data);
    window->FormShow();
    window->FormActivate();
  }
  void add(int num, const std::string& cb, int quantite) {
    data.executeStatement(records::newRecordStatement({num, cb, "t1", "t2", quantite, "O"}));
  }
  QString status() { return window->statusBar()->currentMessage(); }

  ChoosingDesktop files;
  TempDir elsewhere;
};

TEST_F(FeedbackInTheWindow, APdfNamedWithoutExtensionGetsOneAndIsReported) {
  open(1);
  add(1, "A1", 3);
  add(2, "B1", 2);
  files.chosen = QString::fromStdString(elsewhere.file("labels"));
  window->findChild<QPushButton*>("btimprimePdf")->click();
  const QString written = QString::fromStdString(elsewhere.file("labels.pdf"));
  EXPECT_TRUE(std::filesystem::exists(written.toStdString()));
  EXPECT_FALSE(std::filesystem::exists(elsewhere.file("labels")));
  EXPECT_EQ(status(), QString::fromUtf8("PDF écrit : ") + written);

  // A name with an extension keeps it, in the language applied meanwhile.
  window->findChild<QAbstractButton*>("langlais")->click();
  window->findChild<QAbstractButton*>("btappliquer")->click();
  files.chosen = QString::fromStdString(elsewhere.file("sheets.v2"));
  window->findChild<QPushButton*>("btimprimePdf")->click();
  EXPECT_TRUE(std::filesystem::exists(elsewhere.file("sheets.v2")));
  EXPECT_EQ(status(), "PDF written: " + files.chosen);

  // Nothing selected: the preview's message, no file and the status bar left as it was.
  window->findChild<QLineEdit*>("TexCb")->setText("Z");
  files.chosen = QString::fromStdString(elsewhere.file("none.pdf"));
  window->findChild<QPushButton*>("btimprimePdf")->click();
  EXPECT_FALSE(std::filesystem::exists(elsewhere.file("none.pdf")));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "No label to print");
  EXPECT_EQ(status(), "PDF written: " + QString::fromStdString(elsewhere.file("sheets.v2")));
}

TEST_F(FeedbackInTheWindow, APrintRunSaysHowManyLabelsOnHowManySheetsWentToWhichPrinter) {
  // A cups-pdf queue of the print server stands for the user's printer.
  const char* queue = "VekranoTestPdf";
  if (vekrano::testing::runShell("lpstat -r && lpadmin -p VekranoTestPdf -v cups-pdf:/ -E -m "
                                 "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd")
          .status != 0) {
    GTEST_SKIP() << "no print server here";
  }
  files.printers = {"Elsewhere", queue};
  open(2);
  add(1, "A1", 13);
  add(2, "B1", 2);
  auto* printers = window->findChild<QComboBox*>("CombImprimante");
  printers->setCurrentIndex(1);
  window->findChild<QPushButton*>("btimprime")->click();
  EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.at(0).text;
  EXPECT_EQ(status(), QString("15 labels on 2 sheets sent to ") + queue);
  window->findChild<QLineEdit*>("TexCb")->setText("B");
  window->findChild<QPushButton*>("btimprime")->click();
  EXPECT_EQ(status(), QString("2 labels on 1 sheet sent to ") + queue);
}

TEST_F(FeedbackInTheWindow, BackupAndRestoreSayWhatTheyDid) {
  open(4);
  for (int n = 1; n <= 3; ++n) add(n, "C" + std::to_string(n), 1);
  files.chosen = QString::fromStdString(elsewhere.file("copia"));
  window->findChild<QToolButton*>("spSauve")->click();
  const auto archiveSize = std::filesystem::file_size(elsewhere.file("copia.vkb"));
  ASSERT_LT(archiveSize, 1024u);
  EXPECT_EQ(status(), "Copia de seguridad escrita: 2 archivos, " + QString::number(archiveSize) + " bytes");

  data.executeStatement("delete from article where num>1");
  files.chosen = QString::fromStdString(elsewhere.file("copia.vkb"));
  window->findChild<QToolButton*>("spCharge")->click();
  EXPECT_EQ(status(), QString::fromUtf8("Restauración terminada: 3 registros"));

  // A restore that fails says so in its box and claims nothing in the status bar.
  window->statusBar()->clearMessage();
  vekrano::testing::writeFileBytes(elsewhere.file("bad.vkb"), "not an archive");
  files.chosen = QString::fromStdString(elsewhere.file("bad.vkb"));
  window->findChild<QToolButton*>("spCharge")->click();
  EXPECT_FALSE(prompts.shown.empty());
  EXPECT_EQ(status(), "");
}

}  // namespace
}  // namespace vekrano::app::testing
