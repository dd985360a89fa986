#include "app/index_repair_notice.h"

#include <filesystem>

#include "app/unwritable_directory_notice.h"
#include "common/prompts.h"
#include "languages/interface_texts.h"

namespace vekrano::app {

void CheckIndexAtStart(dbase::TTzDbf& table) {
  table.CheckEveryKey = true;
  table.OnIndexRebuilt = [](const std::string&, const std::string& keptAs, const std::string& fault) {
    const int saved = languages::languageNumber();
    if (saved == 0) languages::setLanguageNumber(LocaleLanguageNumber());
    std::string text = languages::GetText(235);
    if (!keptAs.empty())
      text += "\n\n" + languages::GetText(236) + "\n" + std::filesystem::path(keptAs).lexically_normal().string();
    text += "\n\n" + languages::GetText(237) + " " + fault;
    languages::setLanguageNumber(saved);
    common::showMessage(text, "Vekrano", common::PromptKind::Warning);
  };
}

}  // namespace vekrano::app
