// Byte layout of the production index file: file header, tag table, tag headers and tree nodes.
// Every number is little-endian; the file is addressed in 512-byte units, blocks are two units.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vekrano::dbase {

// File layout
//   OFFSET   SIZE     DESCRIPTION
//      0      512     File header
//    512       32     Tag table entry 0: only its right child (tag 1) is used, the name-tree root
//    544   47 x 32    Tag table entries 1-47
//   2048      ...     Per tag, in creation order: its tree nodes, then its tag header block
inline constexpr std::uint32_t kUnitSize = 512;
inline constexpr std::uint32_t kBlockSize = 1024;
inline constexpr std::uint32_t kBlockUnits = kBlockSize / kUnitSize;
inline constexpr std::uint32_t kHeaderAreaSize = 2048;
inline constexpr int kMaxTags = 47;
inline constexpr std::uint32_t kMinimumFileSize = 3072;  // header area plus one node and one tag header

// File header (bytes not listed are 0)
//   OFFSET   SIZE  DESCRIPTION
//      0      1    Version: 2
//      1      3    Creation date: year - 1900, month, day
//      4     16    Table file name without folder and extension, 0x00-padded
//     20      2    Block size in units: 2
//     22      2    Block size in bytes: 1024
//     24      1    1: production index
//     25      1    Entries in the tag table, entry 0 included: 48
//     26      1    Length of a tag table entry: 32
//     28      1    Tags in use
//     32      4    Block counter: the file's size in units after every write (never read back;
//                  other dBase programs take it as the next free block)
//     44      3    Date of last update: year - 1900, month, day
inline constexpr std::size_t kHdrVersion = 0;
inline constexpr std::size_t kHdrCreated = 1;
inline constexpr std::size_t kHdrTableName = 4;
inline constexpr std::size_t kHdrTableNameSize = 16;
inline constexpr std::size_t kHdrBlockUnits = 20;
inline constexpr std::size_t kHdrBlockBytes = 22;
inline constexpr std::size_t kHdrProduction = 24;
inline constexpr std::size_t kHdrEntryCount = 25;
inline constexpr std::size_t kHdrEntryLength = 26;
inline constexpr std::size_t kHdrTagCount = 28;
inline constexpr std::size_t kHdrBlockCounter = 32;
inline constexpr std::size_t kHdrUpdated = 44;
inline constexpr std::uint8_t kVersion = 2;

// Tag table entry i lies at kTagTableOffset + kTagEntrySize * i (bytes not listed are 0)
//   OFFSET   SIZE  DESCRIPTION
//      0      4    Block number of the tag header
//      4     11    Tag name, upper case, 0x00-padded
//     16      1    Left child in the tag-name tree (entry number, 0 for none)
//     17      1    Right child
//     18      1    Parent
//     19      1    2
//     20      1    Key type letter: C, D, F or N
inline constexpr std::uint32_t kTagTableOffset = 512;
inline constexpr std::uint32_t kTagEntrySize = 32;
inline constexpr std::size_t kEntHeaderBlock = 0;
inline constexpr std::size_t kEntName = 4;
inline constexpr std::size_t kEntNameSize = 11;
inline constexpr std::size_t kEntLeft = 16;
inline constexpr std::size_t kEntRight = 17;
inline constexpr std::size_t kEntParent = 18;
inline constexpr std::size_t kEntMarker = 19;
inline constexpr std::size_t kEntKeyType = 20;
inline constexpr std::uint8_t kEntMarkerValue = 2;

// Tag header block (1024 bytes; the first kAnchorSize are kept in memory as the anchor)
//   OFFSET   SIZE  DESCRIPTION
//      0      4    Block number of the root node
//      8      1    Key format flags: 0x10 always, 0x08 descending, 0x40 unique
//      9      1    Key type letter
//     12      2    Key length (1-100)
//     14      2    Maximum keys per node = 1012 div item length
//     16      2    1 for date keys, else 0
//     18      2    Item length = 4 + key length rounded up to a multiple of 4
//     23      1    1 when unique
//     24    221    Key expression text, 0x00-terminated
//    245      1    1 when the tag has a condition
//    762    221    Condition text, 0x00-terminated
inline constexpr std::size_t kAnchorSize = 983;
inline constexpr std::size_t kTagRoot = 0;
inline constexpr std::size_t kTagFlags = 8;
inline constexpr std::size_t kTagKeyType = 9;
inline constexpr std::size_t kTagKeyLength = 12;
inline constexpr std::size_t kTagMaxKeys = 14;
inline constexpr std::size_t kTagDateFlag = 16;
inline constexpr std::size_t kTagItemLength = 18;
inline constexpr std::size_t kTagUnique = 23;
inline constexpr std::size_t kTagExpression = 24;
inline constexpr std::size_t kTagHasCondition = 245;
inline constexpr std::size_t kTagCondition = 762;
inline constexpr std::size_t kExpressionSize = 221;
inline constexpr std::uint8_t kFlagAlways = 0x10;
inline constexpr std::uint8_t kFlagDescending = 0x08;
inline constexpr std::uint8_t kFlagUnique = 0x40;
inline constexpr int kMaxKeyLength = 100;

// Tree node (1024 bytes)
//   OFFSET          SIZE         DESCRIPTION
//      0              4          Number of keys n
//      4              4          0
//      8       n x item length   items: 4-byte record (leaf) or child block (branch), key, 0-padding
//   8 + n x il        4          Right-most child block in a branch, 0 in a leaf
inline constexpr std::size_t kNodeCount = 0;
inline constexpr std::size_t kNodeItems = 8;
inline constexpr std::size_t kNodeItemSpace = 1012;

// Index semaphore file: the table's name with this extension, one 4-byte record
//   OFFSET  SIZE  DESCRIPTION
//      0      1   Processes that have the index open
//      1      1   Processes reading the index (0-127), or 1 while one process writes it
//      2      2   Change counter, incremented at the end of every write section
// Bytes 1-4 are locked while the record is read or changed. A lock on one far byte (no data lies
// there, below the share-mode byte) shows who is alive inside a section.
inline constexpr char kSemaphoreExtension[] = "@S@";
inline constexpr std::size_t kSemRecordSize = 4;
inline constexpr std::size_t kSemLogins = 0;
inline constexpr std::size_t kSemUsers = 1;
inline constexpr std::size_t kSemCounter = 2;
inline constexpr std::int64_t kSemLockOffset = 1;
inline constexpr std::int64_t kSemLockLength = 4;
inline constexpr std::int64_t kSemLivenessOffset = 0x7FFFFFE0;

// File offset of a block or unit number.
inline std::uint64_t blockOffset(std::uint32_t block) { return std::uint64_t{block} * kUnitSize; }

// The decoded fields of a tag header that the index works with.
struct TagHeader {
  std::uint32_t root = 0;
  char keyType = 'C';
  int keyLength = 0;
  bool descending = false;
  bool unique = false;
  std::string expression;
  std::string condition;  // empty: no condition

  int itemLength() const { return 4 + (keyLength + 3) / 4 * 4; }
  int maxKeys() const { return static_cast<int>(kNodeItemSpace) / itemLength(); }
};

using Anchor = std::array<std::uint8_t, kAnchorSize>;

// Encodes a tag header as its anchor bytes (the rest of the block is zero).
Anchor encodeTagHeader(const TagHeader& header);
// Decodes anchor bytes; the key length is returned as stored, for the caller to check.
TagHeader decodeTagHeader(const Anchor& anchor);

// A date as the three header bytes: year - 1900, month, day.
struct HeaderDate {
  std::uint8_t year = 0, month = 0, day = 0;
};
HeaderDate today();

// The block counter of a file of `fileSize` bytes: its size in units, the next free block.
inline std::uint32_t blockCounterOf(std::int64_t fileSize) {
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(fileSize) / kUnitSize);
}

// The 2048 bytes of a new file with no tags (its block counter that of the 2048 bytes).
std::string encodeEmptyHeaderArea(std::string_view tableName, HeaderDate date);

}  // namespace vekrano::dbase
