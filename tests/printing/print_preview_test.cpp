// The preview of a run: its pages are those the printer gets, painted after the run with the
// printer's calibration, shown a few at a time, and printed one job each.
#include "printing/print_preview.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QPushButton>
#include <QSpinBox>

#include "languages/interface_texts.h"
#include "printing/label_print_run.h"
#include "printing/label_types.h"
#include "printing/print_preview_window.h"
#include "records/article_data.h"
#include "records/record_statements.h"
#include "support/temp_dir.h"

namespace vekrano::printing {
namespace {

constexpr int kDpi = 150;

class PreviewOfARun : public ::testing::Test {
 protected:
  PreviewOfARun() {
    data.openData();
    for (int num = 1; num <= 6; ++num) {
      data.executeStatement(records::newRecordStatement(
          {num, "VK-" + std::to_string(num), "Article " + std::to_string(num), "Rayon", 7, "O"}));
    }
    for (const std::string& entry : labelTypeEntries()) {
      if (LabelTypeOfEntry(entry) == 6) request.labelTypeEntry = entry;  // 21 labels, A4
    }
    request.printerName = "Office";
    request.firstPosition = 9;
  }

  int run(PageDestination& destination) {
    LabelReport report(destination);
    return PrintLabels(data.sqlqueryfonction, report, data.programDirectory(), request);
  }

  vekrano::testing::TempDir directory;
  records::ArticleData data{directory.path().string() + "/"};
  PrintRequest request;
  const PrinterCalibrations calibrations = {{"Office", {1.2, -0.7, 98.5}}};
};

TEST_F(PreviewOfARun, PagesAreThoseThePrinterGetsWithItsCalibration) {
  // 8 used positions and 42 labels: 50 positions, three sheets.
  PreviewDestination preview;
  EXPECT_EQ(run(preview), 3);
  ImageDestination printer(kDpi, calibrations);
  EXPECT_EQ(run(printer), 3);
  ASSERT_EQ(preview.pages().size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(preview.pages()[i].printerName, "Office");
    EXPECT_EQ(renderKeptPage(preview.pages()[i], calibrations, kDpi), printer.pages()[i].image) << i;
  }
  // The calibration is the printer's: without it the pages differ.
  EXPECT_NE(renderKeptPage(preview.pages()[0], {}, kDpi), printer.pages()[0].image);

  // Printing from the preview sends the same pages, one job each.
  ImageDestination printed(kDpi, calibrations);
  EXPECT_EQ(printKeptPages(preview.pages(), printed, nullptr), 3);
  ASSERT_EQ(printed.pages().size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(printed.pages()[i].image, printer.pages()[i].image);
}

TEST_F(PreviewOfARun, TheWindowShowsOnePageAtATimeAndHoldsAFewImages) {
  request.firstPosition = 1;
  data.executeStatement("update article set quantite=40");  // 240 labels, 12 sheets
  PreviewDestination preview;
  EXPECT_EQ(run(preview), 12);
  LabelPreviewWindow window(preview.pages(), calibrations);
  auto* next = window.findChild<QPushButton*>("btPageSuiv");
  auto* previous = window.findChild<QPushButton*>("btPagePrec");
  auto* number = window.findChild<QSpinBox*>("SpinPage");
  EXPECT_EQ(window.currentPage(), 0);
  EXPECT_FALSE(previous->isEnabled());
  EXPECT_EQ(number->maximum(), 12);
  EXPECT_EQ(window.imagesHeld(), 0u);  // nothing painted before it is shown

  // The image fits the size asked for, and is the page as the printer gets it.
  const QImage& first = window.pageImage(QSize(600, 800));
  EXPECT_LE(first.height(), 800);
  EXPECT_GE(first.height(), 700);
  const int dpi = static_cast<int>(std::lround(first.width() / (210 / 25.4)));
  EXPECT_EQ(first, renderKeptPage(preview.pages()[0], calibrations, dpi));
  EXPECT_EQ(window.imagesHeld(), 1u);

  for (int page = 1; page < 12; ++page) {
    next->click();
    EXPECT_EQ(window.currentPage(), page);
    EXPECT_EQ(number->value(), page + 1);
    EXPECT_EQ(window.pageImage(QSize(600, 800)), renderKeptPage(preview.pages()[page], calibrations, dpi));
    EXPECT_LE(window.imagesHeld(), LabelPreviewWindow::kHeldImages);
  }
  EXPECT_FALSE(next->isEnabled());
  next->click();
  EXPECT_EQ(window.currentPage(), 11);
  number->setValue(4);
  EXPECT_EQ(window.currentPage(), 3);
  window.showPage(-5);
  EXPECT_EQ(window.currentPage(), 0);

  window.findChild<QPushButton*>("btApercuImprime")->click();
  EXPECT_EQ(window.result(), QDialog::Accepted);
  LabelPreviewWindow again(preview.pages(), {});
  EXPECT_EQ(again.findChild<QLabel*>("LabNonImprimables"), nullptr);
  again.findChild<QPushButton*>("btApercuFermer")->click();
  EXPECT_EQ(again.result(), QDialog::Rejected);
}

TEST_F(PreviewOfARun, TheWindowOpensWithinTheScreenAndGivesItsRoomToThePage) {
  PreviewDestination preview;
  ASSERT_GT(run(preview), 0);
  LabelPreviewWindow window(preview.pages(), calibrations);
  window.show();
  QApplication::processEvents();
  const QRect screen = window.screen()->availableGeometry();
  EXPECT_LE(window.height(), screen.height());
  EXPECT_LE(window.width(), screen.width());
  auto* page = window.findChild<QWidget*>("PageApercu");
  const QSize before = page->size();
  window.hide();
  window.resize(window.width() + 100, window.height() + 100);
  window.show();
  QApplication::processEvents();
  EXPECT_EQ(page->size(), before + QSize(100, 100));
}

TEST_F(PreviewOfARun, UnprintableRecordsAreListedAndTheirPlacesCrossedOut) {
  languages::setLanguageNumber(languages::kEnglish);
  request.firstPosition = 1;
  data.executeStatement("update article set quantite=1");
  data.executeStatement("update article set cb=\"vk-2\" where num=2");
  UnprintableRecords found;
  request.agreeToSkip = [&found](const UnprintableRecords& unprintable) {
    found = unprintable;
    return true;
  };
  PreviewDestination preview;
  EXPECT_EQ(run(preview), 1);
  EXPECT_EQ(found.count, 1);
  LabelPreviewWindow window(preview.pages(), {}, nullptr, unprintableList(found));
  auto* notice = window.findChild<QLabel*>("LabNonImprimables");
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(notice->text(),
            "1 record(s) whose barcode cannot print as itself on these labels (a "
            "character Code 39 lacks, or too long for the label):\n    vk-2");
  // Position 2 holds the record: crossed out on screen, blank on paper.
  ImageDestination printed(kDpi);
  printKeptPages(preview.pages(), printed, nullptr);
  const QImage shown = renderKeptPage(preview.pages()[0], {}, kDpi);
  EXPECT_NE(shown, printed.pages()[0].image);
  languages::setLanguageNumber(languages::kFrench);
}

}  // namespace
}  // namespace vekrano::printing
