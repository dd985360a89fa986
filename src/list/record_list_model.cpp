// Reading the list query's rows for the grid and following its notifications.
#include "list/record_list_model.h"

#include <cstdlib>

#include "dbase/dataset/dataset.h"
#include "dbase/dataset/field.h"
#include "languages/qt_text.h"

namespace vekrano::list {

namespace {
// Farther than a few screens of rows, fetching each row between costs more than a jump.
constexpr int kRelativeMoveLimit = 200;
}  // namespace

RecordListModel::RecordListModel(dbase::TDataSource& source, QObject* parent)
    : QAbstractTableModel(parent) {
  for (int c = 0; c < 6; ++c) titles_[c] = kListFields[c];
  SetDataSource(&source);
}

RecordListModel::~RecordListModel() {
  // Nobody may hear of the detaching: the views are going away too.
  reading_ = true;
  SetDataSource(nullptr);
}

int RecordListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !Active()) return 0;
  return std::max(DataSet()->RecordCount(), 1);
}

int RecordListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 6; }

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return cellText(index.row(), index.column());
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 6) {
    return titles_[section];
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

bool RecordListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                    int role) {
  if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::EditRole) || section < 0 || section >= 6) {
    return false;
  }
  titles_[section] = value.toString();
  emit headerDataChanged(orientation, section, section);
  return true;
}

QString RecordListModel::cellText(int row, int column) const {
  // Painting never fails: any error paints an empty text.
  try {
    if (!Active() || column < 0 || column >= 6) return {};
    dbase::TDataSet& result = *DataSet();
    if (row < 0 || row >= result.RecordCount()) return {};
    moveTo(row);
    const std::string value = result.FieldByName(kListFields[column]).AsString();
    if (column == kTopColumn) {
      if (value == "O") return "X";
      if (value == "N") return " ";
    }
    return languages::toQt(value);
  } catch (...) {
    return {};
  }
}

void RecordListModel::moveTo(int row) const {
  dbase::TDataSet& result = *DataSet();
  const int distance = row + 1 - result.RecNo();
  if (distance == 0) return;
  // Painting reads neighbouring rows: a relative move costs only the distance. A jump across the
  // result (the scroll bar dragged) goes by record number instead, which costs no fetch per row.
  reading_ = true;
  try {
    if (std::abs(distance) <= kRelativeMoveLimit) {
      result.MoveBy(distance);
    } else {
      result.SetRecNo(row + 1);
    }
  } catch (...) {
    reading_ = false;
    throw;
  }
  reading_ = false;
}

void RecordListModel::setCurrentRow(int row) {
  if (!Active() || row < 0 || row >= DataSet()->RecordCount()) return;
  currentRow_ = row;
  restoreCurrentRow();
}

void RecordListModel::restoreCurrentRow() {
  if (!Active() || DataSet()->RecordCount() == 0) return;
  try {
    moveTo(std::min(currentRow_, DataSet()->RecordCount() - 1));
  } catch (...) {
  }
}

void RecordListModel::DataEvent(dbase::TDataEvent event, const dbase::TField*) {
  if (reading_) return;
  switch (event) {
    case dbase::TDataEvent::deFieldChange:
    case dbase::TDataEvent::deRecordChange:
      if (Active() && DataSet()->RecordCount() > 0 && DataSet()->RecNo() > 0) {
        const int row = DataSet()->RecNo() - 1;
        emit dataChanged(index(row, 0), index(row, 5));
      }
      break;
    case dbase::TDataEvent::deDataSetScroll:
      if (Active()) {
        currentRow_ = DataSet()->RecNo() - 1;
        emit currentRowMoved(currentRow_);
      }
      break;
    case dbase::TDataEvent::deUpdateRecord:
      break;
    case dbase::TDataEvent::deDataSetChange:
      // A post or a deletion in place keeps the rows where they are: repaint, keep the selection.
      if (Active() && rowCount() == shownRows_) {
        emit dataChanged(index(0, 0), index(shownRows_ - 1, 5));
        break;
      }
      [[fallthrough]];
    default:
      beginResetModel();
      shownRows_ = rowCount();
      currentRow_ = 0;
      endResetModel();
      break;
  }
}

}  // namespace vekrano::list
