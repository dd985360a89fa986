// An independent reader of index files for the tests: walks every tag from its root using only the
// byte layout and reports the first fault, or the (key, record) entries in tag order.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vekrano::testing {

using MdxEntries = std::vector<std::pair<std::string, std::uint32_t>>;

struct MdxCheck {
  std::string fault;  // empty when the file is sound
  std::map<std::string, MdxEntries> tags;  // tag name -> entries in tree order
};

// Checks: header constants, tag headers, every node within the file and visited once, counts
// within the maximum, leaves told from branches by the pointer after the last item, keys in
// order (character keys by bytes, descending tags reversed), and each branch item carrying the
// highest key of its child's subtree.
MdxCheck checkMdxFile(const std::string& path);

}  // namespace vekrano::testing
