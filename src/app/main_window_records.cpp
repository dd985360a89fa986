// The commands of the records page: the list, its criteria, the grid's menu and the record editor.
#include <QAction>
#include <QItemSelectionModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>
#include <set>

#include "app/desktop.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "common/format_text.h"
#include "common/prompts.h"
#include "dbase/dataset/field.h"
#include "languages/qt_text.h"
#include "list/list_criteria.h"
#include "list/list_export.h"
#include "list/list_export_window.h"
#include "list/record_grid_view.h"
#include "list/record_list_model.h"
#include "list/sort_state.h"
#include "records/article_data.h"
#include "records/record_editor.h"
#include "records/record_statements.h"

namespace vekrano::app {

namespace {

constexpr int kConfirmCaption = 38;
constexpr int kDeleteQuestion = 44;
constexpr int kEraseQuestion = 36;
constexpr int kRestoreQuestion = 137;
constexpr int kOneRecordShown = 138;
constexpr int kRecordsShown = 139;
constexpr int kExportedCountText = 306;
constexpr int kExportEndCaption = 307;
constexpr int kExportingText = 309;

std::string text(int id) { return languages::fromQt(languages::textOf(id)); }

// The Enter key in a criteria edit re-displays the list.
class EnterRedisplays : public QObject {
 public:
  EnterRedisplays(TFprincip& window) : QObject(&window), window_(window) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        window_.redisplayList();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  TFprincip& window_;
};

// The grid's keys: Enter views or changes the row, Delete asks to delete it. Its selected row
// is repainted when the focus comes or goes, as its colour says where the focus is.
class GridKeys : public QObject {
 public:
  GridKeys(TFprincip& window, QTableView& grid) : QObject(&grid), window_(window), grid_(grid) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
      grid_.viewport()->update();
    } else if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
      switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
          window_.acvisumodifcompteExecute();
          return true;
        case Qt::Key_Delete:
          window_.acsupprimecompteExecute();
          return true;
        default:
          break;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  TFprincip& window_;
  QTableView& grid_;
};

// Tab stops at the checked button of a group of radio buttons only; the arrows move among them.
void tabToCheckedOnly(const QList<QRadioButton*>& group) {
  const auto follow = [group] {
    for (QRadioButton* button : group) button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
  };
  for (QRadioButton* button : group) QObject::connect(button, &QRadioButton::toggled, button, follow);
  follow();
}

// "Export the list": the records the list shows, in its order, into the CSV file chosen in the
// export window, with a progress window while a large list is written.
void exportList(TFprincip& window, list::Tfexportliste& choices) {
  sql::TSqlQuery& shown = window.data().sqlQuery1;
  if (!shown.Active()) return;
  choices.ApplyTexts();
  if (window.desktop().runModal(choices) != QDialog::Accepted) return;
  QProgressDialog progress(languages::textOf(kExportingText), QString(), 0, 0, &window);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  try {
    const int written = list::ExportStatement(
        window.data().sqlqueryfonction, shown.SQL().Text(), choices.path().toStdString(),
        choices.options(), [&progress](int done, int total) {
          progress.setMaximum(total);
          progress.setValue(done);  // a modal progress window processes the pending events
        });
    progress.reset();
    common::showMessage(text(kExportedCountText) + " " + std::to_string(written), text(kExportEndCaption));
  } catch (const std::exception& error) {
    progress.reset();
    showApplicationError(error);
  }
}

}  // namespace

void TFprincip::connectRecordsPage() {
  auto onClick = [this](const char* name, void (TFprincip::*command)()) {
    connect(findChild<QAbstractButton*>(name), &QAbstractButton::clicked, this, command);
  };
  auto onMenu = [this](const char* name, void (TFprincip::*command)()) {
    connect(findChild<QAction*>(name), &QAction::triggered, this, command);
  };
  onClick("sAjout", &TFprincip::acajoutcompteExecute);
  onClick("smodif", &TFprincip::acvisumodifcompteExecute);
  onClick("ssupprime", &TFprincip::acsupprimecompteExecute);
  onClick("SpeedButton1", &TFprincip::redisplayList);
  onClick("sdetruiretoutedonnee", &TFprincip::sdetruiretoutedonneeClick);
  onMenu("majoutcompte", &TFprincip::acajoutcompteExecute);
  onMenu("mvisumodifcompte", &TFprincip::acvisumodifcompteExecute);
  onMenu("msupprimecompte", &TFprincip::acsupprimecompteExecute);
  onMenu("Changerletop1", &TFprincip::acchangetopExecute);
  connect(grid_, &QTableView::doubleClicked, this, &TFprincip::acvisumodifcompteExecute);
  connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this, &TFprincip::sTitleClick);
  grid_->installEventFilter(new GridKeys(*this, *grid_));
  tabToCheckedOnly({findChild<QRadioButton*>("Ratop"), findChild<QRadioButton*>("ranontop"),
                    findChild<QRadioButton*>("Ratoutes")});
  auto* enter = new EnterRedisplays(*this);
  for (const char* name : {"TexCb", "text1", "text2"}) findChild<QLineEdit*>(name)->installEventFilter(enter);
  // The grid's selection is the list's current row, and the other way round.
  connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, listModel_,
          [this](const QModelIndex& current) { listModel_->setCurrentRow(current.row()); });
  connect(listModel_, &QAbstractItemModel::modelReset, this, &TFprincip::showRecordCount);
  // A move the grid did not ask for (an opening, a re-sort, a deletion) starts a new selection:
  // the picked rows of the former list need not be the rows now shown there.
  connect(listModel_, &list::RecordListModel::currentRowMoved, this, [this](int row) {
    grid_->selectionModel()->setCurrentIndex(listModel_->index(row, 1),
                                             QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
  });
  auto* exportChoices = new list::Tfexportliste(
      [this](QWidget* parent, const QString& title, const QString& filter) {
        return desktop_.saveFileName(parent, title, filter);
      },
      this);
  connect(findChild<QPushButton*>("bexport"), &QPushButton::clicked, this,
          [this, exportChoices] { exportList(*this, *exportChoices); });
}

void TFprincip::openList() {
  sql::TSqlQuery& query = data_.sqlQuery1;
  query.Close();
  query.SQL().Clear();
  query.SQL().Add(list::ListStatement(criteria(), list::sortState()));
  list::showSortIndicator(*grid_->horizontalHeader(), list::sortState());
  query.Open();
}

void TFprincip::redisplayList() {
  try {
    openList();
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
}

list::ListCriteria TFprincip::criteria() const {
  auto text = [this](const char* name) {
    return list::TypedCriterion(findChild<QLineEdit*>(name)->text().toStdString());
  };
  list::ListCriteria criteria{text("TexCb"), text("text1"), text("text2")};
  if (findChild<QRadioButton*>("Ratop")->isChecked()) criteria.top = list::TopCriterion::Topped;
  if (findChild<QRadioButton*>("ranontop")->isChecked()) criteria.top = list::TopCriterion::NotTopped;
  return criteria;
}

std::vector<int> TFprincip::selectedRecordNumbers() const {
  std::vector<int> numbers;
  if (!data_.sqlQuery1.Active() || data_.sqlQuery1.RecordCount() == 0) return numbers;
  // Rows picked in any column count, each once, from the top of the list.
  std::set<int> rows;
  for (const QItemSelectionRange& range : grid_->selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) rows.insert(row);
  }
  for (int row : rows) numbers.push_back(listModel_->cellText(row, 0).toInt());
  return numbers;
}

bool TFprincip::currentRecordNumber(int& num) {
  sql::TSqlQuery& list = data_.sqlQuery1;
  if (!list.Active() || list.RecordCount() == 0) return false;
  num = list.FieldByName("num").AsInteger();
  return true;
}

void TFprincip::acajoutcompteExecute() {
  cremodcpte_->mode = "C";
  cremodcpte_->FormShow();
  desktop_.runModal(*cremodcpte_);
  if (cremodcpte_->outcome == "OK") redisplayList();
}

void TFprincip::acvisumodifcompteExecute() {
  int num = 0;
  if (!currentRecordNumber(num) || num == 0) return;
  cremodcpte_->mode = "M";
  cremodcpte_->listDataSet = &data_.sqlQuery1;
  cremodcpte_->recordNumber = num;
  cremodcpte_->FormShow();
  desktop_.runModal(*cremodcpte_);
}

void TFprincip::acsupprimecompteExecute() {
  int num = 0;
  if (!currentRecordNumber(num) || num == 0) return;
  if (!common::askBeforeLoss(text(kDeleteQuestion), text(kConfirmCaption))) return;
  sql::TSqlQuery& list = data_.sqlQuery1;
  const int recNo = list.RecNo();
  try {
    // The table first: a refused deletion leaves the row shown.
    data_.ExecuteStatement(records::DeleteRecordStatement(num));
    list.Delete();
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
  redisplayList();
  // The record that followed takes the deleted one's place, as the user saw it go.
  try {
    if (list.Active() && list.RecordCount() > 0) list.SetRecNo(std::min(recNo, list.RecordCount()));
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
}

void TFprincip::acchangetopExecute() {
  int num = 0;
  if (!currentRecordNumber(num)) return;
  sql::TSqlQuery& list = data_.sqlQuery1;
  const std::string topp = list.FieldByName("topp").AsString() == "O" ? "N" : "O";
  if (num == 0) return;
  try {
    data_.ExecuteStatement(records::TopFlagStatement(num, topp));
    list.Edit();
    list.FieldByName("topp").SetAsString(topp);
    list.Post();
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
}

void TFprincip::sdetruiretoutedonneeClick() {
  if (!common::askBeforeLoss(text(kEraseQuestion), text(kConfirmCaption))) return;
  data_.EraseDataFiles();
  redisplayList();
}

bool TFprincip::restoreConfirmed() {
  int stored = 0;
  try {
    stored = data_.StoredRecordCount();
  } catch (const std::exception& error) {
    showApplicationError(error);
    return false;
  }
  if (stored == 0) return true;  // nothing to lose
  return common::askBeforeLoss(common::formatText(text(kRestoreQuestion), {std::to_string(stored)}),
                               text(kConfirmCaption));
}

void TFprincip::showRecordCount() {
  const sql::TSqlQuery& list = data_.sqlQuery1;
  QString shown;
  if (list.Active()) {
    const int count = list.RecordCount();
    shown = languages::toQt(
        common::formatText(text(count == 1 ? kOneRecordShown : kRecordsShown), {std::to_string(count)}));
  }
  recordCount_->setText(shown);
}

void TFprincip::sTitleClick(int column) {
  if (column < 0 || column >= 6) return;
  const bool reordered = list::ClickTitle(list::sortState(), list::kListFields[column]);
  // The title's own click turned its arrow already; the list's ordering decides where it stands.
  list::showSortIndicator(*grid_->horizontalHeader(), list::sortState());
  if (reordered) redisplayList();
}

}  // namespace vekrano::app
