#include "dbase/mdx/mdx_tree.h"

#include <algorithm>
#include <array>

#include "common/byte_codec.h"
#include "common/scope_exit.h"
#include "dbase/mdx/mdx_failure.h"

namespace vekrano::dbase {

namespace {

constexpr std::size_t kCacheSize = 16;
// Deeper than any tree a file of 2^32 units can hold; a deeper path means a damaged file.
constexpr std::size_t kMaxDepth = 64;

}  // namespace

TagTree::TagTree(TagPlace place, TagHeader header, std::uint32_t headerBlock)
    : place_(std::move(place)), headerBlock_(headerBlock) {
  reload(header);
}

void TagTree::reload(const TagHeader& header) {
  header_ = header;
  shape_ = {header.keyLength, header.itemLength(), header.maxKeys()};
  order_ = {header.keyType, header.descending};
  dropCache();
}

void TagTree::dropCache() {
  cache_.clear();
  deferred_.clear();
  clearPath();
}

void TagTree::corrupted() const { throw nodeCorrupted(tagPlace(place_.indexName, place_.tagName)); }

void TagTree::writeFailed() const { throw nodeWriteFailed(tagPlace(place_.indexName, place_.tagName)); }

const std::uint8_t* TagTree::blockBytes(std::uint32_t block, std::uint8_t* scratch) const {
  if (block == 0) throw nodeNumberZero(place_.area, place_.order);
  // While a scan holds the read section no other process writes the index: its nodes are read
  // where the file is mapped, not copied.
  const std::uint64_t offset = blockOffset(block);
  if (place_.held != nullptr) {
    if (const char* mapped = place_.held->View(*place_.file, offset, kBlockSize))
      return reinterpret_cast<const std::uint8_t*>(mapped);
  }
  if (!readExact(*place_.file, static_cast<std::int64_t>(offset), scratch, kBlockSize))
    throw nodeReadFailed(tagPlace(place_.indexName, place_.tagName));
  return scratch;
}

const Node& TagTree::readNode(std::uint32_t block) {
  if (!deferred_.empty()) {
    if (auto kept = deferred_.find(block); kept != deferred_.end()) return kept->second;
  }
  auto hit = std::find_if(cache_.begin(), cache_.end(), [&](const auto& e) { return e.first == block; });
  if (hit != cache_.end()) {
    std::rotate(cache_.begin(), hit, hit + 1);
    return cache_.front().second;
  }
  std::array<std::uint8_t, kBlockSize> scratch;
  Node node;
  if (!decodeNode(blockBytes(block, scratch.data()), shape_, node)) corrupted();
  if (cache_.size() == kCacheSize) cache_.pop_back();
  cache_.insert(cache_.begin(), {block, std::move(node)});
  return cache_.front().second;
}

// The nodes of the steps left go back to `spare_`, so that the next descent copies nodes into
// storage it already has instead of allocating every key again.
void TagTree::popStep() {
  spare_.push_back(std::move(path_.back().node));
  path_.pop_back();
}

void TagTree::clearPath() {
  while (!path_.empty()) popStep();
}

void TagTree::recordsInKeyOrder(std::vector<std::int32_t>& records, std::string* keys) {
  clearPath();
  records.clear();
  if (keys != nullptr) keys->clear();
  struct Pending {
    std::uint32_t block;
    std::size_t depth;
  };
  std::vector<Pending> pending{{header_.root, 0}};
  // A sound tree reaches each block once; a damaged one whose branches share a child or point
  // back up would otherwise be walked again and again. (A block past the file's end fails its read.)
  std::vector<bool> reached(blockCounterOf(place_.file->size()));
  const auto reachedAgain = [&](std::uint32_t block) {
    if (block >= reached.size()) return false;
    const bool again = reached[block];
    reached[block] = true;
    return again;
  };
  std::array<std::uint8_t, kBlockSize> scratch;
  while (!pending.empty()) {
    const Pending at = pending.back();
    pending.pop_back();
    if (at.depth >= kMaxDepth || reachedAgain(at.block)) corrupted();
    const std::uint8_t* bytes = blockBytes(at.block, scratch.data());
    const std::uint32_t count = common::getU32(bytes + kNodeCount);
    if (count > static_cast<std::uint32_t>(shape_.maxKeys)) corrupted();
    const std::uint8_t* items = bytes + kNodeItems;
    const auto itemAt = [&](std::uint32_t i) { return items + i * static_cast<std::size_t>(shape_.itemLength); };
    const std::uint32_t rightChild = common::getU32(itemAt(count));
    if (rightChild == 0) {
      // A leaf: its keys are read only when asked for.
      for (std::uint32_t i = 0; i < count; ++i) {
        records.push_back(static_cast<std::int32_t>(common::getU32(itemAt(i))));
        if (keys != nullptr)
          keys->append(reinterpret_cast<const char*>(itemAt(i) + 4), static_cast<std::size_t>(shape_.keyLength));
      }
      continue;
    }
    // A branch's children are taken left to right: pushed right to left.
    pending.push_back({rightChild, at.depth + 1});
    for (std::uint32_t i = count; i-- > 0;) pending.push_back({common::getU32(itemAt(i)), at.depth + 1});
  }
}

void TagTree::writeNode(std::uint32_t block, const Node& node) {
  auto hit = std::find_if(cache_.begin(), cache_.end(), [&](const auto& e) { return e.first == block; });
  if (place_.deferred != nullptr && place_.deferred->on) {
    // Read from the kept nodes from now on; the cache would only hold a second copy. Room for a
    // full node lets a node that grew by one item be copied without allocating its keys again.
    Node& kept = deferred_[block];
    kept.items.reserve(static_cast<std::size_t>(shape_.maxKeys) + 1);
    kept = node;
    if (hit != cache_.end()) cache_.erase(hit);
    return;
  }
  std::array<std::uint8_t, kBlockSize> bytes;
  encodeNode(node, shape_, bytes.data());
  if (place_.file->writeAt(bytes.data(), bytes.size(), static_cast<std::int64_t>(blockOffset(block))) != 0)
    writeFailed();
  if (hit != cache_.end()) hit->second = node;
}

void TagTree::writeGrownNode(std::uint32_t block, const Node& node, std::size_t pos) {
  if (place_.deferred != nullptr && place_.deferred->on) {
    // The kept node is the one the path read before the item went in: only that item is new,
    // so it alone is copied rather than the whole node, once per append.
    auto kept = deferred_.find(block);
    if (kept != deferred_.end() && kept->second.items.size() + 1 == node.items.size() &&
        kept->second.rightChild == node.rightChild) {
      kept->second.items.insert(kept->second.items.begin() + static_cast<std::ptrdiff_t>(pos), node.items[pos]);
      return;
    }
  }
  writeNode(block, node);
}

std::uint32_t TagTree::appendNode(const Node& node) {
  DeferredNodes* deferred = place_.deferred != nullptr && place_.deferred->on ? place_.deferred : nullptr;
  auto block = static_cast<std::uint32_t>((deferred ? deferred->end : place_.file->size()) / kUnitSize);
  if (block < kHeaderAreaSize / kUnitSize) corrupted();
  {
    // A block cut short (a full disk) does not stay behind as the file's last, partial block.
    const std::int64_t size = deferred ? 0 : place_.file->size();
    const common::OnUnwind cut([&] {
      if (!deferred) place_.file->truncate(size);
    });
    writeNode(block, node);
  }
  if (deferred) {
    // The block counter is written with the blocks, from the file's size then.
    deferred->end = static_cast<std::int64_t>(blockOffset(block) + kBlockSize);
    return block;
  }
  std::array<std::uint8_t, 4> counter;
  common::putU32(counter.data(), blockCounterOf(place_.file->size()));
  if (place_.file->writeAt(counter.data(), counter.size(), kHdrBlockCounter) != 0) writeFailed();
  return block;
}

std::size_t TagTree::lowerBound(const Node& node, const std::string& key) const {
  auto it = std::partition_point(node.items.begin(), node.items.end(),
                                 [&](const NodeItem& item) { return order_.compare(item.key, key) < 0; });
  return static_cast<std::size_t>(it - node.items.begin());
}

void TagTree::LeafWalk::restart() {
  leaves_.clear();
  direction_ = 0;
}

void TagTree::LeafWalk::turn(int direction) {
  if (direction_ == -direction) leaves_.clear();
  direction_ = direction;
}

void TagTree::push(std::uint32_t block, bool rightMost) {
  if (path_.size() >= kMaxDepth) corrupted();
  for (const auto& step : path_)
    if (step.block == block) corrupted();  // a node pointing back up its own path
  if (path_.empty()) walk_.restart();
  Node node;
  if (!spare_.empty()) {
    node = std::move(spare_.back());
    spare_.pop_back();
  }
  node.items.reserve(static_cast<std::size_t>(shape_.maxKeys) + 1);
  node = readNode(block);
  if (node.isLeaf() && !walk_.enter(block)) corrupted();
  int index = rightMost ? static_cast<int>(node.isLeaf() ? node.items.size() : node.pointerCount()) - 1 : 0;
  path_.push_back({block, std::move(node), index});
}

void TagTree::descend(std::uint32_t block, bool rightMost) {
  for (;;) {
    push(block, rightMost);
    const Step& step = path_.back();
    if (step.node.isLeaf()) return;
    block = step.node.pointer(static_cast<std::size_t>(step.index));
  }
}

bool TagTree::onEntry() const {
  if (path_.empty()) return false;
  const Step& leaf = path_.back();
  return leaf.index >= 0 && static_cast<std::size_t>(leaf.index) < leaf.node.items.size();
}

const NodeItem& TagTree::current() const {
  return path_.back().node.items[static_cast<std::size_t>(path_.back().index)];
}

bool TagTree::climbForward() {
  walk_.turn(+1);
  for (;;) {
    popStep();
    while (!path_.empty() && static_cast<std::size_t>(path_.back().index) + 1 >= path_.back().node.pointerCount())
      popStep();
    if (path_.empty()) return false;
    Step& parent = path_.back();
    ++parent.index;
    descend(parent.node.pointer(static_cast<std::size_t>(parent.index)), false);
    if (onEntry()) return true;
  }
}

bool TagTree::climbBackward() {
  walk_.turn(-1);
  for (;;) {
    popStep();
    while (!path_.empty() && path_.back().index == 0) popStep();
    if (path_.empty()) return false;
    Step& parent = path_.back();
    --parent.index;
    descend(parent.node.pointer(static_cast<std::size_t>(parent.index)), true);
    if (onEntry()) return true;
  }
}

bool TagTree::first() {
  clearPath();
  descend(header_.root, false);
  return onEntry() || climbForward();
}

bool TagTree::last() {
  clearPath();
  descend(header_.root, true);
  return onEntry() || climbBackward();
}

bool TagTree::next() {
  if (path_.empty()) return false;
  ++path_.back().index;
  return onEntry() || climbForward();
}

bool TagTree::prior() {
  if (path_.empty()) return false;
  --path_.back().index;
  return onEntry() || climbBackward();
}

void TagTree::descendTo(const std::string& key) {
  clearPath();
  std::uint32_t block = header_.root;
  for (;;) {
    push(block, false);
    Step& step = path_.back();
    step.index = static_cast<int>(lowerBound(step.node, key));
    if (step.node.isLeaf()) break;
    block = step.node.pointer(static_cast<std::size_t>(step.index));
  }
}

bool TagTree::pastLastEntry() const {
  return std::all_of(path_.begin(), path_.end(),
                     [](const Step& step) { return static_cast<std::size_t>(step.index) == step.node.items.size(); });
}

bool TagTree::seek(const std::string& key) {
  descendTo(key);
  return onEntry() || climbForward();
}

bool TagTree::seekEntry(const std::string& key, std::uint32_t record) {
  for (bool on = seek(key); on; on = next()) {
    if (order_.compare(current().key, key) != 0) break;
    if (current().number == record) return true;
  }
  clearPath();
  return false;
}

namespace {

// Inserts `item` at `pos`; in a branch the pointer after it then becomes `newPointer`.
void placeItem(Node& node, std::size_t pos, NodeItem item, std::uint32_t newPointer) {
  node.items.insert(node.items.begin() + static_cast<std::ptrdiff_t>(pos), std::move(item));
  if (newPointer == 0) return;
  if (pos + 1 < node.items.size())
    node.items[pos + 1].number = newPointer;
  else
    node.rightChild = newPointer;
}

}  // namespace

// True when the path kept from the last look at the tag is the one a descent to `key` would take
// (appends in key order go to the same leaf one after the other); the walk then starts as after a
// descent. Every write that changes a node of the path leaves the path empty or in step with it.
bool TagTree::pathLeadsTo(const std::string& key) {
  if (path_.empty() || path_.front().block != header_.root || !path_.back().node.isLeaf()) return false;
  for (std::size_t level = 0; level + 1 < path_.size(); ++level) {
    if (lowerBound(path_[level].node, key) != static_cast<std::size_t>(path_[level].index)) return false;
  }
  path_.back().index = static_cast<int>(lowerBound(path_.back().node, key));
  walk_.restart();
  walk_.enter(path_.back().block);
  return true;
}

bool TagTree::insert(const std::string& key, std::uint32_t record) {
  if (!pathLeadsTo(key)) descendTo(key);
  // A key past the last entry (an append in key order) stays where the descent left it: the
  // climb would find no further leaf and come back down the right-most path to the same place.
  if (!onEntry() && !pastLastEntry() && !climbForward()) {
    // every key is smaller: take the right-most path down to the last leaf
    descend(header_.root, true);
    ++path_.back().index;
  }
  const Step& leaf = path_.back();
  if (header_.unique && onEntry() && order_.compare(current().key, key) == 0) {
    clearPath();
    return false;
  }
  std::vector<std::pair<std::uint32_t, Node>> shrunk;
  const std::uint32_t oldRoot = header_.root;
  if (splitAndInsert(path_.size() - 1, static_cast<std::size_t>(leaf.index), {record, key}, 0, shrunk) &&
      place_.saveAnchor) {
    // The file's anchor still names the old root, whole: the tree stays as it was.
    const common::OnUnwind keptOldRoot([&] {
      header_.root = oldRoot;
      anchorDirty_ = false;
      clearPath();
    });
    place_.saveAnchor(*this);
  }
  // Without a split the path still leads to the new entry, for the caller's next look at it.
  if (shrunk.empty()) return true;
  clearPath();
  for (const auto& [block, node] : shrunk) writeNode(block, node);
  return true;
}

bool TagTree::splitAndInsert(std::size_t level, std::size_t pos, NodeItem item, std::uint32_t newPointer,
                             std::vector<std::pair<std::uint32_t, Node>>& shrunk) {
  for (;;) {
    Step& step = path_[level];
    Node& node = step.node;
    if (node.items.size() < static_cast<std::size_t>(shape_.maxKeys)) {
      placeItem(node, pos, std::move(item), newPointer);
      if (newPointer == 0)
        writeGrownNode(step.block, node, pos);
      else
        writeNode(step.block, node);
      return false;
    }
    std::size_t n = node.items.size();
    std::size_t keep = n - n / 2;
    bool leaf = node.isLeaf();
    Node right;
    right.items.assign(node.items.begin() + static_cast<std::ptrdiff_t>(keep), node.items.end());
    right.rightChild = node.rightChild;
    Node left;
    std::string leftHighest = node.items[keep - 1].key;
    left.items.assign(node.items.begin(), node.items.begin() + static_cast<std::ptrdiff_t>(leaf ? keep : keep - 1));
    left.rightChild = leaf ? 0 : node.items[keep - 1].number;
    if (pos < keep)
      placeItem(left, pos, std::move(item), newPointer);
    else
      placeItem(right, pos - keep, std::move(item), newPointer);
    if (leaf) leftHighest = left.items.back().key;
    std::uint32_t rightBlock = appendNode(right);
    // Until the pointers above are written the old node stays whole, so each key stays reachable.
    shrunk.emplace_back(step.block, std::move(left));
    if (level == 0) {
      Node root;
      root.items.push_back({step.block, leftHighest});
      root.rightChild = rightBlock;
      header_.root = appendNode(root);
      anchorDirty_ = true;
      return true;
    }
    item = {step.block, leftHighest};
    newPointer = rightBlock;
    --level;
    pos = static_cast<std::size_t>(path_[level].index);
  }
}

bool TagTree::remove(const std::string& key, std::uint32_t record) {
  if (!seekEntry(key, record)) return false;
  std::size_t level = path_.size() - 1;
  Step& leaf = path_[level];
  auto index = static_cast<std::size_t>(leaf.index);
  leaf.node.items.erase(leaf.node.items.begin() + static_cast<std::ptrdiff_t>(index));
  if (leaf.node.items.empty()) {
    removePointer(level);
  } else {
    writeNode(leaf.block, leaf.node);
    if (index == leaf.node.items.size()) propagateHighest(level, leaf.node.items.back().key);
  }
  clearPath();
  return true;
}

// The node at `level` has become empty: it is zero-filled and its pointer leaves the parent.
void TagTree::removePointer(std::size_t level) {
  for (;;) {
    writeNode(path_[level].block, Node{});
    if (level == 0) return;
    --level;
    Step& parent = path_[level];
    auto index = static_cast<std::size_t>(parent.index);
    Node& node = parent.node;
    if (index < node.items.size()) {
      node.items.erase(node.items.begin() + static_cast<std::ptrdiff_t>(index));
      writeNode(parent.block, node);
      return;
    }
    if (node.items.empty()) continue;
    node.rightChild = node.items.back().number;
    std::string highest = node.items.back().key;
    node.items.pop_back();
    writeNode(parent.block, node);
    propagateHighest(level, highest);
    return;
  }
}

// The subtree at `level` now has `key` as its highest key: the separator above it follows.
void TagTree::propagateHighest(std::size_t level, const std::string& key) {
  while (level > 0) {
    --level;
    Step& parent = path_[level];
    auto index = static_cast<std::size_t>(parent.index);
    if (index < parent.node.items.size()) {
      parent.node.items[index].key = key;
      writeNode(parent.block, parent.node);
      return;
    }
  }
}

}  // namespace vekrano::dbase
