// The record editor's OK with texts pasted from a word processor: what is stored, what is said,
// and what is refused with the editor kept open.
#include "records/entry_check.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "common/prompts.h"
#include "languages/interface_texts.h"
#include "records/article_data.h"
#include "records/record_editor.h"
#include "sql/query/query.h"
#include "support/temp_dir.h"

namespace vekrano::records {
namespace {

class EditorEntry : public ::testing::Test {
 protected:
  EditorEntry() {
    languages::setLanguageNumber(languages::kFrench);
    data.sqlqueryfonction.AutoDisableControls = false;
    data.openData();
  }
  ~EditorEntry() override { data.closeData(); }

  // Types the three texts (UTF-8) into a new record's editor and presses OK.
  void typeAndConfirm(const char* cb, const char* lib1, const char* lib2) {
    editor.mode = records::EditorMode::Create;
    editor.FormShow();
    editor.findChild<QLineEdit*>("ecb")->setText(QString::fromUtf8(cb));
    editor.findChild<QLineEdit*>("elib1")->setText(QString::fromUtf8(lib1));
    editor.findChild<QLineEdit*>("elib2")->setText(QString::fromUtf8(lib2));
    editor.boutokClick();
  }

  // Every record as "cb|lib1|lib2" (ANSI), in number order.
  std::vector<std::string> stored() {
    sql::TSqlQuery& query = data.sqlqueryfonction;
    query.Close();
    query.SQL().Clear();
    query.SQL().Add("select * from article order by num");
    query.Open();
    std::vector<std::string> rows;
    for (query.First(); !query.Eof(); query.Next()) {
      rows.push_back(query.FieldByName("cb").AsString() + "|" + query.FieldByName("lib1").AsString() + "|" +
                     query.FieldByName("lib2").AsString());
    }
    query.Close();
    return rows;
  }

  common::ScopedScriptedPrompts prompts;
  testing::TempDir directory;
  ArticleData data{directory.path().string()};
  Tfcremodcpte editor{data, [](const std::exception& error) { FAIL() << error.what(); }};
};

TEST_F(EditorEntry, PastedTypographyIsStoredAsTypedByHandAndSaid) {
  typeAndConfirm("abc-12", "l’été “chaud” – 5 €", "cœur… ŒUVRE 2‰ a\u00A0b");
  EXPECT_EQ(stored(), (std::vector<std::string>{"ABC-12|l'\xE9t\xE9 \"chaud\" - 5 EUR|coeur... OEUVRE 2o/oo a b"}));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].caption, "Caract\xE8res remplac\xE9s");
  EXPECT_EQ(prompts.shown[0].text,
            "Ces caract\xE8res ne peuvent pas \xEAtre enregistr\xE9s tels quels et ont \xE9t\xE9 "
            "\xE9"
            "crits ainsi : \xAB \x92 \xBB (U+2019) -> \xAB'\xBB, \xAB \x93 \xBB (U+201C) -> "
            "\xAB\"\xBB, \xAB \x94 \xBB (U+201D) -> \xAB\"\xBB, \xAB \x96 \xBB (U+2013) -> \xAB-\xBB, "
            "\xAB \x80 \xBB (U+20AC) -> \xAB"
            "EUR\xBB, \xAB \x9C \xBB (U+0153) -> \xAB"
            "oe\xBB, "
            "\xAB \x85 \xBB (U+2026) -> \xAB...\xBB, \xAB \x8C \xBB (U+0152) -> \xAB"
            "OE\xBB, "
            "\xAB \x89 \xBB (U+2030) -> \xAB"
            "o/oo\xBB, U+00A0 -> \xAB \xBB");
  // The edits show what was stored.
  EXPECT_EQ(editor.findChild<QLineEdit*>("elib1")->text(), QString::fromUtf8("l'été \"chaud\" - 5 EUR"));
  EXPECT_EQ(editor.outcome, "OK");

  prompts.shown.clear();
  typeAndConfirm("B-2", "Crème brûlée à 5 $", "");
  EXPECT_TRUE(prompts.shown.empty());  // nothing replaced, nothing said
  EXPECT_EQ(stored().back(),
            "B-2|Cr\xE8me br\xFBl\xE9"
            "e \xE0 5 $|");
}

TEST_F(EditorEntry, RefusedCharactersAreNamedAndTheEntryStaysOpen) {
  const struct {
    const char* cb;
    const char* lib1;
    const char* lib2;
    std::string message;
  } refusals[] = {
      {"AB", "snow ☃", "", "Texte 1 : le caract\xE8re U+2603 (position 6) ne peut pas \xEAtre enregistr\xE9."},
      {"AB", "", "™",
       "Texte 2 : le caract\xE8re \xAB \x99 \xBB (U+2122) (position 1) ne peut pas \xEAtre enregistr\xE9."},
      {"spé#cial@1", "", "",
       "Code Barre : le caract\xE8re \xAB \xC9 \xBB (U+00C9) (position 3) n'existe pas en Code 39. Un code "
       "barre ne peut contenir que les chiffres, les lettres A \xE0 Z, l'espace et - . $ / + %"},
      {"A*B", "", "",
       "Code Barre : le caract\xE8re \xAB * \xBB (U+002A) (position 2) n'existe pas en Code 39. "
       "Un code barre ne peut contenir que les chiffres, les lettres A \xE0 Z, l'espace et - . $ / + %"},
  };
  for (const auto& refusal : refusals) {
    prompts.shown.clear();
    editor.outcome.clear();
    typeAndConfirm(refusal.cb, refusal.lib1, refusal.lib2);
    ASSERT_EQ(prompts.shown.size(), 1u) << refusal.cb;
    EXPECT_EQ(prompts.shown[0].caption, "Op\xE9ration impossible");
    EXPECT_EQ(prompts.shown[0].text, refusal.message);
    EXPECT_TRUE(editor.outcome.empty());
    // Kept as typed, to be mended.
    EXPECT_EQ(editor.findChild<QLineEdit*>("elib1")->text(), QString::fromUtf8(refusal.lib1));
  }
  EXPECT_TRUE(stored().empty());

  languages::setLanguageNumber(languages::kEnglish);
  prompts.shown.clear();
  typeAndConfirm("A", "x", "€ ☃");
  EXPECT_EQ(prompts.shown.at(0).text, "Text 2: the character U+2603 (position 3) cannot be stored.");
}

TEST(EntryCheck, BarcodesInCapitalsAndWithinCode39) {
  EXPECT_EQ(firstNonCode39("ABC-123 456.7$/+%"), std::string_view::npos);
  EXPECT_EQ(firstNonCode39("AB#"), 2u);
  EXPECT_EQ(firstNonCode39("ab"), 0u);
  const CheckedEntry entry = checkEntry({"low-abc1", "", ""});
  EXPECT_FALSE(entry.refusal);
  EXPECT_EQ(entry.stored.cb, "LOW-ABC1");
  // A dash from a word processor in a barcode becomes the Code 39 dash.
  EXPECT_EQ(checkEntry({"A–1", "", ""}).stored.cb, "A-1");
  // Refused even where a language has no text for the message.
  languages::setLanguageNumber(0);
  EXPECT_TRUE(checkEntry({"\xC3\xA9", "", ""}).refusal);
  EXPECT_TRUE(checkEntry({"A", "\xE2\x98\x83", ""}).refusal);
  languages::setLanguageNumber(languages::kFrench);
}

}  // namespace
}  // namespace vekrano::records
