// A run of appends: it holds the append lock against another open of the table until it ends or
// its time is up, and the index's change counter tells the other open of every record appended.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "dbase/table/table_lock_retry.h"
#include "dbase/table/table_test_support.h"

namespace vekrano::dbase::testing {
namespace {

std::uint16_t Changes(TTzDbf& table) { return table.ChangeStamp().indexChanges.value_or(0); }

TEST(TableAppendRunTest, HoldsTheAppendLockUntilItEndsAndCountsEveryAppend) {
  TableFolder f;
  TTzDbf first("first");
  configureArticleTable(first, f.folder());
  first.Open();
  TTzDbf second("second");
  configureArticleTable(second, f.folder());
  second.Open();
  retryRefusedLocks(second, std::chrono::milliseconds(60));
  appendArticle(second, 1, "S1");
  const std::uint16_t before = Changes(second);

  first.beginAppendRun();
  for (int n = 2; n <= 4; ++n) {
    appendArticle(first, n, "F" + std::to_string(n));
    // This open sees its own appends counted one by one while it holds the run.
    EXPECT_EQ(static_cast<std::uint16_t>(Changes(first) - before), n - 1);
  }
  try {
    appendArticle(second, 5, "S5");
    ADD_FAILURE() << "the other open appended inside the run";
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), "Lock failed [Insert]");
  }
  second.Cancel();

  first.endAppendRun();
  const TTzChangeStamp seen = second.ChangeStamp();
  EXPECT_EQ(seen.recordCount, 4);
  EXPECT_EQ(static_cast<std::uint16_t>(*seen.indexChanges - before), 3);
  appendArticle(second, 5, "S5");
  EXPECT_EQ(Barcodes(second), (std::vector<std::string>{"F2", "F3", "F4", "S1", "S5"}));
  EXPECT_EQ(Barcodes(first), (std::vector<std::string>{"F2", "F3", "F4", "S1", "S5"}));
}

TEST(TableAppendRunTest, GivesTheLocksUpOnceItsTimeIsUpAndForARecordLock) {
  TableFolder f;
  TTzDbf first("first");
  configureArticleTable(first, f.folder());
  first.Open();
  retryRefusedLocks(first, std::chrono::milliseconds(500));
  TTzDbf second("second");
  configureArticleTable(second, f.folder());
  second.Open();
  retryRefusedLocks(second, std::chrono::milliseconds(60));

  first.beginAppendRun();
  appendArticle(first, 1, "F1");
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  appendArticle(first, 2, "F2");  // past the run's time: released after this record
  appendArticle(second, 3, "S3");
  appendArticle(first, 4, "F4");  // taken again
  EXPECT_THROW(appendArticle(second, 5, "S5"), std::exception);
  second.Cancel();

  // A change of a record needs its record lock, which the run's append lock would refuse.
  first.First();
  first.Edit();
  first.FieldByName("lib1").setAsString("changed");
  first.Post();
  appendArticle(second, 5, "S5");
  first.endAppendRun();
  EXPECT_EQ(Barcodes(second), (std::vector<std::string>{"F1", "F2", "F4", "S3", "S5"}));
  EXPECT_TRUE(f.shownTexts().empty());
}

// Barcodes in no order, so that the index's nodes split here and there, the root too.
std::string Scattered(int i) { return "K" + std::to_string(100000 + (i * 7919) % 99991); }

TEST(TableAppendRunTest, KeptAppendsAreReadBackAndWrittenAsTheAppendsOneByOne) {
  TableFolder kept;
  TableFolder oneByOne;
  TTzDbf run("run");
  configureArticleTable(run, kept.folder());
  run.Open();
  TTzDbf single("single");
  configureArticleTable(single, oneByOne.folder());
  single.Open();
  constexpr int kRecords = 900;
  std::vector<std::string> expected;
  run.beginAppendRun();
  run.deferAppendWrites();
  for (int n = 1; n <= kRecords; ++n) {
    appendArticle(run, n, Scattered(n), "line " + std::to_string(n));
    appendArticle(single, n, Scattered(n), "line " + std::to_string(n));
    // The record just appended reads back as stored, whether it is in the file yet or not.
    EXPECT_EQ(run.FieldByName("cb").AsString(), Scattered(n));
    EXPECT_EQ(run.FieldByName("num").AsInteger(), n);
    expected.push_back(Scattered(n));
    if (n == 450) {
      // Walked in key order inside the run: the records and keys kept in memory are seen.
      std::vector<std::string> sorted = expected;
      std::sort(sorted.begin(), sorted.end());
      EXPECT_EQ(Barcodes(run), sorted);
      EXPECT_LE(run.writtenRecordCount(), run.RecordCount());
    }
  }
  run.endAppendRun();
  EXPECT_EQ(run.writtenRecordCount(), kRecords);
  std::sort(expected.begin(), expected.end());
  // Another open sees every record and key once the run let go.
  TTzDbf other("other");
  configureArticleTable(other, kept.folder());
  other.Open();
  EXPECT_EQ(other.RecordCount(), kRecords);
  EXPECT_EQ(Barcodes(other), expected);
  other.Close();
  run.Close();
  single.Close();
  EXPECT_TRUE(vekrano::testing::readFileBytes(kept.dbf()) == vekrano::testing::readFileBytes(oneByOne.dbf()));
  EXPECT_TRUE(vekrano::testing::readFileBytes(kept.mdx()) == vekrano::testing::readFileBytes(oneByOne.mdx()));
  EXPECT_GT(vekrano::testing::readFileBytes(kept.mdx()).size(), 40000u) << "the keys filled many nodes";
}

}  // namespace
}  // namespace vekrano::dbase::testing
