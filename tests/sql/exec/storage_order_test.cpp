// A SELECT may read the table in the order its records are stored instead of the index's order;
// nothing of that may show: the rows, their order and the failures are those of the walk, which a
// progress handler forces.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "sql/query/article_query.h"
#include "sql/query/query_rows.h"

namespace vekrano::sql {
namespace {

class StorageOrder : public ArticleQuery {
 protected:
  // Records whose barcodes come in an order unrelated to the record numbers, with repeated
  // barcodes, quantities and marks so that sort keys tie, and some records deleted.
  void Fill(int count) {
    std::mt19937 random(20261209);
    for (int n = 1; n <= count; ++n) {
      const int code = static_cast<int>(random() % 97);
      exec("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(n) + ",\"C" +
           std::to_string(code) + "\",\"" + std::to_string(random() % 1000) + "\",\"\"," +
           std::to_string(random() % 5) + ",\"" + (random() % 3 == 0 ? "O" : "N") + "\")");
    }
    // Accented texts are stored in the OEM code page and read back in the ANSI one.
    exec(
        "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (0,\"C50\",\"Cr\xE8me br\xFBl\xE9"
        "e\",\"\xC0 la\",1,\"N\")");
    exec("DELETE FROM article WHERE quantite = 4 AND topp = \"O\"");
  }
  // The rows of `sql` read in storage order, and read in the walk's order.
  std::pair<Rows, Rows> bothWays(const std::string& sql) {
    query.OnProgress = nullptr;
    Rows stored = engineRows(query, sql);
    query.Close();
    query.OnProgress = [](TProgressStatus, int, int, int) {};
    Rows walked = engineRows(query, sql);
    query.Close();
    query.OnProgress = nullptr;
    return {stored, walked};
  }
  std::string ErrorOf(const std::string& sql) {
    try {
      engineRows(query, sql);
    } catch (const std::exception& error) {
      return error.what();
    }
    return "no error";
  }
};

TEST_F(StorageOrder, RowsAndTheirOrderAreThoseOfTheWalk) {
  Fill(400);
  const std::vector<std::string> statements = {
      "select * from article",
      "select num, cb from article where topp = \"O\"",
      "select * from article order by topp",
      "select num, topp, quantite from article order by quantite desc, topp",
      "select * from article order by num",
      "select * from article order by quantite desc , cb",
      "select * from article order by topp , cb",
      "select num, quantite from article order by quantite",
      "select * from article where cb like \"C1%\" order by cb",
      "select distinct topp, quantite from article",
      "select top 7 * from article order by quantite",
      "select topp, count(*) as n, min(num) as m from article group by topp",
      "select max(num) as nb, count(*) as n, min(cb) as c from article",
      "select num, max(quantite) as q from article where topp = \"N\"",
      "select sum(quantite) as s, avg(num) as a from article",
      "select count(*) as n from article where num > 100000",
      "select * from article where num > 100000 order by cb",
      // Only the records the barcode index finds for a fixed start are visited.
      "select * from article where cb like \"C1%\"",
      "select num, cb from article where cb like \"C2_\" and topp = \"N\"",
      "select count(*) as n, max(num) as m, min(lib1) as l from article where cb like \"C3%\" and quantite > 1",
      "select cb, num from article where cb like \"C4\" order by num",
      "select * from article where cb like \"C%5\" order by topp",
      "select * from article where cb like \"X%\"",
      "select lib1, lib2, num from article where num < 3 order by num",
  };
  for (const std::string& sql : statements) {
    const auto [stored, walked] = bothWays(sql);
    EXPECT_EQ(stored, walked) << sql;
  }
  // The walk's order is the barcode index's, which the record numbers do not follow.
  const Rows rows = bothWays("select cb, num from article").first;
  ASSERT_GT(rows.size(), 300u);
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](const std::string& a, const std::string& b) {
    return a.substr(0, a.find('|')) < b.substr(0, b.find('|'));
  }));
  EXPECT_EQ(bothWays("select count(*) as n from article").first, (Rows{std::to_string(rows.size())}));
  EXPECT_EQ(bothWays("select lib1 from article where num = 0 order by lib1").first, (Rows{"Cr\xE8me br\xFBl\xE9"
                                                                                          "e"}));
}

TEST_F(StorageOrder, AFirstKeyThatRepeatsOnlyAfterTheFirstThousandRowsKeepsTheWalksTieOrder) {
  // The first thousand stored records have distinct numbers; the numbers repeat only in records
  // stored after them, so ties show only once the whole first key is sorted. Their barcodes put
  // them first in the walk, last in storage.
  Fill(1100);
  int late = 0;
  for (const int n : {17, 500, 17, 1099}) {
    exec("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(n) + ",\"A" +
         std::to_string(++late) + "\",\"late\",\"\",2,\"N\")");
  }
  for (const std::string& sql :
       {"select num, cb from article order by num", "select num, topp, cb from article order by num desc , topp"}) {
    const auto [stored, walked] = bothWays(sql);
    ASSERT_GT(stored.size(), 1000u);
    EXPECT_EQ(stored, walked) << sql;
  }
}

TEST_F(StorageOrder, KeysThatTellEveryRowApartGiveTheWalksOrder) {
  // Distinct barcodes in an order unrelated to the record numbers; quantities and marks repeat, so
  // only the keys together tell the rows apart.
  std::mt19937 random(20261210);
  for (int n = 1; n <= 600; ++n) {
    exec("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(n % 50) + ",\"D" +
         std::to_string(n * 7919 % 1009) + "\",\"\",\"\"," + std::to_string(random() % 5) + ",\"" +
         (random() % 3 == 0 ? "O" : "N") + "\")");
  }
  for (const std::string& sql :
       {"select * from article order by quantite desc , cb", "select * from article order by topp , cb",
        "select num, cb from article order by cb desc", "select * from article order by topp desc , quantite , cb",
        "select cb, num from article order by num , cb desc",
        // num and quantite together repeat: the walk's order of ties shows
        "select num, quantite, cb from article order by num , quantite"}) {
    const auto [stored, walked] = bothWays(sql);
    ASSERT_EQ(stored.size(), 600u);
    EXPECT_EQ(stored, walked) << sql;
  }
}

TEST_F(StorageOrder, AFailureIsTheOneTheWalkMeetsFirstAndTheTableStaysUsable) {
  // Record 1 comes last in barcode order, record 3 first: the walk meets "early" first.
  exec("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"Z\",\"late\",\"\",1,\"N\")");
  exec("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (2,\"M\",\"12\",\"\",1,\"N\")");
  exec("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (3,\"A\",\"early\",\"\",1,\"N\")");
  const std::string sql = "select * from article where cast(lib1 as integer) > 3";
  const std::string walked = [&] {
    query.OnProgress = [](TProgressStatus, int, int, int) {};
    const std::string text = ErrorOf(sql);
    query.OnProgress = nullptr;
    return text;
  }();
  EXPECT_NE(walked, "no error");
  EXPECT_NE(walked.find("early"), std::string::npos) << walked;
  EXPECT_EQ(ErrorOf(sql), walked);
  EXPECT_EQ(engineRows(query, "select cb from article"), (Rows{"A", "M", "Z"}));

  // A record the barcode prefix leaves out is never evaluated further, visited or walked.
  EXPECT_EQ(engineRows(query, "select num from article where cb like \"M%\" and cast(lib1 as integer) > 3"),
            (Rows{"2"}));
  const std::string inRange = "select num from article where cb like \"A%\" and cast(lib1 as integer) > 3";
  EXPECT_EQ(ErrorOf(inRange), walked);
}

TEST_F(StorageOrder, TheTableIsLeftAtItsEndAsAWalkLeavesIt) {
  Fill(50);
  const auto placeAfter = [&](bool walked) {
    if (walked) query.OnProgress = [](TProgressStatus, int, int, int) {};
    engineRows(query, "select * from article order by num");
    query.OnProgress = nullptr;
    const bool eof = table.Eof();
    table.Prior();
    return std::to_string(eof) + table.FieldByName("cb").AsString() + table.FieldByName("num").AsString();
  };
  const std::string walked = placeAfter(true);
  EXPECT_EQ(walked.front(), '1');
  EXPECT_EQ(placeAfter(false), walked);
  // A dataset others watch is walked step by step: its scroll events see every record.
  int scrolls = 0;
  table.AfterScroll = [&](dbase::TDataSet&) { ++scrolls; };
  engineRows(query, "select count(*) as n from article");
  EXPECT_GT(scrolls, 40);
}

}  // namespace
}  // namespace vekrano::sql
