// What one statement costs beside SQLite on the same records, each engine's own way in one
// process: "select max(num) as nb from article" over 10 and 99,999 records (the fixed cost of a
// statement against its cost per record), the three-way self-join on equalities over 400
// and 10,000 records, and the import's INSERT of one new record, 10,000 times into an empty table.
// SQLite parses each statement afresh too. Compare the lines of one run.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "dbase/table/table_dataset.h"
#include "records/article_table.h"
#include "sql/query/query.h"

namespace {

namespace fs = std::filesystem;
using vekrano::sql::TSqlQuery;

constexpr const char* kMaxNum = "select max(num) as nb from article";
constexpr const char* kThreeWayJoin =
    "select a.num, b.num, c.num from article a, article b, article c "
    "where a.num = b.num and b.num = c.num and a.num < 20";

std::string barcodeOf(int n, int count) { return "CB" + std::to_string((n * 7919) % count); }

// An empty folder of that name in the temporary folder.
fs::path emptyFolder(const std::string& name) {
  const fs::path path = fs::temp_directory_path() / name;
  fs::remove_all(path);
  fs::create_directories(path);
  return path;
}

// article.db in `folder`, made with the application's columns and an index on the barcode, inside
// a transaction begun.
sqlite3* sqliteArticleInTransaction(const fs::path& folder) {
  sqlite3* db = nullptr;
  sqlite3_open((folder / "article.db").c_str(), &db);
  sqlite3_exec(db,
               "create table article (num integer, cb text, lib1 text, lib2 text, quantite integer, topp text);"
               "create index cb on article (cb); begin",
               nullptr, nullptr, nullptr);
  return db;
}

// A folder holding article.dbf with `count` records and article.db with the same rows (an index
// on cb in both), made once per count.
const fs::path& folderOf(int count) {
  static std::map<int, fs::path> folders;
  auto found = folders.find(count);
  if (found != folders.end()) return found->second;
  const fs::path path = emptyFolder("vekrano_statement_bench_" + std::to_string(count));
  vekrano::dbase::TTzDbf table("tarticle");
  vekrano::records::configureArticleTable(table, path.string());
  table.Open();
  sqlite3* db = sqliteArticleInTransaction(path);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "insert into article values (?, ?, ?, '', ?, ?)", -1, &insert, nullptr);
  for (int n = 1; n <= count; ++n) {
    const std::string cb = barcodeOf(n, count);
    const std::string lib1 = "line " + std::to_string(n);
    const char* topp = n % 3 == 0 ? "O" : "N";
    table.Append();
    table.FieldByName("num").setAsInteger(n);
    table.FieldByName("cb").setAsString(cb);
    table.FieldByName("lib1").setAsString(lib1);
    table.FieldByName("quantite").setAsInteger(n % 10);
    table.FieldByName("topp").setAsString(topp);
    table.Post();
    sqlite3_bind_int(insert, 1, n);
    sqlite3_bind_text(insert, 2, cb.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 3, lib1.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 4, n % 10);
    sqlite3_bind_text(insert, 5, topp, -1, SQLITE_STATIC);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  table.Close();
  return folders.emplace(count, path).first->second;
}

// The statement through the query the application sends it with, over the table opened shared.
void runVekrano(benchmark::State& state, const char* sql) {
  vekrano::dbase::TTzDbf table("tarticle");
  vekrano::records::configureArticleTable(table, folderOf(static_cast<int>(state.range(0))).string());
  table.Open();
  TSqlQuery query;
  query.DataSets().Add("article", &table);
  query.AutoDisableControls = false;
  int rows = 0;
  for (auto _ : state) {
    query.Close();
    query.SQL().Clear();
    query.SQL().Add(sql);
    query.Open();
    rows = query.RecordCount();
    benchmark::DoNotOptimize(rows);
  }
  query.Close();
  table.Close();
  state.counters["rows"] = rows;
}

// The same statement prepared, stepped through and finalized by SQLite.
void runSqlite(benchmark::State& state, const char* sql) {
  sqlite3* db = nullptr;
  sqlite3_open((folderOf(static_cast<int>(state.range(0))) / "article.db").c_str(), &db);
  int rows = 0;
  for (auto _ : state) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) ++rows;
    sqlite3_finalize(statement);
    benchmark::DoNotOptimize(rows);
  }
  sqlite3_close(db);
  state.counters["rows"] = rows;
}

void BM_MaxNumVekrano(benchmark::State& state) { runVekrano(state, kMaxNum); }
void BM_MaxNumSqlite(benchmark::State& state) { runSqlite(state, kMaxNum); }
BENCHMARK(BM_MaxNumVekrano)->Arg(10)->Arg(99999)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MaxNumSqlite)->Arg(10)->Arg(99999)->Unit(benchmark::kMicrosecond);

void BM_ThreeWayJoinVekrano(benchmark::State& state) { runVekrano(state, kThreeWayJoin); }
void BM_ThreeWayJoinSqlite(benchmark::State& state) { runSqlite(state, kThreeWayJoin); }
BENCHMARK(BM_ThreeWayJoinVekrano)->Arg(400)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeWayJoinSqlite)->Arg(400)->Arg(10000)->Unit(benchmark::kMillisecond);

// The INSERT the import sends for the n-th line of a CSV file, blanks as it writes them.
std::string importInsert(int n) {
  const std::string number = std::to_string(n);
  return "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + number + ",\"3760" +
         std::to_string(12345678 + n * 7919) + "\",\"Article " + std::to_string(n % 5000) + " lot " + number +
         "\", \"Rayon " + std::to_string(n % 40) + "\", " + std::to_string(1 + n % 9) + ", \"O\" )";
}

// One INSERT per iteration through the query the application sends them with, in one run of
// appends as the import holds it. With `freshQuery`, each statement goes through a query of its
// own, so that nothing parsed for one statement serves the next.
void insertVekrano(benchmark::State& state, bool freshQuery) {
  const fs::path folder = emptyFolder("vekrano_insert_bench");
  vekrano::dbase::TTzDbf table("tarticle");
  vekrano::records::configureArticleTable(table, folder.string());
  table.Open();
  table.beginAppendRun();
  TSqlQuery longLived;
  const auto prepare = [&](TSqlQuery& query) {
    query.DataSets().Add("article", &table);
    query.AutoDisableControls = false;
  };
  prepare(longLived);
  int n = 0;
  for (auto _ : state) {
    const std::string statement = importInsert(++n);
    std::unique_ptr<TSqlQuery> own;
    if (freshQuery) prepare(*(own = std::make_unique<TSqlQuery>()));
    TSqlQuery& query = freshQuery ? *own : longLived;
    query.Close();
    query.SQL().Clear();
    query.SQL().Add(statement);
    query.ExecSQL();
  }
  table.endAppendRun();
  state.counters["records"] = table.RecordCount();
  table.Close();
  fs::remove_all(folder);
}

// The same statements prepared, stepped and finalized by SQLite inside one transaction, over a
// table with an index on the barcode.
void insertSqlite(benchmark::State& state) {
  const fs::path folder = emptyFolder("vekrano_insert_bench_sqlite");
  sqlite3* db = sqliteArticleInTransaction(folder);
  int n = 0;
  for (auto _ : state) {
    const std::string statement = importInsert(++n);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, statement.c_str(), -1, &insert, nullptr);
    sqlite3_step(insert);
    sqlite3_finalize(insert);
  }
  sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
  sqlite3_stmt* count = nullptr;
  sqlite3_prepare_v2(db, "select count(*) from article", -1, &count, nullptr);
  sqlite3_step(count);
  state.counters["records"] = sqlite3_column_int(count, 0);
  sqlite3_finalize(count);
  sqlite3_close(db);
  fs::remove_all(folder);
}

void BM_ImportInsertVekrano(benchmark::State& state) { insertVekrano(state, false); }
void BM_ImportInsertVekranoQueryEach(benchmark::State& state) { insertVekrano(state, true); }
void BM_ImportInsertSqlite(benchmark::State& state) { insertSqlite(state); }
BENCHMARK(BM_ImportInsertVekrano)->Iterations(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImportInsertVekranoQueryEach)->Iterations(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImportInsertSqlite)->Iterations(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
