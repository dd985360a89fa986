// Outer joins, self-joins and TRANSFORM ... PIVOT over small in-memory tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sql/query/query.h"
#include "sql/query/query_rows.h"
#include "support/memory_dataset.h"

namespace vekrano::sql {
namespace {

using dbase::TFieldType;
using testing::MemoryDataset;

class JoinQuery : public ::testing::Test {
 protected:
  JoinQuery() {
    // Orders 1 and 2 belong to customer 10, order 3 to customer 99 who does not exist;
    // customer 20 has no order.
    customer.addRow({std::int64_t{10}, std::string("Ann")});
    customer.addRow({std::int64_t{20}, std::string("Bob")});
    orders.addRow({std::int64_t{1}, std::int64_t{10}, std::int64_t{5}});
    orders.addRow({std::int64_t{2}, std::int64_t{10}, std::int64_t{7}});
    orders.addRow({std::int64_t{3}, std::int64_t{99}, std::int64_t{2}});
    query.DataSets().Add("customer", &customer);
    query.DataSets().Add("orders", &orders);
    query.AutoDisableControls = false;
  }

  Rows Select(const std::string& sql) { return engineRows(query, sql); }

  MemoryDataset customer{{{"id", TFieldType::ftInteger}, {"name", TFieldType::ftString, 10}}};
  MemoryDataset orders{
      {{"no", TFieldType::ftInteger}, {"cust", TFieldType::ftInteger}, {"qty", TFieldType::ftInteger}}};
  TSqlQuery query;
};

TEST_F(JoinQuery, OuterJoinsKeepTheUnmatchedSide) {
  EXPECT_EQ(Select("select c.name, o.no from customer c inner join orders o on c.id = o.cust "
                   "order by o.no"),
            (Rows{"Ann|1", "Ann|2"}));
  EXPECT_EQ(Select("select c.name, o.no from customer c left outer join orders o on c.id = o.cust "
                   "order by o.no"),
            (Rows{"Bob|", "Ann|1", "Ann|2"}));
  EXPECT_EQ(Select("select c.name, o.no from customer c right outer join orders o on c.id = o.cust "
                   "order by o.no"),
            (Rows{"Ann|1", "Ann|2", "|3"}));
  EXPECT_EQ(Select("select c.name, o.no from customer c full outer join orders o on c.id = o.cust "
                   "order by o.no, c.name"),
            (Rows{"Bob|", "Ann|1", "Ann|2", "|3"}));
}

TEST_F(JoinQuery, TheQuerysFieldsAreNullWhereTheJoinFoundNoRow) {
  query.SQL().Add(
      "select c.name, o.no from customer c left outer join orders o on c.id = o.cust "
      "order by o.no");
  query.Open();
  std::vector<bool> names;
  std::vector<bool> numbers;
  for (query.First(); !query.Eof(); query.Next()) {
    names.push_back(query.Fields(0).IsNull());
    numbers.push_back(query.Fields(1).IsNull());
  }
  EXPECT_EQ(names, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(numbers, (std::vector<bool>{true, false, false}));
  query.Close();
}

TEST_F(JoinQuery, WhereSeesTheNullsOfAnOuterJoinedTable) {
  // The customers without an order: WHERE names the outer-joined table and tests it for null.
  EXPECT_EQ(Select("select c.name from customer c left outer join orders o on c.id = o.cust "
                   "where o.no is null"),
            (Rows{"Bob"}));
  // A comparison with a null field is false, so the unmatched customer drops out.
  EXPECT_EQ(Select("select c.name, o.qty from customer c left outer join orders o on c.id = o.cust "
                   "where o.qty > 5"),
            (Rows{"Ann|7"}));
  EXPECT_EQ(Select("select o.no from customer c right outer join orders o on c.id = o.cust "
                   "where c.name is null"),
            (Rows{"3"}));
}

TEST_F(JoinQuery, SelfJoinReadsTheTableTwice) {
  // Pairs of different orders of the same customer.
  EXPECT_EQ(Select("select a.no, b.no from orders a inner join orders b on a.cust = b.cust "
                   "where a.no < b.no"),
            (Rows{"1|2"}));
  // Each order with every order of a larger quantity, through an equality in WHERE.
  EXPECT_EQ(Select("select a.no, b.no from orders a, orders b where a.cust = b.cust and "
                   "b.qty > a.qty"),
            (Rows{"1|2"}));
  EXPECT_EQ(Select("select count(*) from orders a, orders b where a.cust = b.cust"), (Rows{"5"}));
}

TEST_F(JoinQuery, HiddenFieldsOfJoinedTablesCanBeNamedButStayOutOfStar) {
  orders.Open();
  orders.FieldByName("qty").setVisible(false);
  EXPECT_EQ(Select("select c.name, o.qty from customer c inner join orders o on c.id = o.cust "
                   "where o.qty > 5"),
            (Rows{"Ann|7"}));
  EXPECT_EQ(Select("select name, qty from customer, orders where id = cust order by qty desc"),
            (Rows{"Ann|7", "Ann|5"}));
  // As on the table alone.
  EXPECT_EQ(Select("select qty from orders where no = 3"), (Rows{"2"}));
  EXPECT_EQ(Select("select * from customer c, orders o where c.id = o.cust and o.qty = 5"), (Rows{"10|Ann|1|10"}));
  EXPECT_EQ(Select("select o.* from orders o, orders p where o.no = p.no and p.qty = 2"), (Rows{"3|99"}));
}

TEST_F(JoinQuery, TransformPivotsTheAggregateIntoOneColumnPerValue) {
  orders.addRow({std::int64_t{4}, std::int64_t{20}, std::int64_t{5}});
  orders.addRow({std::int64_t{5}, std::int64_t{10}, std::int64_t{5}});
  query.Close();
  query.SQL().Clear();
  query.SQL().Add("transform sum(no) select cust from orders group by cust pivot qty");
  query.Open();
  ASSERT_EQ(query.FieldCount(), 4);
  EXPECT_EQ(query.Fields(0).FieldName(), "cust");
  EXPECT_EQ(query.Fields(1).FieldName(), "2");
  EXPECT_EQ(query.Fields(2).FieldName(), "5");
  EXPECT_EQ(query.Fields(3).FieldName(), "7");
  // Customer 10: orders 1 and 5 of quantity 5, order 2 of quantity 7; a missing cell is null.
  EXPECT_EQ(Select("transform sum(no) select cust from orders group by cust pivot qty"),
            (Rows{"10||6|2", "20||4|", "99|3||"}));
  EXPECT_EQ(Select("transform count(*) select cust from orders where qty > 2 group by cust "
                   "order by cust desc pivot qty"),
            (Rows{"20|1|", "10|2|1"}));
}

}  // namespace
}  // namespace vekrano::sql
