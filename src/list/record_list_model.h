// The record grid's model: a data link of the list query. Rows are read from the query's result
// when the grid asks for them; nothing is copied. Column 5 shows the top flag as "X" or a blank.
#pragma once

#include <QAbstractTableModel>

#include "dbase/dataset/data_source.h"

namespace vekrano::list {

// The list's fields in grid column order.
inline constexpr const char* kListFields[] = {"num", "cb", "lib1", "lib2", "quantite", "topp"};
inline constexpr int kTopColumn = 5;

class RecordListModel : public QAbstractTableModel, public dbase::TDataLink {
  Q_OBJECT

 public:
  // Links to `source` (borrowed; it must outlive the model).
  explicit RecordListModel(dbase::TDataSource& source, QObject* parent = nullptr);
  ~RecordListModel() override;

  // An open, empty result still offers one row, painted blank, as the grid always shows.
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  // The cell's text for the display role; empty when the result is empty or reading fails.
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                     int role = Qt::EditRole) override;

  // The text painted for `row` and `column` of the result, read at that record: painting leaves
  // the query's cursor on the rows painted, and restoreCurrentRow puts it back.
  QString cellText(int row, int column) const;
  // Makes the result's record at `row` (from 0) the list's current row, the query's too.
  void setCurrentRow(int row);
  // Puts the query's cursor back on the list's current row, before a command reads it.
  void restoreCurrentRow();

  void DataEvent(dbase::TDataEvent event, const dbase::TField* field) override;

 signals:
  // The query's current row moved to `row` (from 0) by itself, not through the grid.
  void currentRowMoved(int row);

 private:
  QString titles_[6];
  // Set while a cell is read, so the cursor moves of reading are not taken for the user's.
  void moveTo(int row) const;

  mutable bool reading_ = false;
  int currentRow_ = 0;
  int shownRows_ = 0;
};

}  // namespace vekrano::list
