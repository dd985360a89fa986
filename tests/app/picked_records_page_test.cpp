// Rows picked in the grid with the mouse and the keyboard, printed with "Only the selected
// records": exactly those records, each as many times as its quantity, in the list's order;
// the choice offered only while rows are picked, and given up when the list is displayed again.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "list/sort_state.h"
#include "printed_labels.h"
#include "records/record_statements.h"
#include "shell_fixture.h"

namespace vekrano::app::testing {
namespace {

class PickedRecords : public ShellTest {
 protected:
  void SetUp() override {
    list::sortState() = {};  // shared by the whole run
    window = std::make_unique<TFprincip>(dir(), saving, data);
    window->FormShow();
    window->FormActivate();
    window->resize(762, 611);
    window->show();
    saving.path = QString::fromStdString(directory.file("picked.pdf"));
  }
  void add(int num, const std::string& cb, const std::string& lib1, int quantite) {
    data.executeStatement(records::newRecordStatement({num, cb, lib1, "t2", quantite, "O"}));
  }
  QTableView& grid() { return *window->findChild<QTableView*>("s"); }
  QString cell(int row, int column) { return grid().model()->index(row, column).data().toString(); }
  // A click on row `row` (from 0) of the grid as the user makes it.
  void clickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
    const QModelIndex index = grid().model()->index(row, 1);
    grid().scrollTo(index);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, modifiers, grid().visualRect(index).center());
  }
  QRadioButton* onlySelected() { return window->findChild<QRadioButton*>("Rafichesel"); }
  QRadioButton* matchingCriteria() { return window->findChild<QRadioButton*>("Rafichem"); }
  std::vector<std::string> printed() {
    window->findChild<QPushButton*>("btimprimePdf")->click();
    return vekrano::testing::labelsIn(saving.path.toStdString(), directory);
  }
  // The labels the shown rows `rows` give, read from the grid: barcode times quantity.
  std::vector<std::string> labelsOfRows(std::initializer_list<int> rows) {
    std::vector<std::string> labels;
    for (int row : rows) labels.insert(labels.end(), cell(row, 4).toInt(), cell(row, 1).toStdString());
    labels.resize(12);  // one sheet of type 1
    return labels;
  }

  SavingDesktop saving;
};

TEST_F(PickedRecords, PrintsThePickedRowsOfASortedFilteredListInItsOrder) {
  const char* codes[] = {"K1", "B2", "Z3", "A4", "Q5", "M6", "C7", "D8", "E9", "F10", "X11", "Y12"};
  for (int num = 1; num <= 12; ++num) {
    add(num, codes[num - 1], num == 3 || num == 8 ? "other" : "shelf", num % 3 + 1);
  }
  window->findChild<QLineEdit*>("text1")->setText("shelf");
  window->redisplayList();
  window->sTitleClick(1);
  window->sTitleClick(1);  // barcodes descending
  ASSERT_EQ(data.sqlQuery1.RecordCount(), 10);
  ASSERT_EQ(cell(0, 1), "Y12");
  ASSERT_EQ(cell(9, 1), "A4");

  clickRow(1);
  clickRow(4, Qt::ControlModifier);
  clickRow(8, Qt::ControlModifier);
  // The last click makes the current row, the one the commands act on.
  EXPECT_EQ(data.sqlQuery1.RecNo(), 9);
  EXPECT_EQ(QString::fromStdString(data.sqlQuery1.FieldByName("cb").AsString()).trimmed(), cell(8, 1));
  ASSERT_TRUE(onlySelected()->isEnabled());
  onlySelected()->setChecked(true);
  // Rows 2, 5 and 9: X11, K1 and B2 with quantities 3, 2 and 3.
  std::vector<std::string> expected{"X11", "X11", "X11", "K1", "K1", "B2", "B2", "B2"};
  expected.resize(12);
  EXPECT_EQ(labelsOfRows({1, 4, 8}), expected);
  EXPECT_EQ(printed(), expected);
  EXPECT_TRUE(prompts.shown.empty());

  // Ctrl+click takes a row back; Shift+click picks the rows between.
  clickRow(4, Qt::ControlModifier);
  EXPECT_EQ(printed(), labelsOfRows({1, 8}));
  clickRow(5);
  clickRow(7, Qt::ShiftModifier);
  EXPECT_EQ(printed(), labelsOfRows({5, 6, 7}));

  // Ctrl+A picks every row shown: the records the criteria keep out stay out.
  grid().setFocus();
  QTest::keyClick(&grid(), Qt::Key_A, Qt::ControlModifier);
  int labels = 0;
  for (const std::string& label : printed()) labels += label.empty() ? 0 : 1;
  int shownQuantities = 0;
  for (int row = 0; row < 10; ++row) shownQuantities += cell(row, 4).toInt();
  EXPECT_EQ(shownQuantities, 20);
  EXPECT_EQ(labels, 20);  // two sheets of 12
}

TEST_F(PickedRecords, TheChoiceIsOfferedOnlyWhileRowsArePickedAndEndsWithTheList) {
  EXPECT_FALSE(onlySelected()->isEnabled());  // nothing stored, nothing shown
  for (int num = 1; num <= 4; ++num) add(num, "C" + std::to_string(num), "shelf", 1);
  window->redisplayList();
  // The current row is shown selected, as always; it can be printed alone.
  EXPECT_TRUE(onlySelected()->isEnabled());
  clickRow(2);
  onlySelected()->setChecked(true);
  EXPECT_EQ(printed()[0], "C3");

  // Nothing picked: the choice is not offered and the run goes back to the criteria.
  grid().selectionModel()->clearSelection();
  EXPECT_FALSE(onlySelected()->isEnabled());
  EXPECT_TRUE(matchingCriteria()->isChecked());

  // A re-sort shows other rows where the picked ones were: the pick ends, the current row alone
  // is selected again, and the run goes back to the criteria.
  clickRow(0);
  clickRow(3, Qt::ControlModifier);
  onlySelected()->setChecked(true);
  window->sTitleClick(1);
  EXPECT_EQ(grid().selectionModel()->selectedRows().size(), 1);
  EXPECT_TRUE(onlySelected()->isEnabled());
  EXPECT_TRUE(matchingCriteria()->isChecked());
  // So does a filter that shows no record.
  onlySelected()->setChecked(true);
  window->findChild<QLineEdit*>("TexCb")->setText("none");
  window->redisplayList();
  EXPECT_FALSE(onlySelected()->isEnabled());
  EXPECT_TRUE(matchingCriteria()->isChecked());
}

}  // namespace
}  // namespace vekrano::app::testing
