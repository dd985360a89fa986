// vekrano-sql run as a separate program: arguments, standard input, output and exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

using vekrano::testing::Outcome;
using vekrano::testing::runShell;

std::string program() { return VEKRANO_SQL_PROGRAM; }

}  // namespace

TEST(ShellProgram, CreatesTheTableRunsArgumentsAndPrintsRowsAndCounts) {
  vekrano::testing::TempDir dir;
  const Outcome outcome =
      runShell(program() + " " + dir.path().string() +
               " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"B2\",\"Cr\xC3\xA8me\",\"\",4,\"O\")'"
               " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (2,\"A1\",\"x\",\"y\",1,\"N\")'"
               " 'select cb, lib1, quantite from article'"
               " 'update article set topp=\"N\" where num=1'");
  EXPECT_EQ(outcome.status, 0);
  // Columns are named as written; rows come in the order of the barcode index; accented text
  // comes back as UTF-8.
  EXPECT_EQ(outcome.out, "1\n1\ncb\tlib1\tquantite\nA1\tx\t1\nB2\tCr\xC3\xA8me\t4\n1\n");
  EXPECT_EQ(vekrano::testing::readFileBytes(dir.path() / "article.dbf").size(), 226u + 2 * 261u);
}

TEST(ShellProgram, ReadsStatementsFromStandardInputAndReportsErrorsWithAStatus) {
  vekrano::testing::TempDir dir;
  const Outcome counted =
      runShell("printf 'select count(*) as nb from article\\n\\n' | " + program() + " " + dir.path().string());
  EXPECT_EQ(counted.status, 0);
  EXPECT_EQ(counted.out, "nb\n");  // no visible record: no row at all

  const Outcome failed = runShell(program() + " " + dir.path().string() + " 'select * from nowhere' 2>&1");
  EXPECT_NE(failed.status, 0);
  EXPECT_NE(failed.out.find("nowhere"), std::string::npos) << failed.out;

  EXPECT_EQ(runShell(program() + " 2>/dev/null").status, 2);
}

TEST(ShellProgram, WritesNumbersWithADecimalPointAndSaysSoInItsHelp) {
  vekrano::testing::TempDir dir;
  const Outcome outcome =
      runShell(program() + " " + dir.path().string() +
               " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"A\",\"\",\"\",5,\"N\")'"
               " 'select quantite / 8 as r, quantite * 1.5 as f, avg(quantite) as a from article'");
  EXPECT_EQ(outcome.status, 0);
  // 5 / 8, 5 * 1.5 and the average of the one record.
  EXPECT_EQ(outcome.out, "1\nr\tf\ta\n0.625\t7.5\t5\n");
  const Outcome help = runShell(program() + " --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Numbers are written with a decimal point, as the sqlite3 shell writes them.\n"),
            std::string::npos);
}
