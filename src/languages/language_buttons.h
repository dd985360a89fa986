// The four language radio buttons, each beside its flag, as the language choice window and the
// Parameters page both show them.
#pragma once

#include <QRadioButton>
#include <QString>
#include <array>

class QGridLayout;

namespace vekrano::languages {

struct LanguageButtons {
  // lfrancais, langlais, lportugais, lespagnol.
  std::array<QRadioButton*, 4> buttons{};

  // Adds the buttons with these captions and their flags to `grid` (rows 0..3, flag in
  // column 0, button in column 1), each named as above, "lfrancais" checked.
  static LanguageButtons create(QWidget* parent, QGridLayout* grid, const std::array<QString, 4>& captions);

  // 1, then the number (2..4) of the checked button when it is one of the last three.
  int chosen() const;
  // Checks "lfrancais", then the button of `language` instead when it is 2, 3 or 4.
  void check(int language);
};

}  // namespace vekrano::languages
