// vekrano-sql's .check and the start-up check of the record index: a key changed behind the index
// in a way the activation's count check cannot see is found by .check, which rebuilds the index.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

using vekrano::testing::Outcome;
using vekrano::testing::readFileBytes;
using vekrano::testing::runShell;
using vekrano::testing::writeFileBytes;

std::string program() { return VEKRANO_SQL_PROGRAM; }

TEST(ShellCheck, FindsAKeyChangedBehindTheIndexRebuildsItOnceAndThenSaysOk) {
  vekrano::testing::TempDir dir;
  const std::string folder = dir.path().string();
  ASSERT_EQ(runShell(program() + " " + folder +
                     " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"AB1\",\"\",\"\",1,\"N\")'"
                     " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (2,\"AB2\",\"\",\"\",1,\"N\")'")
                .status,
            0);
  std::string bytes = readFileBytes(folder + "/article.dbf");
  bytes.replace(225 + 261 + 6, 3, "ZZ9");  // record 2's barcode
  writeFileBytes(folder + "/article.dbf", bytes);
  namespace fs = std::filesystem;
  fs::last_write_time(folder + "/article.dbf", fs::last_write_time(folder + "/article.mdx") - std::chrono::seconds(5));
  const std::string oldIndex = readFileBytes(folder + "/article.mdx");

  const Outcome checked = runShell(program() + " " + folder + " .check 'select cb from article where cb like \"Z%\"'");
  EXPECT_EQ(checked.status, 0);
  EXPECT_EQ(checked.out, folder +
                             "/article.mdx was rebuilt: tag CB: the key of record 2 differs from its value; "
                             "the old index is kept as " +
                             folder + "/article.mdx.bad\ncb\nZZ9\n");
  EXPECT_EQ(readFileBytes(folder + "/article.mdx.bad"), oldIndex);

  const Outcome again = runShell(program() + " " + folder + " .check 2>&1");
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.out, "ok\n");
  EXPECT_EQ(runShell(program() + " " + folder + " '.check now' 2>&1").status, 1);
}

TEST(ShellCheck, ADamagedIndexIsRebuiltAtStartAndSaidSoOnStandardError) {
  vekrano::testing::TempDir dir;
  const std::string folder = dir.path().string();
  ASSERT_EQ(runShell(program() + " " + folder +
                     " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"AB1\",\"\",\"\",1,\"N\")'")
                .status,
            0);
  writeFileBytes(folder + "/article.mdx", "");
  const Outcome opened = runShell(program() + " " + folder + " 'select cb from article' 2>&1");
  EXPECT_EQ(opened.status, 0);
  EXPECT_EQ(opened.out, folder + "/article.mdx was rebuilt: Unable to open index: " + folder +
                            "/article.mdx; the old index is kept as " + folder + "/article.mdx.bad\ncb\nAB1\n");
}

TEST(ShellCheck, ATableCutInsideARecordIsReadOnlyUntilRepaired) {
  vekrano::testing::TempDir dir;
  const std::string folder = dir.path().string();
  std::string inserts;
  for (int i = 1; i <= 3; ++i)
    inserts += " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(i) + ",\"C" +
               std::to_string(i) + "\",\"\",\"\",1,\"N\")'";
  ASSERT_EQ(runShell(program() + " " + folder + inserts).status, 0);
  const std::string whole = readFileBytes(folder + "/article.dbf");
  const std::string cut = whole.substr(0, 225 + 2 * 261 + 40);
  writeFileBytes(folder + "/article.dbf", cut);

  const Outcome damaged = runShell(program() + " " + folder + " 'select cb from article' 2>&1");
  EXPECT_EQ(damaged.status, 0);
  EXPECT_EQ(damaged.out.substr(0, damaged.out.find('\n')),
            folder +
                "/article.dbf is damaged: it ends inside a record, after 2 whole ones. It is opened read-only "
                "and nothing is written until it is repaired (vekrano-sql DIR .repair).");
  EXPECT_NE(damaged.out.find("cb\nC1\nC2\n"), std::string::npos) << damaged.out;
  EXPECT_EQ(
      runShell(
          program() + " " + folder +
          " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (9,\"C9\",\"\",\"\",1,\"N\")' 2>/dev/null")
          .status,
      1);
  EXPECT_EQ(readFileBytes(folder + "/article.dbf"), cut);
  const Outcome unchecked = runShell(program() + " " + folder + " .check 2>&1");
  EXPECT_EQ(unchecked.status, 1);
  EXPECT_NE(unchecked.out.find("/article.dbf is open read-only: its index is not checked"), std::string::npos)
      << unchecked.out;

  const Outcome repaired = runShell(program() + " " + folder + " .repair 2>/dev/null");
  EXPECT_EQ(repaired.status, 0);
  EXPECT_EQ(repaired.out, "2 records kept; the old table is kept as " + folder + "/article.dbf.bad\n");
  EXPECT_EQ(readFileBytes(folder + "/article.dbf.bad"), cut);
  const Outcome after =
      runShell(program() + " " + folder +
               " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (9,\"C9\",\"\",\"\",1,\"N\")'"
               " 'select cb from article where cb like \"C%\"' 2>&1");
  EXPECT_EQ(after.status, 0);
  EXPECT_EQ(after.out, "1\ncb\nC1\nC2\nC9\n");
}

}  // namespace
