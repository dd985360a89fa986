// The main window's backup and restore commands.
#include "app/main_window.h"

namespace vekrano::app {

void TFprincip::connectBackupCommands() {}

}  // namespace vekrano::app
