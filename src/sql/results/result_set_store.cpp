// Fixed-size records in memory blocks or in a mapped temporary file.
#include "sql/results/result_set_store.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace vekrano::sql {
namespace {

// Blocks from this size on are mapped, where huge pages can be had.
constexpr std::size_t kMappedBlockBytes = 2u * 1024 * 1024;

}  // namespace

TRecordBlock::TRecordBlock(std::size_t bytes) {
  if (bytes >= kMappedBlockBytes) {
    void* mapped = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped != MAP_FAILED) {
      ::madvise(mapped, bytes, MADV_HUGEPAGE);  // a refusal leaves ordinary pages
      data_ = static_cast<char*>(mapped);
      mappedBytes_ = bytes;
      return;
    }
  }
  data_ = new char[bytes]();  // zeroed, as mapped pages come
}

TRecordBlock::~TRecordBlock() {
  if (mappedBytes_ > 0) {
    ::munmap(data_, mappedBytes_);
  } else {
    delete[] data_;
  }
}

TRecordStore::TRecordStore(std::size_t recordSize, const TStorageOptions& options) : recordSize_(recordSize) {
  if (!options.inMemory) file_ = std::make_unique<TMemMapFile>(options.fileCapacity);
}

char* TRecordStore::Append() {
  char* record = nullptr;
  if (file_) {
    record = file_->Append(recordSize_);
  } else {
    if (usedInBlock_ == blockRecords_) {
      blockRecords_ = std::max(kRecordsPerBlock, std::min(list_.size(), kLargestBlockBytes / recordSize_));
      // A block comes zeroed and its records are never handed out twice: a new record is all
      // zero without writing it (rows are the result's bulk, and writing them twice shows).
      blocks_.push_back(std::make_unique<TRecordBlock>(recordSize_ * blockRecords_));
      usedInBlock_ = 0;
    }
    record = blocks_.back()->data() + recordSize_ * usedInBlock_++;
  }
  list_.push_back(record);
  return record;
}

void TRecordStore::Remove(int index) { list_.erase(list_.begin() + index); }

void TRecordStore::reorder(const std::vector<int>& order) {
  std::vector<char*> reordered;
  reordered.reserve(order.size());
  for (int index : order) reordered.push_back(list_[static_cast<std::size_t>(index)]);
  list_ = std::move(reordered);
}

void TRecordStore::removeIf(const std::function<bool(const char*)>& remove) {
  list_.erase(std::remove_if(list_.begin(), list_.end(), remove), list_.end());
}

void TRecordStore::Clear() {
  list_.clear();
  blocks_.clear();
  usedInBlock_ = blockRecords_ = 0;
}

}  // namespace vekrano::sql
