// .backup and .restore: not built yet; the backup helper replaces this file.
#include "app/program/sql_shell_commands.h"

namespace vekrano::app {

void BackupDotCommand(ShellContext&, const std::vector<std::string>&) {
  throw EShellUsage(".backup is not available yet");
}

void RestoreDotCommand(ShellContext&, const std::vector<std::string>&) {
  throw EShellUsage(".restore is not available yet");
}

}  // namespace vekrano::app
