// A run of appends: it holds the append lock against another open of the table until it ends or
// its time is up, and the index's change counter tells the other open of every record appended.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vekrano::dbase::testing
