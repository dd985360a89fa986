// Every window and page in each of the four languages, as the user sees it: each text fits its
// control and no two controls overlap. The same run leaves a screenshot of each window in each
// language in one folder, for anyone to look at.
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>

#include "app/about_window.h"
#include "app/backup_progress_window.h"
#include "import/import_wizard.h"
#include "languages/language_choice_window.h"
#include "layout_findings.h"
#include "list/list_export_window.h"
#include "printing/label_print_run.h"
#include "printing/label_types.h"
#include "printing/own_sheet_editor.h"
#include "printing/own_sheets.h"
#include "printing/print_preview_window.h"
#include "printing/report_status_window.h"
#include "printing/sheet_chooser_window.h"
#include "records/record_editor.h"
#include "records/record_statements.h"
#include "shell_fixture.h"

namespace vekrano::app::testing {
namespace {

const char* const kLanguageCodes[] = {"fr", "en", "pt", "es"};

// VEKRANO_SCREENSHOTS when set, otherwise the build folder's "screenshots".
QString screenshotFolder() {
  const QString chosen = qEnvironmentVariable("VEKRANO_SCREENSHOTS");
  return chosen.isEmpty() ? QStringLiteral(VEKRANO_SCREENSHOT_DIR) : chosen;
}

class WindowFit : public ShellTest {
 protected:
  WindowFit() { QDir().mkpath(folder_); }

  // Reads `shown` as it stands and keeps its picture as "<language>-<name>.png".
  void look(QWidget& shown, const QString& name) {
    shown.show();
    QApplication::processEvents();
    const QString picture = QStringLiteral("%1/%2-%3.png").arg(folder_, kLanguageCodes[language_ - 1], name);
    for (const QString& finding : layoutFindings(shown)) {
      ADD_FAILURE() << kLanguageCodes[language_ - 1] << " " << name.toStdString() << ": " << finding.toStdString();
    }
    EXPECT_TRUE(shown.grab().save(picture)) << picture.toStdString();
    ++pictures_;
  }

  void lookAtMainWindow() {
    window->show();
    auto* pages = window->findChild<QTabWidget*>("PagePrincipal");
    for (int page = 0; page < pages->count(); ++page) {
      pages->setCurrentIndex(page);
      look(*window, "main-" + pages->widget(page)->objectName());
    }
    pages->setCurrentIndex(0);
  }

  void lookAtRecordWindows() {
    records::Tfcremodcpte& editor = window->recordEditor();
    editor.mode = records::EditorMode::Create;
    editor.FormShow();
    look(editor, "record-editor");
    editor.hide();

    const std::string csv = dir() + "many fields.csv";
    std::ofstream(csv) << "CODE,Libelle article,Rayon et allee,Quantite,Fournisseur,Prix,Poids,Couleur,"
                          "Taille,Remarque,Onzieme\nVK-1,Vis a bois,Allee 3,12,Durand,1.20,0.5,gris,M,-,x\n";
    import::Tfimportcsv wizard(data, {[&](QWidget*, const QString&, const QString&) {
                                        return QString::fromStdString(csv);
  }
  , [](const std::exception& error) { ADD_FAILURE() << error.what(); }});
look(wizard, "import-step1");
wizard.SouvrirClick();
wizard.bsuivantClick();
look(wizard, "import-step2");

list::Tfexportliste exportWindow([](QWidget*, const QString&, const QString&) { return QString(); });
exportWindow.applyTexts();
look(exportWindow, "list-export");
}  // namespace

void lookAtPrintingWindows() {
  printing::PrintRequest request;
  request.labelTypeEntry = printing::labelTypeEntries().front();
  printing::PreviewDestination preview;
  printing::LabelReport report(preview);
  ASSERT_GT(printing::PrintLabels(data.sqlqueryfonction, report, dir(), request), 0);
  printing::LabelPreviewWindow previewWindow(preview.pages(), {}, window.get(), "2 VK-\"7\"\nVK-\xE9t\xE9");
  look(previewWindow, "preview");

  printing::ReportStatusWindow status(window.get());
  status.pageStarted(12);
  look(status, "report-status");

  printing::SheetCatalog catalog;
  catalog.sheets = {printing::ownSheet("Avery L7160", "A4", 0, 0, {3, 7, 7.2, 15.15, 66.0, 38.1}, 63.5, 38.1)};
  printing::SheetChooserWindow chooser(
      catalog, false, dir() + "VEKRANO.PLA", [](QDialog&) { return 0; }, window.get());
  look(chooser, "sheet-chooser");
  printing::OwnSheetEditor sheetEditor(window.get());
  look(sheetEditor, "own-sheet-editor");
}

void lookAtOtherWindows() {
  look(window->aboutWindow(), "about");
  window->aboutWindow().hide();
  look(window->languageChoiceWindow(), "language-choice");
  window->languageChoiceWindow().hide();
  BackupProgressWindow backup(195, window.get());
  look(backup, "backup-progress");
  BackupProgressWindow restore(196, window.get());
  look(restore, "restore-progress");
}

// Opens every window and page in each language and reads them.
void lookAtEverything() {
  for (language_ = 1; language_ <= 4; ++language_) {
    SCOPED_TRACE(kLanguageCodes[language_ - 1]);
    std::filesystem::remove(directory.file("VEKRANO.PAR"));
    desktop.choice = language_;
    start();
    if (language_ == 1) {
      data.executeStatement(records::newRecordStatement({1, "VK-1", "Vis a bois", "Allee 3", 2, "O"}));
    }
    lookAtMainWindow();
    lookAtRecordWindows();
    lookAtPrintingWindows();
    lookAtOtherWindows();
    stop();
  }
}

QString folder_ = screenshotFolder();
int language_ = 0;
int pictures_ = 0;
};  // namespace vekrano::app::testing

TEST_F(WindowFit, EveryWindowAndPageReadsWellInEachLanguage) {
  lookAtEverything();
  EXPECT_EQ(pictures_, 4 * 15);
  std::cout << "Screenshots of every window in each language: " << folder_.toStdString() << "\n";
}

// A user's larger desktop font: the windows grow with their texts instead of cutting them.
TEST_F(WindowFit, EveryWindowAndPageReadsWellInALargerFont) {
  const QFont usual = QApplication::font();
  QFont larger = usual;
  if (usual.pointSizeF() > 0) {
    larger.setPointSizeF(usual.pointSizeF() * 1.5);
  } else {
    larger.setPixelSize(usual.pixelSize() * 3 / 2);
  }
  ASSERT_GT(QFontMetrics(larger).height(), QFontMetrics(usual).height() * 4 / 3);
  QApplication::setFont(larger);
  folder_ += "/larger-font";
  QDir().mkpath(folder_);
  lookAtEverything();
  QApplication::setFont(usual);
  EXPECT_EQ(pictures_, 4 * 15);
}

}  // namespace
}  // namespace vekrano::app::testing
