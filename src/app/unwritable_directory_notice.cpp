#include "app/unwritable_directory_notice.h"

#include <QLocale>

#include "app/program_directory.h"
#include "common/prompts.h"
#include "languages/interface_texts.h"

namespace vekrano::app {

int localeLanguageNumber() {
  switch (QLocale::system().language()) {
    case QLocale::French: return languages::kFrench;
    case QLocale::Portuguese: return languages::kPortuguese;
    case QLocale::Spanish: return languages::kSpanish;
    default: return languages::kEnglish;
  }
}

void showUnwritableDirectoryNotice(const std::string& executableDirectory, const std::string& dataDirectory) {
  const int saved = languages::languageNumber();
  if (saved == 0) languages::setLanguageNumber(localeLanguageNumber());
  const std::string text =
      languages::GetText(215) + "\n\n" + executableDirectory + "\n" + dataDirectory + "\n\n" + languages::GetText(216);
  languages::setLanguageNumber(saved);
  common::showMessage(text, "Vekrano", common::PromptKind::Warning);
}

void noticeIfProgramDirectoryUnwritable() {
  if (programDirectoryOfProcess().writable) return;
  showUnwritableDirectoryNotice(executableDirectory(), dataDirectoryOfProcess());
}

}  // namespace vekrano::app
