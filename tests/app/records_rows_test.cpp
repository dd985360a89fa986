// The records page's commands on every row of a real list, sorted by barcode in descending order
// and filtered, reached the way a user reaches rows: clicks, scrolling, the menu, a double click.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

#include "dbase/dataset/field.h"
#include "dbase/table/table_dataset.h"
#include "records/article_table.h"
#include "records/record_editor.h"
#include "records/record_statements.h"
#include "records_page_fixture.h"

namespace vekrano::app::testing {
namespace {

constexpr int kListed = 32;  // "A01" to "A32"; "B01" to "B08" stay outside the criterion

std::string twoDigits(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

// The record as the table file holds it, read by a table of its own.
struct Stored {
  std::string cb, lib1;
  int quantite = 0;
  std::string topp;
};

class RecordRows : public RecordsPage {
 protected:
  void SetUp() override {
    RecordsPage::SetUp();
    for (int num = 1; num <= 40; ++num) {
      const std::string cb = (num <= kListed ? "A" : "B") + twoDigits(num <= kListed ? num : num - kListed);
      data.executeStatement(records::newRecordStatement({num, cb, "line " + std::to_string(num), "", 1, "O"}));
    }
    window->findChild<QLineEdit*>("TexCb")->setText("A");
    window->sTitleClick(1);
    window->sTitleClick(1);  // barcode, descending: row r shows record 32 - r
    window->show();
    QApplication::processEvents();
    ASSERT_EQ(rows(), kListed);
    ASSERT_EQ(cell(0, 1), "A32");
    ASSERT_EQ(shownCount(), "32 fiches");
  }
  void TearDown() override { window->hide(); }

  static int numberAt(int row) { return kListed - row; }

  std::optional<Stored> stored(int num) {
    dbase::TTzDbf table{"check"};
    records::configureArticleTable(table, dir());
    table.Open();
    std::optional<Stored> found;
    for (table.First(); !table.Eof(); table.Next()) {
      if (table.FieldByName("num").AsInteger() != num) continue;
      found = Stored{table.FieldByName("cb").AsString(), table.FieldByName("lib1").AsString(),
                     table.FieldByName("quantite").AsInteger(), table.FieldByName("topp").AsString()};
    }
    table.Close();
    return found;
  }

  QModelIndex at(int row) { return grid().model()->index(row, 1); }
  // Scrolls the row into sight, lets the grid paint, and clicks it.
  void clickRow(int row) {
    grid().scrollTo(at(row));
    QApplication::processEvents();
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().visualRect(at(row)).center());
    QApplication::processEvents();
    ASSERT_EQ(grid().currentIndex().row(), row);
  }
  void trigger(const char* action) { window->findChild<QAction*>(action)->trigger(); }
  QString shownCount() { return window->findChild<QLabel*>("LabNombreFiches")->text(); }
  std::string message() { return prompts.shown.empty() ? "" : prompts.shown.back().text; }
};

TEST_F(RecordRows, ModifyWritesOnceClosesTheEditorAndShowsTheRowOnAnyRow) {
  const auto modifyButton = [this](int) { window->findChild<QPushButton*>("smodif")->click(); };
  const struct {
    int row;
    std::function<void(int)> open;
  } ways[] = {
      {0, modifyButton},
      {1,
       [this](int row) {
         QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, grid().visualRect(at(row)).center());
       }},
      {kListed - 1, [this](int) { trigger("mvisumodifcompte"); }},
      {20, modifyButton},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.row);
    clickRow(way.row);
    const int num = numberAt(way.row);
    const QString cb = QString("AZ%1").arg(num);
    typeAndConfirm({cb, "changed", "second", "7", false});
    way.open(way.row);
    QApplication::processEvents();
    EXPECT_EQ(message(), "");
    EXPECT_EQ(window->recordEditor().result(), QDialog::Accepted);
    const std::optional<Stored> record = stored(num);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->cb, cb.toStdString());
    EXPECT_EQ(record->lib1, "changed");
    EXPECT_EQ(record->quantite, 7);
    EXPECT_EQ(record->topp, "N");
    EXPECT_EQ(cell(way.row, 1), cb);  // in place, although it now sorts first
    EXPECT_EQ(cell(way.row, 2), "changed");
    EXPECT_EQ(cell(way.row, 3), "second");
    EXPECT_EQ(cell(way.row, 4), "7");
    EXPECT_EQ(cell(way.row, 5), " ");
    EXPECT_EQ(grid().currentIndex().row(), way.row);
    EXPECT_EQ(data.sqlQuery1.FieldByName("num").AsInteger(), num);
    const int neighbour = way.row + 1 < kListed ? way.row + 1 : way.row - 1;
    EXPECT_EQ(cell(neighbour, 1), QString::fromStdString("A" + twoDigits(numberAt(neighbour))));
  }
  EXPECT_EQ(rows(), kListed);
}

TEST_F(RecordRows, TheTopFlagFlipsTheTableAndTheGridOnAnyRow) {
  for (int row : {0, 1, kListed - 1, 20}) {
    SCOPED_TRACE(row);
    clickRow(row);
    const int num = numberAt(row);
    trigger("Changerletop1");
    QApplication::processEvents();
    EXPECT_EQ(message(), "");
    EXPECT_EQ(stored(num)->topp, "N");
    EXPECT_EQ(cell(row, 5), " ");
    EXPECT_EQ(grid().currentIndex().row(), row);
    trigger("Changerletop1");  // a second try flips it back, in the table and in the grid
    EXPECT_EQ(stored(num)->topp, "O");
    EXPECT_EQ(cell(row, 5), "X");
    EXPECT_EQ(message(), "");
  }
  EXPECT_EQ(stored(numberAt(2))->topp, "O");
}

TEST_F(RecordRows, DeleteRemovesTheRecordOfTheRowAndKeepsThePlace) {
  int listed = kListed;
  for (int row : {1, 20, kListed - 3, 0}) {  // the third is the last row by then
    SCOPED_TRACE(row);
    clickRow(row);
    const QString shown = cell(row, 1);
    const int num = shown.mid(1).toInt();
    // The record that followed takes the place, or the one before when it was the last.
    const bool last = row == listed - 1;
    const QString next = cell(last ? row - 1 : row + 1, 1);
    prompts.answers = {common::PromptAnswer::Yes};
    const std::size_t before = prompts.shown.size();
    window->findChild<QPushButton*>("ssupprime")->click();
    QApplication::processEvents();
    ASSERT_EQ(prompts.shown.size(), before + 1);  // the question, and nothing else
    EXPECT_FALSE(stored(num).has_value());
    EXPECT_EQ(rows(), --listed);
    EXPECT_EQ(shownCount(), QString("%1 fiches").arg(listed));
    const int place = last ? row - 1 : row;
    EXPECT_EQ(cell(place, 1), next);
    EXPECT_EQ(grid().currentIndex().row(), place);
    EXPECT_EQ(data.sqlQuery1.FieldByName("cb").AsString(), next.toStdString());
  }
  EXPECT_TRUE(stored(numberAt(5)).has_value());
}

}  // namespace
}  // namespace vekrano::app::testing
