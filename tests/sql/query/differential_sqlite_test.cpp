// The same SELECTs through the engine and through SQLite over generated tables: both must give
// the same rows under byte-order collation.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/format_settings.h"
#include "sql/query/query.h"
#include "sql/query/query_rows.h"
#include "support/memory_dataset.h"

namespace vekrano::sql {
namespace {

class SqliteDatabase {
 public:
  SqliteDatabase() { sqlite3_open(":memory:", &db_); }
  ~SqliteDatabase() { sqlite3_close(db_); }
  void exec(const std::string& sql) {
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << error;
  }
  Rows Select(const std::string& sql) {
    Rows rows;
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      std::string row;
      for (int c = 0; c < sqlite3_column_count(statement); ++c) {
        const unsigned char* text = sqlite3_column_text(statement, c);
        row += (c == 0 ? "" : "|") + std::string(text != nullptr ? reinterpret_cast<const char*>(text) : "");
      }
      rows.push_back(row);
    }
    sqlite3_finalize(statement);
    return rows;
  }

 private:
  sqlite3* db_ = nullptr;
};

TEST(DifferentialSqliteTest, SelectsAgreeOverGeneratedTables) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    std::mt19937 random(seed);
    testing::MemoryDataset t({{"k", dbase::TFieldType::ftInteger},
                              {"s", dbase::TFieldType::ftString, 6},
                              {"q", dbase::TFieldType::ftInteger},
                              {"n", dbase::TFieldType::ftInteger}});
    SqliteDatabase db;
    db.exec("PRAGMA case_sensitive_like = ON; CREATE TABLE t (k INTEGER, s TEXT, q INTEGER, n INTEGER)");
    const std::string letters = "AaBbZ";
    for (int k = 1; k <= 60; ++k) {
      std::string s;
      for (std::size_t n = 1 + random() % 4; n > 0; --n) s += letters[random() % letters.size()];
      const int q = static_cast<int>(random() % 12);
      // Numbers of one to seven characters, so that texts made of them differ in width.
      const int n = static_cast<int>(random() % 1100000) - 100000;
      t.addRow({std::int64_t{k}, s, std::int64_t{q}, std::int64_t{n}});
      db.exec("INSERT INTO t VALUES (" + std::to_string(k) + ",'" + s + "'," + std::to_string(q) + "," +
              std::to_string(n) + ")");
    }
    TSqlQuery query;
    query.DataSets().Add("t", &t);
    const std::vector<std::string> ordered = {
        "select k, s, q from t where q > 5 order by k",
        "select k, s from t where s >= 'B' and q <> 3 order by k desc",
        "select k from t where (q < 2 or q >= 10) and s < 'b' order by k",
        "select k, s from t where s like 'A%' order by k",
        "select k, s from t where s like 'b_' or s like 'Z%' order by k",
        "select s, k from t where q = 7 order by s, k",
        "select count(*), max(q), min(q), sum(q) from t",
        "select max(s), min(s) from t",
        "select count(*) from t where s like 'a%'",
    };
    for (const std::string& sql : ordered) EXPECT_EQ(engineRows(query, sql), db.Select(sql)) << sql;
    // The dialect's own forms beside SQLite's; each run twice, and after a statement that
    // leaves the table on another record, since no width may come from the current record.
    const std::vector<std::pair<std::string, std::string>> translated = {
        {"select k, n + '1' as c, cast(n as char(10)) as d, n + s as e, cast(s as char(2)) as f from t order by k",
         "select k, n || '1', substr(cast(n as text), 1, 10), n || s, substr(s, 1, 2) from t order by k"},
        {"select k, substring(s, 2, 3), substring(s from 2 for 3), copy(s, 2, 3) from t order by k",
         "select k, substr(s, 2, 3), substr(s, 2, 3), substr(s, 2, 3) from t order by k"},
        {"select count(*) + 'x', cast(sum(n) as char(12)), 'm' + max(n) from t",
         "select count(*) || 'x', substr(cast(sum(n) as text), 1, 12), 'm' || max(n) from t"},
        // An average keeps its fraction; SQLite writes a whole one as "3.0" where the engine
        // writes "3".
        {"select q, avg(k) from t group by q order by q",
         "select q, case when avg(k) = cast(avg(k) as integer) then cast(avg(k) as integer) else avg(k) end "
         "from t group by q order by q"},
    };
    {
      const common::SeparatorGuard decimalPoint('.', ',');
      for (const auto& [mine, theirs] : translated) {
        const Rows expected = db.Select(theirs);
        EXPECT_EQ(engineRows(query, mine), expected) << mine;
        EXPECT_EQ(engineRows(query, mine), expected) << "again: " << mine;
        engineRows(query, "select k from t where k = " + std::to_string(1 + random() % 60));
        EXPECT_EQ(engineRows(query, mine), expected) << "after another record: " << mine;
      }
    }
    // DISTINCT leaves its own order: compare the sets of rows.
    for (const std::string sql : {"select distinct q from t", "select distinct s from t where q < 4"}) {
      Rows mine = engineRows(query, sql);
      Rows theirs = db.Select(sql);
      std::sort(mine.begin(), mine.end());
      std::sort(theirs.begin(), theirs.end());
      EXPECT_EQ(mine, theirs) << sql;
    }
    query.Close();
    t.Close();
  }
}

}  // namespace
}  // namespace vekrano::sql
