// The built-in table of interface texts in the four languages.
#pragma once

#include <array>
#include <vector>

namespace vekrano::languages {

// Text ids run from 1 to kTextIdCount: 1 to 134 are the original table, the later ones texts
// of controls and messages added since, in ranges by subsystem (see added_texts.h).
constexpr int kOriginalTextIdCount = 134;
constexpr int kTextIdCount = 339;
constexpr int kLanguageCount = 4;

// One text id with its texts in UTF-8, French, English, Portuguese and Spanish in that order.
struct CaptionRow {
  int id;
  std::array<const char*, kLanguageCount> texts;
};

// The rows of the original table in id order; ids without a row have no text.
const std::vector<CaptionRow>& captionRows();

}  // namespace vekrano::languages
