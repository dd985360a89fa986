// The help behind "Aide": a compiled help file vkb.chm when one is there and the desktop can
// open it, otherwise the HTML user manual in the interface language.
#pragma once

#include <QString>
#include <string>

namespace vekrano::app {

class Desktop;

inline constexpr const char* kHelpFileName = "vkb.chm";
// The folder of the manual's pages beside the program (build folder, program directory) and
// where an install in PREFIX/bin puts them, relative to the program.
inline constexpr const char* kManualFolder = "help/";
inline constexpr const char* kInstalledManualFolder = "../share/vekrano/help/";

// The file name of the manual page of `language` (1 French, 2 English, 3 Portuguese,
// 4 Spanish; any other number gives the French page): "vekrano-fr.html" and so on.
QString manualPageName(int language);

// The manual page of `language` in the first of the two manual folders of
// `executableDirectory` (ending with "/") that holds it; empty when neither does.
QString manualPage(const std::string& executableDirectory, int language);

// Opens the help with `desktop`: vkb.chm (looked for as the language file is) when it exists
// and the desktop can open such a file, else the manual page of `language`. Without either,
// says in a message box where the manual was looked for.
void openHelp(Desktop& desktop, const std::string& programDirectory, const std::string& executableDirectory,
              int language);

}  // namespace vekrano::app
