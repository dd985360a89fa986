// vekrano-sql's statements pasted from a word processor: characters written the plain way and
// said, refused ones named with their position, the statement failed with status 1.
#include <gtest/gtest.h>

#include <string>

#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

using vekrano::testing::Outcome;
using vekrano::testing::runShell;

// Runs the statements of `script` (UTF-8 lines) through vekrano-sql's standard input.
Outcome runScript(const vekrano::testing::TempDir& dir, const std::string& script) {
  const std::string file = dir.file("script.sql");
  vekrano::testing::writeFileBytes(file, script);
  return runShell(std::string(VEKRANO_SQL_PROGRAM) + " " + dir.path().string() + " < " + file + " 2>&1");
}

TEST(ShellText, TypographyIsStoredAsTypedByHandAndSaid) {
  vekrano::testing::TempDir dir;
  const Outcome stored =
      runScript(dir,
                "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES "
                "(1,\"A1\",\"l\xE2\x80\x99\xC3\xA9t\xC3\xA9\",'\xE2\x80\x9C"
                "chaud\xE2\x80\x9D 5\xC2\xA0\xE2\x82\xAC \xE2\x80\x93 c\xC5\x93ur\xE2\x80\xA6',1,\"O\")\n"
                "select lib1, lib2 from article\n");
  EXPECT_EQ(stored.status, 0) << stored.out;
  EXPECT_EQ(stored.out,
            "vekrano-sql: written another way: \xC2\xAB \xE2\x80\x99 \xC2\xBB (U+2019) -> \xC2\xAB'\xC2\xBB, "
            "\xC2\xAB \xE2\x80\x9C \xC2\xBB (U+201C) -> \xC2\xAB\"\xC2\xBB, \xC2\xAB \xE2\x80\x9D \xC2\xBB (U+201D) -> "
            "\xC2\xAB\"\xC2\xBB, U+00A0 -> \xC2\xAB \xC2\xBB, \xC2\xAB \xE2\x82\xAC \xC2\xBB (U+20AC) -> \xC2\xAB"
            "EUR\xC2\xBB, "
            "\xC2\xAB \xE2\x80\x93 \xC2\xBB (U+2013) -> \xC2\xAB-\xC2\xBB, \xC2\xAB \xC5\x93 \xC2\xBB (U+0153) -> "
            "\xC2\xAB"
            "oe\xC2\xBB, \xC2\xAB \xE2\x80\xA6 \xC2\xBB (U+2026) -> \xC2\xAB...\xC2\xBB\n"
            "1\n"
            "lib1\tlib2\n"
            "l'\xC3\xA9t\xC3\xA9\t\"chaud\" 5 EUR - coeur...\n");
}

TEST(ShellText, ARefusedCharacterFailsTheStatementWithItsPosition) {
  vekrano::testing::TempDir dir;
  const Outcome refused = runScript(
      dir,
      "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"A1\",\"snow \xE2\x98\x83\",\"\",1,\"O\")\n"
      "select count(*) as nb from article\n");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "the character U+2603 at position 75 cannot be stored in the table\n");
  const Outcome trademark = runScript(dir, "select * from article where lib1 = \"X\xE2\x84\xA2\"\n");
  EXPECT_EQ(trademark.status, 1);
  EXPECT_EQ(trademark.out,
            "the character \xC2\xAB \xE2\x84\xA2 \xC2\xBB (U+2122) at position 38 cannot be stored in the table\n");
  // Nothing was stored: the table is as empty as before.
  const Outcome count = runScript(dir, "select count(*) as nb from article\n");
  EXPECT_EQ(count.out, "nb\n");
}

TEST(ShellText, ImportedLinesAreConvertedAndRefusalsNamed) {
  vekrano::testing::TempDir dir;
  vekrano::testing::writeFileBytes(dir.file("in.csv"),
                                   "low-abc1,Lot 868 \xE2\x80\x93 Stra\xC3\x9F"
                                   "e\nA#1,x\nB2,\xE2\x98\x83\n");
  const Outcome imported = runScript(dir, ".import " + dir.file("in.csv") + "\n");
  EXPECT_EQ(imported.status, 1) << imported.out;  // two lines were not stored
  EXPECT_NE(imported.out.find(".import: line 2 - Barcod: the character \xC2\xAB # \xC2\xBB (U+0023) (position 2) "
                              "does not exist in Code 39."),
            std::string::npos)
      << imported.out;
  EXPECT_NE(imported.out.find(".import: line 3 - Text 1: the character U+2603 (position 1) cannot be stored."),
            std::string::npos);
  EXPECT_NE(imported.out.find(".import: 1 lines stored with characters written another way (first at file lines 1)"),
            std::string::npos);
  EXPECT_EQ(runScript(dir, "select cb, lib1 from article\n").out,
            "cb\tlib1\nLOW-ABC1\tLot 868 - Stra\xC3\x9F"
            "e\n");
}

}  // namespace
