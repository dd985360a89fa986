#include "app/index_repair_notice.h"

#include <filesystem>

#include "app/unwritable_directory_notice.h"
#include "common/prompts.h"
#include "languages/interface_texts.h"

namespace vekrano::app {

namespace {

constexpr int kRepairButtonHint = 140;

// Shows `text` made in the current language, the locale's before the settings are read.
template <typename MakeText>
void warnInStartLanguage(const MakeText& text) {
  const int saved = languages::languageNumber();
  if (saved == 0) languages::setLanguageNumber(localeLanguageNumber());
  const std::string shown = text();
  languages::setLanguageNumber(saved);
  common::showMessage(shown, "Vekrano", common::PromptKind::Warning);
}

}  // namespace

void checkIndexAtStart(dbase::TTzDbf& table) {
  table.CheckEveryKey = true;
  table.OnIndexRebuilt = [](const std::string&, const std::string& keptAs, const std::string& fault) {
    warnInStartLanguage([&] {
      std::string text = languages::GetText(235);
      if (!keptAs.empty())
        text += "\n\n" + languages::GetText(236) + "\n" + std::filesystem::path(keptAs).lexically_normal().string();
      return text + "\n\n" + languages::GetText(237) + " " + fault;
    });
  };
  // The window's user repairs a damaged table with the settings page's button.
  table.OnOpenedReadOnly = [](const std::string& message) {
    warnInStartLanguage([&] { return message + "\n\n" + languages::GetText(kRepairButtonHint); });
  };
}

}  // namespace vekrano::app
