// The record grid as the screen shows it over a real table: one-line rows with their text
// centred and cut with "…", the arrow of the ordering column, the last column reaching the
// right edge, and no row at all for an empty list.
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include "list/record_grid_delegate.h"
#include "list/record_grid_view.h"
#include "records/record_statements.h"
#include "records_page_fixture.h"
#include "support/qt/ink_bounds.h"

namespace vekrano::app::testing {
namespace {

const std::string kLongText(90, 'W');

class RecordGrid : public RecordsPage {
 protected:
  void SetUp() override {
    RecordsPage::SetUp();
    int num = 0;
    for (const char* cb : {"B20", "A10", "C30", "A05"}) {
      data.executeStatement(records::newRecordStatement({++num, cb, kLongText, "HHH", num, "O"}));
    }
    window->redisplayList();
    window->show();
    QApplication::processEvents();
    ASSERT_EQ(rows(), 4);
  }
  void TearDown() override { window->hide(); }

  QHeaderView& titles() { return *grid().horizontalHeader(); }
  void clickTitle(int column) {
    QTest::mouseClick(titles().viewport(), Qt::LeftButton, {},
                      QPoint(titles().sectionViewportPosition(column) + 5, titles().height() / 2));
    QApplication::processEvents();
  }
  QImage titleImage(int column) {
    return titles()
        .grab(QRect(titles().sectionViewportPosition(column), 0, titles().sectionSize(column), titles().height()))
        .toImage();
  }
  // The pixels of a cell as painted, without the grid lines at its right and bottom.
  QImage cellImage(int row, int column) {
    const QRect cell = grid().visualRect(grid().model()->index(row, column)).adjusted(0, 0, -1, -1);
    return grid().viewport()->grab(cell).toImage();
  }
};

// Where the cell or list holds anything but the colour of its top-left pixel.
QRect inkBounds(const QImage& image) { return vekrano::testing::inkBounds(image, image.pixelColor(0, 0)); }

TEST_F(RecordGrid, RowsAreOneLineWithTheTextCentredAndCutWithAnEllipsis) {
  clickTitle(1);  // sorted first, as a user would: A05, A10, B20, C30
  ASSERT_EQ(cell(3, 1), "C30");
  const int lineHeight = QFontMetrics(grid().font()).height();
  for (int row = 0; row < 4; ++row) EXPECT_EQ(grid().rowHeight(row), lineHeight + 2 * list::kCellMargin);
  for (int row : {1, 3}) {  // rows that are not selected, and the last one
    const QImage barcode = cellImage(row, 1);
    const QRect ink = inkBounds(barcode);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), list::kCellMargin);
    const int above = ink.top();
    const int below = barcode.height() - 1 - ink.bottom();
    EXPECT_GE(above, 2);
    EXPECT_LE(std::abs(above - below), 4)
        << "capitals at " << above << " from the top, " << below << " from the bottom";
  }
  // The long text does not fit its column: the cell shows its start and "…", inside the margin.
  const int width = grid().columnWidth(2) - 2 * list::kCellMargin;
  const QString shown = list::RecordGridDelegate::shownText(grid().font(), cell(1, 2), width);
  EXPECT_TRUE(shown.startsWith("WWW"));
  EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
  const QImage text1 = cellImage(1, 2);
  const QRect ink = inkBounds(text1);
  EXPECT_GT(ink.right(), text1.width() / 2);
  EXPECT_LT(ink.right(), text1.width() - list::kCellMargin + 1);
}

TEST_F(RecordGrid, TheOrderingColumnsTitleShowsItsDirection) {
  EXPECT_EQ(titles().sortIndicatorSection(), -1);  // ordered by number: no arrow
  const QImage plain = titleImage(2);
  clickTitle(2);
  EXPECT_EQ(titles().sortIndicatorSection(), 2);
  EXPECT_EQ(titles().sortIndicatorOrder(), Qt::AscendingOrder);
  const QImage ascending = titleImage(2);
  EXPECT_NE(ascending, plain);
  clickTitle(2);
  EXPECT_EQ(titles().sortIndicatorSection(), 2);
  EXPECT_EQ(titles().sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_NE(titleImage(2), ascending);
  clickTitle(1);  // another column starts ascending, and the list follows it
  EXPECT_EQ(titles().sortIndicatorSection(), 1);
  EXPECT_EQ(titles().sortIndicatorOrder(), Qt::AscendingOrder);
  EXPECT_EQ(titleImage(2), plain);
  EXPECT_EQ(cell(0, 1), "A05");
  clickTitle(1);
  EXPECT_EQ(titles().sortIndicatorOrder(), Qt::DescendingOrder);
  EXPECT_EQ(cell(0, 1), "C30");
}

TEST_F(RecordGrid, TheLastColumnTakesTheFreeWidth) {
  const int right = grid().columnViewportPosition(5) + grid().columnWidth(5);
  EXPECT_EQ(right, grid().viewport()->width());
  window->resize(window->width() + 200, window->height());
  QApplication::processEvents();
  EXPECT_EQ(grid().columnViewportPosition(5) + grid().columnWidth(5), grid().viewport()->width());
}

TEST_F(RecordGrid, AnEmptyListShowsNoRow) {
  window->findChild<QLineEdit*>("TexCb")->setText("Z");
  window->redisplayList();
  QApplication::processEvents();
  EXPECT_EQ(rows(), 0);
  EXPECT_EQ(grid().model()->rowCount(), 0);
  EXPECT_TRUE(grid().selectionModel()->selectedIndexes().isEmpty());
  // The whole list area is the grid's white: no row, no highlight.
  const QImage shown = grid().viewport()->grab().toImage();
  EXPECT_TRUE(inkBounds(shown).isEmpty());
  EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::white));
  window->findChild<QLineEdit*>("TexCb")->setText("A");
  window->redisplayList();
  EXPECT_EQ(grid().model()->rowCount(), 2);
}

}  // namespace
}  // namespace vekrano::app::testing
