// vekrano-sql facing an append lock held by another process: it waits out a short one and fails
// a long one with the lock message and a failure status, storing nothing. While it waits for its
// input, it holds no lock and has printed what it did.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "dbase/file_io.h"
#include "dbase/table_locks.h"
#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

using vekrano::testing::Outcome;
using vekrano::testing::runShell;

std::string insert(int num) {
  return " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(num) + ",\"C" +
         std::to_string(num) + "\",\"\",\"\",1,\"N\")' 2>&1";
}

TEST(ShellProgramLocks, AShortAppendLockIsWaitedOutAndALongOneFailsTheInsert) {
  using vekrano::dbase::File;
  vekrano::testing::TempDir dir;
  const std::string shell = std::string(VEKRANO_SQL_PROGRAM) + " " + dir.path().string();
  ASSERT_EQ(runShell(shell + insert(1)).out, "1\n");
  const auto dbf = dir.path() / "article.dbf";

  File other;
  ASSERT_EQ(other.open(dbf.string(), vekrano::dbase::FileAccess::ReadWrite, vekrano::dbase::FileShare::DenyNone), 0);
  ASSERT_TRUE(other.lock(vekrano::dbase::kAppendLockOffset, 1));
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    other.unlock(vekrano::dbase::kAppendLockOffset, 1);
  });
  const Outcome waited = runShell(shell + insert(2));
  release.join();
  EXPECT_EQ(waited.status, 0);
  EXPECT_EQ(waited.out, "1\n");
  const std::string before = vekrano::testing::readFileBytes(dbf);
  EXPECT_EQ(before.size(), 226u + 2 * 261u);

  // Held for longer than the program waits (about ten seconds): released only once it gave up.
  ASSERT_TRUE(other.lock(vekrano::dbase::kAppendLockOffset, 1));
  const Outcome refused = runShell(shell + insert(3));
  other.unlock(vekrano::dbase::kAppendLockOffset, 1);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "Lock failed [Insert]\n");
  EXPECT_EQ(vekrano::testing::readFileBytes(dbf), before);
  EXPECT_EQ(runShell(shell + " 'select cb from article'").out, "cb\nC1\nC2\n");
}

TEST(ShellProgramLocks, InsertsReadFromAPipeHoldNoLockWhileTheShellWaitsForMore) {
  using vekrano::dbase::File;
  vekrano::testing::TempDir dir;
  const auto out = dir.path() / "out.txt";
  const std::string shell =
      std::string(VEKRANO_SQL_PROGRAM) + " " + dir.path().string() + " > " + out.string() + " 2>&1";
  std::FILE* input = ::popen(shell.c_str(), "w");
  ASSERT_NE(input, nullptr);
  const char* const kInsert =
      "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (%d,\"P%d\",\"\", \"\", 1, \"O\" )\n";
  for (int num = 1; num <= 2; ++num) std::fprintf(input, kInsert, num, num);
  // A text that reads like a query makes its INSERT written at once, in a run of its own.
  std::fprintf(input, "%s\n",
               "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (3,\"P3\",\"select\", \"\", 1, \"O\" )");
  std::fflush(input);
  // The counts are printed before the shell waits for the next line.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (vekrano::testing::readFileBytes(out) != "1\n1\n1\n" && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(vekrano::testing::readFileBytes(out), "1\n1\n1\n");

  File other;
  ASSERT_EQ(other.open((dir.path() / "article.dbf").string(), vekrano::dbase::FileAccess::ReadWrite,
                       vekrano::dbase::FileShare::DenyNone),
            0);
  EXPECT_TRUE(other.lock(vekrano::dbase::kAppendLockOffset, 1)) << "the waiting shell holds the append lock";
  other.unlock(vekrano::dbase::kAppendLockOffset, 1);
  other.close();

  std::fprintf(input, kInsert, 4, 4);
  EXPECT_EQ(::pclose(input), 0);
  EXPECT_EQ(vekrano::testing::readFileBytes(out), "1\n1\n1\n1\n");
  const std::string shellHere = std::string(VEKRANO_SQL_PROGRAM) + " " + dir.path().string();
  EXPECT_EQ(runShell(shellHere + " 'select cb from article'").out, "cb\nP1\nP2\nP3\nP4\n");
}

}  // namespace
