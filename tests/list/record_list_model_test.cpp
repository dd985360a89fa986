#include "list/record_list_model.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <gtest/gtest.h>

#include "dbase/dataset/field.h"
#include "list/record_grid_delegate.h"
#include "list/record_grid_view.h"
#include "records/article_data.h"
#include "records/record_statements.h"
#include "support/qt/ink_bounds.h"
#include "support/temp_dir.h"

namespace vekrano::list {
namespace {

class RecordList : public ::testing::Test {
 protected:
  void SetUp() override {
    data.openData();
    for (const records::BarcodeRecord& r :
         {records::BarcodeRecord{1, "A1", "l", "m", 2, "O"}, {2, "B", "", "", 3, "N"}, {3, "C", "", "", 4, ""}}) {
      data.executeStatement(records::newRecordStatement(r));
    }
  }
  void list(const std::string& statement) {
    data.sqlQuery1.Close();
    data.sqlQuery1.SQL().Clear();
    data.sqlQuery1.SQL().Add(statement);
    data.sqlQuery1.Open();
  }

  testing::TempDir directory;
  records::ArticleData data{directory.path().string() + "/"};
  RecordListModel model{data.DataSource1};
};

TEST_F(RecordList, ReadingCellsLeavesTheCurrentRowAndItsEditAlone) {
  list("select *  from article order by num");
  ASSERT_EQ(model.rowCount(), 3);
  model.setCurrentRow(1);
  EXPECT_EQ(model.cellText(0, 1), "A1");
  EXPECT_EQ(model.cellText(0, 4), "2");
  EXPECT_EQ(model.cellText(0, 5), "X");
  EXPECT_EQ(model.cellText(1, 5), " ");
  EXPECT_EQ(model.cellText(2, 5), "");
  EXPECT_EQ(model.cellText(7, 1), "");  // beyond the result: blank, no failure
  EXPECT_EQ(data.sqlQuery1.RecNo(), 2);
  // Rows painted while the current one is changed: the edit goes on, and shows at once.
  data.sqlQuery1.Edit();
  data.sqlQuery1.FieldByName("cb").setAsString("Z");
  EXPECT_EQ(model.cellText(1, 1), "Z");
  EXPECT_EQ(model.cellText(2, 1), "");  // no other row is read in the middle of an edit
  data.sqlQuery1.FieldByName("quantite").setAsInteger(9);
  data.sqlQuery1.Post();
  EXPECT_EQ(model.cellText(0, 1), "A1");
  EXPECT_EQ(model.cellText(2, 1), "C");
  EXPECT_EQ(model.cellText(1, 1), "Z");
  EXPECT_EQ(model.cellText(1, 4), "9");
  EXPECT_EQ(data.sqlQuery1.RecNo(), 2);
  EXPECT_EQ(model.rowCount(), 3);
}

TEST_F(RecordList, FarJumpsReadTheRowsTheyLandOn) {
  for (int num = 4; num <= 1000; ++num) {
    data.tarticle.Append();
    data.tarticle.FieldByName("num").setAsInteger(num);
    data.tarticle.FieldByName("cb").setAsString("N" + std::to_string(num));
    data.tarticle.Post();
  }
  list("select *  from article order by num desc");
  ASSERT_EQ(model.rowCount(), 1000);
  model.setCurrentRow(10);
  EXPECT_EQ(model.cellText(995, 1), "N5");  // a jump forward past the neighbours
  EXPECT_EQ(model.cellText(996, 1), "N4");  // then the next row
  EXPECT_EQ(model.cellText(100, 1), "N900");  // a jump back
  EXPECT_EQ(model.cellText(999, 1), "A1");  // the last row
  EXPECT_EQ(data.sqlQuery1.FieldByName("num").AsInteger(), 990);
  data.sqlQuery1.Delete();  // the query's own move is told to the grid
  EXPECT_EQ(model.cellText(10, 1), "N989");
}

TEST_F(RecordList, AnEmptyOrClosedResultHasNoRow) {
  list("select *  from article  where  cb like \"Q%\"order by num");
  EXPECT_EQ(model.rowCount(), 0);
  for (int column = 0; column < 6; ++column) EXPECT_EQ(model.cellText(0, column), "");
  data.sqlQuery1.Close();
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_EQ(model.cellText(0, 1), "");
}

TEST_F(RecordList, CellTextIsCentredInHeightWithAMarginOverTheColumnColour) {
  list("select *  from article order by num");
  RecordGridDelegate delegate;
  const QColor lib1Colour(192, 220, 192);
  QImage image(100, 40, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  QStyleOptionViewItem option;
  option.rect = QRect(0, 0, 100, 40);
  option.palette.setColor(QPalette::Text, Qt::black);
  delegate.paint(&painter, option, model.index(0, 2));
  painter.end();
  EXPECT_EQ(image.pixelColor(99, 39), lib1Colour);
  const QRect ink = vekrano::testing::inkBounds(image, lib1Colour);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left(), kCellMargin);
  // A lower-case "l" stands in the upper part of the line: its ink is near the middle, not at
  // the top where it used to be.
  EXPECT_GT(ink.top(), 8);
  EXPECT_LT(ink.bottom(), 32);
}

TEST_F(RecordList, TooLongTextIsCutWithAnEllipsisOnOneLine) {
  const QFont font("Times New Roman", 10);
  const QString longText = QString(60, 'W');
  const QString shown = RecordGridDelegate::shownText(font, longText, 80);
  EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
  EXPECT_LE(QFontMetrics(font).horizontalAdvance(shown), 80);
  EXPECT_EQ(RecordGridDelegate::shownText(font, "abc", 80), "abc");
  EXPECT_EQ(RecordGridDelegate::shownText(font, "first\nsecond", 200), "first");
}

}  // namespace
}  // namespace vekrano::list
