// The text lookup over the built-in table and the language file.
#include "languages/interface_texts.h"

#include <vector>

#include "common/code_page.h"
#include "languages/added_texts.h"
#include "languages/caption_table.h"
#include "languages/language_manager.h"

namespace vekrano::languages {

namespace {

int gLanguageNumber = 0;
const Tgerelanguage* gManager = nullptr;

using AnsiTable = std::vector<std::array<std::string, kLanguageCount>>;

// The built-in table converted once to ANSI, indexed by id.
const AnsiTable& ansiTable() {
  static const AnsiTable table = [] {
    AnsiTable t(kTextIdCount + 1);
    for (const auto* rows : {&captionRows(), &addedRecordTexts(), &addedPrintingTexts(), &addedImportTexts(),
                             &addedBackupTexts(), &addedInstallTexts(), &addedLockTexts(), &addedTextEntryTexts(),
                             &addedListToolTexts(), &addedFeedbackTexts(), &addedDatasetTexts(), &addedSheetTexts()}) {
      for (const CaptionRow& row : *rows) {
        for (int l = 0; l < kLanguageCount; ++l) t[row.id][l] = common::utf8ToAnsi(row.texts[l]);
      }
    }
    return t;
  }();
  return table;
}

}  // namespace

int languageNumber() { return gLanguageNumber; }
void setLanguageNumber(int language) { gLanguageNumber = language; }

void setLanguageManager(const Tgerelanguage* manager) { gManager = manager; }
const Tgerelanguage* languageManager() { return gManager; }
bool languageFileInForce() { return gManager != nullptr && gManager->Loaded(); }

const std::string& builtInText(int id, int language) {
  static const std::string kEmpty;
  if (id < 1 || id > kTextIdCount || language < 1 || language > kLanguageCount) return kEmpty;
  return ansiTable()[id][language - 1];
}

std::string GetText(int id) {
  if (id < 1 || id > kTextIdCount) return {};
  // A language file written before a text was added keeps the built-in one for it.
  const bool added = id > kOriginalTextIdCount;
  if (languageFileInForce() && (!added || gManager->hasTextLine(id))) return gManager->Slot(id);
  return builtInText(id, gLanguageNumber);
}

}  // namespace vekrano::languages
