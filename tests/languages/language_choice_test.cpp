#include "languages/language_choice_window.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "languages/interface_font.h"
#include "languages/interface_texts.h"
#include "languages/language_manager.h"
#include "support/temp_dir.h"

namespace vekrano::languages {
namespace {

TEST(LanguageChoice, CaptionsAndTheChosenLanguageHoweverTheWindowCloses) {
  Tfchoixlangue window;
  EXPECT_EQ(window.windowTitle(), "Langue / Language selection");
  auto* lfrancais = window.findChild<QRadioButton*>("lfrancais");
  auto* langlais = window.findChild<QRadioButton*>("langlais");
  auto* lportugais = window.findChild<QRadioButton*>("lportugais");
  auto* lespagnol = window.findChild<QRadioButton*>("lespagnol");
  ASSERT_TRUE(lfrancais && langlais && lportugais && lespagnol);
  EXPECT_EQ(lfrancais->text(), QString::fromUtf8("Français"));
  EXPECT_EQ(langlais->text(), "English");
  EXPECT_EQ(lportugais->text(), "Portugais");
  EXPECT_EQ(lespagnol->text(), "Espanol");
  EXPECT_TRUE(lfrancais->isChecked());
  EXPECT_TRUE(window.boutok()->isDefault());
  EXPECT_EQ(window.boutok()->objectName(), "boutok");

  setLanguageNumber(0);
  window.boutok()->click();
  EXPECT_EQ(languageNumber(), kFrench);

  lportugais->setChecked(true);
  window.boutok()->click();
  EXPECT_EQ(languageNumber(), kPortuguese);

  lespagnol->setChecked(true);
  window.reject();  // closed without OK
  EXPECT_EQ(languageNumber(), kSpanish);
}

TEST(InterfaceFont, FaceOfTheLanguageFileReachesWindowAndControlsWithOwnFonts) {
  testing::TempDir dir;
  testing::writeFileBytes(dir.file("vekrano.lg"), "h;x\nfont;Liberation Mono\nset;0\n");
  Tgerelanguage manager;
  manager.setFileName(dir.file("vekrano.lg"));
  ASSERT_TRUE(manager.Load());

  QWidget window;
  QFont own("Liberation Serif");
  own.setPixelSize(13);
  own.setBold(true);
  auto* grid = new QLabel("grid", &window);
  grid->setFont(own);
  auto* plain = new QLabel("plain", &window);
  ApplyInterfaceFont(&manager, {&window, nullptr});
  EXPECT_EQ(window.font().family(), "Liberation Mono");
  EXPECT_EQ(plain->font().family(), "Liberation Mono");
  EXPECT_EQ(grid->font().family(), "Liberation Mono");
  EXPECT_EQ(grid->font().pixelSize(), 13);  // sizes and styles stay
  EXPECT_TRUE(grid->font().bold());

  Tgerelanguage none;
  EXPECT_EQ(interfaceFontFace(&none), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
}

}  // namespace
}  // namespace vekrano::languages
