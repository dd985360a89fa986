#include "dbase/mdx_node.h"

#include <cassert>
#include <cstring>

#include "dbase/mdx_format.h"

namespace vekrano::dbase {

bool decodeNode(const std::uint8_t* block, const NodeShape& shape, Node& node) {
  std::uint32_t count = getU32(block + kNodeCount);
  if (count > static_cast<std::uint32_t>(shape.maxKeys)) return false;
  node.items.resize(count);
  const std::uint8_t* at = block + kNodeItems;
  for (auto& item : node.items) {
    item.number = getU32(at);
    item.key.assign(reinterpret_cast<const char*>(at + 4), shape.keyLength);
    at += shape.itemLength;
  }
  node.rightChild = getU32(at);
  return true;
}

void encodeNode(const Node& node, const NodeShape& shape, std::uint8_t* block) {
  assert(node.items.size() <= static_cast<std::size_t>(shape.maxKeys));
  std::memset(block, 0, kBlockSize);
  putU32(block + kNodeCount, static_cast<std::uint32_t>(node.items.size()));
  std::uint8_t* at = block + kNodeItems;
  for (const auto& item : node.items) {
    assert(item.key.size() == static_cast<std::size_t>(shape.keyLength));
    putU32(at, item.number);
    std::memcpy(at + 4, item.key.data(), item.key.size());
    at += shape.itemLength;
  }
  putU32(at, node.rightChild);
}

}  // namespace vekrano::dbase
