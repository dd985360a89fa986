// Two processes sharing the article table: appends seen by the other, the last post winning, and
// locks held elsewhere refusing appends and record writes without storing anything.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "dbase/file_io.h"
#include "dbase/table_locks.h"
#include "support/child_process.h"
#include "dbase/table/table_test_support.h"

namespace vekrano::dbase::testing {
namespace {

using vekrano::testing::runChild;

TEST(TableProcessTest, AnAppendByAnotherProcessIsSeenByLastAndRecordCount) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "M");
  EXPECT_EQ(runChild([&] {
              TTzDbf mine("child");
              configureArticleTable(mine, f.folder());
              mine.Open();
              appendArticle(mine, 2, "Z");
              appendArticle(mine, 3, "A");
              return mine.RecordCount() == 3;
            }),
            0);
  EXPECT_EQ(table.RecordCount(), 3);
  table.Last();
  EXPECT_EQ(table.FieldByName("cb").AsString(), "Z");
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A", "M", "Z"}));
  appendArticle(table, 4, "B");
  EXPECT_EQ(table.RecNo(), 4);  // written after the other process's records
  table.Close();
  table.Open();
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A", "B", "M", "Z"}));
}

TEST(TableProcessTest, TwoPostsOfTheSameRecordBothSucceedAndTheLastOneWins) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "A", "original");
  table.Edit();
  table.FieldByName("lib1").setAsString("parent");
  EXPECT_EQ(runChild([&] {
              TTzDbf mine("child");
              configureArticleTable(mine, f.folder());
              mine.Open();
              mine.Edit();
              mine.FieldByName("lib1").setAsString("child");
              mine.Post();
              return mine.FieldByName("lib1").AsString() == "child";
            }),
            0);
  table.Post();
  EXPECT_TRUE(f.shownTexts().empty());
  table.Close();
  table.Open();
  EXPECT_EQ(table.FieldByName("lib1").AsString(), "parent");
  EXPECT_EQ(table.RecordCount(), 1);
}

TEST(TableProcessTest, AnAppendLockHeldElsewhereRefusesTheInsertOnceAndStoresNothing) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "A");
  const std::string before = vekrano::testing::readFileBytes(f.dbf());
  {
    LockHolder holder(f.dbf(), kAppendLockOffset, 1);
    ASSERT_TRUE(holder.locked());
    appendArticle(table, 2, "B");
    EXPECT_EQ(f.shownTexts(), (std::vector<std::string>{"Lock failed [Insert]"}));
    EXPECT_EQ(table.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A"}));
    EXPECT_EQ(vekrano::testing::readFileBytes(f.dbf()), before);

    int calls = 0;
    table.OnALockFailedOnInsert = [&](TTzDbf& sender, bool& retry) {
      EXPECT_EQ(&sender, &table);
      EXPECT_FALSE(retry);
      retry = ++calls < 3;
    };
    appendArticle(table, 2, "B");
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(f.shownTexts().size(), 1u);
  }
  appendArticle(table, 2, "B");  // the lock is free again
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A", "B"}));
}

TEST(TableProcessTest, ARecordLockHeldElsewhereRefusesPostDeleteAndRestore) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.setHideDeletedRecs(false);
  table.Open();
  appendArticle(table, 1, "A", "kept");
  appendArticle(table, 2, "B", "other");
  table.First();
  {
    // Record 1 of the article table: header 225 bytes, records of 261 bytes.
    LockHolder holder(f.dbf(), kTzLockOffset + 225, 261);
    ASSERT_TRUE(holder.locked());
    table.Edit();
    table.FieldByName("lib1").setAsString("lost");
    table.Post();
    EXPECT_EQ(table.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(table.FieldByName("lib1").AsString(), "kept");
    table.Delete();
    EXPECT_EQ(table.FieldByName("cb").AsString(), "A");
    EXPECT_EQ(f.shownTexts(), (std::vector<std::string>{"Lock failed [Post]", "Lock failed [Delete]"}));
    table.Next();
    table.Delete();  // record 2 is not locked
    table.First();
    table.Next();
    EXPECT_EQ(table.FieldByName("cb").AsString(), "B");
  }
  table.Close();
  table.Open();
  EXPECT_EQ(table.FieldByName("lib1").AsString(), "kept");
  table.Next();
  {
    LockHolder holder(f.dbf(), kTzLockOffset + 225 + 261, 261);
    ASSERT_TRUE(holder.locked());
    int restores = 0;
    table.BeforeRestore = [&](TTzDbf&) { ++restores; };
    table.Restore();
    EXPECT_EQ(f.shownTexts().back(), "Lock failed [Restore]");
    EXPECT_EQ(restores, 1);
  }
  table.setHideDeletedRecs(true);
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A"}));
}

// A process inside its scan while another posts a new barcode for a record: the record and its key
// change together for it, so going to that record finds it in the index, still as it was.
TEST(TableProcessTest, AReaderInsideItsScanSeesARecordAndItsKeyChangeTogether) {
  TableFolder f;
  {
    TTzDbf table("filler");
    configureArticleTable(table, f.folder());
    table.Open();
    appendArticle(table, 1, "OLD");
    appendArticle(table, 2, "OTHER");
  }
  int ready[2], seen[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(seen), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    std::string answer;
    try {
      TTzDbf reader("reader");
      configureArticleTable(reader, f.folder());
      reader.Open();
      TDataSetScan scan(reader);
      (void)!write(ready[1], "r", 1);
      usleep(300'000);  // the other process posts meanwhile
      reader.SetRecNo(1);
      answer = reader.FieldByName("cb").AsString();
    } catch (const std::exception& error) {
      answer = error.what();
    }
    (void)!write(seen[1], answer.data(), answer.size());
    _exit(0);
  }
  close(ready[1]);
  close(seen[1]);
  char go = 0;
  ASSERT_EQ(read(ready[0], &go, 1), 1);
  TTzDbf table("writer");
  configureArticleTable(table, f.folder());
  table.Open();
  table.SetRecNo(1);
  table.Edit();
  table.FieldByName("cb").setAsString("NEW");
  table.Post();
  std::string answer;
  char buffer[256];
  for (ssize_t n; (n = read(seen[0], buffer, sizeof buffer)) > 0;) answer.append(buffer, static_cast<std::size_t>(n));
  close(ready[0]);
  close(seen[0]);
  waitpid(pid, nullptr, 0);
  EXPECT_EQ(answer, "OLD");
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"NEW", "OTHER"}));
}

}  // namespace
}  // namespace vekrano::dbase::testing
