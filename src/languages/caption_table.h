// The built-in table of interface texts in the four languages.
#pragma once

#include <array>
#include <vector>

namespace vekrano::languages {

// Text ids run from 1 to kTextIdCount.
constexpr int kTextIdCount = 134;
constexpr int kLanguageCount = 4;

// One text id with its texts in UTF-8, French, English, Portuguese and Spanish in that order.
struct CaptionRow {
  int id;
  std::array<const char*, kLanguageCount> texts;
};

// The rows in id order; ids without a row have no text.
const std::vector<CaptionRow>& captionRows();

}  // namespace vekrano::languages
