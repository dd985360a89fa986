#include "app/main_window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/about_window.h"
#include "dbase/dbase_error.h"
#include "languages/interface_texts.h"
#include "printing/label_types.h"
#include "shell_fixture.h"

namespace vekrano::app::testing {
namespace {

using vekrano::testing::readFileBytes;
using vekrano::testing::writeFileBytes;

const std::string kTenLines = "v;1\nf;\nc;1\n4\n5\n6\n7\n8\n9\n10\n";

QComboBox& labelList(TFprincip& w) { return *w.findChild<QComboBox*>("CombListeEtiquette"); }
QComboBox& printerList(TFprincip& w) { return *w.findChild<QComboBox*>("CombImprimante"); }
bool checked(TFprincip& w, const char* name) { return w.findChild<QRadioButton*>(name)->isChecked(); }

class MainWindow : public ShellTest {};

TEST_F(MainWindow, FirstRunAsksTheLanguageAndWritesTheSettingsAtClose) {
  desktop.choice = 4;
  TFprincip& w = start();
  ASSERT_EQ(desktop.modalTitles, std::vector<QString>{"Langue / Language selection"});
  EXPECT_TRUE(checked(w, "lespagnol"));
  EXPECT_EQ(captionOf(w, "btappliquer"), "Confirme");
  stop();
  std::string bytes = readFileBytes(directory.file("VEKRANO.PAR"));
  ASSERT_EQ(bytes.size(), 116u);
  EXPECT_EQ(bytes.substr(0, 13), std::string("\x03VKP\x04\0\0\0\0\0\0\0\0", 13));
}

TEST_F(MainWindow, CreationSwitchesOffTheTableEnginesHaltBox) {
  dbase::setAutoErrorReporting(true);
  start();
  EXPECT_FALSE(dbase::autoErrorReporting());
  stop();
}

TEST_F(MainWindow, PortugueseFromTheSettingsFile) {
  writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(3, 0, ""));
  TFprincip& w = start();
  EXPECT_TRUE(desktop.modalTitles.empty());
  EXPECT_TRUE(checked(w, "lportugais"));
  EXPECT_FALSE(checked(w, "lfrancais"));
  EXPECT_EQ(captionOf(w, "Tabcompte"), QString::fromUtf8("Gestão das fichas"));
  EXPECT_EQ(labelList(w).itemText(0), "12 etiquetas");
}

TEST_F(MainWindow, SavedLabelTypeIndexSelectsItsEntryWhenInRange) {
  for (int index : {5, 11, 12, 99, -1}) {
    SCOPED_TRACE(index);
    writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(1, index, ""));
    TFprincip& w = start();
    EXPECT_EQ(labelList(w).currentIndex(), index >= 0 && index < 12 ? index : 0);
    stop();
  }
}

TEST_F(MainWindow, SavedPrinterIsSelectedByItsExactName) {
  desktop.printers = {"Office", "office", "Label", "Office"};
  writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(1, 0, "Office"));
  TFprincip& w = start();
  EXPECT_EQ(printerList(w).count(), 4);
  EXPECT_EQ(printerList(w).currentIndex(), 3);  // the last equal entry
  printerList(w).setCurrentIndex(2);
  stop();
  EXPECT_EQ(readFileBytes(directory.file("VEKRANO.PAR")).substr(12, 6), "\x05Label");
}

TEST_F(MainWindow, UnknownPrinterLeavesNoSelectionAndSavesAnEmptyName) {
  desktop.printers = {"Office"};
  writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(2, 0, "office"));
  TFprincip& w = start();
  EXPECT_EQ(printerList(w).currentIndex(), -1);
  stop();
  EXPECT_EQ(readFileBytes(directory.file("VEKRANO.PAR"))[12], 0);
}

TEST_F(MainWindow, LongPrinterNameIsSavedCutTo100Characters) {
  QString name(130, 'p');
  desktop.printers = {name};
  writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(1, 0, ""));
  TFprincip& w = start();
  printerList(w).setCurrentIndex(0);
  stop();
  std::string bytes = readFileBytes(directory.file("VEKRANO.PAR"));
  ASSERT_EQ(bytes.size(), 116u);
  EXPECT_EQ(bytes[12], 100);
  EXPECT_EQ(bytes.substr(13, 100), std::string(100, 'p'));
}

TEST_F(MainWindow, ShortSettingsFileIsReplacedWithoutAskingTheLanguage) {
  writeFileBytes(directory.file("VEKRANO.PAR"), std::string(50, '\x02'));
  TFprincip& w = start();
  EXPECT_FALSE(std::filesystem::exists(directory.file("VEKRANO.PAR")));
  EXPECT_TRUE(desktop.modalTitles.empty());
  EXPECT_EQ(captionOf(w, "sAjout"), "Ajouter");
  stop();
  std::string bytes = readFileBytes(directory.file("VEKRANO.PAR"));
  ASSERT_EQ(bytes.size(), 116u);
  EXPECT_EQ(bytes[4], 1);
}

TEST_F(MainWindow, LongerSettingsFileIsRewrittenAsOneRecord) {
  writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(2, 3, "") + std::string(40, 'x'));
  TFprincip& w = start();
  EXPECT_EQ(captionOf(w, "sAjout"), "Add");
  EXPECT_EQ(labelList(w).currentIndex(), 3);
  stop();
  EXPECT_EQ(readFileBytes(directory.file("VEKRANO.PAR")), settingsBytes(2, 3, ""));
}

TEST_F(MainWindow, LaterActivationsReadNothingAndApplyNothing) {
  writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(2, 4, ""));
  TFprincip& w = start();
  writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(3, 7, ""));
  languages::setLanguageNumber(3);
  labelList(w).setCurrentIndex(1);
  w.FormActivate();
  EXPECT_EQ(captionOf(w, "sAjout"), "Add");
  EXPECT_EQ(labelList(w).currentIndex(), 1);
  EXPECT_EQ(w.settings().labelTypeIndex, 4);
}

TEST_F(MainWindow, TenLineLanguageFileHidesTheLanguageGroupAndEmptiesTheTexts) {
  writeFileBytes(directory.file("vekrano.lg"), kTenLines);
  TFprincip& w = start();
  EXPECT_TRUE(desktop.modalTitles.empty());  // no settings file, but a language file
  EXPECT_TRUE(w.findChild<QGroupBox*>("GLangue")->isHidden());
  EXPECT_EQ(captionOf(w, "sAjout"), "");
  EXPECT_EQ(hintOf(w, "Squitter"), "");
  EXPECT_EQ(captionOf(w, "s:1"), "");
  // Empty names sort first, and show as nothing: 150 blanks and the number.
  EXPECT_EQ(labelList(w).itemText(0), "");
  EXPECT_EQ(printing::labelTypeEntryAt(labelList(w), 0), std::string(150, ' ') + "11");
  EXPECT_GE(labelList(w).findText("L7159 (24  : 3X8)", Qt::MatchExactly), 0);
}

TEST_F(MainWindow, LanguageFileTextsReplaceTheCaptions) {
  std::string file = kTenLines;
  for (int id = 1; id <= 16; ++id) file += "t" + std::to_string(id) + ";\n";
  writeFileBytes(directory.file("vekrano.lg"), file);
  TFprincip& w = start();
  EXPECT_EQ(captionOf(w, "sAjout"), "t16");
  EXPECT_EQ(hintOf(w, "sAjout"), "");
  EXPECT_EQ(captionOf(w, "majoutcompte"), "t16");
}

TEST_F(MainWindow, LanguageFileFaceReachesTheEditorAndTheImportWizard) {
  writeFileBytes(directory.file("vekrano.lg"), "v;1\nf;Liberation Mono\nc;1\n4\n5\n6\n7\n8\n9\n10\n");
  TFprincip& w = start();
  for (const char* window : {"fcremodcpte", "fimportcsv"}) {
    auto* shown = w.findChild<QWidget*>(window);
    ASSERT_NE(shown, nullptr) << window;
    EXPECT_EQ(shown->font().family().toStdString(), "Liberation Mono") << window;
  }
  EXPECT_EQ(w.findChild<QWidget*>("elib1")->font().family(), "Liberation Mono");
}

TEST_F(MainWindow, AppliquerChangesTheLanguageAtOnceAndKeepsTheLabelTypeAndPrinter) {
  desktop.printers = {"Office", "Label"};
  writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(1, 2, "Label"));
  TFprincip& w = start();
  EXPECT_FALSE(w.findChild<QGroupBox*>("GLangue")->isHidden());
  const std::string chosen = printing::labelTypeEntryAt(labelList(w), labelList(w).currentIndex());
  const std::optional<int> type = printing::LabelTypeOfEntry(chosen);
  ASSERT_TRUE(type.has_value());
  for (const char* language : {"lespagnol", "langlais", "lfrancais"}) {
    SCOPED_TRACE(language);
    w.findChild<QRadioButton*>(language)->setChecked(true);
    w.findChild<QPushButton*>("btappliquer")->click();
    EXPECT_EQ(printing::labelTypeAt(labelList(w), labelList(w).currentIndex()), type);
    EXPECT_EQ(printerList(w).currentText(), "Label");
  }
  EXPECT_EQ(printing::labelTypeEntryAt(labelList(w), labelList(w).currentIndex()), chosen);
  w.findChild<QRadioButton*>("lespagnol")->setChecked(true);
  w.findChild<QPushButton*>("btappliquer")->click();
  EXPECT_EQ(languages::languageNumber(), 4);
  EXPECT_EQ(captionOf(w, "Tabimpression"), QString::fromUtf8("Impresión"));
  stop();
  EXPECT_EQ(readFileBytes(directory.file("VEKRANO.PAR"))[4], 4);
}

TEST_F(MainWindow, TheVeryFirstStartSelectsTheSystemsDefaultPrinter) {
  desktop.printers = {"Office", "Label"};
  desktop.defaultPrinter = "Label";
  TFprincip& w = start();
  EXPECT_EQ(printerList(w).currentText(), "Label");
  stop();
  EXPECT_EQ(readFileBytes(directory.file("VEKRANO.PAR")).substr(12, 6), std::string("\x05Label"));
  start();  // a saved choice stands, even an empty one
  EXPECT_EQ(printerList(*window).currentText(), "Label");
  printerList(*window).setCurrentIndex(-1);
  stop();
  start();
  EXPECT_EQ(printerList(*window).currentIndex(), -1);
}

TEST_F(MainWindow, SettingsThatCannotBeWrittenBeepAndSayItInFrench) {
  desktop.choice = 2;
  start();
  std::filesystem::create_directory(directory.file("VEKRANO.PAR"));
  stop();
  EXPECT_EQ(prompts.beeps, 1);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Il y a eu un probl\xE8me");
  EXPECT_EQ(prompts.shown[0].caption, "Fichier non sauvegard\xE9 !!");
  EXPECT_EQ(prompts.shown[0].buttons, common::PromptButtons::Ok);
}

TEST_F(MainWindow, DataAreOpenedWhenShownAndClosedAtClose) {
  start();
  EXPECT_TRUE(std::filesystem::exists(directory.file("article.dbf")));
  EXPECT_TRUE(std::filesystem::exists(directory.file("article.mdx")));
  EXPECT_TRUE(data.tarticle.Active());
  EXPECT_TRUE(data.sqlQuery1.Active());
  stop();
  EXPECT_FALSE(data.sqlQuery1.Active());
  EXPECT_FALSE(data.tarticle.Active());
}

TEST_F(MainWindow, ATableThatCannotBeOpenedAtShowTimeIsIgnored) {
  std::filesystem::create_directory(directory.file("article.dbf"));
  start();
  EXPECT_FALSE(data.sqlQuery1.Active());
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(MainWindow, HelpOpensTheHelpFileAndInfosTheAboutWindow) {
  TFprincip& w = start();
  // A vkb.chm is opened when the desktop has a viewer for it.
  vekrano::testing::writeFileBytes(directory.file("vkb.chm"), "ITSF");
  desktop.opensHelpFiles = true;
  w.findChild<QAbstractButton*>("spAide")->click();
  EXPECT_EQ(desktop.opened, QStringList{QString::fromStdString(dir() + "vkb.chm")});
  w.findChild<QAbstractButton*>("sbinfos")->click();
  EXPECT_EQ(desktop.modalTitles.back(), "A propos");
}

TEST_F(MainWindow, LayoutStateAtStart) {
  TFprincip& w = start();
  EXPECT_EQ(w.windowTitle(), "Vekrano");
  EXPECT_EQ(w.findChild<QLabel*>("Labtypeeti")->parent()->objectName(), "gpImp");
  EXPECT_TRUE(w.findChild<QAbstractButton*>("topimpTexte1")->isChecked());
  EXPECT_TRUE(w.findChild<QAbstractButton*>("topimpTexte2")->isChecked());
  EXPECT_TRUE(checked(w, "Rafichem"));
  EXPECT_TRUE(checked(w, "Ratoutes"));
  EXPECT_EQ(w.findChild<QLineEdit*>("TexCb")->maxLength(), 13);
  EXPECT_EQ(w.findChild<QLineEdit*>("text1")->maxLength(), 100);
  EXPECT_EQ(labelList(w).count(), 13);  // the twelve types and "Autres planches…"
  // Every page's controls fit the window in every language, so the window keeps its size.
  for (int language = 1; language <= 4; ++language) {
    languages::setLanguageNumber(language);
    w.ApplyMainTexts();
    EXPECT_LE(w.minimumSizeHint().width(), 762) << language;
    EXPECT_LE(w.minimumSizeHint().height(), 611) << language;
  }
  EXPECT_EQ(w.size(), QSize(762, 611));
}

TEST(AboutWindow, ShowsVersion111) {
  Tfapropos about;
  about.show();
  EXPECT_EQ(about.windowTitle(), "A propos");
  EXPECT_EQ(about.findChild<QLabel*>("lversion")->text(), "1.11");
  EXPECT_EQ(about.findChild<QLabel*>("ProductName")->text(), "Vekrano");
  auto* ok = about.findChild<QPushButton*>("OKButton");
  EXPECT_TRUE(ok->isDefault());
  ok->click();
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(about.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace vekrano::app::testing
