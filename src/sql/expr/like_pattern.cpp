// Matching of compiled LIKE patterns.
#include "sql/expr/like_pattern.h"

namespace vekrano::sql {

LikePattern::LikePattern(std::string_view pattern, std::optional<char> escape) : segments_(1) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    const bool escapes = escape && c == *escape && i + 1 < pattern.size() &&
                         (pattern[i + 1] == '%' || pattern[i + 1] == '_' || pattern[i + 1] == *escape);
    Segment& segment = segments_.back();
    if (escapes) {
      segment.bytes += pattern[++i];
      segment.any.push_back(false);
    } else if (c == '%') {
      segments_.emplace_back();
    } else {
      segment.bytes += c;
      segment.any.push_back(c == '_');
      segment.hasAny = segment.hasAny || c == '_';
    }
  }
}

bool LikePattern::Segment::matchesAt(std::string_view value, std::size_t pos) const {
  if (value.size() - pos < bytes.size()) return false;
  if (!hasAny) return value.compare(pos, bytes.size(), bytes) == 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (!any[i] && value[pos + i] != bytes[i]) return false;
  }
  return true;
}

std::string LikePattern::fixedStart() const {
  const Segment& first = segments_.front();
  std::size_t length = 0;
  while (length < first.bytes.size() && !first.any[length]) ++length;
  return first.bytes.substr(0, length);
}

bool LikePattern::matches(std::string_view value) const {
  const Segment& first = segments_.front();
  if (segments_.size() == 1) return value.size() == first.bytes.size() && first.matchesAt(value, 0);
  const Segment& last = segments_.back();
  if (value.size() < first.bytes.size() + last.bytes.size()) return false;
  if (!first.matchesAt(value, 0) || !last.matchesAt(value, value.size() - last.bytes.size())) return false;
  // Segments have fixed widths, so taking each middle one at its leftmost place never loses a match.
  std::size_t pos = first.bytes.size();
  const std::size_t end = value.size() - last.bytes.size();
  for (std::size_t s = 1; s + 1 < segments_.size(); ++s) {
    const Segment& segment = segments_[s];
    while (pos + segment.bytes.size() <= end && !segment.matchesAt(value, pos)) ++pos;
    if (pos + segment.bytes.size() > end) return false;
    pos += segment.bytes.size();
  }
  return true;
}

}  // namespace vekrano::sql
