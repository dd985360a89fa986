// The main window's import command.
#include "app/main_window.h"

namespace vekrano::app {

void TFprincip::connectImportCommand() {}

}  // namespace vekrano::app
