// Setting the main window's captions, hints and column titles from the interface texts.
#include <QComboBox>
#include <QTabWidget>
#include <QToolButton>

#include "app/application.h"
#include "app/main_window.h"
#include "app/named_controls.h"
#include "app/printing_page.h"
#include "app/records_page.h"
#include "app/settings_page.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "printing/label_types.h"

namespace vekrano::app {

void TFprincip::ApplyMainTexts() {
  useQtTexts(languages::languageNumber());
  printing::BuildLabelTypeList(*combListeEtiquette_);
  setTexts(*spCharge_, 0, 1);
  setTexts(*spSauve_, 0, 2);
  setTexts(*sbinfos_, 4, 5);
  setTexts(*spAide_, 6, 7);
  pagePrincipal_->setTabText(pagePrincipal_->indexOf(recordsPage_), languages::textOf(8));
  pagePrincipal_->setTabText(pagePrincipal_->indexOf(printingPage_), languages::textOf(9));
  pagePrincipal_->setTabText(pagePrincipal_->indexOf(settingsPage_), languages::textOf(10));
  recordsPage_->applyTexts();
  printingPage_->applyTexts();
  setTexts(*squitter_, 0, 32);
  settingsPage_->applyTexts();
}

}  // namespace vekrano::app
