// The dataset layer's errors as the windows word them: the interface language, the French texts
// word for word, the names they are about kept.
#include <gtest/gtest.h>

#include <stdexcept>

#include "app/database_error_text.h"
#include "app/qt_prompts.h"
#include "common/format_text.h"
#include "common/prompts.h"
#include "dbase/dataset/database_error.h"
#include "languages/interface_texts.h"

namespace vekrano::app {
namespace {

// The text shown for the error `pattern` raises with `first` and `second` in language `language`.
std::string shown(const char* pattern, int language, const char* first = "cb", const char* second = "") {
  const int before = languages::languageNumber();
  languages::setLanguageNumber(language);
  std::string text;
  try {
    dbase::databaseError(pattern, first, second);
  } catch (const dbase::EDatabaseError& error) {
    text = interfaceText(error);
  }
  languages::setLanguageNumber(before);
  return text;
}

TEST(DatabaseErrorText, FrenchStaysWordForWordAndTheOtherLanguagesTranslate) {
  for (const char* pattern :
       {dbase::kFieldNotFound, dbase::kNotEditing, dbase::kFieldReadOnly, dbase::kDataSetClosed,
        dbase::kDataSetReadOnly, dbase::kDataSetEmpty, dbase::kFieldTypeMismatch, dbase::kInvalidInteger,
        dbase::kInvalidFloat, dbase::kInvalidBoolean, dbase::kInvalidDate}) {
    SCOPED_TRACE(pattern);
    EXPECT_EQ(shown(pattern, 1, "cb", "Integer"), common::formatText(pattern, {"cb", "Integer"}));
    for (int language = 2; language <= 4; ++language) {
      EXPECT_NE(shown(pattern, language), shown(pattern, 1)) << language;
    }
  }
  EXPECT_EQ(shown(dbase::kNotEditing, 1),
            "L'ensemble de donn\xE9"
            "es n'est pas en mode Edition ou Insertion");
  EXPECT_EQ(shown(dbase::kNotEditing, 2), "The data set is not in edit or insert mode");
  EXPECT_EQ(shown(dbase::kNotEditing, 3),
            "O conjunto de dados n\xE3o est\xE1 em modo de edi\xE7\xE3o ou inser\xE7\xE3o");
  EXPECT_EQ(shown(dbase::kFieldNotFound, 2, "zz"), "Field 'zz' not found");
  EXPECT_EQ(shown(dbase::kFieldTypeMismatch, 4, "num", "Boolean"),
            "El campo 'num' no se puede leer ni escribir como Boolean");
  // Before the language is known, and for every other error, the error's own text.
  EXPECT_EQ(shown(dbase::kDataSetClosed, 0),
            "Impossible d'effectuer cette op\xE9ration sur un ensemble de donn\xE9"
            "es ferm\xE9");
  EXPECT_EQ(interfaceText(dbase::EDatabaseError("Champ 'zz' non trouv\xE9")), "Champ 'zz' non trouv\xE9");
  EXPECT_EQ(interfaceText(std::runtime_error("Field article.x was not found")), "Field article.x was not found");
}

TEST(DatabaseErrorText, TheGeneralErrorDisplayShowsTheInterfaceLanguage) {
  common::ScopedScriptedPrompts prompts;
  const int before = languages::languageNumber();
  languages::setLanguageNumber(2);
  try {
    dbase::databaseError(dbase::kNotEditing);
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
  languages::setLanguageNumber(before);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "The data set is not in edit or insert mode");
  EXPECT_EQ(prompts.shown[0].caption, "Vekrano");
}

}  // namespace
}  // namespace vekrano::app
