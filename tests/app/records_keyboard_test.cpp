// The records page with the keyboard alone: Tab in and out of the grid, Enter and Delete on a
// row, the criteria's radio buttons.
#include <QApplication>
#include <QImage>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "records/record_editor.h"
#include "records_page_fixture.h"

namespace vekrano::app::testing {
namespace {

class RecordKeys : public RecordsPage {
 protected:
  void SetUp() override {
    RecordsPage::SetUp();
    for (const char* cb : {"A", "B", "C"}) add({cb, QString("line ") + cb});
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    grid().setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
  }
  void TearDown() override { window->hide(); }

  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    QApplication::processEvents();
  }
  QString focused() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : ""; }
  // The colour painted in the middle of row `row`'s barcode cell.
  QColor paintedAt(int row) {
    const QImage image = grid().viewport()->grab().toImage();
    return image.pixelColor(grid().visualRect(grid().model()->index(row, 1)).center() + QPoint(30, 0));
  }
};

TEST_F(RecordKeys, EnterOpensTheRowDeleteAsksAndTabLeavesTheGrid) {
  press(Qt::Key_Down);
  ASSERT_EQ(grid().currentIndex().row(), 1);
  QString opened;
  desktop.whileShown = [&opened](QDialog& dialog) { opened = dialog.findChild<QLineEdit*>("ecb")->text(); };
  press(Qt::Key_Return);
  EXPECT_EQ(opened, "B");
  EXPECT_EQ(window->recordEditor().mode, records::EditorMode::Modify);
  opened.clear();
  press(Qt::Key_Enter);  // the keypad's
  EXPECT_EQ(opened, "B");

  prompts.answers = {common::PromptAnswer::No};
  press(Qt::Key_Delete);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Suppression de l article ");
  EXPECT_EQ(rows(), 3);

  EXPECT_EQ(focused(), "s");
  press(Qt::Key_Tab);
  EXPECT_EQ(focused(), "sAjout");
  press(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(focused(), "s");
  EXPECT_EQ(grid().currentIndex().row(), 1);  // Tab moved no cell
  press(Qt::Key_Tab);
  desktop.whileShown = [&opened](QDialog& dialog) { opened = dialog.findChild<QLineEdit*>("ecb")->text() + "|"; };
  press(Qt::Key_Return);  // on "Ajouter"
  EXPECT_EQ(opened, "|");
  EXPECT_EQ(window->recordEditor().mode, records::EditorMode::Create);
}

TEST_F(RecordKeys, TheGridShowsWhetherItHasTheFocus) {
  const QColor withFocus = paintedAt(0);
  EXPECT_EQ(withFocus, grid().palette().color(QPalette::Highlight));
  press(Qt::Key_Tab);
  ASSERT_NE(focused(), "s");
  const QColor without = paintedAt(0);
  EXPECT_NE(without, withFocus);
  EXPECT_NE(without, QColor(240, 251, 255));  // still marked as the selected row
}

TEST_F(RecordKeys, TabReachesTheCheckedRadioButtonOnly) {
  window->findChild<QRadioButton*>("ranontop")->setChecked(true);
  window->findChild<QLineEdit*>("text2")->setFocus(Qt::OtherFocusReason);
  press(Qt::Key_Tab);
  EXPECT_EQ(focused(), "ranontop");
  press(Qt::Key_Down);  // the arrows choose among them
  EXPECT_EQ(focused(), "Ratoutes");
  EXPECT_TRUE(window->findChild<QRadioButton*>("Ratoutes")->isChecked());
  press(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(focused(), "text2");
  press(Qt::Key_Tab);
  EXPECT_EQ(focused(), "Ratoutes");
}

}  // namespace
}  // namespace vekrano::app::testing
