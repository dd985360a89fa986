// The main window's pages on their own: what their accessors read from the controls, and the
// commands their controls and keys ask the main window for.
#include <QComboBox>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "app/printing_page.h"
#include "app/records_page.h"
#include "app/settings_page.h"
#include "dbase/dataset/data_source.h"
#include "printing/label_types.h"

namespace vekrano::app {
namespace {

template <typename T>
T& control(QWidget& page, const char* name) {
  T* found = page.findChild<T*>(name);
  if (found == nullptr) throw std::runtime_error(std::string("no control ") + name);
  return *found;
}

TEST(MainWindowPages, TheRecordsPageReadsItsCriteriaAndAsksForItsCommands) {
  dbase::TDataSource list;
  RecordsPage page(list);
  EXPECT_EQ(list::criteriaText(page.criteria()), "");
  control<QLineEdit>(page, "TexCb").setText("AB");
  control<QLineEdit>(page, "text2").setText("shelf");
  control<QRadioButton>(page, "ranontop").setChecked(true);
  EXPECT_EQ(list::criteriaText(page.criteria()), " cb like \"AB%\" and  lib2 like \"shelf%\" and  topp=\"N\"");
  control<QRadioButton>(page, "Ratop").setChecked(true);
  EXPECT_EQ(page.criteria().top, list::TopCriterion::Topped);

  QSignalSpy redisplay(&page, &RecordsPage::redisplayRequested);
  QSignalSpy view(&page, &RecordsPage::viewRequested);
  QSignalSpy erase(&page, &RecordsPage::deleteRequested);
  QSignalSpy add(&page, &RecordsPage::addRequested);
  QSignalSpy exported(&page, &RecordsPage::exportRequested);
  QTest::keyClick(&control<QLineEdit>(page, "text1"), Qt::Key_Return);
  QTest::keyClick(&control<QLineEdit>(page, "TexCb"), Qt::Key_A);
  EXPECT_EQ(redisplay.count(), 1) << "Enter in a criteria edit only";
  EXPECT_EQ(control<QLineEdit>(page, "TexCb").text(), "ABa");
  QTest::keyClick(&page.grid(), Qt::Key_Enter);
  QTest::keyClick(&page.grid(), Qt::Key_Delete);
  QTest::keyClick(&page.grid(), Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(view.count(), 1);
  EXPECT_EQ(erase.count(), 1) << "Ctrl+Delete is not the delete command";
  control<QPushButton>(page, "sAjout").click();
  control<QPushButton>(page, "bexport").click();
  control<QPushButton>(page, "ssupprime").click();
  EXPECT_EQ(add.count(), 1);
  EXPECT_EQ(exported.count(), 1);
  EXPECT_EQ(erase.count(), 2);
}

TEST(MainWindowPages, ThePrintingPageGivesTheRunAsItsControlsStand) {
  PrintingPage page;
  printing::BuildLabelTypeList(page.labelTypes());
  page.printers().addItems({"shop", "office"});
  page.printers().setCurrentIndex(1);
  page.labelTypes().setCurrentIndex(2);
  page.firstPosition().setMaximum(20);
  page.firstPosition().setValue(7);
  control<QCheckBox>(page, "topimpTexte2").setChecked(false);
  control<QRadioButton>(page, "Ratoutefiche").setChecked(true);
  printing::PrintRequest request = page.printRequest();
  EXPECT_EQ(request.labelTypeEntry, printing::labelTypeEntryAt(page.labelTypes(), 2));
  EXPECT_EQ(request.printerName, "office");
  EXPECT_EQ(request.firstPosition, 7);
  EXPECT_TRUE(request.text.printText1);
  EXPECT_FALSE(request.text.printText2);
  EXPECT_TRUE(request.printEveryRecord);
  EXPECT_FALSE(page.printsPickedRecords());

  // Picked records are offered only while rows are picked; the run then goes back to the criteria.
  page.offerPickedRecords(true);
  control<QRadioButton>(page, "Rafichesel").setChecked(true);
  EXPECT_TRUE(page.printsPickedRecords());
  page.offerPickedRecords(false);
  EXPECT_FALSE(page.printsPickedRecords());
  EXPECT_TRUE(control<QRadioButton>(page, "Rafichem").isChecked());
  EXPECT_FALSE(control<QRadioButton>(page, "Rafichesel").isEnabled());

  // A calibration shown is no change of the user's; a box the user turns is.
  QSignalSpy changed(&page, &PrintingPage::calibrationChanged);
  page.showCalibration({1.5, -2.0, 98.0}, true);
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(page.calibration(), (printing::PrinterCalibration{1.5, -2.0, 98.0}));
  control<QDoubleSpinBox>(page, "SpinDecalV").setValue(3.2);
  EXPECT_EQ(changed.count(), 1);
  EXPECT_DOUBLE_EQ(page.calibration().offsetYMm, 3.2);
  page.showCalibration({}, false);
  EXPECT_FALSE(control<QDoubleSpinBox>(page, "SpinEchelle").isEnabled());

  QSignalSpy pdf(&page, &PrintingPage::pdfRequested);
  QSignalSpy preview(&page, &PrintingPage::previewRequested);
  control<QPushButton>(page, "btimprimePdf").click();
  control<QPushButton>(page, "btApercu").click();
  EXPECT_EQ(pdf.count(), 1);
  EXPECT_EQ(preview.count(), 1);
}

TEST(MainWindowPages, TheSettingsPageOffersTheRepairOnlyWhenAsked) {
  SettingsPage page;
  QPushButton& repair = control<QPushButton>(page, "sreparertable");
  QSignalSpy asked(&page, &SettingsPage::repairRequested);
  EXPECT_FALSE(page.repairOffered());
  repair.click();
  EXPECT_EQ(asked.count(), 0) << "a disabled button asks nothing";
  page.offerRepair(true);
  repair.click();
  EXPECT_EQ(asked.count(), 1);
  page.offerRepair(false);
  EXPECT_FALSE(repair.isEnabled());

  QSignalSpy applied(&page, &SettingsPage::applyLanguageRequested);
  control<QRadioButton>(page, "lportugais").setChecked(true);
  control<QPushButton>(page, "btappliquer").click();
  EXPECT_EQ(applied.count(), 1);
  EXPECT_EQ(page.languageButtons().chosen(), 3);
}

}  // namespace
}  // namespace vekrano::app
