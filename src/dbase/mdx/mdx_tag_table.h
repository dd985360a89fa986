// The tag table of the header area: one entry per tag, linked as a binary tree by tag name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vekrano::dbase {

struct TagEntry {
  std::uint32_t headerBlock = 0;
  std::string name;  // upper case, at most 11 bytes
  char keyType = 'C';
};

// Reads the entries in use from the 2048-byte header area (count at byte 28, at most 47).
std::vector<TagEntry> decodeTagTable(const std::uint8_t* headerArea);

// Writes the count and the entries into the header area, rebuilding the name tree from scratch:
// tag 1 is the root (right child of entry 0), later tags are inserted in entry order.
// REQUIRES: entries.size() <= kMaxTags.
void encodeTagTable(std::uint8_t* headerArea, const std::vector<TagEntry>& entries);

// Adds `entry`, replacing an entry of the same name: that one is removed first, the last entry
// moving into its place, and the new one is appended.
void addTagEntry(std::vector<TagEntry>& entries, const TagEntry& entry);

}  // namespace vekrano::dbase
