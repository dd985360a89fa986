// The main window's Printing page: the print run.
#include "app/main_window.h"

namespace vekrano::app {

void TFprincip::connectPrintingPage() {}

}  // namespace vekrano::app
