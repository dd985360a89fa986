// The Printing page of the main window: the print run into a PDF file from the controls as
// they stand at the click, the label type list's width, and failures on the error display.
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "printing/label_types.h"
#include "records/record_statements.h"
#include "shell_fixture.h"

namespace vekrano::app::testing {
namespace {

// Answers the save dialog with `path` and keeps the title it was asked with.
class SavingDesktop : public AnsweringDesktop {
 public:
  QString saveFileName(QWidget*, const QString& title, const QString&) override {
    titles << title;
    return path;
  }
  QString path;
  QStringList titles;
};

class PrintingPage : public ShellTest {
 protected:
  TFprincip& open() {
    window = std::make_unique<TFprincip>(dir(), saving, data);
    window->FormShow();
    window->FormActivate();
    data.OpenData();
    return *window;
  }
  void add(int num, const std::string& cb, int quantite) {
    data.ExecuteStatement(records::NewRecordStatement({num, cb, "t1", "t2", quantite, "O"}));
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
    if (printing::LabelTypeOfEntry(types->itemText(i).toStdString()) == 9) types->setCurrentIndex(i);
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
  EXPECT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(pdfPages(), -1);
}

TEST_F(PrintingPage, TheLabelTypeListHidesTheTypeNumber) {
  TFprincip& w = open();
  w.resize(762, 611);
  w.show();
  auto* types = w.findChild<QComboBox*>("CombListeEtiquette");
  EXPECT_EQ(types->width(), 513);
  const QFontMetrics metrics(types->font());
  for (int i = 0; i < types->count(); ++i) {
    const QString entry = types->itemText(i);
    // The number starts beyond the list's width.
    EXPECT_GT(metrics.horizontalAdvance(entry.left(entry.size() - 2)), types->width()) << i;
  }
}

}  // namespace
}  // namespace vekrano::app::testing
