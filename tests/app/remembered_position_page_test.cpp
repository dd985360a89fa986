// The Printing page offers the position where the last run on paper of the chosen label type
// and printer stopped; runs into PDF and previews change nothing.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

#include "printing/label_types.h"
#include "printing/print_preview_window.h"
#include "records/record_statements.h"
#include "shell_fixture.h"
#include "support/held_print_queue.h"

namespace vekrano::app::testing {
namespace {

using vekrano::testing::heldQueue;

class RememberedPositionPage : public ShellTest {
 protected:
  // Saves PDF files under a fixed name.
  class PdfDesktop : public AnsweringDesktop {
   public:
    QString saveFileName(QWidget*, const QString&, const QString&) override { return path; }
    QString path;
  };

  void open() {
    window = std::make_unique<TFprincip>(dir(), pdfDesktop, data);
    window->FormShow();
    window->FormActivate();
    data.openData();
  }
  void chooseType(int number) {
    auto* types = window->findChild<QComboBox*>("CombListeEtiquette");
    for (int i = 0; i < types->count(); ++i) {
      if (printing::labelTypeAt(*types, i) == number) types->setCurrentIndex(i);
    }
  }
  void choosePrinter(int index) { window->findChild<QComboBox*>("CombImprimante")->setCurrentIndex(index); }
  void printOnly(const std::string& cb) {
    window->findChild<QLineEdit*>("TexCb")->setText(QString::fromStdString(cb));
    window->findChild<QPushButton*>("btimprime")->click();
  }
  QSpinBox& position() { return *window->findChild<QSpinBox*>("SpinPremPos"); }

  PdfDesktop pdfDesktop;
};

TEST_F(RememberedPositionPage, OfferedPerTypeAndPrinterAcrossRunsAndSessions) {
  if (!vekrano::testing::prepareHeldQueue()) GTEST_SKIP() << "no print server here";
  vekrano::testing::cancelHeldJobs();
  pdfDesktop.printers = {"Other printer", QString::fromStdString(heldQueue())};
  pdfDesktop.path = QString::fromStdString(directory.file("labels.pdf"));
  open();
  for (const auto& [num, cb, quantite] : {std::tuple{1, "A", 5}, std::tuple{2, "B", 4}, std::tuple{3, "C", 2}}) {
    data.executeStatement(records::newRecordStatement({num, cb, "t1", "t2", quantite, "O"}));
  }
  chooseType(1);
  choosePrinter(1);
  EXPECT_EQ(position().value(), 1);
  printOnly("A");  // positions 1 to 5 of 12
  EXPECT_EQ(position().value(), 6);
  EXPECT_TRUE(prompts.shown.empty());

  // Another type or printer offers its own position; coming back offers 6 again.
  chooseType(9);
  EXPECT_EQ(position().value(), 1);
  chooseType(1);
  EXPECT_EQ(position().value(), 6);
  choosePrinter(0);
  EXPECT_EQ(position().value(), 1);
  choosePrinter(1);
  EXPECT_EQ(position().value(), 6);

  // A PDF run, and a preview closed without printing, change nothing.
  window->findChild<QLineEdit*>("TexCb")->setText("B");
  window->findChild<QPushButton*>("btimprimePdf")->click();
  EXPECT_EQ(position().value(), 6);
  pdfDesktop.whileShown = [](QDialog& dialog) { dialog.findChild<QPushButton*>("btApercuFermer")->click(); };
  window->findChild<QPushButton*>("btApercu")->click();
  pdfDesktop.whileShown = nullptr;
  EXPECT_EQ(position().value(), 6);

  // The user may change the offer: from 3, four labels end on 6, so 7 is next.
  position().setValue(3);
  printOnly("B");
  EXPECT_EQ(position().value(), 7);
  EXPECT_EQ(vekrano::testing::heldJobs(), 2);

  // The next session offers it too.
  stop();
  open();
  chooseType(1);
  choosePrinter(1);
  EXPECT_EQ(position().value(), 7);
  // Printed from the preview on paper: remembered like any run on paper.
  pdfDesktop.whileShown = [](QDialog& dialog) { dialog.findChild<QPushButton*>("btApercuImprime")->click(); };
  window->findChild<QLineEdit*>("TexCb")->clear();
  position().setValue(2);  // 1 used + 5 + 4 + 2 = 12: the sheet is filled
  window->findChild<QPushButton*>("btApercu")->click();
  EXPECT_EQ(position().value(), 1);
  chooseType(9);
  chooseType(1);
  EXPECT_EQ(position().value(), 1);
  EXPECT_EQ(vekrano::testing::heldJobs(), 3);
  EXPECT_TRUE(prompts.shown.empty());
  vekrano::testing::cancelHeldJobs();
}

}  // namespace
}  // namespace vekrano::app::testing
