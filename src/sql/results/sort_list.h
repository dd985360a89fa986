// Sort lists: fixed-size key records standing for result rows, sorted by the engine's own
// quicksort. The order it leaves equal keys in is part of what a statement returns.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sql/expr_types.h"
#include "sql/results/result_set_store.h"

namespace vekrano::sql {

// Key record of a sort list, one per entry:
//
//   OFFSET  SIZE     DESCRIPTION
//      0      4      number of the result row the entry stands for (1-based)
//      4      n      first key (n: string width + 1, float 8, integer 4, boolean 2)
//    ...             further keys in definition order
inline constexpr std::size_t kEntryRowNumberSize = 4;

// One key of the entries.
class TSrtField {
 public:
  TSrtField(TExprType type, std::size_t offset, std::size_t size, bool descending)
      : type_(type), offset_(offset), size_(size), descending_(descending) {}
  TExprType Type() const { return type_; }
  std::size_t Offset() const { return offset_; }
  std::size_t Size() const { return size_; }
  bool descending() const { return descending_; }

  // -1, 0 or 1 for the key bytes `a` and `b` (each Size() bytes), reversed when descending.
  int Compare(const char* a, const char* b) const;
  // True when the keys are the same value (the same text for strings and integers, the same
  // text of the float for floats).
  bool sameValue(const char* a, const char* b) const;

 private:
  TExprType type_;
  std::size_t offset_;
  std::size_t size_;
  bool descending_;
};

class TSqlSortList {
 public:
  virtual ~TSqlSortList() = default;
  TSqlSortList(const TSqlSortList&) = delete;
  TSqlSortList& operator=(const TSqlSortList&) = delete;

  // Adds a key; `size` is a string's width (its text plus one byte), ignored for other types.
  // REQUIRES: no entry yet.
  void AddField(TExprType type, std::size_t size, bool descending);
  int FieldCount() const { return static_cast<int>(keys_.size()); }

  int Count() const;
  // The current entry, 1-based; raises ESqlQueryError "Recno out of range" outside 1 to Count().
  int RecNo() const { return recNo_; }
  void SetRecNo(int recNo);
  // Appends an all-zero entry and makes it current.
  void Insert();

  // Writers of the current entry. A string longer than its key is cut.
  void setRowNumber(std::int32_t rowNumber);
  void setString(int key, std::string_view value);
  void setFloat(int key, double value);
  void setInteger(int key, std::int32_t value);
  void setBoolean(int key, bool value);

  // The row number of entry `recNo` (1-based).
  std::int32_t rowNumber(int recNo) const;
  // True when entries `a` and `b` (1-based) hold the same bytes in every key.
  bool equalKeys(int a, int b) const;
  // The first 16 bytes of the current entry's keys, written so that they compare as the keys do
  // (bytes of a descending key inverted). REQUIRES: a current entry.
  std::array<std::uint64_t, 2> currentKeyPrefix() const { return keyPrefix(Entry(recNo_)); }
  // True when two of the first `entries` entries hold the same key bytes: the keys then surely
  // repeat (false says nothing).
  bool keysRepeatEarly(int entries) const;
  // Sorts by the first key with the quicksort, then each further key within runs of entries
  // whose earlier keys are the same.
  void Sort();

 protected:
  explicit TSqlSortList(const TStorageOptions& options) : options_(options) {}

 private:
  char* Entry(int recNo) const { return store_->Record(recNo - 1); }
  char* currentKey(int key) const;
  // The quicksort over entries lo..hi (1-based) by `key`.
  void quickSort(int lo, int hi, const TSrtField& key);
  bool sameEarlierKeys(int a, int b, int keyCount) const;
  // The first 16 bytes of the entry's keys written so that they compare as the keys do.
  std::array<std::uint64_t, 2> keyPrefix(const char* entry) const;
  void sortFurtherKeys();

  TStorageOptions options_;
  std::vector<TSrtField> keys_;
  std::size_t entrySize_ = kEntryRowNumberSize;
  std::unique_ptr<TRecordStore> store_;
  int recNo_ = -1;
};

class TMemSortList : public TSqlSortList {
 public:
  TMemSortList() : TSqlSortList(TStorageOptions{true, 0}) {}
};

// Entries in a temporary "~sq" file mapped with `capacity` bytes.
class TFileSortList : public TSqlSortList {
 public:
  explicit TFileSortList(std::size_t capacity) : TSqlSortList(TStorageOptions{false, capacity}) {}
};

std::unique_ptr<TSqlSortList> makeSortList(const TStorageOptions& options);

}  // namespace vekrano::sql
