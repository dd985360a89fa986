// The main window's records page "Gestion des fiches": the list criteria, the record grid with
// its pop-up menu, and the buttons of the record commands. The main window runs the commands.
#pragma once

#include <QWidget>

#include "list/list_criteria.h"

class QAction;
class QGroupBox;
class QLabel;
class QLayout;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QToolButton;

namespace vekrano::dbase {
class TDataSource;
}  // namespace vekrano::dbase

namespace vekrano::list {
class RecordListModel;
}  // namespace vekrano::list

namespace vekrano::app {

class RecordsPage : public QWidget {
  Q_OBJECT

 public:
  // The grid shows the rows of `list`.
  explicit RecordsPage(dbase::TDataSource& list, QWidget* parent = nullptr);

  // The list criteria as the criteria controls hold them now.
  list::ListCriteria criteria() const;
  QTableView& grid() const { return *grid_; }
  list::RecordListModel& listModel() const { return *listModel_; }
  // Sets the captions, hints, menu items and column titles from the interface texts.
  void applyTexts();

 signals:
  // The criteria's button, or Enter in a criteria edit.
  void redisplayRequested();
  // "Ajouter", "Voir/modifier" (also a double click or Enter in the grid), "Supprimer" (also the
  // Delete key in the grid) and "Changer le top", from the buttons or the grid's menu.
  void addRequested();
  void viewRequested();
  void deleteRequested();
  void changeTopRequested();
  void importRequested();
  void exportRequested();
  // A click on the title of grid column `column`.
  void titleClicked(int column);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* createCriteria();
  // An edit of the criteria with its caption right above it, in `column` of the group's grid.
  QLineEdit* addCriterionEdit(QGridLayout* grid, int column, const char* name, const char* caption, int maxLength,
                              QLabel*& label);
  void createGrid();
  QLayout* createButtons();
  // The grid's keys: Enter views or changes the row, Delete asks to delete it.
  bool gridKeyPressed(int key);

  QGroupBox* criteriaGroup_ = nullptr;
  QLabel* texCbLabel_ = nullptr;
  QLabel* text1Label_ = nullptr;
  QLabel* text2Label_ = nullptr;
  QLineEdit* texCb_ = nullptr;
  QLineEdit* text1_ = nullptr;
  QLineEdit* text2_ = nullptr;
  QGroupBox* topGroup_ = nullptr;
  QRadioButton* ratop_ = nullptr;
  QRadioButton* ranontop_ = nullptr;
  QRadioButton* ratoutes_ = nullptr;
  QToolButton* redisplay_ = nullptr;
  QTableView* grid_ = nullptr;
  list::RecordListModel* listModel_ = nullptr;
  QAction* menuAdd_ = nullptr;
  QAction* menuView_ = nullptr;
  QAction* menuDelete_ = nullptr;
  QAction* menuTop_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* view_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* import_ = nullptr;
  QPushButton* export_ = nullptr;
};

}  // namespace vekrano::app
