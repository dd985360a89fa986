// Reading and writing the index list form of tag definitions.
#include "dbase/table/table_index_list.h"

#include "common/code_page.h"

namespace vekrano::dbase {
namespace {

bool flagAt(const std::string& line, std::size_t position) { return position < line.size() && line[position] == 'T'; }

std::string rest(const std::string& line, std::size_t position) {
  return position < line.size() ? line.substr(position, kIndexListTextLength) : std::string();
}

}  // namespace

std::vector<MdxTagDefinition> parseIndexList(const std::vector<std::string>& lines) {
  std::vector<MdxTagDefinition> tags;
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
    const std::string& line = lines[i];
    const std::size_t comma = std::min(line.find(','), line.size());
    MdxTagDefinition tag;
    tag.name = line.substr(0, std::min(comma, kIndexListNameLength));
    tag.descending = flagAt(line, comma + 1);
    tag.unique = flagAt(line, comma + 3);
    tag.expression = rest(line, comma + 5);
    tag.condition = lines[i + 1].substr(0, kIndexListTextLength);
    tags.push_back(std::move(tag));
  }
  return tags;
}

std::vector<std::string> indexListOf(const MdxIndex& index) {
  std::vector<std::string> lines;
  for (int n = 1; n <= index.tagCount(); ++n) {
    const TagHeader& header = index.tag(n).header();
    lines.push_back(index.tag(n).place().tagName + (header.descending ? ",T" : ",F") + (header.unique ? ",T," : ",F,") +
                    header.expression);
    lines.push_back(header.condition);
  }
  return lines;
}

bool sameIndexList(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (common::ansiUpper(a[i]) != common::ansiUpper(b[i])) return false;
  }
  return true;
}

}  // namespace vekrano::dbase
