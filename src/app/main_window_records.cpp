// The commands of the records page: the list, its criteria, the grid's menu and the record editor.
#include <QItemSelectionModel>
#include <QLabel>
#include <QHeaderView>
#include <QProgressDialog>
#include <QTableView>
#include <set>

#include "app/desktop.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/records_page.h"
#include "common/format_text.h"
#include "common/prompts.h"
#include "dbase/dataset/field.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "list/list_criteria.h"
#include "list/list_export.h"
#include "list/list_export_window.h"
#include "list/record_grid_view.h"
#include "list/record_list_model.h"
#include "list/sort_state.h"
#include "records/article_data.h"
#include "records/article_fields.h"
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

}  // namespace

void TFprincip::connectRecordsPage() {
  connect(recordsPage_, &RecordsPage::addRequested, this, &TFprincip::acajoutcompteExecute);
  connect(recordsPage_, &RecordsPage::viewRequested, this, &TFprincip::acvisumodifcompteExecute);
  connect(recordsPage_, &RecordsPage::deleteRequested, this, &TFprincip::acsupprimecompteExecute);
  connect(recordsPage_, &RecordsPage::changeTopRequested, this, &TFprincip::acchangetopExecute);
  connect(recordsPage_, &RecordsPage::redisplayRequested, this, &TFprincip::redisplayList);
  connect(recordsPage_, &RecordsPage::titleClicked, this, &TFprincip::sTitleClick);
  connect(recordsPage_, &RecordsPage::exportRequested, this, &TFprincip::exportList);
  // The grid's selection is the list's current row, and the other way round.
  connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, listModel_,
          [this](const QModelIndex& current) { listModel_->setCurrentRow(current.row()); });
  connect(listModel_, &QAbstractItemModel::modelReset, this, &TFprincip::showRecordCount);
  connect(listModel_, &QAbstractItemModel::modelReset, this, &TFprincip::offerTableRepair);
  // A move the grid did not ask for (an opening, a re-sort, a deletion) starts a new selection:
  // the picked rows of the former list need not be the rows now shown there.
  connect(listModel_, &list::RecordListModel::currentRowMoved, this, [this](int row) {
    grid_->selectionModel()->setCurrentIndex(listModel_->index(row, 1),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  });
  exportChoices_ =
      new list::Tfexportliste([this](QWidget* parent, const QString& title,
                                     const QString& filter) { return desktop_.saveFileName(parent, title, filter); },
                              this);
}

// "Export the list": the records the list shows, in its order, into the CSV file chosen in the
// export window, with a progress window while a large list is written.
void TFprincip::exportList() {
  sql::TSqlQuery& shown = data_.sqlQuery1;
  if (!shown.Active()) return;
  exportChoices_->applyTexts();
  if (desktop_.runModal(*exportChoices_) != QDialog::Accepted) return;
  QProgressDialog progress(languages::textOf(kExportingText), QString(), 0, 0, this);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(500);
  try {
    const int written =
        list::exportStatement(data_.sqlqueryfonction, shown.SQL().Text(), exportChoices_->path().toStdString(),
                              exportChoices_->options(), [&progress](int done, int total) {
                                progress.setMaximum(total);
                                progress.setValue(done);  // a modal progress window processes the pending events
                              });
    progress.reset();
    common::showMessage(languages::GetText(kExportedCountText) + " " + std::to_string(written),
                        languages::GetText(kExportEndCaption));
  } catch (const std::exception& error) {
    progress.reset();
    showApplicationError(error);
  }
}

void TFprincip::openList() {
  sql::TSqlQuery& query = data_.sqlQuery1;
  query.Close();
  query.SQL().Clear();
  query.SQL().Add(list::listStatement(criteria(), list::sortState()));
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

list::ListCriteria TFprincip::criteria() const { return recordsPage_->criteria(); }

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
  num = list.FieldByName(records::kNumField).AsInteger();
  return true;
}

void TFprincip::acajoutcompteExecute() {
  cremodcpte_->mode = records::EditorMode::Create;
  cremodcpte_->FormShow();
  desktop_.runModal(*cremodcpte_);
  if (cremodcpte_->outcome == "OK") redisplayList();
}

void TFprincip::acvisumodifcompteExecute() {
  int num = 0;
  if (!currentRecordNumber(num) || num == 0) return;
  cremodcpte_->mode = records::EditorMode::Modify;
  cremodcpte_->listDataSet = &data_.sqlQuery1;
  cremodcpte_->recordNumber = num;
  cremodcpte_->FormShow();
  desktop_.runModal(*cremodcpte_);
}

void TFprincip::acsupprimecompteExecute() {
  int num = 0;
  if (!currentRecordNumber(num) || num == 0) return;
  if (!common::askBeforeLoss(languages::GetText(kDeleteQuestion), languages::GetText(kConfirmCaption))) return;
  sql::TSqlQuery& list = data_.sqlQuery1;
  const int recNo = list.RecNo();
  try {
    // The table first: a refused deletion leaves the row shown.
    data_.executeStatement(records::deleteRecordStatement(num));
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
  // An empty or unexpected value becomes topped.
  const std::string topp =
      list.FieldByName(records::kToppField).AsString() == records::kTopped ? records::kNotTopped : records::kTopped;
  if (num == 0) return;
  try {
    data_.executeStatement(records::topFlagStatement(num, topp));
    list.Edit();
    list.FieldByName(records::kToppField).setAsString(topp);
    list.Post();
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
}

void TFprincip::sdetruiretoutedonneeClick() {
  if (!common::askBeforeLoss(languages::GetText(kEraseQuestion), languages::GetText(kConfirmCaption))) return;
  data_.eraseDataFiles();
  redisplayList();
}

bool TFprincip::restoreConfirmed() {
  int stored = 0;
  try {
    stored = data_.storedRecordCount();
  } catch (const std::exception& error) {
    showApplicationError(error);
    return false;
  }
  if (stored == 0) return true;  // nothing to lose
  return common::askBeforeLoss(common::formatText(languages::GetText(kRestoreQuestion), {std::to_string(stored)}),
                               languages::GetText(kConfirmCaption));
}

void TFprincip::showRecordCount() {
  const sql::TSqlQuery& list = data_.sqlQuery1;
  QString shown;
  if (list.Active()) {
    const int count = list.RecordCount();
    shown = languages::toQt(
        common::formatText(languages::GetText(count == 1 ? kOneRecordShown : kRecordsShown), {std::to_string(count)}));
  }
  recordCount_->setText(shown);
}

void TFprincip::sTitleClick(int column) {
  if (column < 0 || column >= records::kFieldCount) return;
  const bool reordered = list::ClickTitle(list::sortState(), records::kFieldNames[column]);
  // The title's own click turned its arrow already; the list's ordering decides where it stands.
  list::showSortIndicator(*grid_->horizontalHeader(), list::sortState());
  if (reordered) redisplayList();
}

}  // namespace vekrano::app
