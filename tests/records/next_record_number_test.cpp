// The next record number kept between statements: after every kind of change, by this process or
// another one, it is what "select max(num) as nb from article" answers plus one, and the append
// lock it takes keeps other processes from appending until the INSERT that uses the number.
#include <gtest/gtest.h>

#include <functional>

#include "dbase/file_io.h"
#include "dbase/table_locks.h"
#include "records/article_data.h"
#include "records/article_table.h"
#include "records/record_statements.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace vekrano::records {
namespace {

// Runs `work` in a child process; true when it returned true there.
bool inChild(const std::function<bool()>& work) { return testing::runChild(work) == 0; }

class NextRecordNumber : public ::testing::Test {
 protected:
  NextRecordNumber() { data.openData(); }

  // Numbers and inserts one record as the editor and the import do; returns its number.
  int add(const std::string& cb) {
    const int num = data.NextRecordNumber();
    data.executeStatement(newRecordStatement({num, cb, "", "", 1, "O"}));
    return num;
  }
  // What the statement answers, asked apart from the kept number.
  int statementAnswer() {
    data.sqlqueryfonction.Close();
    data.sqlqueryfonction.SQL().Clear();
    data.sqlqueryfonction.SQL().Add("select max(num) as nb from article");
    data.sqlqueryfonction.Open();
    const int next =
        data.sqlqueryfonction.RecordCount() > 0 ? data.sqlqueryfonction.FieldByName("nb").AsInteger() + 1 : 1;
    data.sqlqueryfonction.Close();
    return next;
  }
  // The same statements run by another process over the same table.
  bool otherProcessRuns(const std::vector<std::string>& statements) {
    return inChild([&] {
      // This process's table, copied into the child, keeps the alias "tarticle" taken there.
      dbase::TTzDbf other("other");
      configureArticleTable(other, directory.path().string());
      other.Open();
      sql::TSqlQuery query;
      query.DataSets().Add("article", &other);
      for (const std::string& statement : statements) {
        query.SQL().Clear();
        query.SQL().Add(statement);
        query.ExecSQL();
      }
      return true;
    });
  }
  // Whether another process can take the table's append lock now.
  bool otherProcessCanAppend() {
    return inChild([&] {
      dbase::File file;
      return file.open(data.tableFileName(), dbase::FileAccess::ReadWrite, dbase::FileShare::DenyNone) == 0 &&
             file.lock(dbase::kAppendLockOffset, 1);
    });
  }

  vekrano::testing::TempDir directory;
  ArticleData data{directory.path().string()};
};

TEST_F(NextRecordNumber, FollowsThisProcessesChanges) {
  EXPECT_EQ(add("A"), 1);
  EXPECT_EQ(add("B"), 2);
  EXPECT_EQ(add("C"), 3);
  data.executeStatement(deleteRecordStatement(3));
  EXPECT_EQ(data.NextRecordNumber(), 3);  // the highest deleted: its number comes again
  EXPECT_EQ(add("C2"), 3);
  data.executeStatement("update article set num=40 where num=2");
  EXPECT_EQ(data.NextRecordNumber(), 41);
  data.executeStatement(deleteRecordStatement(1));
  EXPECT_EQ(data.NextRecordNumber(), 41);
  data.executeStatement(newRecordStatement({7, "low", "", "", 1, "O"}));
  EXPECT_EQ(data.NextRecordNumber(), 41);
  data.executeStatement(newRecordStatement({90, "high", "", "", 1, "O"}));
  EXPECT_EQ(data.NextRecordNumber(), 91);
  EXPECT_EQ(statementAnswer(), 91);
  data.executeStatement("delete from article");
  EXPECT_EQ(data.NextRecordNumber(), 1);  // no visible record left
  data.executeStatement(newRecordStatement({-5, "neg", "", "", 1, "O"}));
  EXPECT_EQ(data.NextRecordNumber(), -4);
  EXPECT_EQ(statementAnswer(), -4);

  EXPECT_EQ(add("D"), -4);
  data.eraseDataFiles();
  data.openData();
  EXPECT_EQ(data.NextRecordNumber(), 1);
}

TEST_F(NextRecordNumber, FollowsOtherProcessesChanges) {
  for (const char* cb : {"A", "B", "C", "D", "E"}) add(cb);
  ASSERT_TRUE(otherProcessRuns({newRecordStatement({50, "other", "", "", 1, "O"})}));
  EXPECT_EQ(add("F"), 51);
  ASSERT_TRUE(otherProcessRuns({deleteRecordStatement(51), deleteRecordStatement(50)}));
  EXPECT_EQ(add("F1"), 6);  // the other deleted the two highest
  ASSERT_TRUE(otherProcessRuns({"update article set num=70 where num=3"}));
  EXPECT_EQ(add("F2"), 71);  // a number raised in place
  ASSERT_TRUE(otherProcessRuns(
      {newRecordStatement({8, "low", "", "", 1, "O"}), newRecordStatement({9, "low", "", "", 1, "O"})}));
  EXPECT_EQ(add("G"), 72);
  ASSERT_TRUE(otherProcessRuns({"update article set lib1=\"x\" where num=4"}));
  EXPECT_EQ(data.NextRecordNumber(), 73);
  EXPECT_EQ(statementAnswer(), 73);
}

TEST_F(NextRecordNumber, HoldsTheAppendLockUntilTheInsert) {
  add("A");
  EXPECT_TRUE(otherProcessCanAppend());
  EXPECT_EQ(data.NextRecordNumber(), 2);
  EXPECT_FALSE(otherProcessCanAppend());
  data.executeStatement(newRecordStatement({2, "B", "", "", 1, "O"}));
  EXPECT_TRUE(otherProcessCanAppend());

  // A statement that fails still gives the lock back.
  data.NextRecordNumber();
  EXPECT_ANY_THROW(data.executeStatement("INSERT INTO article (num,nofield) VALUES (3,1)"));
  EXPECT_TRUE(otherProcessCanAppend());
  EXPECT_EQ(data.NextRecordNumber(), 3);
  data.closeData();
  EXPECT_TRUE(otherProcessCanAppend());
}

TEST_F(NextRecordNumber, GivesTheLockBackWhenNumbersRanOut) {
  data.executeStatement(newRecordStatement({kMaxRecordNumber, "LAST", "", "", 1, "O"}));
  EXPECT_EQ(data.NextRecordNumber(), kMaxRecordNumber + 1);
  EXPECT_TRUE(otherProcessCanAppend());
}

}  // namespace
}  // namespace vekrano::records
