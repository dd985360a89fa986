#include <gtest/gtest.h>

#include <chrono>

#include "dbase/file_io.h"
#include "dbase/file_helpers.h"
#include "support/temp_dir.h"

using namespace vekrano::dbase;
using vekrano::testing::TempDir;

TEST(FileIo, ByteLocksReportTheSystemErrorNumber) {
  TempDir dir;
  File first, second;
  ASSERT_EQ(first.create(dir.file("t.mdx"), FileShare::DenyNone), 0);
  ASSERT_EQ(second.open(dir.file("t.mdx"), FileAccess::ReadWrite, FileShare::DenyNone), 0);

  ASSERT_TRUE(first.lock(1, 4));
  EXPECT_FALSE(second.lock(4, 1));
  EXPECT_EQ(second.lastError(), kSystemErrorLockViolation);
  EXPECT_TRUE(first.unlock(1, 4));
  EXPECT_TRUE(second.lock(4, 1));

  File closed;
  EXPECT_FALSE(closed.lock(0, 1));
  EXPECT_EQ(closed.lastError(), 6);
  EXPECT_FALSE(closed.unlock(0, 1));
  EXPECT_EQ(closed.lastError(), 6);
}

TEST(FileIo, LockRetriesOnlyWhileAnotherOpenHoldsTheRange) {
  File closed;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(lockWithRetries(closed, 1, 4), 6);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(FileIo, ShareModesOfTwoOpens) {
  TempDir dir;
  File shared, alone;
  ASSERT_EQ(shared.create(dir.file("t.dbf"), FileShare::DenyNone), 0);
  EXPECT_EQ(alone.open(dir.file("t.dbf"), FileAccess::ReadWrite, FileShare::Exclusive), kSystemErrorSharingViolation);
  EXPECT_FALSE(alone.isOpen());
  File reader;
  EXPECT_EQ(reader.open(dir.file("t.dbf"), FileAccess::ReadOnly, FileShare::Exclusive), 0);
  shared.close();
  reader.close();
  EXPECT_EQ(alone.open(dir.file("t.dbf"), FileAccess::ReadWrite, FileShare::Exclusive), 0);
  EXPECT_EQ(shared.open(dir.file("t.dbf"), FileAccess::ReadOnly, FileShare::DenyNone), kSystemErrorSharingViolation);
}
