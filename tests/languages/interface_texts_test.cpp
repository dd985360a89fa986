#include "languages/interface_texts.h"

#include <gtest/gtest.h>

#include "languages/caption_table.h"
#include "languages/qt_text.h"

namespace vekrano::languages {
namespace {

TEST(InterfaceTexts, BuiltInTextsFollowTheLanguageNumberAsWindows1252) {
  setLanguageManager(nullptr);
  setLanguageNumber(kFrench);
  EXPECT_EQ(GetText(19),
            "Voir/modifier la fiche code barre selectionn\xE9"
            "e");
  EXPECT_EQ(GetText(13), "Texte 1 ");
  setLanguageNumber(kEnglish);
  EXPECT_EQ(GetText(15), "Criteria on top flag\"");
  EXPECT_EQ(GetText(27), "Printing Criteria ");
  setLanguageNumber(kPortuguese);
  EXPECT_EQ(GetText(5),
            "Informa\xE7\xF5"
            "es sobre o programa");
  EXPECT_EQ(GetText(112), "Campos");
  setLanguageNumber(kSpanish);
  EXPECT_EQ(GetText(43), "Incorpore el nombre del archivo ");
  EXPECT_EQ(GetText(98), "Despu\xE9s");
  EXPECT_EQ(toQt(GetText(36)), QString::fromUtf8("Borre todos los datas ?"));
}

TEST(InterfaceTexts, OutOfRangeIdsAndLanguagesGiveEmptyTexts) {
  setLanguageManager(nullptr);
  setLanguageNumber(kFrench);
  EXPECT_EQ(GetText(0), "");
  EXPECT_EQ(GetText(kTextIdCount + 1), "");
  EXPECT_EQ(GetText(3), "");  // an id without a text
  EXPECT_EQ(GetText(134), "Imprimante");
  for (int language : {0, 5, -1}) {
    setLanguageNumber(language);
    EXPECT_EQ(GetText(134), "") << language;
  }
}

TEST(InterfaceTexts, TableHoldsEachIdOnceInOrderWithinRange) {
  int previous = 0;
  for (const CaptionRow& row : captionRows()) {
    EXPECT_GT(row.id, previous);
    EXPECT_LE(row.id, kTextIdCount);
    previous = row.id;
  }
  EXPECT_EQ(captionRows().size(), 85u);
}

TEST(QtText, ConvertsBetweenWindows1252AndUnicode) {
  EXPECT_EQ(toQt("Fran\xE7"
                 "ais \x80"),
            QString::fromUtf8("Français €"));
  EXPECT_EQ(fromQt(QString::fromUtf8("Gestão €☃")), "Gest\xE3o \x80?");
}

}  // namespace
}  // namespace vekrano::languages
