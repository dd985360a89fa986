// The main window's import command: the wizard, shown modally, then the list re-displayed.
#include "app/desktop.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/records_page.h"
#include "import/import_wizard.h"

namespace vekrano::app {

void TFprincip::connectImportCommand() {
  // Created once and kept, so that the wizard shows the last path at its next opening.
  importWizard_ = new import::Tfimportcsv(data_,
                                          {[this](QWidget* parent, const QString& title, const QString& filter) {
                                             return desktop_.openFileName(parent, title, filter);
                                           },
                                           [](const std::exception& error) { showApplicationError(error); }},
                                          this);
  connect(recordsPage_, &RecordsPage::importRequested, this, [this] {
    desktop_.runModal(*importWizard_);
    redisplayList();
  });
}

}  // namespace vekrano::app
