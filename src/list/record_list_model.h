// The record grid's model: a data link of the list query. Rows are read from the query's result
// when the grid asks for them; nothing is copied. The top flag column shows the top flag as "X" or a blank.
#pragma once

#include <QAbstractTableModel>

#include "dbase/dataset/data_source.h"
#include "dbase/dataset/dataset.h"
#include "records/article_fields.h"

namespace vekrano::list {

class RecordListModel : public QAbstractTableModel, public dbase::TDataLink {
  Q_OBJECT

 public:
  // Links to `source` (borrowed; it must outlive the model).
  explicit RecordListModel(dbase::TDataSource& source, QObject* parent = nullptr);
  ~RecordListModel() override;

  // The result's records; none for an empty result, so that no blank row shows selected.
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  // The cell's text for the display role; empty when the result is empty or reading fails.
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role = Qt::EditRole) override;

  // The text painted for `row` and `column` of the result. Reading never moves the query's
  // cursor: its current record stays the row the user chose, also while that row is changed.
  QString cellText(int row, int column) const;
  // Makes the result's record at `row` (from 0) the query's current record.
  void setCurrentRow(int row);

  void dataEvent(dbase::TDataEvent event, const dbase::TField* field) override;

 signals:
  // The query's current record is now the one at `row` (from 0): after an opening, a deletion
  // or any move the grid did not ask for.
  void currentRowMoved(int row);

 private:
  // The field's text as painted, from the record the fields read now.
  QString fieldText(int column) const;
  void resetRows();
  void tellCurrentRow();

  QString titles_[records::kFieldCount];
  // The last row read other than the current one, and its number (0 when none).
  mutable dbase::TRecordCopy copy_;
  mutable int copiedRecNo_ = 0;
  bool shownActive_ = false;
  int shownRows_ = 0;
  // Set while the grid's choice moves the cursor (it need not be told back), and while detaching.
  bool quiet_ = false;
};

}  // namespace vekrano::list
