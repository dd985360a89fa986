// The main window's settings page "Parametres": the language of the interface and the
// exceptional operations (erase every record, repair a damaged table). The main window runs them.
#pragma once

#include <QWidget>

#include "languages/language_buttons.h"

class QGroupBox;
class QPushButton;
class QTabWidget;

namespace vekrano::app {

class SettingsPage : public QWidget {
  Q_OBJECT

 public:
  explicit SettingsPage(QWidget* parent = nullptr);

  languages::LanguageButtons& languageButtons() { return languageButtons_; }
  // A language file in force chooses the language: the choice is not offered.
  void hideLanguageChoice();
  // The repair is offered only for a damaged table.
  void offerRepair(bool damaged);
  bool repairOffered() const;
  // Sets the captions from the interface texts.
  void applyTexts();

 signals:
  void applyLanguageRequested();
  void eraseRequested();
  void repairRequested();

 private:
  QTabWidget* inner_ = nullptr;
  QWidget* operations_ = nullptr;
  QGroupBox* gLangue_ = nullptr;
  languages::LanguageButtons languageButtons_;
  QPushButton* btappliquer_ = nullptr;
  QGroupBox* gpopexe_ = nullptr;
  QPushButton* sdetruiretoutedonnee_ = nullptr;
  QPushButton* sreparertable_ = nullptr;
};

}  // namespace vekrano::app
