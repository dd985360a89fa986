#include <gtest/gtest.h>

#include <string>

#include "common/best_fit_text.h"
#include "common/code_page.h"

using namespace vekrano::common;

namespace {

// The stored form of a UTF-8 text, in UTF-8 for readable expectations.
std::string stored(const std::string& utf8) {
  const TableText text = toTableText(utf8);
  EXPECT_FALSE(text.refused) << utf8;
  return ansiToUtf8(text.ansi);
}

}  // namespace

TEST(BestFitText, EveryListedCharacterIsWrittenAsAPersonWouldTypeIt) {
  // clang-format off
  const struct {
    const char* typed;
    const char* written;
  } fits[] = {
      {"l’été", "l'été"},   {"‘a’", "'a'"},        {"‚b", "'b"},           {"5′", "5'"},
      {"“chaud”", "\"chaud\""}, {"„c", "\"c"},      {"7″", "7\""},          {"a–b", "a-b"},
      {"a—b", "a-b"},       {"3−2", "3-2"},        {"attente…", "attente..."}, {"cœur", "coeur"},
      {"ŒUVRE", "OEUVRE"},  {"5 €", "5 EUR"},      {"2 ‰", "2 o/oo"},      {"a\u00A0b", "a b"},
      {"1\u202F000", "1 000"}, {"a\u2009b", "a b"}, {"a\u3000b", "a b"},   {"a\u2003b", "a b"},
  };
  // clang-format on
  for (const auto& fit : fits) EXPECT_EQ(stored(fit.typed), fit.written) << fit.typed;
  const TableText text = toTableText("Lot 868 – Straße “x” – œ");
  EXPECT_EQ(ansiToUtf8(text.ansi), "Lot 868 - Straße \"x\" - oe");
  EXPECT_EQ(text.replaced, (std::vector<std::uint32_t>{0x2013, 0x201C, 0x201D, 0x0153}));
}

TEST(BestFitText, WhatBothCodePagesHoldIsKeptExactly) {
  const std::string french = "Àéèêëîïôùûüÿç ÇÉÈ «» ° ± ² µ ß ñ ã õ ¿ ¡ £ ¥ ¤ § ¶ ½ ? * \" '";
  const TableText text = toTableText(french);
  EXPECT_FALSE(text.refused);
  EXPECT_TRUE(text.replaced.empty());
  EXPECT_EQ(ansiToUtf8(text.ansi), french);
  // Nothing the table holds turns into "?" on its way to the file.
  for (char c : text.ansi) EXPECT_TRUE(c == '?' || charToOem(c) != '?') << int(c);
  EXPECT_EQ(toTableText("").ansi, "");
}

TEST(BestFitText, AnythingElseIsRefusedWithItsPosition) {
  const struct {
    const char* typed;
    std::uint32_t codePoint;
    std::size_t position;
  } refusals[] = {
      {"™", 0x2122, 1},        {"ab☃c", 0x2603, 3}, {"é€Š", 0x0160, 3}, {"•x", 0x2022, 1},
      {"x\u200By", 0x200B, 2}, {"数", 0x6570, 1},   {"a😀", 0x1F600, 2}, {"Ÿ", 0x0178, 1},
  };
  for (const auto& refusal : refusals) {
    const TableText text = toTableText(refusal.typed);
    ASSERT_TRUE(text.refused) << refusal.typed;
    EXPECT_EQ(text.refused->codePoint, refusal.codePoint) << refusal.typed;
    EXPECT_EQ(text.refused->position, refusal.position) << refusal.typed;
  }
  const TableText broken = toTableText("ab\xC3");
  ASSERT_TRUE(broken.refused);
  EXPECT_EQ(broken.refused->codePoint, 0xFFFDu);
  EXPECT_EQ(broken.refused->position, 3u);
}

TEST(BestFitText, AnsiTextAndTheNamesInMessages) {
  // Windows-1252 bytes that code page 850 lacks: ’ (0x92), € (0x80), ™ (0x99).
  EXPECT_EQ(ansiToTableText("l\x92\xE9t\xE9 5 \x80").ansi, "l'\xE9t\xE9 5 EUR");
  EXPECT_EQ(ansiToTableText("A\x99").refused->codePoint, 0x2122u);

  EXPECT_EQ(characterName(0x2122), "\xAB \x99 \xBB (U+2122)");
  EXPECT_EQ(characterName(0x2603), "U+2603");
  EXPECT_EQ(characterName(0x00A0), "U+00A0");
  EXPECT_EQ(replacementList(toTableText("’ − ’")), "\xAB \x92 \xBB (U+2019) -> \xAB'\xBB, U+2212 -> \xAB-\xBB");
}
