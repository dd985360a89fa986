// The Printing page of the main window: the print run into a PDF file from the controls as
// they stand at the click, the label type list's width, failures on the error display, the
// first free position, the preview and the printer calibration.
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "languages/qt_text.h"
#include "printing/label_types.h"
#include "printing/print_preview_window.h"
#include "records/record_statements.h"
#include "shell_fixture.h"

namespace vekrano::app::testing {
namespace {

class PrintingPage : public ShellTest {
 protected:
  TFprincip& open() {
    window = std::make_unique<TFprincip>(dir(), saving, data);
    window->FormShow();
    window->FormActivate();
    data.openData();
    return *window;
  }
  void add(int num, const std::string& cb, int quantite) {
    data.executeStatement(records::newRecordStatement({num, cb, "t1", "t2", quantite, "O"}));
  }
  void click(const char* name) { window->findChild<QPushButton*>(name)->click(); }
  int pdfPages() {
    int exitCode = 0;
    FILE* pipe = popen(("pdfinfo " + saving.path.toStdString() + " 2>/dev/null").c_str(), "r");
    std::string out;
    char buffer[1024];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    exitCode = pclose(pipe);
    const std::size_t at = out.find("Pages:");
    return exitCode != 0 || at == std::string::npos ? -1 : std::stoi(out.substr(at + 6));
  }

  void chooseType(int number) {
    auto* types = window->findChild<QComboBox*>("CombListeEtiquette");
    for (int i = 0; i < types->count(); ++i) {
      if (printing::labelTypeAt(*types, i) == number) {
        types->setCurrentIndex(i);
      }
    }
  }
  QSpinBox* firstPosition() { return window->findChild<QSpinBox*>("SpinPremPos"); }
  QDoubleSpinBox* box(const char* name) { return window->findChild<QDoubleSpinBox*>(name); }
  void choosePrinter(const QString& name) {
    auto* printers = window->findChild<QComboBox*>("CombImprimante");
    printers->setCurrentIndex(printers->findText(name));
  }
  std::string calibrationFile() { return vekrano::testing::readFileBytes(directory.path() / "VEKRANO.CAL"); }

  SavingDesktop saving;
};

TEST_F(PrintingPage, PdfRunTakesTheCriteriaAsTypedAndTheChosenType) {
  TFprincip& w = open();
  add(1, "A1", 12);
  add(2, "B1", 13);
  saving.path = QString::fromStdString(directory.file("labels.pdf"));
  // Typed but not applied to the list: the run reads the controls at the click.
  w.findChild<QLineEdit*>("TexCb")->setText("B");
  click("btimprimePdf");
  EXPECT_EQ(saving.titles, QStringList{QString::fromUtf8("Enregistrer les étiquettes en PDF")});
  EXPECT_EQ(pdfPages(), 2);  // 13 labels on 12 positions
  EXPECT_TRUE(prompts.shown.empty());

  w.findChild<QRadioButton*>("Ratoutefiche")->setChecked(true);
  click("btimprimePdf");
  EXPECT_EQ(pdfPages(), 3);  // 25 labels

  // The 44-label sheet holds them all.
  auto* types = w.findChild<QComboBox*>("CombListeEtiquette");
  for (int i = 0; i < types->count(); ++i) {
    if (printing::labelTypeAt(*types, i) == 9) types->setCurrentIndex(i);
  }
  click("btimprimePdf");
  EXPECT_EQ(pdfPages(), 1);

  // A cancelled dialog prints nothing; no entry selected prints nothing either.
  std::filesystem::remove(saving.path.toStdString());
  types->setCurrentIndex(-1);
  click("btimprimePdf");
  EXPECT_EQ(pdfPages(), -1);
  saving.path.clear();
  click("btimprimePdf");
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(PrintingPage, FailuresReachTheErrorDisplay) {
  TFprincip& w = open();
  add(1, "A1", 1);
  saving.path = QString::fromStdString(directory.file("no/such/folder/labels.pdf"));
  click("btimprimePdf");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].caption, "Vekrano");
  EXPECT_NE(prompts.shown[0].text.find("no/such/folder"), std::string::npos);
  // A criterion with a double quote stays one literal: no error, the record is not selected.
  w.findChild<QLineEdit*>("TexCb")->setText("A\"");
  saving.path = QString::fromStdString(directory.file("labels.pdf"));
  click("btimprimePdf");
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[1].text, "Aucune \xe9tiquette \xe0 imprimer");
  EXPECT_EQ(pdfPages(), -1);
}

TEST_F(PrintingPage, UnprintableBarcodesAreAskedAboutBeforeAnythingIsPrinted) {
  TFprincip& w = open();
  add(1, "A1", 1);
  add(2, "low-abc1", 2);  // written by another program: would scan as "-1"
  saving.path = QString::fromStdString(directory.file("labels.pdf"));
  w.findChild<QRadioButton*>("Ratoutefiche")->setChecked(true);
  prompts.answers = {common::PromptAnswer::No};
  click("btimprimePdf");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].caption, "Vekrano");
  EXPECT_EQ(prompts.shown[0].buttons, common::PromptButtons::YesNo);
  EXPECT_EQ(prompts.shown[0].text,
            "1 fiche(s) dont le code barre ne peut pas s'imprimer tel quel sur ces \xE9tiquettes "
            "(caract\xE8re absent du Code 39, ou trop long pour l'\xE9tiquette) :\n    low-abc1\n"
            "Imprimer les autres fiches ? Les \xE9tiquettes de celles-ci resteront blanches.");
  EXPECT_EQ(pdfPages(), -1);

  prompts.answers = {common::PromptAnswer::Yes};
  click("btimprimePdf");
  EXPECT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(pdfPages(), 1);
  // A criterion holding a character no record can hold is said, not searched.
  w.findChild<QRadioButton*>("Rafichem")->setChecked(true);
  w.findChild<QLineEdit*>("text1")->setText(QString::fromUtf8("t\u2603"));
  click("btimprimePdf");
  ASSERT_EQ(prompts.shown.size(), 3u);
  EXPECT_EQ(prompts.shown[2].text, "Aucune fiche ne peut contenir ce caract\xE8re : U+2603");
}

TEST_F(PrintingPage, TheLabelTypeListShowsTheDisplayNamesOnlyAndWholly) {
  TFprincip& w = open();
  w.show();
  w.findChild<QTabWidget*>("PagePrincipal")->setCurrentIndex(1);
  QApplication::processEvents();
  auto* types = w.findChild<QComboBox*>("CombListeEtiquette");
  const QFontMetrics metrics(types->font());
  QStyleOptionComboBox box;
  box.initFrom(types);
  const int fieldWidth =
      types->style()->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxEditField, types).width();
  std::set<int> numbers;
  for (int i = 0; i < printing::kLabelTypeCount; ++i) {
    const std::optional<int> number = printing::labelTypeAt(*types, i);
    ASSERT_TRUE(number.has_value()) << i;
    numbers.insert(*number);
    // The name as the type has it: no blanks, no number behind it.
    EXPECT_EQ(languages::fromQt(types->itemText(i)), printing::LabelType(*number)->displayName);
    // The closed list is wide enough for the longest name.
    EXPECT_LE(metrics.horizontalAdvance(types->itemText(i)), fieldWidth) << i;
  }
  EXPECT_EQ(numbers.size(), 12u);
  // The chosen type is shown by its name alone.
  types->setCurrentIndex(4);
  EXPECT_EQ(types->currentText(), types->itemText(4));
  EXPECT_FALSE(types->currentText().endsWith(' '));
}

TEST_F(PrintingPage, FirstFreePositionFollowsTheSheetAndIsUsedUpByARun) {
  TFprincip& w = open();
  add(1, "A1", 13);
  EXPECT_EQ(firstPosition()->value(), 1);
  EXPECT_EQ(firstPosition()->maximum(), 12);  // type 1 is selected after the activation
  chooseType(9);
  EXPECT_EQ(firstPosition()->maximum(), 44);
  firstPosition()->setValue(40);
  chooseType(1);
  // Nothing printed on paper yet: the other sheet offers its first position.
  EXPECT_EQ(firstPosition()->value(), 1);

  // From position 5 of 12: 4 used + 13 labels take two sheets.
  firstPosition()->setValue(5);
  saving.path = QString::fromStdString(directory.file("labels.pdf"));
  click("btimprimePdf");
  EXPECT_EQ(pdfPages(), 2);
  EXPECT_EQ(firstPosition()->value(), 1);
  // From position 12, 11 used + 13 labels fill two sheets; a run that selects nothing says so
  // and leaves the position as it is.
  firstPosition()->setValue(12);
  w.findChild<QLineEdit*>("TexCb")->setText("Z");
  click("btimprimePdf");
  EXPECT_EQ(firstPosition()->value(), 12);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Aucune \xe9tiquette \xe0 imprimer");
  w.findChild<QLineEdit*>("TexCb")->clear();
  click("btimprimePdf");
  EXPECT_EQ(pdfPages(), 2);
  EXPECT_EQ(firstPosition()->value(), 1);
  EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST_F(PrintingPage, PreviewShowsTheRunAndPrintsToTheChosenPrinter) {
  saving.printers = {"No such printer"};
  TFprincip& w = open();
  // Nothing to print: a message, no window.
  const std::size_t windowsBefore = saving.modalTitles.size();
  click("btApercu");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Aucune \xe9tiquette \xe0 imprimer");
  EXPECT_EQ(prompts.shown[0].caption, "Vekrano");
  EXPECT_EQ(saving.modalTitles.size(), windowsBefore);

  add(1, "A1", 30);
  firstPosition()->setValue(10);  // 9 used + 30 labels: four sheets of 12
  int pagesShown = 0;
  saving.whileShown = [&](QDialog& dialog) {
    auto* preview = qobject_cast<printing::LabelPreviewWindow*>(&dialog);
    ASSERT_NE(preview, nullptr);
    pagesShown = dialog.findChild<QSpinBox*>("SpinPage")->maximum();
    dialog.findChild<QPushButton*>("btApercuFermer")->click();
  };
  click("btApercu");
  EXPECT_EQ(pagesShown, 4);
  EXPECT_EQ(saving.modalTitles.back(), QString::fromUtf8("Aperçu des étiquettes"));
  EXPECT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(firstPosition()->value(), 10);  // closing prints nothing

  // Printing from the preview goes to the chosen printer, which is not there.
  w.findChild<QComboBox*>("CombImprimante")->setCurrentIndex(0);
  firstPosition()->setValue(10);  // choosing the printer offered its remembered position
  saving.whileShown = [](QDialog& dialog) { dialog.findChild<QPushButton*>("btApercuImprime")->click(); };
  click("btApercu");
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[1].text, "Cannot print on printer \"No such printer\"");
  EXPECT_EQ(firstPosition()->value(), 10);
}

TEST_F(PrintingPage, CalibrationIsKeptPerPrinterInItsOwnFile) {
  // A hand-damaged file: out-of-range values clamped, a word taken as its default.
  vekrano::testing::writeFileBytes(directory.path() / "VEKRANO.CAL",
                                   std::string("Other 99 abc 3\n\x00\xff garbage\n", 26));
  saving.printers = {"Office", "Other"};
  TFprincip& w = open();
  choosePrinter("Other");
  EXPECT_EQ(box("SpinDecalH")->value(), 10.0);
  EXPECT_EQ(box("SpinDecalV")->value(), 0.0);
  EXPECT_EQ(box("SpinEchelle")->value(), 95.0);
  choosePrinter("Office");
  EXPECT_EQ(box("SpinDecalH")->value(), 0.0);
  EXPECT_EQ(box("SpinEchelle")->value(), 100.0);
  EXPECT_TRUE(box("SpinDecalH")->isEnabled());

  box("SpinDecalH")->setValue(-1.5);
  box("SpinEchelle")->stepUp();
  EXPECT_NE(calibrationFile().find("Office\t-1.5\t0.0\t100.1\n"), std::string::npos) << calibrationFile();
  EXPECT_NE(calibrationFile().find("Other\t10.0\t0.0\t95.0\n"), std::string::npos);
  choosePrinter("Other");
  EXPECT_EQ(box("SpinDecalH")->value(), 10.0);
  choosePrinter("Office");
  EXPECT_EQ(box("SpinDecalH")->value(), -1.5);
  EXPECT_EQ(box("SpinEchelle")->value(), 100.1);

  // A file that cannot be written is reported once, and the values still hold for the run.
  std::filesystem::create_directory(directory.path() / "VEKRANO.CAL.new");
  box("SpinDecalV")->setValue(2);
  box("SpinDecalV")->setValue(3);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text.rfind("La calibration n'a pas pu \xeatre enregistr\xe9"
                                        "e : ",
                                        0),
            0u)
      << prompts.shown[0].text;
  choosePrinter("Other");
  choosePrinter("Office");
  EXPECT_EQ(box("SpinDecalV")->value(), 3.0);

  // The settings file keeps its 116 bytes and holds no calibration.
  w.close();
  EXPECT_EQ(std::filesystem::file_size(directory.path() / "VEKRANO.PAR"), 116u);
}

TEST_F(PrintingPage, TestSheetGoesToTheChosenPrinter) {
  saving.printers = {"No such printer"};
  TFprincip& w = open();
  w.findChild<QComboBox*>("CombImprimante")->setCurrentIndex(0);
  click("btPageTest");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Cannot print on printer \"No such printer\"");
  // Without a label type there is nothing to print.
  w.findChild<QComboBox*>("CombListeEtiquette")->setCurrentIndex(-1);
  click("btPageTest");
  EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST_F(PrintingPage, NewControlsSpeakTheChosenLanguage) {
  saving.choice = 2;
  TFprincip& w = open();
  EXPECT_EQ(captionOf(w, "LabPremPos"), "First free position on the first sheet");
  EXPECT_EQ(captionOf(w, "btApercu"), "Print preview");
  EXPECT_EQ(captionOf(w, "gbCalibration"), "Printer calibration");
  EXPECT_EQ(captionOf(w, "LabDecalH"), "Horizontal offset (mm)");
  EXPECT_EQ(captionOf(w, "LabDecalV"), "Vertical offset (mm)");
  EXPECT_EQ(captionOf(w, "LabEchelle"), "Scale (%)");
  EXPECT_EQ(captionOf(w, "btPageTest"), "Print a test sheet");
}

}  // namespace
}  // namespace vekrano::app::testing
