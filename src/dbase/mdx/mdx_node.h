// A tree node of an index tag, decoded from and encoded to its 1024-byte block.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vekrano::dbase {

struct NodeItem {
  std::uint32_t number = 0;  // record number in a leaf, child block in a branch
  std::string key;  // key length bytes
};

struct Node {
  std::vector<NodeItem> items;
  std::uint32_t rightChild = 0;  // 0 exactly in a leaf

  bool isLeaf() const { return rightChild == 0; }
  // Child pointers of a branch, left to right: the items' blocks, then the right-most child.
  std::size_t pointerCount() const { return items.size() + 1; }
  std::uint32_t pointer(std::size_t i) const { return i < items.size() ? items[i].number : rightChild; }
};

// Shape of the nodes of one tag.
struct NodeShape {
  int keyLength = 0;
  int itemLength = 0;
  int maxKeys = 0;
};

// Decodes a block; returns false when its count exceeds the tag's maximum.
bool decodeNode(const std::uint8_t* block, const NodeShape& shape, Node& node);

// Writes item `index` (its record or child block, then its key) into a node block.
void putNodeItem(std::uint8_t* block, const NodeShape& shape, std::size_t index, std::uint32_t number,
                 std::string_view key);

// Encodes a node into a zero-filled 1024-byte block.
// REQUIRES: node.items.size() <= shape.maxKeys and every key has shape.keyLength bytes.
void encodeNode(const Node& node, const NodeShape& shape, std::uint8_t* block);

}  // namespace vekrano::dbase
