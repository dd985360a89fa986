// The records page as the window tests drive it: the record editor answered while it is shown,
// and the grid read as the user sees it.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "list/sort_state.h"
#include "shell_fixture.h"

namespace vekrano::app::testing {

struct Entry {
  QString cb;
  QString lib1{};
  QString lib2{};
  QString quantity = "1";
  bool topped = true;
};

class RecordsPage : public ShellTest {
 protected:
  void SetUp() override {
    list::sortState() = {};  // shared by the whole run
    desktop.choice = 1;
    start();
  }

  // The editor is filled with `entry` and OK is pressed once while it is shown.
  void typeAndConfirm(const Entry& entry) {
    desktop.whileShown = [entry](QDialog& dialog) {
      dialog.findChild<QLineEdit*>("ecb")->setText(entry.cb);
      dialog.findChild<QLineEdit*>("elib1")->setText(entry.lib1);
      dialog.findChild<QLineEdit*>("elib2")->setText(entry.lib2);
      dialog.findChild<QComboBox*>("CombQuantite")->setEditText(entry.quantity);
      dialog.findChild<QComboBox*>("CombTop")->setCurrentIndex(entry.topped ? 0 : 1);
      dialog.findChild<QPushButton*>("boutok")->click();
    };
  }
  void add(const Entry& entry) {
    typeAndConfirm(entry);
    window->acajoutcompteExecute();
  }
  QTableView& grid() { return *window->findChild<QTableView*>("s"); }
  QString cell(int row, int column) { return grid().model()->index(row, column).data().toString(); }
  int rows() { return data.sqlQuery1.Active() ? data.sqlQuery1.RecordCount() : -1; }
};

}  // namespace vekrano::app::testing
