// The application's statements through a query over a real "article" table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/format_settings.h"
#include "sql/query/article_query.h"
#include "sql/query/query_rows.h"
#include "support/memory_dataset.h"

namespace vekrano::sql {
namespace {

using testing::ErrorText;

TEST_F(ArticleQuery, AggregatesGiveNoRowOnAnEmptyTableAndOneRowOverRecords) {
  EXPECT_EQ(Column("select count(*) as nb from article", "nb"), Rows{});
  EXPECT_EQ(query.CurrentResultSet()->RecordCount(), 0);
  EXPECT_EQ(Column("select max(num) as nb from article", "nb"), Rows{});
  Add(7, "A");
  EXPECT_EQ(Column("select count(*) as nb from article", "nb"), Rows{"1"});
  EXPECT_EQ(query.FieldByName("nb").DataType(), dbase::TFieldType::ftInteger);
  EXPECT_EQ(Column("select max(num) as nb from article", "nb"), Rows{"7"});
  EXPECT_EQ(query.FieldCount(), 1);
  Add(12, "B");
  Add(3, "C");
  EXPECT_EQ(Column("select count(*) as nb from article", "nb"), Rows{"3"});
  EXPECT_EQ(Column("select max(num) as nb from article", "nb"), Rows{"12"});
  EXPECT_EQ(Column("select count(*) as nb from article where quantite>100", "nb"), Rows{});
  EXPECT_EQ(Column("select max(num) + 1 as nb from article", "nb"), Rows{"13"});
  // The average of whole numbers keeps its fraction.
  Column("select avg(num) as a from article", "a");
  EXPECT_EQ(query.FieldByName("a").DataType(), dbase::TFieldType::ftFloat);
  EXPECT_DOUBLE_EQ(query.FieldByName("a").AsFloat(), 22.0 / 3.0);
  Column("select stdev(num) as s from article", "s");
  EXPECT_NEAR(query.FieldByName("s").AsFloat(), 4.50924975282289, 1e-12);
}

// Without GROUP BY the aggregates are gathered as the scan goes, unless a cancel handler needs
// the stored rows: both ways must give the same rows.
TEST_F(ArticleQuery, AggregatesGatheredDuringTheScanMatchThoseOverStoredRows) {
  Add(5, "M", 3, "O", "beta");
  Add(9, "B", 0, "N", "alpha");
  Add(2, "Z", 7, "O", "gamma");
  Add(7, "A", 7, "N", "");
  const std::vector<std::string> statements = {
      "select max(num) as nb from article",
      "select count(*), min(cb), max(lib1), sum(quantite), count(lib1) from article",
      "select num, lib1, count(*) as n from article where topp=\"O\"",
      "select max(num) - min(num) + count(*) as x, cb from article where quantite>0",
      "select count(*) as n from article where num>100",
      "select max(num) as nb from article having count(*)>3",
      "select max(num) as nb from article having count(*)>4",
      "select min(lib1) as l, max(num) as nb from article where quantite=7 having sum(num)=9",
  };
  std::vector<Rows> gathered;
  for (const std::string& sql : statements) gathered.push_back(engineRows(query, sql));
  query.Close();
  query.OnCancelQuery = [](bool&) {};
  for (std::size_t n = 0; n < statements.size(); ++n) {
    EXPECT_EQ(engineRows(query, statements[n]), gathered[n]) << statements[n];
  }
  // The plain columns come from the first matching record in scan order.
  EXPECT_EQ(gathered[2], Rows{"5|beta|2"});
  EXPECT_EQ(gathered[3], Rows{"8|A"});
  EXPECT_EQ(gathered[4], Rows{});
  EXPECT_EQ(gathered[5], Rows{"9"});
  EXPECT_EQ(gathered[6], Rows{});
  EXPECT_EQ(gathered[7], Rows{"|7"});
}

TEST_F(ArticleQuery, StringConditionsAreExactAndCaseSensitive) {
  Add(1, "ABC", 1, "O");
  Add(2, "ABCD");
  Add(3, "XABC");
  Add(4, "abcd");
  EXPECT_EQ(Column("select * from article where topp=\"o\""), Rows{});
  EXPECT_EQ(Column("select * from article where topp=\"O\""), Rows{"ABC"});
  EXPECT_EQ(Column("select * from article where cb like \"ab%\""), Rows{"abcd"});
  EXPECT_EQ(Column("select * from article where cb like \"ABC%\""), (Rows{"ABC", "ABCD"}));
  EXPECT_EQ(Column("select * from article where cb like \"A_C\""), Rows{"ABC"});
  EXPECT_EQ(Column("SELECT * FROM ARTICLE WHERE CB like \"%C\""), (Rows{"ABC", "XABC"}));
  EXPECT_EQ(Column("select Cb from Article where num=3", "CB"), Rows{"XABC"});
  EXPECT_EQ(Column("select * from article where cb=\"\""), Rows{});
  EXPECT_EQ(Column("select * from article where quantite>0 and length(cb)>3"), (Rows{"ABCD", "XABC", "abcd"}));
  // A range after an OR keeps the OR's left side out of it, bracketed or not.
  EXPECT_EQ(Column("select * from article where num = 4 or num between 1 and 2"), (Rows{"ABC", "ABCD", "abcd"}));
  EXPECT_EQ(Column("select * from article where (num in (4) or num between 1 and 2) and quantite>0"),
            (Rows{"ABC", "ABCD", "abcd"}));
  EXPECT_EQ(Column("select * from article where num = 4 or num not between 1 and 3"), Rows{"abcd"});
}

// A pattern read from the record is read again for every record, wherever the table stood when
// the statement was prepared.
TEST_F(ArticleQuery, APatternFromTheRecordIsReadForEachRecord) {
  Add(1, "AB", 1, "N", "A%");
  Add(2, "XY", 0, "N", "A%");
  Add(3, "XZ", 2, "N", "X_");
  table.First();
  EXPECT_EQ(Column("select * from article where cb like lib1", "num"), (Rows{"1", "3"}));
  table.Last();
  EXPECT_EQ(Column("select * from article where cb like lib1", "num"), (Rows{"1", "3"}));
  EXPECT_EQ(Column("select * from article where cb not like lib1", "num"), Rows{"2"});
  // A record whose pattern cannot be computed fails the statement, as any other condition would.
  EXPECT_EQ(ErrorText([&] { Column("select * from article where cb like 10 / quantite"); }),
            "Floating point division by zero");
}

// The width of a computed text column is that of its widest value, not of the value on the
// record current when the statement was prepared.
TEST_F(ArticleQuery, ComputedTextColumnsHoldTheirWidestValues) {
  Add(1, "A", 1, "N", "x");
  Add(2, "ABCDEFGHIJ", 1, "N", "a much longer line");
  table.First();  // "A"
  EXPECT_EQ(Column("select cb + \"!\" as x from article", "x"), (Rows{"A!", "ABCDEFGHIJ!"}));
  EXPECT_EQ(Column("select +cb as x from article", "x"), (Rows{"A", "ABCDEFGHIJ"}));
  EXPECT_EQ(Column("select case when num = 1 then lib1 else cb end as x from article", "x"), (Rows{"x", "ABCDEFGHIJ"}));
  EXPECT_EQ(Column("select lower(lib1) + upper(cb) as x from article", "x"),
            (Rows{"xA", "a much longer lineABCDEFGHIJ"}));
}

TEST_F(ArticleQuery, StatementErrorsCarryTheEngineTexts) {
  Add(1, "A");
  EXPECT_EQ(ErrorText([&] { Column("select * from article where quantite-1>0"); }),
            " syntax error at line : 1, Column: 36, token: -1");
  EXPECT_FALSE(query.Active());
  EXPECT_EQ(Column("select * from article where quantite - 1 > 0"), Rows{});
  EXPECT_EQ(ErrorText([&] { Column("delete from article"); }),
            "You must use UPDATE, DELETE, INSERT or CREATE TABLE only with ExecSQL method !");
  EXPECT_EQ(table.RecordCount(), 1);
  EXPECT_EQ(ErrorText([&] { exec("select * from article"); }),
            "You must use SELECT only with Open method or Active property!");
  EXPECT_EQ(ErrorText([&] { exec("   "); }), "SQL statement cannot be empty");
  EXPECT_EQ(ErrorText([&] { Column("select * from articles"); }), "DataSet articles doesn't exists");
  EXPECT_EQ(ErrorText([&] { Column("select cb from article order by lib1"); }), "Field article.lib1 was not found");
  EXPECT_EQ(ErrorText([&] { Column("select cb from article where nosuch=1"); }), "Field nosuch was not found");
  EXPECT_EQ(ErrorText([&] { Column("select cb from article where num"); }), "Expresion is not of boolean type !");
  EXPECT_EQ(ErrorText([&] { Column("select cb from article order by 2"); }), "Field index incorrect");
  EXPECT_EQ(ErrorText([&] { exec("INSERT INTO article (nosuch) VALUES (1)"); }),
            "INSERT: Field: nosuch does not exist in the dataset");
}

TEST_F(ArticleQuery, OrderByFollowsByteOrderAndTheSortsTieOrder) {
  Add(1, "B", 2, "O");
  Add(2, "a", 5, "N");
  Add(3, "A", 2, "N");
  EXPECT_EQ(Column("select * from article"), (Rows{"A", "B", "a"}));  // the CB tag's order
  EXPECT_EQ(Column("select * from article order by cb"), (Rows{"A", "B", "a"}));
  EXPECT_EQ(Column("select * from article order by cb desc"), (Rows{"a", "B", "A"}));
  EXPECT_EQ(Column("select * from article order by quantite desc , cb"), (Rows{"a", "A", "B"}));
  EXPECT_EQ(Column("select * from article order by topp , cb"), (Rows{"A", "a", "B"}));
  EXPECT_EQ(Column("select * from article order by num desc"), (Rows{"A", "a", "B"}));
  // Equal keys end where the quicksort leaves them, not in scan order.
  EXPECT_EQ(Column("select * from article order by lib2"), (Rows{"a", "B", "A"}));
  EXPECT_EQ(Column("select top 2 cb, num from article order by num"), (Rows{"B", "a"}));
}

TEST_F(ArticleQuery, DistinctKeepsScanOrder) {
  Add(1, "A", 1, "O");
  Add(2, "B", 1, "N");
  Add(3, "C", 1, "N");
  EXPECT_EQ(Column("select distinct topp from article", "topp"), (Rows{"O", "N"}));
  EXPECT_EQ(Column("select distinct topp from article order by topp", "topp"), (Rows{"N", "O"}));
  // Of the equal rows, the first in sorted order is kept: the second key's quicksort puts
  // record 2 before record 3.
  EXPECT_EQ(Column("select distinct topp, quantite from article", "topp"), (Rows{"O", "N"}));
  EXPECT_EQ(query.CurrentResultSet()->sourceBookmark(query.CurrentResultSet()->Row(1)), 2);
}

TEST_F(ArticleQuery, UpdateAndDeleteChangeEveryMatchingRecord) {
  Add(3, "A");
  Add(3, "B");
  Add(4, "C");
  EXPECT_EQ(ErrorText([&] { exec("UPDATE article SET nosuch=1 WHERE num=3"); }), "Field Name nosuch not found");
  EXPECT_EQ(Column("select * from article where topp=\"O\""), Rows{});
  exec("UPDATE article SET topp=\"O\" WHERE num=3");
  EXPECT_EQ(query.ChangedRowCount(), 2);
  EXPECT_EQ(Column("select * from article where topp=\"O\""), (Rows{"A", "B"}));
  // A new barcode moves the record ahead of the scan in CB order: it is still changed once.
  exec("UPDATE article SET cb=\"Z\", quantite=quantite + 1 WHERE num=4");
  EXPECT_EQ(query.ChangedRowCount(), 1);
  EXPECT_EQ(Column("select * from article where num=4", "quantite"), Rows{"2"});
  exec("delete from article where num=3");
  EXPECT_EQ(query.ChangedRowCount(), 2);
  EXPECT_EQ(Column("select * from article"), Rows{"Z"});
}

TEST_F(ArticleQuery, InsertWithOneFieldLeavesTheOthersEmpty) {
  exec("INSERT INTO article (num) VALUES (5)");
  EXPECT_EQ(query.ChangedRowCount(), 1);
  ASSERT_EQ(Column("select * from article", "num"), Rows{"5"});
  EXPECT_EQ(query.FieldByName("cb").AsString(), "");
  EXPECT_EQ(query.FieldByName("quantite").AsInteger(), 0);
  // A value that cannot be read as the field's type cancels the new record.
  EXPECT_NE(ErrorText([&] { exec("INSERT INTO article (num,quantite) VALUES (6, 1.5)"); }), "no error");
  EXPECT_EQ(table.RecordCount(), 1);
  EXPECT_EQ(table.State(), dbase::TDataSetState::dsBrowse);
}

TEST_F(ArticleQuery, ResultFieldsAndTheCursorOfTheOpenQuery) {
  Add(1, "A");
  Add(2, "B");
  Add(3, "C");
  Column("select * from article");
  ASSERT_EQ(query.FieldCount(), 6);
  EXPECT_EQ(query.Fields(0).FieldName(), "NUM");
  EXPECT_EQ(query.Fields(1).FieldName(), "CB");
  EXPECT_EQ(query.Fields(1).Size(), 50);
  EXPECT_EQ(query.Fields(5).FieldName(), "TOPP");
  EXPECT_EQ(query.RecordCount(), 3);
  query.First();
  EXPECT_EQ(query.RecNo(), 1);
  query.Next();
  query.SetRecNo(0);
  EXPECT_EQ(query.RecNo(), 2);
  query.SetRecNo(4);
  EXPECT_EQ(query.RecNo(), 2);
  query.SetRecNo(3);
  EXPECT_EQ(query.FieldByName("cb").AsString(), "C");

  Column("select cb as x, lib1 as x, num as x from article", "x");
  EXPECT_EQ(query.Fields(0).FieldName(), "x");
  EXPECT_EQ(query.Fields(1).FieldName(), "x_1");
  EXPECT_EQ(query.Fields(2).FieldName(), "x_2");
}

// The record buffer is shared by the rows a walk goes through: each row's numbers, flags and
// texts replace the last row's whole, in both directions.
TEST_F(ArticleQuery, EachRowOfAWalkShowsItsOwnValuesOfEveryType) {
  Add(3, "LONGEST BARCODE", 7, "O", "a long first line");
  Add(1, "B", 0, "N", "x");
  Add(2, "CC", 12, "O", "");
  Column("select num, cb, lib1, quantite * 1.5 as f, quantite > 5 as big from article order by num desc");
  struct Expected {
    int num;
    std::string cb;
    std::string lib1;
    double f;
    bool big;
  };
  const std::vector<Expected> expected = {
      {3, "LONGEST BARCODE", "a long first line", 10.5, true}, {2, "CC", "", 18.0, true}, {1, "B", "x", 0.0, false}};
  const auto check = [&](const Expected& row) {
    SCOPED_TRACE(row.num);
    EXPECT_EQ(query.FieldByName("num").AsInteger(), row.num);
    EXPECT_EQ(query.FieldByName("num").AsString(), std::to_string(row.num));
    EXPECT_EQ(query.FieldByName("cb").AsString(), row.cb);
    EXPECT_EQ(query.FieldByName("lib1").AsString(), row.lib1);
    EXPECT_DOUBLE_EQ(query.FieldByName("f").AsFloat(), row.f);
    EXPECT_EQ(query.FieldByName("big").AsBoolean(), row.big);
    EXPECT_FALSE(query.FieldByName("num").IsNull());
  };
  std::size_t at = 0;
  for (query.First(); !query.Eof(); query.Next()) check(expected.at(at++));
  EXPECT_EQ(at, expected.size());
  for (query.Last(); !query.Bof(); query.Prior()) check(expected.at(--at));
  EXPECT_EQ(at, 0u);
  // A query without a current row reads its integer field as null and zero.
  Column("select num from article where num > 100", "num");
  EXPECT_TRUE(query.FieldByName("num").IsNull());
  EXPECT_EQ(query.FieldByName("num").AsInteger(), 0);
  EXPECT_EQ(query.FieldByName("num").AsString(), "");
}

TEST_F(ArticleQuery, RowsAreEditedAndDeletedInTheResultOnly) {
  Add(1, "A");
  Add(2, "B");
  Column("select * from article");
  query.First();
  query.Edit();
  query.FieldByName("cb").setAsString("changed");
  query.Post();
  EXPECT_EQ(query.FieldByName("cb").AsString(), "changed");
  EXPECT_EQ(query.CurrentResultSet()->Fields()[1].AsString(query.CurrentResultSet()->Row(0)), "changed");
  query.Delete();
  EXPECT_EQ(query.RecordCount(), 1);
  EXPECT_EQ(query.FieldByName("cb").AsString(), "B");
  EXPECT_EQ(Column("select * from article"), (Rows{"A", "B"}));
  // Locate scans the result rows.
  EXPECT_TRUE(query.Locate("cb", {std::string("b")}, {dbase::TLocateOption::loCaseInsensitive}));
  EXPECT_EQ(query.RecNo(), 2);
}

TEST_F(ArticleQuery, SeparatorsArePointAndCommaDuringARunAndRestoredAfter) {
  common::formatSettings().decimalSeparator = ',';
  common::formatSettings().thousandSeparator = ' ';
  Add(1, "A");
  char seen = 0;
  query.OnBeforeQuery = [&] { seen = common::formatSettings().decimalSeparator; };
  Column("select num / 4 as q from article", "q");
  EXPECT_EQ(query.FieldByName("q").AsFloat(), 0.25);
  EXPECT_EQ(seen, '.');
  EXPECT_NE(ErrorText([&] { Column("select nosuch from article"); }), "no error");
  EXPECT_EQ(common::formatSettings().decimalSeparator, ',');
  EXPECT_EQ(common::formatSettings().thousandSeparator, ' ');
}

TEST_F(ArticleQuery, AnUpdateThatFailsPartWayLeavesNoPendingChangeForTheNextStatement) {
  Add(1, "A", 2);
  // The barcode is assigned before the quantity's division by zero raises.
  EXPECT_ANY_THROW(exec("UPDATE article  SET cb=\"X\", quantite=1 div 0 WHERE num=1"));
  Add(2, "B");
  EXPECT_EQ(Column("select cb from article"), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(Column("select quantite from article where cb=\"A\"", "quantite"), std::vector<std::string>{"2"});
}

}  // namespace
}  // namespace vekrano::sql
