// Joins by equalities of the WHERE: the rows of a later table are picked by the value the
// equality asks for instead of walking every combination; rows and their order must be those of
// the walk, which a WHERE that does not start with the equalities still takes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "sql/query/article_query.h"
#include "sql/query/query_rows.h"

namespace vekrano::sql {
namespace {

class JoinEquality : public ArticleQuery {
 protected:
  // Numbers and barcodes repeat, so that one row pairs with several; a record is deleted.
  void Fill(int count) {
    std::mt19937 random(17);
    for (int n = 1; n <= count; ++n) {
      Add(static_cast<int>(random() % (count / 2)), "C" + std::to_string(random() % 7), static_cast<int>(random() % 4),
          random() % 2 == 0 ? "O" : "N", std::to_string(random() % 5));
    }
    exec("delete from article where num = 3");
  }
};

TEST_F(JoinEquality, PickedRowsAreTheWalkedOnesInTheWalksOrder) {
  Fill(36);
  const std::string columns =
      "select a.num, b.num, c.num, a.cb, b.lib1, c.topp from article a, article b, article c where ";
  // Each pair: the equalities first (rows picked), then the same condition walked.
  const std::vector<std::pair<std::string, std::string>> conditions = {
      {"a.num = b.num and b.num = c.num and a.num < 9", "a.num < 9 and a.num = b.num and b.num = c.num"},
      {"a.cb = b.cb and c.num = b.num and c.quantite > 1", "c.quantite > 1 and a.cb = b.cb and c.num = b.num"},
      // Compared as text, as "=" compares a number with a text.
      {"b.lib1 = a.num and c.cb = a.cb and a.topp = \"O\"", "a.topp = \"O\" and b.lib1 = a.num and c.cb = a.cb"},
      {"a.num = c.num and a.cb = b.cb and b.num > a.num", "b.num > a.num and a.num = c.num and a.cb = b.cb"},
  };
  for (const auto& [picked, walked] : conditions) {
    const Rows fast = engineRows(query, columns + picked);
    query.Close();
    const Rows slow = engineRows(query, columns + walked);
    query.Close();
    EXPECT_FALSE(slow.empty()) << walked;
    EXPECT_EQ(fast, slow) << picked;
  }
  // An equality under OR picks nothing: every combination is still looked at.
  const Rows either =
      engineRows(query, "select a.num, b.num from article a, article b where a.num = b.num or b.num = 0");
  query.Close();
  const Rows zeros = engineRows(query, "select num from article where num = 0");
  query.Close();
  const Rows all = engineRows(query, "select num from article");
  query.Close();
  const Rows pairs = engineRows(query, "select a.num, b.num from article a, article b where a.num = b.num");
  query.Close();
  EXPECT_EQ(either.size(), pairs.size() + zeros.size() * all.size() - zeros.size() * zeros.size());
  // A failure the walk meets is met too, when the equalities hold for its records.
  EXPECT_THROW(
      engineRows(query, "select a.num from article a, article b where a.num = b.num and cast(a.cb as integer) > 1"),
      std::exception);
}

}  // namespace
}  // namespace vekrano::sql
