// The SQL query component: a dataset whose rows are the result of a SELECT over the datasets
// registered under aliases, and the runner of INSERT, UPDATE and DELETE statements.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/exception.h"
#include "dbase/dataset/data_source.h"
#include "dbase/dataset/dataset.h"
#include "sql/exec/statement_run.h"
#include "sql/query/held_insert_shapes.h"
#include "sql/query/params.h"
#include "sql/results/result_set.h"

namespace vekrano::sql {

class TSqlQuery;

// One registered dataset and the alias statements name it by.
class TSqlDataSetItem {
 public:
  const std::string& Alias() const { return alias_; }
  dbase::TDataSet* DataSet() const { return dataSet_; }

 private:
  friend class TSqlDataSets;
  std::string alias_;
  dbase::TDataSet* dataSet_ = nullptr;
  // Tells the item when its dataset is destroyed.
  dbase::TDataSource watch_;
};

// The datasets a statement may name. A dataset that is destroyed leaves the collection.
class TSqlDataSets {
 public:
  explicit TSqlDataSets(const TSqlQuery& owner) : owner_(owner) {}

  // Adds an item. Raises like setAlias and setDataSet.
  TSqlDataSetItem& Add(const std::string& alias, dbase::TDataSet* dataSet);
  // Raises ESqlQueryError "Alias already exists" when another item has that alias (without
  // regard to case).
  void setAlias(int index, const std::string& alias);
  // Raises common::Exception "Circular reference not allowed" for the query itself.
  void setDataSet(int index, dbase::TDataSet* dataSet);
  int Count() const;
  // REQUIRES: 0 <= index < Count().
  const TSqlDataSetItem& items(int index) const;
  void Delete(int index);
  void Clear() { items_.clear(); }
  // The items with their datasets, as a run uses them.
  std::vector<TDataSetAlias> aliases() const;

 private:
  // Drops the items whose dataset was destroyed.
  void purge() const;

  const TSqlQuery& owner_;
  mutable std::vector<std::unique_ptr<TSqlDataSetItem>> items_;
};

// The statement text: lines joined with line breaks. Every change calls OnChange.
class TSqlStrings {
 public:
  void Clear();
  void Add(const std::string& line);
  std::string Text() const;
  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& strings(int index) const { return lines_[static_cast<std::size_t>(index)]; }

  std::function<void()> OnChange;

 private:
  void Changed() const;
  std::vector<std::string> lines_;
};

using TSyntaxErrorEvent = std::function<void(const std::string& errorMsg, const std::string& offendingText, int lineNum,
                                             int colNum, int textLen)>;
using TQueryFieldNameEvent = std::function<void(int fieldIndex, std::string& fieldName)>;

class TSqlQuery : public dbase::TDataSet {
 public:
  TSqlQuery();
  ~TSqlQuery() override;

  // Any change closes the query and, with ParamCheck, re-reads Params.
  TSqlStrings& SQL() { return sql_; }
  TSqlDataSets& DataSets() { return dataSets_; }
  TParams& Params() { return params_; }
  TParamsAsFields& ParamsAsFields() { return paramsAsFields_; }

  // Runs an INSERT, UPDATE or DELETE (closing the query first when it is open); CREATE, ALTER,
  // DROP, PACK, ZAP and REINDEX only call their events and hooks. Raises ESqlQueryError
  // "SQL statement cannot be empty", the syntax error, "You must use SELECT only with Open
  // method or Active property!" and every error of the run.
  void ExecSQL();

  // The filter over the result rows: expression text whose names alone may be result fields.
  // While Filtered, rows for which Filter is false, or for which OnFilterRecord clears `accept`,
  // are skipped by First, Last, Next and Prior, and RecordCount and RecNo count the rows kept
  // only; CurrentResultSet keeps every row. Setting either while open applies it at once and
  // goes to the first row kept. A text that does not parse or is not boolean raises the
  // expression's error and the filter stays as it was. Rows are filtered while browsing: during
  // an edit or an insertion every row counts.
  const std::string& Filter() const { return filter_; }
  void setFilter(const std::string& filter);
  bool Filtered() const { return filtered_; }
  void setFiltered(bool filtered);
  std::function<void(dbase::TDataSet& dataSet, bool& accept)> OnFilterRecord;

  // Rows inserted, changed or deleted by the last run.
  int ChangedRowCount() const { return changedRowCount_; }
  // How many statements were run without a parse of their own, an INSERT parsed before them
  // differing from them only in its literal values.
  int reusedParseCount() const { return heldInserts_.reusedCount(); }
  // The result set of the open query; null when closed.
  TResultSet* CurrentResultSet() const { return resultSet_.get(); }

  bool AutoDisableControls = true;
  bool ParamCheck = true;
  bool UseDisplayLabel = false;
  std::string DateFormat;  // date literals; empty: the short date format
  bool ShowWaitCursor = true;
  bool ResultsInMemory = true;
  std::size_t TempFileCapacity = 2000000;

  std::function<void()> OnBeforeQuery;
  std::function<void()> OnAfterQuery;
  TSyntaxErrorEvent OnSyntaxError;
  TProgressEvent OnProgress;
  TCancelQueryEvent OnCancelQuery;
  TResolveDatasetEvent OnResolveDataset;
  TQueryFieldNameEvent OnQueryFieldName;
  TUDFCheckEvent OnUDFCheck;
  TUDFSolveEvent OnUDFSolve;
  std::function<void(const TCreateTableItem&)> OnCreateTable;
  std::function<void(const TCreateTableItem&)> OnAlterTable;
  std::function<void(const TIndexItem&)> OnCreateIndex;
  std::function<void(const std::string& tableName)> OnDropTable;
  std::function<void(const TIndexItem&)> OnDropIndex;

 protected:
  // PACK TABLE, ZAP TABLE, REINDEX TABLE: nothing here.
  virtual void PackTable(const std::string&) {}
  virtual void ZapTable(const std::string&) {}
  virtual void ReindexTable(const std::string&) {}

  // --- The dataset over the result rows (query_dataset.cpp)
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return resultSet_ != nullptr; }
  std::vector<dbase::TFieldDef> InternalInitFieldDefs() override;
  int GetRecordSize() const override { return static_cast<int>(recordSize_); }
  void InternalFirst() override { cursor_ = -1; }
  void InternalLast() override { cursor_ = resultSet_->RecordCount(); }
  dbase::TGetResult GetRecord(char* buffer, dbase::TGetMode mode, bool doCheck) override;
  void InternalSetToRecord(const char* buffer) override;
  void InternalInitRecord(char* buffer) override;
  void InternalAddRecord(const char* buffer, bool append) override;
  void InternalPost() override;
  void InternalDelete() override;
  std::unique_ptr<dbase::TField> createField(const dbase::TFieldDef& def) override;
  bool GetFieldData(const dbase::TField& field, dbase::Variant& value) const override;
  bool getFieldText(const dbase::TField& field, std::string_view& text) const override;
  bool getFieldInteger(const dbase::TField& field, std::int64_t& value) const override;
  bool hasFieldData(const dbase::TField& field) const override;
  void SetFieldData(const dbase::TField& field, const dbase::Variant& value) override;
  int bookmarkSize() const override { return sizeof(std::int32_t); }
  void GetBookmarkData(const char* buffer, char* data) const override;
  void SetBookmarkData(char* buffer, const char* data) override;
  dbase::TBookmarkFlag GetBookmarkFlag(const char* buffer) const override;
  void SetBookmarkFlag(char* buffer, dbase::TBookmarkFlag flag) override;
  void InternalGotoBookmark(const char* data) override;
  bool internalBookmarkValid(const char* data) override;
  int compareBookmarkData(const char* a, const char* b) const override;
  int GetRecordCount() const override;
  int GetRecNo() const override;
  bool internalSetRecNo(int recNo) override;

 private:
  // Where a result field's value lies in a record buffer, and its result column.
  struct Slot {
    std::size_t offset = 0;  // a null byte (1 when null), then the value
    std::size_t size = 0;
    const TSqlField* column = nullptr;
  };

  void sqlChanged();
  // Steps shared by Open and ExecSQL: the text, then the parse into `analizer`.
  void parseStatement(TSqlAnalizer& analizer);
  // OnBeforeQuery, the saved positions of the sources, the run, their restoration and
  // OnAfterQuery, also on failure.
  void runStatement(const std::function<void()>& run);
  TRunEnvironment Environment() const;
  bool runDefinitionStatement(const TSqlAnalizer& analizer);
  // Defines the result fields and their slots in the record buffer from the result set.
  void defineResultFields();

  void fillBuffer(char* buffer, int rowIndex) const;
  // The value of result field `field` in `buffer`; monostate when null.
  dbase::Variant readSlot(const char* buffer, std::size_t field) const;
  void writeSlot(char* buffer, const Slot& slot, const dbase::Variant& value) const;
  void writeToRow(char* row, const Slot& slot, const dbase::Variant& value) const;
  std::int32_t rowIndex(const char* buffer) const;

  // --- The filter (query_filter.cpp)
  bool filtering() const { return filtered_ && (!filter_.empty() || OnFilterRecord); }
  // Builds the filter's tree (raising its errors) and goes to the first row kept; `undo` puts
  // the previous settings back when the tree cannot be built.
  void applyFilter(const std::function<void()>& undo);
  const TExpression& filterExpression() const;
  bool rowKept(int rowIndex) const;
  // The first row kept after `rowIndex` (step 1) or before it (step -1); the row count or -1
  // when there is none.
  int nextRowKept(int rowIndex, int step) const;

  TSqlStrings sql_;
  TSqlDataSets dataSets_;
  TParams params_;
  TParamsAsFields paramsAsFields_;
  HeldInsertShapes heldInserts_;
  int changedRowCount_ = 0;
  std::unique_ptr<TResultSet> resultSet_;
  std::vector<dbase::TFieldDef> resultFieldDefs_;
  std::vector<Slot> slots_;
  std::size_t recordSize_ = 0;
  std::size_t rowIndexOffset_ = 0;
  int cursor_ = -1;
  std::string filter_;
  bool filtered_ = false;
  mutable TExprPtr filterExpression_;  // built from filter_ on first use
  mutable dbase::TRecordCopy filterRecord_;  // the row being filtered, as the fields read it
};

}  // namespace vekrano::sql
