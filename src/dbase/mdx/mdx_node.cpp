#include "dbase/mdx/mdx_node.h"

#include <cassert>
#include <cstring>

#include "common/byte_codec.h"
#include "dbase/mdx/mdx_format.h"

namespace vekrano::dbase {

bool decodeNode(const std::uint8_t* block, const NodeShape& shape, Node& node) {
  std::uint32_t count = common::getU32(block + kNodeCount);
  if (count > static_cast<std::uint32_t>(shape.maxKeys)) return false;
  node.items.resize(count);
  const std::uint8_t* at = block + kNodeItems;
  for (auto& item : node.items) {
    item.number = common::getU32(at);
    item.key.assign(reinterpret_cast<const char*>(at + 4), shape.keyLength);
    at += shape.itemLength;
  }
  node.rightChild = common::getU32(at);
  return true;
}

void putNodeItem(std::uint8_t* block, const NodeShape& shape, std::size_t index, std::uint32_t number,
                 std::string_view key) {
  assert(key.size() == static_cast<std::size_t>(shape.keyLength));
  std::uint8_t* at = block + kNodeItems + index * static_cast<std::size_t>(shape.itemLength);
  common::putU32(at, number);
  std::memcpy(at + 4, key.data(), key.size());
}

void encodeNode(const Node& node, const NodeShape& shape, std::uint8_t* block) {
  assert(node.items.size() <= static_cast<std::size_t>(shape.maxKeys));
  std::memset(block, 0, kBlockSize);
  common::putU32(block + kNodeCount, static_cast<std::uint32_t>(node.items.size()));
  for (std::size_t i = 0; i < node.items.size(); ++i)
    putNodeItem(block, shape, i, node.items[i].number, node.items[i].key);
  common::putU32(block + kNodeItems + node.items.size() * static_cast<std::size_t>(shape.itemLength), node.rightChild);
}

}  // namespace vekrano::dbase
