// The B-tree of one open tag: node reads through a small cache, the kept path from the root to the
// current entry, stepping along the leaves, insertion with splits and removal.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_set>
#include <vector>

#include "dbase/held_file_bytes.h"
#include "dbase/file_helpers.h"
#include "dbase/mdx/mdx_format.h"
#include "dbase/mdx/mdx_keys.h"
#include "dbase/mdx/mdx_node.h"

namespace vekrano::dbase {

class TagTree;

// While a run of appends holds the index's write section, no other process reads or changes the
// file: the tags keep the nodes they write in memory, and the blocks they append lie beyond the
// file's end until the run writes them all at once.
struct DeferredNodes {
  bool on = false;
  std::int64_t writtenEnd = 0;  // the file's size on disk
  std::int64_t end = 0;  // its size once the blocks appended in memory are written
};

// Where a tag's blocks live and how its failures are worded.
struct TagPlace {
  File* file = nullptr;
  std::string indexName;  // the index file's name, for messages
  std::string tagName;
  int area = 1;  // work area and order number, for the invalid-node message
  int order = 1;
  // The index file's bytes held while a scan holds its read section; null for a tag being built.
  HeldFileBytes* held = nullptr;
  // Writes the tag's anchor at once (a root split commits the new root through it); may throw
  // MdxFailure. Null for a tag being built.
  std::function<void(TagTree&)> saveAnchor;
  // Shared by the tags of one index file; null for a tag being built.
  DeferredNodes* deferred = nullptr;
};

class TagTree {
 public:
  TagTree(TagPlace place, TagHeader header, std::uint32_t headerBlock);

  const TagHeader& header() const { return header_; }
  std::uint32_t headerBlock() const { return headerBlock_; }
  const TagPlace& place() const { return place_; }
  const KeyOrder& order() const { return order_; }
  int keyLength() const { return header_.keyLength; }
  const NodeShape& shape() const { return shape_; }
  // True once the root changed since the anchor was last written.
  bool anchorDirty() const { return anchorDirty_; }
  void setAnchorClean() { anchorDirty_ = false; }
  // Replaces the header after another process changed the file; drops cache and path.
  void reload(const TagHeader& header);
  void dropCache();

  // Positioning. Each returns true when the tag is left on an entry. On false the path is empty.
  bool first();
  bool last();
  bool next();
  bool prior();
  // First entry whose key is not less than `key` (a shorter character key compares as a prefix).
  bool seek(const std::string& key);
  // The entry of `key` and `record`: equal keys are passed until the record number matches.
  bool seekEntry(const std::string& key, std::uint32_t record);
  bool onEntry() const;
  // Every entry's record number in key order, the leaves read without decoding their nodes;
  // with `keys`, the entries' keys too, keyLength() bytes each, one after the other.
  // Leaves the path empty.
  void recordsInKeyOrder(std::vector<std::int32_t>& records, std::string* keys = nullptr);
  // REQUIRES: onEntry().
  const NodeItem& current() const;
  // The block of the leaf the current entry is in, and that leaf's entries. REQUIRES: onEntry().
  std::uint32_t currentLeaf() const { return path_.back().block; }
  const std::vector<NodeItem>& currentLeafItems() const { return path_.back().node.items; }

  // Adds (record, key) before the equal keys; false, with nothing written, when the tag is unique
  // and holds the key already. Leaves the tag on the new entry when no node split, else the path
  // empty. A split writes the new nodes, then the
  // pointers that reach them (for a new root, the anchor), and only then lets the old node give up
  // the half it handed on: a write that fails in between leaves keys twice, never lost.
  bool insert(const std::string& key, std::uint32_t record);
  // Removes the entry of `key` and `record`; false when there is none. Leaves the path empty.
  bool remove(const std::string& key, std::uint32_t record);

  // The nodes written while the writes were deferred, by block, not yet in the file.
  const std::map<std::uint32_t, Node>& deferredNodes() const { return deferred_; }
  // They are in the file now.
  void deferredWritten() { deferred_.clear(); }

 private:
  struct Step {
    std::uint32_t block;
    Node node;
    int index;  // pointer index in a branch, item index in a leaf
  };

  // The leaves entered since the walk last started from the root or turned round. A sound tree
  // never enters a leaf twice going one way; a damaged one whose branches share a child would
  // otherwise walk its few keys again and again, practically without end.
  class LeafWalk {
   public:
    void restart();
    // +1 forward, -1 backward; turning round forgets the leaves entered.
    void turn(int direction);
    // False when the leaf was entered already in this walk.
    bool enter(std::uint32_t block) { return leaves_.insert(block).second; }

   private:
    std::unordered_set<std::uint32_t> leaves_;
    int direction_ = 0;
  };

  // The block's bytes: where the file is mapped during a scan, else read into `scratch`
  // (kBlockSize bytes).
  const std::uint8_t* blockBytes(std::uint32_t block, std::uint8_t* scratch) const;
  // Valid until the next read or write of a node.
  const Node& readNode(std::uint32_t block);
  void popStep();
  void clearPath();
  void writeNode(std::uint32_t block, const Node& node);
  // Writes a node that has just taken one item at `pos` and is otherwise as last written.
  void writeGrownNode(std::uint32_t block, const Node& node, std::size_t pos);
  std::uint32_t appendNode(const Node& node);
  void push(std::uint32_t block, bool rightMost);
  void descend(std::uint32_t block, bool rightMost);
  // The path down to the leaf where `key`'s lower bound lies; its index may be past the leaf's end.
  void descendTo(const std::string& key);
  bool pathLeadsTo(const std::string& key);
  // True when the path runs down the right-most pointers to past the last leaf's last entry.
  bool pastLastEntry() const;
  bool climbForward();
  bool climbBackward();
  std::size_t lowerBound(const Node& node, const std::string& key) const;
  // Places the item at `level`, splitting upwards; the old nodes' halves to write last go to
  // `shrunk`. True when the root split (the anchor then needs saving before `shrunk` is written).
  bool splitAndInsert(std::size_t level, std::size_t pos, NodeItem item, std::uint32_t newPointer,
                      std::vector<std::pair<std::uint32_t, Node>>& shrunk);
  void removePointer(std::size_t level);
  void propagateHighest(std::size_t level, const std::string& key);
  [[noreturn]] void corrupted() const;
  [[noreturn]] void writeFailed() const;

  TagPlace place_;
  TagHeader header_;
  std::uint32_t headerBlock_;
  NodeShape shape_;
  KeyOrder order_;
  bool anchorDirty_ = false;
  std::vector<Step> path_;
  LeafWalk walk_;
  std::vector<std::pair<std::uint32_t, Node>> cache_;  // most recently used first
  std::map<std::uint32_t, Node> deferred_;
  std::vector<Node> spare_;  // nodes of steps left, reused by the next descent
};

}  // namespace vekrano::dbase
