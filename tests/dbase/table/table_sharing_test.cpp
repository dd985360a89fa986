// Two opens of one table in shared mode: closing one after the other appended keeps every record
// counted and intact, asking whether an open is alone refuses no other open, and the retry policy
// waits out a lock held for a while but fails the operation, storing nothing, on one held for
// longer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "common/byte_codec.h"
#include "common/share_mode_lock.h"
#include "dbase/file_io.h"
#include "dbase/table/table_lock_retry.h"
#include "dbase/table_locks.h"
#include "dbase/table/table_test_support.h"

namespace vekrano::dbase::testing {
namespace {

constexpr std::int64_t kHeader = 225;
constexpr std::int64_t kRecord = 261;

TEST(TableSharingTest, ClosingAfterAnotherOpenAppendedCountsAndKeepsEveryRecord) {
  TableFolder f;
  TTzDbf first("first");
  configureArticleTable(first, f.folder());
  first.Open();
  appendArticle(first, 1, "A");
  TTzDbf second("second");
  configureArticleTable(second, f.folder());
  second.Open();
  for (int n = 2; n <= 5; ++n) appendArticle(second, n, "B" + std::to_string(n));
  second.Close();
  // The first open counted one record: its close must neither shrink the count nor put the
  // end-of-file mark over the second record, even while another process is appending.
  File appender;
  ASSERT_EQ(appender.open(f.dbf(), FileAccess::ReadWrite, FileShare::DenyNone), 0);
  ASSERT_TRUE(appender.lock(kAppendLockOffset, 1));
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    appender.unlock(kAppendLockOffset, 1);
  });
  first.Close();
  release.join();

  const std::string bytes = vekrano::testing::readFileBytes(f.dbf());
  ASSERT_EQ(static_cast<std::int64_t>(bytes.size()), kHeader + 5 * kRecord + 1);
  EXPECT_EQ(common::getU32(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 4), 5u);
  for (int n = 0; n < 5; ++n) EXPECT_EQ(bytes[kHeader + n * kRecord], ' ') << n;
  EXPECT_EQ(bytes.back(), '\x1A');

  first.Open();
  EXPECT_EQ(Barcodes(first), (std::vector<std::string>{"A", "B2", "B3", "B4", "B5"}));
}

TEST(TableSharingTest, AskingWhetherAnOpenIsAloneRefusesNoOtherOpen) {
  TableFolder f;
  {
    TTzDbf table("tarticle");
    configureArticleTable(table, f.folder());
    table.Open();
  }
  // One opener keeps asking whether it is alone while another keeps opening the file shared, as
  // two processes opening the table at the same moment do: no open may be refused.
  std::atomic<bool> asking = true;
  std::thread prober([&] {
    for (int n = 0; n < 20000; ++n) common::nobodyElseHasOpen(f.dbf());
    asking = false;
  });
  int refused = 0;
  int opens = 0;
  while (asking || opens < 100) {
    File opener;
    refused += opener.open(f.dbf(), FileAccess::ReadWrite, FileShare::DenyNone) != 0;
    ++opens;
  }
  prober.join();
  EXPECT_EQ(refused, 0) << "of " << opens;
  // The probe sees the opens of others, shared or exclusive; a missing file is nobody's alone.
  EXPECT_TRUE(common::nobodyElseHasOpen(f.dbf()));
  File shared;
  ASSERT_EQ(shared.open(f.dbf(), FileAccess::ReadWrite, FileShare::DenyNone), 0);
  EXPECT_FALSE(common::nobodyElseHasOpen(f.dbf()));
  shared.close();
  File alone;
  ASSERT_EQ(alone.open(f.dbf(), FileAccess::ReadWrite, FileShare::Exclusive), 0);
  EXPECT_FALSE(common::nobodyElseHasOpen(f.dbf()));
  alone.close();
  EXPECT_FALSE(common::nobodyElseHasOpen(f.dbf() + ".missing"));
}

TEST(TableSharingTest, TheRetryPolicyWaitsOutAShortLockAndFailsOnALongOne) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "A");
  retryRefusedLocks(table, std::chrono::milliseconds(600));
  File other;
  ASSERT_EQ(other.open(f.dbf(), FileAccess::ReadWrite, FileShare::DenyNone), 0);

  ASSERT_TRUE(other.lock(kAppendLockOffset, 1));
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    other.unlock(kAppendLockOffset, 1);
  });
  appendArticle(table, 2, "B");
  release.join();
  EXPECT_EQ(table.RecordCount(), 2);
  EXPECT_TRUE(f.shownTexts().empty());

  ASSERT_TRUE(other.lock(kAppendLockOffset, 1));
  const auto start = std::chrono::steady_clock::now();
  try {
    appendArticle(table, 3, "C");
    ADD_FAILURE() << "the insert was reported done";
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), "Lock failed [Insert]");
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(550));
  table.Cancel();
  other.unlock(kAppendLockOffset, 1);
  EXPECT_EQ(table.RecordCount(), 2);

  // Record 1 held: the edit fails the same way and the record keeps its values.
  ASSERT_TRUE(other.lock(kTzLockOffset + kHeader, kRecord));
  table.First();
  table.Edit();
  table.FieldByName("lib1").setAsString("changed");
  EXPECT_THROW(
      try { table.Post(); } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Lock failed [Post]");
        throw;
      },
      std::exception);
  table.Cancel();
  EXPECT_THROW(table.Delete(), std::exception);
  other.unlock(kTzLockOffset + kHeader, kRecord);
  table.Close();
  table.Open();
  EXPECT_EQ(table.FieldByName("lib1").AsString(), "");
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A", "B"}));
  EXPECT_TRUE(f.shownTexts().empty());
}

}  // namespace
}  // namespace vekrano::dbase::testing
