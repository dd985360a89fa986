// Building a tag: the keys sorted in memory, or in sorted runs merged from a temporary work file,
// and the one-pass writer that turns the sorted keys into a tree.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dbase/file_io.h"
#include "dbase/mdx/mdx_keys.h"
#include "dbase/mdx/mdx_node.h"

namespace vekrano::dbase {

// Keys held in memory before the sorter spills a run to its work file.
inline constexpr std::size_t kDefaultSortLimit = 1u << 20;

using KeySink = std::function<void(std::string_view key, std::uint32_t record)>;

class KeySorter {
 public:
  // `expectedKeys` sizes the disk-space check made before the first run is written.
  KeySorter(KeyOrder order, int keyLength, std::size_t memoryLimit, std::size_t expectedKeys);
  KeySorter(const KeySorter&) = delete;
  KeySorter& operator=(const KeySorter&) = delete;

  // REQUIRES: records are added in ascending record order; key has the key length.
  void add(std::string_view key, std::uint32_t record);
  // Passes every key in order (equal keys by record number) to `sink`. Called once.
  void finish(const KeySink& sink);

 private:
  struct Run {
    std::uint64_t offset;
    std::size_t count;
  };
  std::uint64_t prefixOf(std::uint32_t entry) const;
  void sortMemory();
  void spill();
  void merge(const KeySink& sink);

  KeyOrder order_;
  std::size_t keyLength_;
  std::size_t entrySize_;
  std::size_t memoryLimit_;
  std::size_t expectedKeys_;
  std::string entries_;  // key bytes then 4-byte record, per entry
  std::vector<std::uint32_t> sorted_;
  File work_;
  std::vector<Run> runs_;
  std::uint64_t workSize_ = 0;
};

// Writes the nodes of one tag at the end of the index file as the sorted keys arrive.
class TreeWriter {
 public:
  // `firstBlock` is the block number where the first node goes (the file's end).
  TreeWriter(File& file, std::uint32_t firstBlock, NodeShape shape);
  // REQUIRES: keys arrive in the tag's order.
  void add(std::string_view key, std::uint32_t record);
  // Writes the last leaf (even when empty) and the open nodes above it; returns the root block.
  std::uint32_t finish();

 private:
  std::string_view lastLeafKey() const;
  std::uint32_t emitLeaf();
  std::uint32_t emit(const Node& node);
  std::uint32_t emitBlock(const std::uint8_t* block);
  void passUp(std::uint32_t block, const std::string& highest);
  void flush();

  File& file_;
  NodeShape shape_;
  std::uint32_t nextBlock_;
  std::uint32_t bufferBlock_;
  std::vector<std::uint8_t> leaf_;  // the open leaf's block
  std::size_t leafCount_ = 0;
  std::vector<Node> branches_;  // the open branch of each level above the leaves
  std::vector<std::uint8_t> buffer_;
};

}  // namespace vekrano::dbase
