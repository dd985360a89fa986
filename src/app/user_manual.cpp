#include "app/user_manual.h"

#include <QFileInfo>
#include <QStringList>

#include "app/desktop.h"
#include "app/filled_text.h"
#include "app/program_directory.h"
#include "common/prompts.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"

namespace vekrano::app {
namespace {

constexpr int kManualMissingText = 289;

// The MIME type of a compiled HTML help file, under its two names.
const QStringList kHelpFileTypes = {"application/vnd.ms-htmlhelp", "application/x-chm"};

}  // namespace

QString manualPageName(int language) {
  switch (language) {
    case languages::kEnglish: return "vekrano-en.html";
    case languages::kPortuguese: return "vekrano-pt.html";
    case languages::kSpanish: return "vekrano-es.html";
    default: return "vekrano-fr.html";
  }
}

QString manualPage(const std::string& executableDirectory, int language) {
  const QString directory = QString::fromStdString(executableDirectory);
  for (const char* folder : {kManualFolder, kInstalledManualFolder}) {
    const QFileInfo page(directory + folder + manualPageName(language));
    if (page.isFile()) return page.absoluteFilePath();
  }
  return {};
}

void openHelp(Desktop& desktop, const std::string& programDirectory, const std::string& executableDirectory,
              int language) {
  const QString helpFile =
      QString::fromStdString(findProgramFile(programDirectory, executableDirectory, kHelpFileName));
  if (QFileInfo(helpFile).isFile() && desktop.canOpen(kHelpFileTypes)) {
    desktop.openDocument(helpFile);
    return;
  }
  const QString page = manualPage(executableDirectory, language);
  if (!page.isEmpty()) {
    desktop.openDocument(page);
    return;
  }
  const QString lookedFor = QString::fromStdString(executableDirectory) + kManualFolder + manualPageName(language);
  common::showMessage(languages::fromQt(fillIn(languages::textOf(kManualMissingText), {lookedFor})), "Vekrano",
                      common::PromptKind::Error);
}

}  // namespace vekrano::app
