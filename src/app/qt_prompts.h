// The prompts of the program: message boxes and the beep of the toolkit.
#pragma once

#include "common/prompts.h"

class QMessageBox;
class QString;
class QWidget;

namespace vekrano::app {

class QtPrompts : public common::Prompts {
 public:
  // Boxes are shown over `parent` (borrowed, may be null).
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  common::PromptAnswer show(const common::Prompt& prompt) override;
  void beep() override;

 private:
  QWidget* parent_;
};

// The width a window needs so that its frame shows `title` whole.
int titleRoom(const QString& title);
// Widens `box` (a message box is as narrow as its text) so that its frame shows its whole title.
void keepTitleReadable(QMessageBox& box);

// The application's general error display: the exception's text (a dataset error's in the
// interface language) in a box captioned "Vekrano" with an OK button, after which the
// application goes on. An abort (common::EAbort) shows nothing.
void showApplicationError(const std::exception& error);

}  // namespace vekrano::app
