#include "dbase/mdx/mdx_tag_table.h"

#include <algorithm>
#include <cstring>

#include "common/byte_codec.h"
#include "dbase/mdx/mdx_format.h"

namespace vekrano::dbase {

namespace {

std::uint8_t* entryAt(std::uint8_t* area, std::size_t i) { return area + kTagTableOffset + kTagEntrySize * i; }

std::string paddedName(const std::string& name) {
  std::string padded = name.substr(0, kEntNameSize);
  padded.resize(kEntNameSize, '\0');
  return padded;
}

bool nameLess(const std::string& a, const std::string& b) {
  return std::memcmp(paddedName(a).data(), paddedName(b).data(), kEntNameSize) < 0;
}

}  // namespace

std::vector<TagEntry> decodeTagTable(const std::uint8_t* area) {
  std::vector<TagEntry> entries;
  int count = std::min<int>(area[kHdrTagCount], kMaxTags);
  for (int i = 1; i <= count; ++i) {
    const std::uint8_t* e = area + kTagTableOffset + kTagEntrySize * i;
    TagEntry entry;
    entry.headerBlock = common::getU32(e + kEntHeaderBlock);
    const auto* nameEnd = std::find(e + kEntName, e + kEntName + kEntNameSize, std::uint8_t{0});
    entry.name.assign(e + kEntName, nameEnd);
    entry.keyType = static_cast<char>(e[kEntKeyType]);
    entries.push_back(entry);
  }
  return entries;
}

void encodeTagTable(std::uint8_t* area, const std::vector<TagEntry>& entries) {
  std::memset(entryAt(area, 0), 0, kTagEntrySize * (kMaxTags + 1));
  area[kHdrTagCount] = static_cast<std::uint8_t>(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::uint8_t* e = entryAt(area, i + 1);
    common::putU32(e + kEntHeaderBlock, entries[i].headerBlock);
    std::memcpy(e + kEntName, paddedName(entries[i].name).data(), kEntNameSize);
    e[kEntMarker] = kEntMarkerValue;
    e[kEntKeyType] = static_cast<std::uint8_t>(entries[i].keyType);
  }
  if (entries.empty()) return;
  entryAt(area, 0)[kEntRight] = 1;
  for (std::size_t i = 1; i < entries.size(); ++i) {
    std::size_t node = 1;
    for (;;) {
      std::size_t side = nameLess(entries[i].name, entries[node - 1].name) ? kEntLeft : kEntRight;
      std::uint8_t& child = entryAt(area, node)[side];
      if (child == 0) {
        child = static_cast<std::uint8_t>(i + 1);
        entryAt(area, i + 1)[kEntParent] = static_cast<std::uint8_t>(node);
        break;
      }
      node = child;
    }
  }
}

void addTagEntry(std::vector<TagEntry>& entries, const TagEntry& entry) {
  auto same = std::find_if(entries.begin(), entries.end(), [&](const TagEntry& e) { return e.name == entry.name; });
  if (same != entries.end()) {
    *same = entries.back();
    entries.pop_back();
  }
  entries.push_back(entry);
}

}  // namespace vekrano::dbase
