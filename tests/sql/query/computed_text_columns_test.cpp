// Text columns computed from numbers, casts and aggregates hold every value whole, whichever
// record the table stands on when the statement starts; averages are float columns.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "sql/query/article_query.h"
#include "sql/query/query_rows.h"

namespace vekrano::sql {
namespace {

class ComputedTextColumns : public ArticleQuery {
 protected:
  // The rows of `sql` with the table first reopened (it stands on its first record, as in a
  // fresh process), then run again at once, then after an UPDATE that leaves the table on
  // another record: the three must agree.
  Rows sameEveryWay(const std::string& sql, const std::string& otherRecord) {
    table.Close();
    table.Open();
    const Rows fresh = engineRows(query, sql);
    EXPECT_EQ(engineRows(query, sql), fresh) << "again: " << sql;
    exec("UPDATE article SET topp=\"N\" WHERE cb=\"" + otherRecord + "\"");
    EXPECT_EQ(engineRows(query, sql), fresh) << "after another record: " << sql;
    return fresh;
  }
};

TEST_F(ComputedTextColumns, NumbersTurnedIntoTextAreNeverCut) {
  // quantite is numeric 3: from -99 to 999.
  Add(1, "A", 5);
  Add(2, "B", 999);
  Add(3, "C", -99);
  const std::string sql =
      "select num, quantite + \"1\" as c, cast(quantite as char(10)) as d, num + cb as e from article";
  for (const std::string& other : {"A", "B", "C"}) {
    EXPECT_EQ(sameEveryWay(sql, other), (Rows{"1|51|5|1A", "2|9991|999|2B", "3|-991|-99|3C"})) << other;
  }
  EXPECT_EQ(query.FieldByName("d").DataType(), dbase::TFieldType::ftString);
  EXPECT_EQ(query.FieldByName("d").Size(), 10);
}

TEST_F(ComputedTextColumns, CastToCharHoldsItsDeclaredLength) {
  Add(1, "A", 5, "N", "abcdef");
  Add(2, "B", 7, "N", "abcxyz");
  Add(3, "C", 7, "N", "ab");
  EXPECT_EQ(sameEveryWay("select cast(lib1 as char(3)) as p, cast(quantite * 1000 as char(4)) as q from article", "C"),
            (Rows{"abc|5000", "abc|7000", "ab|7000"}));
  EXPECT_EQ(query.FieldByName("p").Size(), 3);
  // The value is cut where the column is, so equal shown values are equal rows.
  EXPECT_EQ(engineRows(query, "select distinct cast(lib1 as char(3)) as p from article order by p"),
            (Rows{"ab", "abc"}));
  EXPECT_EQ(engineRows(query, "select cast(lib1 as char(3)) + \"!\" as p from article"), (Rows{"abc!", "abc!", "ab!"}));
}

TEST_F(ComputedTextColumns, AggregatesTurnedIntoTextAreNeverCut) {
  // Twelve records of 999: the count has two digits, the sum five, each wider than the typing
  // of a constant or of the three-digit field.
  for (int n = 1; n <= 12; ++n) Add(n, "C" + std::to_string(n), 999);
  EXPECT_EQ(sameEveryWay("select count(*) + \"x\" as c, cast(sum(quantite) as char(8)) as s, "
                         "max(quantite) + \"\" as m, \"n\" + count(topp) as t from article",
                         "C3"),
            Rows{"12x|11988|999|n12"});
  // A count is a whole number whatever it counts.
  engineRows(query, "select count(topp) as n, count(*) as a from article");
  EXPECT_EQ(query.FieldByName("n").DataType(), dbase::TFieldType::ftInteger);
  EXPECT_EQ(query.FieldByName("n").AsInteger(), 12);
  EXPECT_EQ(query.FieldByName("a").DataType(), dbase::TFieldType::ftInteger);
}

// Averages and deviations of whole numbers are float columns, as a deliberate change from
// typing them by their argument, which rounded the average to a whole number.
TEST_F(ComputedTextColumns, AveragesAndDeviationsOfIntegersAreFloats) {
  Add(1, "A", 1);
  Add(2, "B", 2);
  engineRows(query, "select avg(quantite) as a, stdev(quantite) as s, sum(quantite) as t from article");
  EXPECT_EQ(query.FieldByName("a").DataType(), dbase::TFieldType::ftFloat);
  EXPECT_DOUBLE_EQ(query.FieldByName("a").AsFloat(), 1.5);
  EXPECT_EQ(query.FieldByName("s").DataType(), dbase::TFieldType::ftFloat);
  // sqrt((1 + 4 - 9 / 2) / 1)
  EXPECT_DOUBLE_EQ(query.FieldByName("s").AsFloat(), std::sqrt(0.5));
  EXPECT_EQ(query.FieldByName("t").DataType(), dbase::TFieldType::ftInteger);
  EXPECT_EQ(query.FieldByName("t").AsInteger(), 3);
  // The average as text carries its fraction with a point.
  EXPECT_EQ(engineRows(query, "select avg(quantite) + \"\" as a from article"), Rows{"1.5"});
}

TEST_F(ComputedTextColumns, SubstringTakesCommasAsWellAsFromAndFor) {
  Add(1, "A", 1, "N", "abcdef");
  Add(2, "B", 1, "N", "xy");
  const Rows expected = {"bcd|ef", "y|"};
  EXPECT_EQ(engineRows(query, "select substring(lib1, 2, 3) as s, substring(lib1, 5, 10) as t from article"), expected);
  EXPECT_EQ(engineRows(query,
                       "select substring(lib1 from 2 for 3) as s, substring(lib1 from 5 for 10) as t "
                       "from article"),
            expected);
  EXPECT_EQ(engineRows(query, "select copy(lib1, 2, 3) as s, copy(lib1, 5, 10) as t from article"), expected);
  EXPECT_EQ(engineRows(query, "select num from article where SUBSTRING(lib1, 1, 2) = \"ab\""), Rows{"1"});
}

}  // namespace
}  // namespace vekrano::sql
