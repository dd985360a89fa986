// The application object: the toolkit's application with the process-wide settings of Vekrano
// and the general error display for every failure that reaches the event loop.
#pragma once

#include <QApplication>

#include "app/qt_prompts.h"

namespace vekrano::app {

class VekranoApplication : public QApplication {
 public:
  // Sets the title "Vekrano", substitutes "Liberation Sans" for "MS Sans Serif", fills the
  // format settings from the system locale and installs the prompts and the events hook.
  VekranoApplication(int& argc, char** argv);
  ~VekranoApplication() override;

  // Delivers the event; an exception escaping a handler is shown by the general error display
  // and the application goes on.
  bool notify(QObject* receiver, QEvent* event) override;

  QtPrompts& prompts() { return prompts_; }

 private:
  QtPrompts prompts_;
};

// The separators and short date format of the system locale into the process-wide settings.
void fillFormatSettingsFromLocale();

// Puts Qt's own texts (standard buttons, file, print and colour dialogs) into the interface
// language `languageNumber` (1 French, 2 English, 3 Portuguese, 4 Spanish), replacing those of
// the previous call. English, another number or a missing translation leave Qt's English texts.
void useQtTexts(int languageNumber);

}  // namespace vekrano::app
