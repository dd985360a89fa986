// vekrano-sql facing an append lock held by another process: it waits out a short one and fails
// a long one with the lock message and a failure status, storing nothing.
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
  return " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(num) +
         ",\"C" + std::to_string(num) + "\",\"\",\"\",1,\"N\")' 2>&1";
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

}  // namespace
