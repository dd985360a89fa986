// The store shared by result sets and sort lists: fixed-size records addressed through a list,
// kept in memory or in a mapped temporary file. Reordering moves list entries, never records.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "sql/results/result_set_file.h"

namespace vekrano::sql {

// Where records live: memory (the default) or a temporary file of a fixed capacity in bytes.
struct TStorageOptions {
  bool inMemory = true;
  std::size_t fileCapacity = 2000000;
};

// Memory for records: small blocks from the heap, large ones mapped on their own and offered
// huge pages, so that a result as big as a whole table costs a few page faults, not thousands.
class TRecordBlock {
 public:
  explicit TRecordBlock(std::size_t bytes);
  ~TRecordBlock();
  TRecordBlock(const TRecordBlock&) = delete;
  TRecordBlock& operator=(const TRecordBlock&) = delete;
  char* data() const { return data_; }

 private:
  char* data_ = nullptr;
  std::size_t mappedBytes_ = 0;  // 0: from the heap
};

class TRecordStore {
 public:
  // REQUIRES: recordSize > 0. The file variant creates its file at once (and may raise).
  TRecordStore(std::size_t recordSize, const TStorageOptions& options);

  std::size_t recordSize() const { return recordSize_; }
  int Count() const { return static_cast<int>(list_.size()); }
  // REQUIRES: 0 <= index < Count(). The address stays valid until Clear.
  char* Record(int index) const { return list_[static_cast<std::size_t>(index)]; }
  // Adds a zero-filled record at the end of the list and returns it. The file variant raises
  // when its capacity is reached.
  char* Append();
  // REQUIRES: indexes in range.
  void Remove(int index);
  // The list itself, for sorts that exchange its entries.
  std::vector<char*>& Entries() { return list_; }
  // The list becomes the records at `order` (0-based positions of the current list).
  void reorder(const std::vector<int>& order);
  // Removes every record for which `remove` is true, keeping the others' order.
  void removeIf(const std::function<bool(const char*)>& remove);
  // Empties the list (the file variant keeps its used space).
  void Clear();

 private:
  // Records in memory are carved from blocks of at least this many records, each block as big
  // as the records so far (up to kLargestBlockBytes).
  static constexpr std::size_t kRecordsPerBlock = 256;
  static constexpr std::size_t kLargestBlockBytes = 8u * 1024 * 1024;

  std::size_t recordSize_;
  std::vector<char*> list_;
  std::vector<std::unique_ptr<TRecordBlock>> blocks_;
  std::size_t usedInBlock_ = 0;
  std::size_t blockRecords_ = 0;  // capacity of the last block
  std::unique_ptr<TMemMapFile> file_;
};

}  // namespace vekrano::sql
