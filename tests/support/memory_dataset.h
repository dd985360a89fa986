// An in-memory dataset for the tests of the engines: columns and rows given by the test, with
// edits, appends, inserts, deletes, bookmarks and Locate through the generic dataset.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/exception.h"
#include "dbase/dataset/dataset.h"

namespace vekrano::testing {

// One column: name, type and, for text columns, the length in characters. Memo, blob and bytes
// columns hold at most `size` bytes, or kDefaultMemoSize when `size` is 0.
struct MemoryColumn {
  std::string name;
  dbase::TFieldType type = dbase::TFieldType::ftString;
  int size = 0;
};

// Rows live in a list in dataset order; RecNo is the 1-based position in that list (1 on an
// empty dataset); a bookmark is the row's 4-byte identity, stable while other rows come and go.
class MemoryDataset : public dbase::TDataSet {
 public:
  static constexpr int kDefaultMemoSize = 1024;
  using Row = std::vector<dbase::Variant>;

  explicit MemoryDataset(std::vector<MemoryColumn> columns);
  ~MemoryDataset() override;

  // Adds a row at the end, open or closed; values in column order in their native kinds
  // (monostate for null); missing trailing values are null. An open dataset resynchronises.
  void addRow(Row values);
  // The stored rows in dataset order.
  const std::vector<Row>& Rows() const { return rows_; }
  // When set, CanModify() is false.
  void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
  // The number of times the store was opened, so tests can see that a second Open did nothing.
  int openCount() const { return openCount_; }
  // The next `count` store operations (edit, post of an edit or a new record, delete) raise
  // EDatabaseError "Store failure" before changing anything.
  void failNextStores(int count) { failures_ = count; }

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return open_; }
  std::vector<dbase::TFieldDef> InternalInitFieldDefs() override;
  int GetRecordSize() const override;
  void InternalFirst() override;
  void InternalLast() override;
  dbase::TGetResult GetRecord(char* buffer, dbase::TGetMode mode, bool doCheck) override;
  void InternalSetToRecord(const char* buffer) override;
  void InternalInitRecord(char* buffer) override;
  void InternalAddRecord(const char* buffer, bool append) override;
  void InternalPost() override;
  void InternalDelete() override;
  void InternalEdit() override;
  bool GetCanModify() const override { return !readOnly_; }
  bool GetFieldData(const dbase::TField& field, dbase::Variant& value) const override;
  void SetFieldData(const dbase::TField& field, const dbase::Variant& value) override;
  int bookmarkSize() const override { return sizeof(std::int32_t); }
  void GetBookmarkData(const char* buffer, char* data) const override;
  void SetBookmarkData(char* buffer, const char* data) override;
  dbase::TBookmarkFlag GetBookmarkFlag(const char* buffer) const override;
  void SetBookmarkFlag(char* buffer, dbase::TBookmarkFlag flag) override;
  void InternalGotoBookmark(const char* data) override;
  bool internalBookmarkValid(const char* data) override;
  int compareBookmarkData(const char* a, const char* b) const override;
  int GetRecordCount() const override { return static_cast<int>(rows_.size()); }
  int GetRecNo() const override;
  bool internalSetRecNo(int recNo) override;

 private:
  int SlotSize(int column) const;
  int slotOffset(int column) const;
  void rowToBuffer(int position, char* buffer) const;
  void writeSlot(char* buffer, int column, const dbase::Variant& value) const;
  Row bufferToRow(const char* buffer) const;
  // Position in the list of the row with that identity; -1 when gone.
  int positionOf(std::int32_t id) const;
  void failWhenAsked();

  std::vector<MemoryColumn> columns_;
  std::vector<Row> rows_;
  std::vector<std::int32_t> ids_;
  std::int32_t nextId_ = 1;
  // Cursor: -1 before the first row, rows_.size() after the last.
  int cursor_ = -1;
  bool open_ = false;
  bool readOnly_ = false;
  int openCount_ = 0;
  int failures_ = 0;
};

// The text of the exception of the engines that `operation` raises; "no error" when it raises none.
template <typename Operation>
std::string ErrorText(Operation operation) {
  try {
    operation();
  } catch (const common::Exception& error) {
    return error.what();
  }
  return "no error";
}

}  // namespace vekrano::testing
