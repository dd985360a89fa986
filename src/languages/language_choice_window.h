// The language choice window shown on a first run without settings and language file.
#pragma once

#include <QDialog>

#include "languages/language_buttons.h"

class QPushButton;

namespace vekrano::languages {

class Tfchoixlangue : public QDialog {
  Q_OBJECT

 public:
  explicit Tfchoixlangue(QWidget* parent = nullptr);

  LanguageButtons& languages() { return languages_; }
  QPushButton* boutok() const { return boutok_; }

  // However the window closes, the language number becomes 1 and then the number of the
  // checked button.
  void done(int result) override;

 private:
  LanguageButtons languages_;
  QPushButton* boutok_;
};

}  // namespace vekrano::languages
