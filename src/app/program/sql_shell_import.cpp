// .import: not built yet; the import helper replaces this file.
#include "app/program/sql_shell_commands.h"

namespace vekrano::app {

void ImportDotCommand(ShellContext&, const std::vector<std::string>&) {
  throw EShellUsage(".import is not available yet");
}

}  // namespace vekrano::app
