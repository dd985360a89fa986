// The list's statements over enough records to fill several blocks of rows and texts: the rows a
// walk shows, both ways, against the order the test works out itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "sql/query/article_query.h"
#include "sql/query/query_rows.h"

namespace vekrano::sql {
namespace {

struct Record {
  int num;
  std::string cb;
  int quantite;
  std::string topp;
  std::string lib1;
};

class ListStatementRows : public ArticleQuery {
 protected:
  void SetUp() override {
    std::mt19937 random(31);
    for (int num = 1; num <= 700; ++num) {
      // Distinct barcodes of 2 to 50 characters, so that every order asked for is one order.
      const std::size_t length = 1 + random() % 45;
      Record record{num, "C" + std::to_string((num * 389) % 701) + std::string(length, 'x'), static_cast<int>(random() % 10),
                    random() % 3 == 0 ? "O" : "N", std::string(random() % 100, static_cast<char>('a' + num % 26))};
      record.cb.resize(std::min<std::size_t>(record.cb.size(), 50));
      Add(record.num, record.cb, record.quantite, record.topp, record.lib1);
      records.push_back(record);
    }
  }

  // The rows as the shell prints them: num, cb, quantite, topp, lib1.
  static std::string rowOf(const Record& r) {
    return std::to_string(r.num) + "|" + r.cb + "|" + std::to_string(r.quantite) + "|" + r.topp + "|" + r.lib1;
  }
  Rows expected(const std::vector<Record>& ordered) const {
    Rows rows;
    for (const Record& r : ordered) rows.push_back(rowOf(r));
    return rows;
  }
  // The rows of `sql` walked forward, and checked to be the same walked backward.
  Rows walk(const std::string& sql) {
    const Rows forward = engineRows(query, sql);
    Rows backward;
    for (query.Last(); !query.Bof(); query.Prior()) {
      std::string row;
      for (int c = 0; c < query.FieldCount(); ++c) row += (c == 0 ? "" : "|") + query.Fields(c).AsString();
      backward.insert(backward.begin(), row);
    }
    EXPECT_EQ(backward, forward) << sql;
    return forward;
  }

  std::vector<Record> records;
};

TEST_F(ListStatementRows, OrdersFiltersAndGroupsOverManyRowsMatchTheTestsOwn) {
  const std::string columns = "select num, cb, quantite, topp, lib1 from article ";
  std::vector<Record> byNum = records;
  EXPECT_EQ(walk(columns + "order by num"), expected(byNum));

  std::vector<Record> byQuantity = records;
  std::sort(byQuantity.begin(), byQuantity.end(), [](const Record& a, const Record& b) {
    return std::tie(b.quantite, a.cb) < std::tie(a.quantite, b.cb);
  });
  EXPECT_EQ(walk(columns + "order by quantite desc , cb"), expected(byQuantity));

  std::vector<Record> filtered;
  for (const Record& r : records) {
    if (r.cb.rfind("C1", 0) == 0 && r.topp == "O") filtered.push_back(r);
  }
  std::sort(filtered.begin(), filtered.end(), [](const Record& a, const Record& b) { return a.cb < b.cb; });
  ASSERT_GT(filtered.size(), 10u);
  EXPECT_EQ(walk(columns + "where cb like 'C1%' and topp='O' order by cb"), expected(filtered));

  // Grouped results keep their texts in the rows: the longest line per mark, and DISTINCT.
  std::string longestO;
  std::string longestN;
  for (const Record& r : records) (r.topp == "O" ? longestO : longestN) = std::max(r.topp == "O" ? longestO : longestN, r.lib1);
  EXPECT_EQ(walk("select topp, max(lib1) as m from article group by topp order by topp"),
            (Rows{"N|" + longestN, "O|" + longestO}));
  EXPECT_EQ(walk("select distinct topp from article order by topp desc"), (Rows{"O", "N"}));
}

}  // namespace
}  // namespace vekrano::sql
