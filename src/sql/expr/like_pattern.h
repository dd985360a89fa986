// A LIKE pattern compiled once: "%" any sequence, "_" one character, an escape character that
// makes the next "%", "_" or escape character literal; every other byte stands for itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vekrano::sql {

class LikePattern {
 public:
  // `escape`: nothing for a pattern without escape character.
  LikePattern(std::string_view pattern, std::optional<char> escape);

  // True when the whole of `value` matches the whole pattern.
  bool matches(std::string_view value) const;
  // The bytes every matching value starts with: the pattern's start up to its first wildcard.
  std::string fixedStart() const;

 private:
  // A run of the pattern between two "%": bytes, of which those flagged in `any` are "_".
  struct Segment {
    std::string bytes;
    std::vector<bool> any;
    bool hasAny = false;
    bool matchesAt(std::string_view value, std::size_t pos) const;
  };

  std::vector<Segment> segments_;  // one more than the number of "%"
};

}  // namespace vekrano::sql
