// Reading the list query's rows for the grid and following its notifications.
#include "list/record_list_model.h"

#include "common/scope_exit.h"
#include "dbase/dataset/dataset.h"
#include "dbase/dataset/field.h"
#include "languages/qt_text.h"

namespace vekrano::list {

RecordListModel::RecordListModel(dbase::TDataSource& source, QObject* parent) : QAbstractTableModel(parent) {
  for (int c = 0; c < records::kFieldCount; ++c) titles_[c] = records::kFieldNames[c];
  setDataSource(&source);
}

RecordListModel::~RecordListModel() {
  // Nobody may hear of the detaching: the views are going away too.
  quiet_ = true;
  setDataSource(nullptr);
}

int RecordListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !Active()) return 0;
  return DataSet()->RecordCount();
}

int RecordListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : records::kFieldCount;
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return cellText(index.row(), index.column());
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < records::kFieldCount) {
    return titles_[section];
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

bool RecordListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
  if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::EditRole) || section < 0 ||
      section >= 6) {
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
    const int recNo = row + 1;
    if (row < 0 || recNo > result.RecordCount()) return {};
    // The current record is read as it stands, with an edit's values.
    if (recNo == result.RecNo()) return fieldText(column);
    if (result.State() != dbase::TDataSetState::dsBrowse) return {};
    if (copiedRecNo_ != recNo) {
      copiedRecNo_ = 0;
      if (!result.copyRecordBuffer(recNo, copy_)) return {};
      copiedRecNo_ = recNo;
    }
    const dbase::TActiveRecord painted(result, copy_);
    return fieldText(column);
  } catch (...) {
    return {};
  }
}

QString RecordListModel::fieldText(int column) const {
  const std::string value = DataSet()->FieldByName(records::kFieldNames[column]).AsString();
  if (column == records::kToppIndex) {
    if (value == records::kTopped) return "X";
    if (value == records::kNotTopped) return " ";
  }
  return languages::toQt(value);
}

void RecordListModel::setCurrentRow(int row) {
  if (!Active() || row < 0 || row >= DataSet()->RecordCount() || DataSet()->RecNo() == row + 1) return;
  quiet_ = true;
  const common::ScopeExit spoken([&] { quiet_ = false; });
  DataSet()->SetRecNo(row + 1);
}

void RecordListModel::tellCurrentRow() {
  if (!quiet_ && Active()) emit currentRowMoved(DataSet()->RecNo() - 1);
}

void RecordListModel::resetRows() {
  beginResetModel();
  shownActive_ = Active();
  shownRows_ = rowCount();
  endResetModel();
  tellCurrentRow();
}

void RecordListModel::dataEvent(dbase::TDataEvent event, const dbase::TField*) {
  copiedRecNo_ = 0;  // any change may concern the copied row
  if (quiet_ && event != dbase::TDataEvent::deDataSetChange) return;
  switch (event) {
    case dbase::TDataEvent::deFieldChange:
    case dbase::TDataEvent::deRecordChange:
      if (Active() && DataSet()->RecordCount() > 0) {
        const int row = DataSet()->RecNo() - 1;
        emit dataChanged(index(row, 0), index(row, 5));
      }
      break;
    case dbase::TDataEvent::deDataSetScroll: tellCurrentRow(); break;
    case dbase::TDataEvent::deUpdateRecord: break;
    case dbase::TDataEvent::deUpdateState:
      // Entering or leaving an edit changes no row; opening and closing change them all.
      if (Active() != shownActive_) resetRows();
      break;
    case dbase::TDataEvent::deDataSetChange:
      // A post, a deletion in place or a move keeps the rows where they are: repaint them and
      // follow the current record.
      if (Active() && shownActive_ && rowCount() == shownRows_) {
        emit dataChanged(index(0, 0), index(shownRows_ - 1, 5));
        tellCurrentRow();
        break;
      }
      resetRows();
      break;
    case dbase::TDataEvent::deLayoutChange: resetRows(); break;
  }
}

}  // namespace vekrano::list
