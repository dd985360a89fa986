#include "languages/language_buttons.h"

#include <QGridLayout>
#include <QLabel>

#include "languages/flag_pictures.h"
#include "languages/interface_texts.h"

namespace vekrano::languages {

namespace {
constexpr std::array<const char*, 4> kNames = {"lfrancais", "langlais", "lportugais", "lespagnol"};
}

LanguageButtons LanguageButtons::create(QWidget* parent, QGridLayout* grid, const std::array<QString, 4>& captions) {
  LanguageButtons result;
  for (int i = 0; i < 4; ++i) {
    auto* flag = new QLabel(parent);
    flag->setPixmap(flagPicture(i + 1));
    auto* button = new QRadioButton(captions[i], parent);
    button->setObjectName(kNames[i]);
    grid->addWidget(flag, i, 0);
    grid->addWidget(button, i, 1);
    result.buttons[i] = button;
  }
  // The free width goes to an empty column on the right, so each flag stays beside its button.
  grid->setColumnStretch(2, 1);
  result.buttons[0]->setChecked(true);
  return result;
}

int LanguageButtons::chosen() const {
  int language = kFrench;
  for (int l = kEnglish; l <= kSpanish; ++l) {
    if (buttons[l - 1]->isChecked()) language = l;
  }
  return language;
}

void LanguageButtons::check(int language) {
  buttons[0]->setChecked(true);
  if (language >= kEnglish && language <= kSpanish) buttons[language - 1]->setChecked(true);
}

}  // namespace vekrano::languages
