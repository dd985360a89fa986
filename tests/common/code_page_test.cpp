#include <gtest/gtest.h>

#include <string>

#include "common/code_page.h"

using namespace vekrano::common;

namespace {
char b(int value) { return static_cast<char>(value); }
}  // namespace

TEST(CodePage, AccentedLettersMapBetweenAnsiAndOem) {
  // French, Portuguese and Spanish letters with their code page 850 positions.
  const struct {
    int ansi;
    int oem;
  } letters[] = {
      {0xE9, 0x82},  // é
      {0xE8, 0x8A},  // è
      {0xEA, 0x88},  // ê
      {0xE0, 0x85},  // à
      {0xE7, 0x87},  // ç
      {0xC7, 0x80},  // Ç
      {0xC9, 0x90},  // É
      {0xF4, 0x93},  // ô
      {0xFB, 0x96},  // û
      {0xE3, 0xC6},  // ã
      {0xF5, 0xE4},  // õ
      {0xC3, 0xC7},  // Ã
      {0xF1, 0xA4},  // ñ
      {0xD1, 0xA5},  // Ñ
      {0xE1, 0xA0},  // á
      {0xED, 0xA1},  // í
      {0xF3, 0xA2},  // ó
      {0xFA, 0xA3},  // ú
      {0xBF, 0xA8},  // ¿
      {0xA1, 0xAD},  // ¡
  };
  for (const auto& l : letters) {
    EXPECT_EQ(charToOem(b(l.ansi)), b(l.oem)) << std::hex << l.ansi;
    EXPECT_EQ(oemToChar(b(l.oem)), b(l.ansi)) << std::hex << l.oem;
  }
}

TEST(CodePage, EveryByteWithACounterpartRoundTrips) {
  int ansiWithCounterpart = 0, oemWithCounterpart = 0;
  for (int i = 0; i < 256; ++i) {
    const char oem = charToOem(b(i));
    if (oem != '?' || i == '?') {
      ++ansiWithCounterpart;
      EXPECT_EQ(oemToChar(oem), b(i)) << "ANSI " << i;
    }
    const char ansi = oemToChar(b(i));
    if (ansi != '?' || i == '?') {
      ++oemWithCounterpart;
      EXPECT_EQ(charToOem(ansi), b(i)) << "OEM " << i;
    }
  }
  // Both pages share 225 characters: ASCII, the controls and 97 letters and signs.
  EXPECT_EQ(ansiWithCounterpart, 225);
  EXPECT_EQ(oemWithCounterpart, 225);
}

TEST(CodePage, CharactersWithoutCounterpartBecomeQuestionMarks) {
  EXPECT_EQ(charToOem(b(0x80)), '?');  // euro sign
  EXPECT_EQ(charToOem(b(0x8C)), '?');  // Œ
  EXPECT_EQ(oemToChar(b(0xC9)), '?');  // box drawing ╔
  // Digits, blanks, "." and "*" are unchanged, as numeric fields rely on it.
  EXPECT_EQ(charToOem(std::string("12.5 *")), "12.5 *");
  EXPECT_EQ(oemToChar(std::string("12.5 *")), "12.5 *");
}

TEST(CodePage, WholeBuffersTranslateInPlace) {
  std::string record =
      "\x20"
      "Cr\xE8me br\xFBl\xE9"
      "e";
  charToOemBuff(record.data(), record.size());
  EXPECT_EQ(record,
            "\x20"
            "Cr\x8Ame br\x96l\x82"
            "e");
  oemToCharBuff(record.data(), record.size());
  EXPECT_EQ(record,
            "\x20"
            "Cr\xE8me br\xFBl\xE9"
            "e");
}

TEST(CodePage, AnsiCaseRules) {
  EXPECT_EQ(ansiUpper(std::string("abc-xyz 09")), "ABC-XYZ 09");
  EXPECT_EQ(ansiUpper(std::string("\xE9\xE7\xF1\xE3\xFF\x9A\x9C\x9E")), "\xC9\xC7\xD1\xC3\x9F\x8A\x8C\x8E");
  EXPECT_EQ(ansiLower(std::string("\xC9\xC7\xD1\xC3\x9F\x8A\x8C\x8E"
                                  "AZ")),
            "\xE9\xE7\xF1\xE3\xFF\x9A\x9C\x9E"
            "az");
  // The multiplication and division signs, sharp s and micro sign have no other case.
  EXPECT_EQ(ansiUpper(b(0xF7)), b(0xF7));
  EXPECT_EQ(ansiLower(b(0xD7)), b(0xD7));
  EXPECT_EQ(ansiUpper(b(0xDF)), b(0xDF));
  EXPECT_EQ(ansiUpper(b(0xB5)), b(0xB5));
}

TEST(CodePage, SameAnsiTextFollowsTheCaseRules) {
  EXPECT_TRUE(sameAnsiText("Quantite", "QUANTITE"));
  EXPECT_TRUE(sameAnsiText("\xE9t\xE9 \xFF\x9A", "\xC9T\xC9 \x9F\x8A"));
  EXPECT_TRUE(sameAnsiText("", ""));
  EXPECT_FALSE(sameAnsiText("cb", "cb1"));
  EXPECT_FALSE(sameAnsiText("cb1", "cb"));
  EXPECT_FALSE(sameAnsiText("lib1", "lib2"));
  // Signs without another case stay apart, as do the blank and the letters 0x20 below them.
  EXPECT_FALSE(sameAnsiText(std::string(1, b(0xF7)), std::string(1, b(0xD7))));
  EXPECT_FALSE(sameAnsiText("a b", "aAb"));
  EXPECT_FALSE(sameAnsiText("[", "{"));
  EXPECT_FALSE(sameAnsiText("@^", "`~"));
  EXPECT_TRUE(sameAnsiText("AzZa", "aZzA"));
}

TEST(CodePage, Utf8Boundary) {
  EXPECT_EQ(utf8ToAnsi("Fran\xC3\xA7"
                       "ais \xE2\x82\xAC"),
            "Fran\xE7"
            "ais \x80");
  EXPECT_EQ(ansiToUtf8("Espa\xF1ol \x80"), "Espa\xC3\xB1ol \xE2\x82\xAC");
  EXPECT_EQ(ansiToUtf8("\xE9\xE9t\xE9"
                       "abc"),
            "\xC3\xA9\xC3\xA9t\xC3\xA9"
            "abc");
  EXPECT_EQ(ansiToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
  // A character Windows-1252 cannot hold, and a broken sequence, become "?".
  EXPECT_EQ(utf8ToAnsi("\xE4\xB8\xAD"
                       "x"),
            "?x");
  EXPECT_EQ(utf8ToAnsi("a\xC3"), "a?");
  EXPECT_TRUE(isValidUtf8("plain \xC3\xA9"));
  EXPECT_FALSE(isValidUtf8("caf\xE9"));  // Windows-1252 é
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));  // overlong "/"
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // surrogate
  for (int i = 0; i < 256; ++i) {
    const std::string one(1, b(i));
    EXPECT_EQ(utf8ToAnsi(ansiToUtf8(one)), one) << i;
  }
}

TEST(CodePage, BufferTranslationMatchesByteTranslationAtEveryOffsetAndLength) {
  // Plain runs are passed over 32 and eight bytes at a time: accented letters at every offset,
  // and tails of every length, must still be translated.
  for (std::size_t length = 0; length < 80; ++length) {
    for (std::size_t accent = 0; accent < length; ++accent) {
      std::string text(length, 'a');
      text[accent] = b(0xE9);
      std::string expected = text;
      for (char& c : expected) c = charToOem(c);
      std::string buffer = text;
      charToOemBuff(buffer.data(), buffer.size());
      ASSERT_EQ(buffer, expected) << length << " " << accent;
      oemToCharBuff(buffer.data(), buffer.size());
      ASSERT_EQ(buffer, text) << length << " " << accent;
    }
  }
}

// Stored texts are trimmed of blanks and control characters before they are translated: the two
// code pages must agree on which bytes those are.
TEST(CodePage, BlanksAndControlCharactersAreTheSameInBothCodePages) {
  for (int b = 0; b < 256; ++b) {
    const auto oem = static_cast<unsigned char>(b);
    const auto ansi = static_cast<unsigned char>(vekrano::common::oemToChar(static_cast<char>(b)));
    EXPECT_EQ(oem <= ' ', ansi <= ' ') << b;
  }
}
