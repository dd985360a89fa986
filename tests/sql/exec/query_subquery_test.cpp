// Subqueries over a real "article" table: run once or again for each outer record, empty results
// with their true meaning, and the outer scan undisturbed when both scan the same table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sql/program/statement_text.h"
#include "sql/query/article_query.h"
#include "sql/query/query_rows.h"
#include "support/memory_dataset.h"

namespace vekrano::sql {
namespace {

using testing::ErrorText;

class SubqueryTest : public ArticleQuery {
 protected:
  SubqueryTest() {
    // Scan order is the order of cb: A, B, C, D, E.
    Add(1, "A", 5, "O");
    Add(2, "B", 2, "O");
    Add(3, "C", 7, "N");
    Add(4, "D", 7, "N");
    Add(5, "E", 1, "N");
  }

  Rows Select(const std::string& sql) { return engineRows(query, sql); }
  // The barcodes of the records that satisfy `condition`, the table named "a".
  Rows Barcodes(const std::string& condition) { return Select("select cb from article a where " + condition); }
};

TEST_F(SubqueryTest, CorrelatedScalarIsRunForEachOuterRecord) {
  // The largest quantity of each topp: 5 for "O", 7 for "N".
  EXPECT_EQ(Select("select num from article a where quantite = "
                   "(select max(quantite) from article b where b.topp = a.topp) order by num"),
            (Rows{"1", "3", "4"}));
  // In a column: how many records of the same topp have a smaller quantity.
  EXPECT_EQ(Select("select cb, (select count(*) from article b where b.topp = a.topp and "
                   "b.quantite < a.quantite) as n from article a"),
            (Rows{"A|1", "B|0", "C|1", "D|1", "E|0"}));
  // A string column keeps its width.
  EXPECT_EQ(Select("select num, (select max(cb) from article b where b.topp = a.topp) as m "
                   "from article a where num < 4 order by num"),
            (Rows{"1|B", "2|B", "3|E"}));
  // A name that the subquery's table also has is its own: b's quantities, not a's.
  EXPECT_EQ(Select("select count(*) from article a where 5 = "
                   "(select max(quantite) from article b where topp = \"O\")"),
            (Rows{"5"}));
}

TEST_F(SubqueryTest, CorrelatedSetsComparedForEachOuterRecord) {
  // Records sharing their quantity with another record.
  EXPECT_EQ(Barcodes("quantite in (select quantite from article b where b.num <> a.num)"), (Rows{"C", "D"}));
  EXPECT_EQ(Barcodes("quantite not in (select quantite from article b where b.num <> a.num)"), (Rows{"A", "B", "E"}));
  // Above every other quantity of the same topp; below at least one.
  EXPECT_EQ(Barcodes("quantite > all (select quantite from article b where b.topp = a.topp and "
                     "b.num <> a.num)"),
            (Rows{"A"}));
  EXPECT_EQ(Barcodes("quantite < any (select quantite from article b where b.topp = a.topp and "
                     "b.num <> a.num)"),
            (Rows{"B", "E"}));
  EXPECT_EQ(Barcodes("quantite >= ALL (select quantite from article b where b.topp = a.topp)"), (Rows{"A", "C", "D"}));
}

TEST_F(SubqueryTest, EmptySubqueriesHaveTheirLogicalMeaning) {
  const std::string none = "(select quantite from article b where b.quantite > 100)";
  EXPECT_EQ(Barcodes("quantite in " + none), Rows{});
  EXPECT_EQ(Barcodes("quantite not in " + none), (Rows{"A", "B", "C", "D", "E"}));
  EXPECT_EQ(Barcodes("quantite > any " + none), Rows{});
  EXPECT_EQ(Barcodes("quantite < all " + none), (Rows{"A", "B", "C", "D", "E"}));
  // Empty for some outer records only: those have no other record of their topp above them.
  EXPECT_EQ(Barcodes("quantite in (select quantite from article b where b.topp = a.topp and "
                     "b.quantite > a.quantite)"),
            Rows{});
  EXPECT_EQ(Barcodes("quantite < all (select quantite from article b where b.topp = a.topp and "
                     "b.quantite > a.quantite) and topp = \"N\""),
            (Rows{"C", "D", "E"}));
  // A text subquery that matches nothing gives no value even for an empty text.
  EXPECT_EQ(Select("select count(*) from article where lib1 in (select cb from article where num > 9)"), Rows{});
  // A scalar subquery without a row still reads as the empty text.
  EXPECT_EQ(Select("select num, (select cb from article where num > 9) as x from article where num = 1"), (Rows{"1|"}));
}

TEST_F(SubqueryTest, UncorrelatedPredicatesKeepTheirMeaning) {
  const std::string topped = "(select quantite from article where topp = \"O\")";  // 5 and 2
  EXPECT_EQ(Barcodes("quantite > any " + topped), (Rows{"A", "C", "D"}));
  EXPECT_EQ(Barcodes("quantite > ALL " + topped), (Rows{"C", "D"}));
  EXPECT_EQ(Barcodes("quantite = any " + topped), (Rows{"A", "B"}));
  // "<> ANY" holds for every value once the subquery gave two different ones.
  EXPECT_EQ(Barcodes("quantite <> any " + topped), (Rows{"A", "B", "C", "D", "E"}));
  EXPECT_EQ(Barcodes("quantite <> all " + topped), (Rows{"C", "D", "E"}));
  // NOT applies to the whole predicate, not to its left operand.
  EXPECT_EQ(Barcodes("not quantite in " + topped), (Rows{"C", "D", "E"}));
  EXPECT_EQ(Barcodes("num > 1 and quantite + 1 in (select quantite + 1 from article where topp = \"O\")"), (Rows{"B"}));
  // Text subqueries compare byte by byte.
  EXPECT_EQ(Barcodes("cb > all (select cb from article where topp = \"O\")"), (Rows{"C", "D", "E"}));
}

TEST_F(SubqueryTest, ChangesSeeTheTableAsItWasBeforeTheStatement) {
  // The subquery runs over a snapshot: D still compares with the 7 of C, not with C's new 17.
  exec(
      "update article set quantite = quantite + 10 where quantite = "
      "(select max(quantite) from article b where b.topp = article.topp)");
  EXPECT_EQ(query.ChangedRowCount(), 3);
  EXPECT_EQ(Select("select cb, quantite from article"), (Rows{"A|15", "B|2", "C|17", "D|17", "E|1"}));
  exec("delete from article where quantite < (select max(quantite) from article b where b.topp = article.topp)");
  EXPECT_EQ(query.ChangedRowCount(), 2);
  EXPECT_EQ(Select("select cb from article"), (Rows{"A", "C", "D"}));
  exec("delete from article where num in (select num from article where topp = \"N\")");
  EXPECT_EQ(query.ChangedRowCount(), 2);
  EXPECT_EQ(Select("select cb from article"), (Rows{"A"}));
}

TEST_F(SubqueryTest, ErrorsOfSubqueries) {
  EXPECT_EQ(ErrorText([&] { Barcodes("num in (select num, cb from article b where b.num = a.num)"); }),
            "Subquery with more than one column");
  EXPECT_EQ(ErrorText([&] { Barcodes("num in (select num from article b, article c where b.num = a.num)"); }),
            "More than one table in FROM clause in subquery");
  EXPECT_EQ(ErrorText([&] { Barcodes("num = (select max(num) from article b where nosuch = a.num)"); }),
            "Field nosuch was not found");
  EXPECT_FALSE(query.Active());
}

// A text holding both quote characters comes back whole where the engine writes a value into the
// statement: an uncorrelated scalar subquery's value, and MIN and MAX of a text.
TEST_F(SubqueryTest, TextsHoldingBothQuotesAreWrittenBackWhole) {
  const std::string both = "O'Brien 5\" tall";
  const std::string least = "\"'";
  const std::string most = "z'y\"x";
  exec("UPDATE article SET lib1 = " + textLiteral(both) + " WHERE num = 3");
  exec("UPDATE article SET lib1 = " + textLiteral(least) + " WHERE num = 5");
  exec("UPDATE article SET lib1 = " + textLiteral(most) + " WHERE num = 4");
  EXPECT_EQ(Barcodes("lib1 = (select lib1 from article where num = 3)"), Rows{"C"});
  EXPECT_EQ(Select("select num, (select lib1 from article where num = 3) as l from article where num = 1"),
            Rows{"1|" + both});
  EXPECT_EQ(Barcodes("lib1 in (select lib1 from article where num >= 3)"), (Rows{"C", "D", "E"}));
  EXPECT_EQ(Barcodes("lib1 not in (select lib1 from article where num >= 4)"), (Rows{"A", "B", "C"}));
  EXPECT_EQ(Select("select min(lib1), max(lib1) from article"), Rows{least + "|" + most});
  EXPECT_EQ(Select("select topp, max(lib1) from article group by topp having min(lib1) <> 'l' order by topp"),
            Rows{"N|" + most});
  EXPECT_EQ(Barcodes("lib1 = (select min(lib1) from article)"), Rows{"E"});
  EXPECT_EQ(Barcodes("lib1 = (select max(lib1) from article b where b.topp = a.topp)"), (Rows{"A", "B", "D"}));
}

// Text that looks like the engine's stand-ins for aggregates and subqueries stays text, and the
// stand-in itself is still replaced (a literal holding one used to be replaced over and over).
TEST_F(SubqueryTest, LiteralsThatLookLikeStandInsStayText) {
  EXPECT_EQ(Select("select max(cb + '{Aggregate 0}') as m from article"), Rows{"E{Aggregate 0}"});
  EXPECT_EQ(Select("select count(*), max(cb) + \"{Aggregate 0}\" as m from article"), Rows{"5|E{Aggregate 0}"});
  EXPECT_EQ(Barcodes("lib1 = '({Subquery 0})' or num in (select num from article where num = 2)"), Rows{"B"});
  EXPECT_EQ(Barcodes("lib1 <> \"({Subquery 0})\" and cb = (select max(cb) from article)"), Rows{"E"});
}

// Two levels: the innermost subquery names the outermost statement's table.
TEST_F(SubqueryTest, NestedSubqueriesReachEveryEnclosingStatement) {
  EXPECT_EQ(Barcodes("num in (select num from article b where b.quantite = "
                     "(select max(quantite) from article c where c.topp = a.topp))"),
            (Rows{"A", "C", "D"}));
  // The uncorrelated innermost subquery runs once inside a correlated one.
  EXPECT_EQ(Barcodes("quantite = (select max(quantite) from article b where b.topp = a.topp and "
                     "b.num in (select num from article where quantite < 6))"),
            (Rows{"A", "E"}));
}

// Names a subquery's own table lacks, over two in-memory tables.
TEST(SubqueryScope, UnqualifiedNamesFallBackToTheEnclosingTables) {
  using dbase::TFieldType;
  vekrano::testing::MemoryDataset customer{{{"id", TFieldType::ftInteger}, {"name", TFieldType::ftString, 10}}};
  vekrano::testing::MemoryDataset orders{
      {{"no", TFieldType::ftInteger}, {"cust", TFieldType::ftInteger}, {"qty", TFieldType::ftInteger}}};
  customer.addRow({std::int64_t{10}, std::string("Ann")});
  customer.addRow({std::int64_t{20}, std::string("Bob")});
  customer.addRow({std::int64_t{30}, std::string("Cid")});
  orders.addRow({std::int64_t{1}, std::int64_t{10}, std::int64_t{5}});
  orders.addRow({std::int64_t{2}, std::int64_t{10}, std::int64_t{7}});
  orders.addRow({std::int64_t{3}, std::int64_t{20}, std::int64_t{2}});
  TSqlQuery query;
  query.DataSets().Add("customer", &customer);
  query.DataSets().Add("orders", &orders);
  // "id" is a field of customer only.
  EXPECT_EQ(engineRows(query,
                       "select name, (select sum(qty) from orders where cust = id) as total "
                       "from customer"),
            (Rows{"Ann|12", "Bob|2", "Cid|0"}));
  EXPECT_EQ(engineRows(query, "select name from customer where 0 < all (select qty from orders where cust = id)"),
            (Rows{"Ann", "Bob", "Cid"}));
  EXPECT_EQ(engineRows(query, "select name from customer where 3 < any (select qty from orders where cust = id)"),
            (Rows{"Ann"}));
  // Over a join, each pair of records is an outer record.
  EXPECT_EQ(engineRows(query,
                       "select c.name, o.no from customer c, orders o where c.id = o.cust and "
                       "o.qty = (select max(qty) from orders p where p.cust = c.id)"),
            (Rows{"Ann|2", "Bob|3"}));
}

}  // namespace
}  // namespace vekrano::sql
