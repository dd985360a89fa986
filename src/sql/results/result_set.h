// The result set of a SELECT: typed columns and an ordered list of row records, in memory or in
// a mapped temporary file.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dbase/dataset/dataset.h"
#include "sql/results/column.h"
#include "sql/results/result_set_store.h"
#include "sql/results/row_texts.h"

namespace vekrano::sql {

class TResultSet {
 public:
  virtual ~TResultSet() = default;
  TResultSet(const TResultSet&) = delete;
  TResultSet& operator=(const TResultSet&) = delete;

  const TSqlFields& Fields() const { return fields_; }
  // Adds a column after the others and places it in the row record.
  // REQUIRES: the result set has no row yet.
  TSqlField& AddField(std::unique_ptr<TSqlField> field);
  // Texts of the text columns added from now on are kept beside the rows, each in the bytes it
  // needs (in memory only). Their row bytes are then references: nothing may compare or copy
  // them as values, as grouping does, so a result that is grouped keeps its texts in the rows.
  void keepTextsBesideRows();
  // The columns that become result fields, in column order.
  std::vector<const TSqlField*> visibleFields() const;

  int RecordCount() const;
  // The current row, 1-based; -1 when there is none.
  int RecNo() const { return recNo_; }
  // Raises ESqlQueryError "Recno out of range" unless 1 <= recNo <= RecordCount().
  void SetRecNo(int recNo);
  // Appends a zero-filled row (every column null) and makes it current.
  void Insert();
  // Makes a row as Insert leaves it: every column null, no source bookmark.
  void clearRow(char* row) const;
  // Deletes the current row; the current row number stays, or becomes the new row count when the
  // last row was deleted.
  void Delete();
  // REQUIRES: a current row.
  char* currentRow() const;
  // REQUIRES: 0 <= index < RecordCount().
  char* Row(int index) const { return store_->Record(index); }
  // Starts fetching row `index` into the processor's cache. REQUIRES: 0 <= index < RecordCount().
  void prefetchRow(int index) const;
  // Starts fetching the texts row `index` keeps beside it; the row itself is read, so it should
  // have been fetched a while before. REQUIRES: 0 <= index < RecordCount().
  void prefetchTexts(int index) const;

  std::int32_t sourceBookmark(const char* row) const;
  void setSourceBookmark(char* row, std::int32_t bookmark) const;
  // Marks a row for removal by deleteMarkedRows.
  void markRow(int index) const;
  void deleteMarkedRows();
  // The rows become those numbered `rowNumbers` (1-based), in that order.
  void reorder(const std::vector<int>& rowNumbers);
  // Keeps the first `count` rows.
  void Truncate(int count);
  // Removes the rows and the columns.
  void Clear();

  // The dataset whose bookmarks the rows hold; null when the rows come from no single dataset.
  dbase::TDataSet* sourceDataSet() const { return sourceDataSet_; }
  void setSourceDataSet(dbase::TDataSet* dataSet) { sourceDataSet_ = dataSet; }
  const TStorageOptions& options() const { return options_; }

 protected:
  explicit TResultSet(const TStorageOptions& options);

 private:
  void createStore();

  TStorageOptions options_;
  TSqlFields fields_;
  std::size_t recordSize_ = kRowBookmarkSize;
  std::unique_ptr<TRecordStore> store_;
  std::unique_ptr<TRowTexts> texts_;  // null: texts lie in the rows
  std::vector<const TSqlStringField*> textsBeside_;  // the columns whose texts are in texts_
  int recNo_ = -1;
  dbase::TDataSet* sourceDataSet_ = nullptr;
};

// Rows in memory.
class TMemResultSet : public TResultSet {
 public:
  TMemResultSet() : TResultSet(TStorageOptions{true, 0}) {}
};

// Rows in a temporary "~sq" file mapped with `capacity` bytes.
class TFileResultSet : public TResultSet {
 public:
  explicit TFileResultSet(std::size_t capacity) : TResultSet(TStorageOptions{false, capacity}) {}
};

// A result set in memory or in a file, as `options` say.
std::unique_ptr<TResultSet> makeResultSet(const TStorageOptions& options);

}  // namespace vekrano::sql
