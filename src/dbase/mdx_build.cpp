#include "dbase/mdx_build.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <queue>
#include <sys/statvfs.h>
#include <unistd.h>

#include "dbase/mdx_failure.h"
#include "dbase/mdx_file.h"
#include "dbase/mdx_format.h"

namespace vekrano::dbase {

namespace {

constexpr std::size_t kRecordSize = 4;
constexpr std::size_t kMergeChunk = 64 * 1024;
constexpr std::size_t kNodesPerWrite = 63;

std::uint32_t recordAt(const char* entry, std::size_t keyLength) {
  return getU32(reinterpret_cast<const std::uint8_t*>(entry + keyLength));
}

// A work file in the temporary folder, removed from the folder at once so it never outlives us.
File openWorkFile() {
  std::string pattern = (std::filesystem::temp_directory_path() / "TZPXXXXXX").string();
  int fd = mkstemp(pattern.data());
  if (fd < 0) throw MdxFailure(SystemErrorNumber(errno), "Error requesting unique file name [UniqueFilename]");
  close(fd);
  File file;
  int error = file.create(pattern, FileShare::Exclusive);
  unlink(pattern.c_str());
  if (error != 0) throw MdxFailure(error, "Error requesting unique file name [UniqueFilename]");
  return file;
}

void checkDiskSpace(std::uint64_t neededBytes) {
  struct statvfs fs {};
  if (statvfs(std::filesystem::temp_directory_path().c_str(), &fs) != 0) return;
  std::uint64_t available = std::uint64_t{fs.f_bavail} * fs.f_frsize;
  if (available >= neededBytes) return;
  throw MdxFailure(kErrorInsufficientDisk, "Available disk space: " + std::to_string(available / 1024) +
                                                    " KBytes; needed: " + std::to_string(neededBytes / 1024) +
                                                    " KBytes [MakeIndex]");
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
  putU32(reinterpret_cast<std::uint8_t*>(entries_.data() + at + keyLength_), record);
  sorted_.push_back(static_cast<std::uint32_t>(sorted_.size()));
}

// Entries arrive in record order, so a stable sort by key keeps equal keys by record number.
void KeySorter::sortMemory() {
  std::stable_sort(sorted_.begin(), sorted_.end(), [&](std::uint32_t a, std::uint32_t b) {
    return order_.compare(std::string_view(entries_.data() + a * entrySize_, keyLength_),
                          std::string_view(entries_.data() + b * entrySize_, keyLength_)) < 0;
  });
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
  if (work_.writeAt(run.data(), run.size(), static_cast<std::int64_t>(workSize_)) != 0)
    throw MdxFailure(kErrorDiskWrite, "Error writing work file [MakeIndex]");
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
    std::size_t taken = 0;     // entries of the run consumed
    std::string chunk;         // entries read ahead
    std::size_t chunkAt = 0;   // next entry in chunk
    const char* entry() const { return chunk.data() + chunkAt; }
  };
  std::vector<Cursor> cursors;
  for (const Run& run : runs_) cursors.push_back({run, 0, {}, 0});
  std::size_t perChunk = std::max<std::size_t>(kMergeChunk / entrySize_, 1);
  auto refill = [&](Cursor& c) {
    std::size_t count = std::min(perChunk, c.run.count - c.taken);
    c.chunk.resize(count * entrySize_);
    if (!readExact(work_, static_cast<std::int64_t>(c.run.offset + c.taken * entrySize_), c.chunk.data(), c.chunk.size()))
      throw MdxFailure(kErrorDiskRead, "Error reading work file [MakeIndex]");
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
    : file_(file), shape_(shape), nextBlock_(firstBlock), bufferBlock_(firstBlock), levels_(1) {
  buffer_.reserve(kNodesPerWrite * kBlockSize);
}

void TreeWriter::add(std::string_view key, std::uint32_t record) {
  Node& leaf = levels_[0];
  if (leaf.items.size() == static_cast<std::size_t>(shape_.maxKeys)) {
    std::string highest = leaf.items.back().key;
    std::uint32_t block = emit(leaf);
    levels_[0] = Node{};
    passUp(1, block, highest);
  }
  levels_[0].items.push_back({record, std::string(key)});
}

void TreeWriter::passUp(std::size_t level, std::uint32_t block, const std::string& highest) {
  for (;; ++level) {
    if (level == levels_.size()) levels_.emplace_back();
    Node& node = levels_[level];
    if (node.items.size() < static_cast<std::size_t>(shape_.maxKeys)) {
      node.items.push_back({block, highest});
      return;
    }
    node.rightChild = block;
    block = emit(node);
    levels_[level] = Node{};
  }
}

std::uint32_t TreeWriter::finish() {
  std::uint32_t last = emit(levels_[0]);
  for (std::size_t level = 1; level < levels_.size(); ++level) {
    Node& node = levels_[level];
    if (node.items.empty()) continue;
    node.rightChild = last;
    last = emit(node);
  }
  flush();
  return last;
}

std::uint32_t TreeWriter::emit(const Node& node) {
  std::size_t at = buffer_.size();
  buffer_.resize(at + kBlockSize);
  encodeNode(node, shape_, buffer_.data() + at);
  std::uint32_t block = nextBlock_;
  nextBlock_ += kBlockUnits;
  if (buffer_.size() == kNodesPerWrite * kBlockSize) flush();
  return block;
}

void TreeWriter::flush() {
  if (buffer_.empty()) return;
  if (file_.writeAt(buffer_.data(), buffer_.size(), static_cast<std::int64_t>(blockOffset(bufferBlock_))) != 0)
    throw MdxFailure(kErrorDiskWrite, "Error writing index file [MakeIndex]");
  bufferBlock_ = nextBlock_;
  buffer_.clear();
}

}  // namespace vekrano::dbase
