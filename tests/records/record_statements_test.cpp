#include "records/record_statements.h"

#include <gtest/gtest.h>

#include "records/article_data.h"
#include "records/sql_literal.h"
#include "support/temp_dir.h"

namespace vekrano::records {
namespace {

TEST(RecordStatements, PatternsKeepTheirBlanks) {
  BarcodeRecord record{18, "ABC-12", "first", "second", 15, "O"};
  EXPECT_EQ(newRecordStatement(record),
            "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES "
            "(18,\"ABC-12\",\"first\", \"second\", 15, \"O\" )");
  record.topp = "N";
  record.quantite = -3;
  EXPECT_EQ(changeRecordStatement(record),
            "UPDATE article  SET cb=\"ABC-12\", lib1=\"first\", lib2=\"second\", quantite=-3,  "
            "topp=\"N\" WHERE num=18");
  EXPECT_EQ(topFlagStatement(7, "O"), "UPDATE article  SET topp=\"O\" WHERE num=7");
  EXPECT_EQ(deleteRecordStatement(7), "delete from article where num=7");
}

TEST(RecordStatements, TextLiteralsHoldEveryQuoteCharacter) {
  EXPECT_EQ(SqlText("AB"), "\"AB\"");
  EXPECT_EQ(SqlText("AB\"C"), "'AB\"C'");
  EXPECT_EQ(SqlText("it's"), "\"it's\"");
  EXPECT_EQ(SqlText("a'b\"c"), "(\"a'b\" + '\"c')");
}

class ArticleTable : public ::testing::Test {
 protected:
  std::string cb(int num) {
    data.sqlqueryfonction.Close();
    data.sqlqueryfonction.SQL().Clear();
    data.sqlqueryfonction.SQL().Add("select cb from article where num=" + std::to_string(num));
    data.sqlqueryfonction.Open();
    std::string value =
        data.sqlqueryfonction.RecordCount() > 0 ? data.sqlqueryfonction.FieldByName("cb").AsString() : "<none>";
    data.sqlqueryfonction.Close();
    return value;
  }

  testing::TempDir directory;
  ArticleData data{directory.path().string() + "/"};
};

TEST_F(ArticleTable, NumbersFollowTheHighestAndRestartAfterErase) {
  data.openData();
  EXPECT_EQ(data.NextRecordNumber(), 1);
  for (int num : {3, 17}) data.executeStatement(newRecordStatement({num, "X", "", "", 1, "O"}));
  EXPECT_EQ(data.NextRecordNumber(), 18);
  EXPECT_EQ(data.executeStatement(deleteRecordStatement(17)), 1);
  EXPECT_EQ(data.NextRecordNumber(), 4);
  data.eraseDataFiles();
  data.openData();
  EXPECT_EQ(data.NextRecordNumber(), 1);
}

TEST_F(ArticleTable, QuotedValuesAreStoredExactlyAndFailuresAreRaised) {
  data.openData();
  const std::string both = "A'B\"C";
  data.executeStatement(newRecordStatement({1, both, "", "", 1, "O"}));
  data.executeStatement(newRecordStatement({2, "AB\"C", "", "", 1, "O"}));
  EXPECT_EQ(cb(1), both);
  EXPECT_EQ(cb(2), "AB\"C");
  EXPECT_ANY_THROW(data.executeStatement("UPDATE article  SET nofield=1 WHERE num=1"));
  EXPECT_ANY_THROW(data.executeStatement("INSERT INTO article (num,cb) VALUES (3,\"A\"B\")"));
  EXPECT_EQ(cb(3), "<none>");
}

}  // namespace
}  // namespace vekrano::records
