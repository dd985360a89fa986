#include "dbase/mdx/mdx_build.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <queue>
#include <sys/statvfs.h>
#include <unistd.h>

#include "common/byte_codec.h"
#include "dbase/mdx/mdx_failure.h"
#include "dbase/file_helpers.h"
#include "dbase/mdx/mdx_format.h"

namespace vekrano::dbase {

namespace {

constexpr std::size_t kRecordSize = 4;
constexpr std::size_t kMergeChunk = 64 * 1024;
constexpr std::size_t kNodesPerWrite = 63;

std::uint32_t recordAt(const char* entry, std::size_t keyLength) {
  return common::getU32(reinterpret_cast<const std::uint8_t*>(entry + keyLength));
}

// A work file in the temporary folder, removed from the folder at once so it never outlives us.
File openWorkFile() {
  std::string pattern = (std::filesystem::temp_directory_path() / "TZPXXXXXX").string();
  int fd = mkstemp(pattern.data());
  if (fd < 0) throw workFileUnnamed(systemErrorNumber(errno));
  close(fd);
  File file;
  int error = file.create(pattern, FileShare::Exclusive);
  unlink(pattern.c_str());
  if (error != 0) throw workFileUnnamed(error);
  return file;
}

void checkDiskSpace(std::uint64_t neededBytes) {
  struct statvfs fs {};
  if (statvfs(std::filesystem::temp_directory_path().c_str(), &fs) != 0) return;
  std::uint64_t available = std::uint64_t{fs.f_bavail} * fs.f_frsize;
  if (available >= neededBytes) return;
  throw diskSpaceShort(available, neededBytes);
}

}  // namespace

KeySorter::KeySorter(KeyOrder order, int keyLength, std::size_t memoryLimit, std::size_t expectedKeys)
    : order_(order),
      keyLength_(static_cast<std::size_t>(keyLength)),
      entrySize_(keyLength_ + kRecordSize),
      memoryLimit_(std::max<std::size_t>(memoryLimit, 1)),
      expectedKeys_(expectedKeys) {}

void KeySorter::add(std::string_view key, std::uint32_t record) {
  if (sorted_.size() == memoryLimit_) spill();
  std::size_t at = entries_.size();
  entries_.append(key);
  entries_.resize(at + entrySize_);
  common::putU32(reinterpret_cast<std::uint8_t*>(entries_.data() + at + keyLength_), record);
  sorted_.push_back(static_cast<std::uint32_t>(sorted_.size()));
}

// Character keys compare as bytes, so their first eight bytes read big-endian (inverted when
// descending) order them as the full comparison does; most comparisons end there.
std::uint64_t KeySorter::prefixOf(std::uint32_t entry) const {
  if (order_.type != 'C') return 0;
  char first[8] = {};  // a shorter key reads as if 0-padded
  std::memcpy(first, entries_.data() + std::size_t{entry} * entrySize_, std::min(sizeof first, keyLength_));
  const std::uint64_t prefix = common::getU64BigEndian(first);
  return order_.descending ? ~prefix : prefix;
}

// Entries arrive in record order, so ties broken by entry number keep equal keys by record number.
void KeySorter::sortMemory() {
  struct Item {
    std::uint64_t prefix;
    std::uint32_t entry;
  };
  std::vector<Item> items;
  items.reserve(sorted_.size());
  for (std::uint32_t entry : sorted_) items.push_back({prefixOf(entry), entry});
  const bool prefixDecides = order_.type == 'C' && keyLength_ <= 8;
  std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    if (!prefixDecides) {
      int c = order_.compare(std::string_view(entries_.data() + std::size_t{a.entry} * entrySize_, keyLength_),
                             std::string_view(entries_.data() + std::size_t{b.entry} * entrySize_, keyLength_));
      if (c != 0) return c < 0;
    }
    return a.entry < b.entry;
  });
  for (std::size_t i = 0; i < items.size(); ++i) sorted_[i] = items[i].entry;
}

void KeySorter::spill() {
  if (!work_.isOpen()) {
    checkDiskSpace(std::uint64_t{expectedKeys_} * entrySize_);
    work_ = openWorkFile();
  }
  sortMemory();
  std::string run;
  run.reserve(entries_.size());
  for (std::uint32_t i : sorted_) run.append(entries_, i * entrySize_, entrySize_);
  if (work_.writeAt(run.data(), run.size(), static_cast<std::int64_t>(workSize_)) != 0) throw workFileWriteFailed();
  runs_.push_back({workSize_, sorted_.size()});
  workSize_ += run.size();
  entries_.clear();
  sorted_.clear();
}

void KeySorter::finish(const KeySink& sink) {
  if (runs_.empty()) {
    sortMemory();
    for (std::uint32_t i : sorted_) {
      const char* entry = entries_.data() + i * entrySize_;
      sink(std::string_view(entry, keyLength_), recordAt(entry, keyLength_));
    }
    return;
  }
  if (!sorted_.empty()) spill();
  merge(sink);
}

void KeySorter::merge(const KeySink& sink) {
  struct Cursor {
    Run run;
    std::size_t taken = 0;  // entries of the run consumed
    std::string chunk;  // entries read ahead
    std::size_t chunkAt = 0;  // next entry in chunk
    const char* entry() const { return chunk.data() + chunkAt; }
  };
  std::vector<Cursor> cursors;
  for (const Run& run : runs_) cursors.push_back({run, 0, {}, 0});
  std::size_t perChunk = std::max<std::size_t>(kMergeChunk / entrySize_, 1);
  auto refill = [&](Cursor& c) {
    std::size_t count = std::min(perChunk, c.run.count - c.taken);
    c.chunk.resize(count * entrySize_);
    if (!readExact(work_, static_cast<std::int64_t>(c.run.offset + c.taken * entrySize_), c.chunk.data(),
                   c.chunk.size()))
      throw workFileReadFailed();
    c.chunkAt = 0;
  };
  auto after = [&](std::size_t a, std::size_t b) {  // heap order: smallest entry on top
    const char* x = cursors[a].entry();
    const char* y = cursors[b].entry();
    int c = order_.compare(std::string_view(x, keyLength_), std::string_view(y, keyLength_));
    return c != 0 ? c > 0 : recordAt(x, keyLength_) > recordAt(y, keyLength_);
  };
  std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(after)> heap(after);
  for (std::size_t i = 0; i < cursors.size(); ++i) {
    refill(cursors[i]);
    heap.push(i);
  }
  while (!heap.empty()) {
    std::size_t i = heap.top();
    heap.pop();
    Cursor& c = cursors[i];
    sink(std::string_view(c.entry(), keyLength_), recordAt(c.entry(), keyLength_));
    ++c.taken;
    c.chunkAt += entrySize_;
    if (c.taken == c.run.count) continue;
    if (c.chunkAt == c.chunk.size()) refill(c);
    heap.push(i);
  }
}

TreeWriter::TreeWriter(File& file, std::uint32_t firstBlock, NodeShape shape)
    : file_(file), shape_(shape), nextBlock_(firstBlock), bufferBlock_(firstBlock), leaf_(kBlockSize, 0) {
  buffer_.reserve(kNodesPerWrite * kBlockSize);
}

// The leaf is filled in its block as the keys arrive; only branches are kept as nodes.
void TreeWriter::add(std::string_view key, std::uint32_t record) {
  if (leafCount_ == static_cast<std::size_t>(shape_.maxKeys)) {
    std::string highest(lastLeafKey());
    std::uint32_t block = emitLeaf();
    passUp(block, highest);
  }
  putNodeItem(leaf_.data(), shape_, leafCount_++, record, key);
}

std::string_view TreeWriter::lastLeafKey() const {
  std::size_t at = kNodeItems + (leafCount_ - 1) * static_cast<std::size_t>(shape_.itemLength) + 4;
  return {reinterpret_cast<const char*>(leaf_.data() + at), static_cast<std::size_t>(shape_.keyLength)};
}

void TreeWriter::passUp(std::uint32_t block, const std::string& highest) {
  for (std::size_t level = 0;; ++level) {
    if (level == branches_.size()) branches_.emplace_back();
    Node& node = branches_[level];
    if (node.items.size() < static_cast<std::size_t>(shape_.maxKeys)) {
      node.items.push_back({block, highest});
      return;
    }
    node.rightChild = block;
    block = emit(node);
    branches_[level] = Node{};
  }
}

std::uint32_t TreeWriter::finish() {
  std::uint32_t last = emitLeaf();
  for (Node& node : branches_) {
    if (node.items.empty()) continue;
    node.rightChild = last;
    last = emit(node);
  }
  flush();
  return last;
}

std::uint32_t TreeWriter::emitLeaf() {
  common::putU32(leaf_.data() + kNodeCount, static_cast<std::uint32_t>(leafCount_));
  std::uint32_t block = emitBlock(leaf_.data());
  std::fill(leaf_.begin(), leaf_.end(), 0);
  leafCount_ = 0;
  return block;
}

std::uint32_t TreeWriter::emit(const Node& node) {
  std::uint8_t block[kBlockSize];
  encodeNode(node, shape_, block);
  return emitBlock(block);
}

std::uint32_t TreeWriter::emitBlock(const std::uint8_t* block) {
  buffer_.insert(buffer_.end(), block, block + kBlockSize);
  std::uint32_t number = nextBlock_;
  nextBlock_ += kBlockUnits;
  if (buffer_.size() == kNodesPerWrite * kBlockSize) flush();
  return number;
}

void TreeWriter::flush() {
  if (buffer_.empty()) return;
  const int error = file_.writeAt(buffer_.data(), buffer_.size(), static_cast<std::int64_t>(blockOffset(bufferBlock_)));
  if (error != 0) throw treeWriteFailed(error);
  bufferBlock_ = nextBlock_;
  buffer_.clear();
}

}  // namespace vekrano::dbase
