#include "dbase/mdx/mdx_checker.h"

#include <cstring>
#include <set>

#include "support/temp_dir.h"

namespace vekrano::testing {

namespace {

std::uint32_t u32(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
         static_cast<std::uint8_t>(b[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}
unsigned u16(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8;
}

struct Walker {
  const std::string& file;
  unsigned keyLength, itemLength, maxKeys;
  bool descending;
  char type;
  std::set<std::uint32_t> seen;
  MdxEntries entries;

  bool inOrder(const std::string& a, const std::string& b) const {  // a may precede b
    if (type != 'C') return true;
    int c = std::memcmp(a.data(), b.data(), keyLength);
    return descending ? c >= 0 : c <= 0;
  }

  // Returns the subtree's highest key, or throws a fault text.
  std::string walk(std::uint32_t block, int depth) {
    if (depth > 40) throw std::string("tree too deep");
    if (block < 4 || std::uint64_t{block} * 512 + 1024 > file.size())
      throw "block out of file: " + std::to_string(block);
    if (!seen.insert(block).second) throw "block reached twice: " + std::to_string(block);
    std::size_t at = std::size_t{block} * 512;
    std::uint32_t n = u32(file, at);
    if (n > maxKeys) throw "too many keys in block " + std::to_string(block);
    std::uint32_t right = u32(file, at + 8 + n * itemLength);
    std::string highest;
    for (std::uint32_t i = 0; i < n; ++i) {
      std::size_t item = at + 8 + i * itemLength;
      std::string key = file.substr(item + 4, keyLength);
      std::uint32_t number = u32(file, item);
      if (right == 0) {
        if (!entries.empty() && !inOrder(entries.back().first, key))
          throw "keys out of order in block " + std::to_string(block);
        entries.emplace_back(key, number);
      } else {
        std::string childHighest = walk(number, depth + 1);
        if (childHighest != key) throw "branch item is not its child's highest key in block " + std::to_string(block);
      }
      highest = key;
    }
    if (right != 0) highest = walk(right, depth + 1);
    if (right == 0 && n == 0 && !entries.empty()) throw "empty leaf inside the tree: " + std::to_string(block);
    return highest;
  }
};

}  // namespace

MdxCheck checkMdxFile(const std::string& path) {
  MdxCheck check;
  std::string file = readFileBytes(path);
  try {
    if (file.size() < 3072 || file.size() % 512 != 0) throw std::string("bad file size");
    if (file[0] != 2 || u16(file, 20) != 2 || u16(file, 22) != 1024 || file[24] != 1 || file[25] != 48 ||
        file[26] != 32)
      throw std::string("bad file header");
    unsigned tags = static_cast<std::uint8_t>(file[28]);
    if (tags > 47) throw std::string("too many tags");
    for (unsigned t = 1; t <= tags; ++t) {
      std::size_t entry = 512 + 32 * t;
      std::string name = file.substr(entry + 4, 11);
      name.resize(std::strlen(name.c_str()));
      std::uint32_t headerBlock = u32(file, entry);
      if (std::uint64_t{headerBlock} * 512 + 1024 > file.size()) throw "tag header outside the file: " + name;
      std::size_t h = std::size_t{headerBlock} * 512;
      Walker w{
          file, u16(file, h + 12), u16(file, h + 18), u16(file, h + 14), (file[h + 8] & 0x08) != 0, file[h + 9], {},
          {}};
      if (w.keyLength < 1 || w.keyLength > 100 || w.itemLength != 4 + (w.keyLength + 3) / 4 * 4 ||
          w.maxKeys != 1012 / w.itemLength || file[entry + 20] != w.type || (file[h + 8] & 0x10) == 0)
        throw "bad tag header: " + name;
      w.walk(u32(file, h), 0);
      check.tags[name] = w.entries;
    }
  } catch (const std::string& fault) {
    check.fault = fault;
  }
  return check;
}

}  // namespace vekrano::testing
