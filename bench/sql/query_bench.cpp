// The application's heaviest statements over 99,999 article records, to set beside the sqlite3
// shell on the same records (compare_sqlite.sh).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "records/article_table.h"
#include "dbase/table/table_dataset.h"
#include "sql/query/query.h"

namespace {

using vekrano::sql::TSqlQuery;

constexpr int kRecords = 99999;

// A folder holding article.dbf with kRecords records, made once per process.
const std::string& articleFolder() {
  static const std::string folder = [] {
    std::string path = (std::filesystem::temp_directory_path() / "vekrano_sql_bench").string();
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    vekrano::dbase::TTzDbf table("tarticle");
    vekrano::records::configureArticleTable(table, path);
    table.Open();
    for (int n = 1; n <= kRecords; ++n) {
      table.Append();
      table.FieldByName("num").setAsInteger(n);
      table.FieldByName("cb").setAsString("CB" + std::to_string((n * 7919) % kRecords));
      table.FieldByName("lib1").setAsString("line " + std::to_string(n));
      table.FieldByName("quantite").setAsInteger(n % 10);
      table.FieldByName("topp").setAsString(n % 3 == 0 ? "O" : "N");
      table.Post();
    }
    table.Close();
    return path;
  }();
  return folder;
}

// state.range(0): 0 opens the table shared as the application does, 1 exclusively (no index
// semaphore around each step of the walk).
void openArticle(vekrano::dbase::TTzDbf& table, const benchmark::State& state) {
  vekrano::records::configureArticleTable(table, articleFolder());
  table.setExclusive(state.range(0) != 0);
  table.Open();
}

// `walked`: a progress handler watches the scan, which then walks the index order record by
// record instead of reading the table in storage order or through the index's prefix.
void runSelect(benchmark::State& state, const std::string& sql, bool walked = false) {
  vekrano::dbase::TTzDbf table("tarticle");
  openArticle(table, state);
  TSqlQuery query;
  query.DataSets().Add("article", &table);
  query.AutoDisableControls = false;
  if (walked) query.OnProgress = [](vekrano::sql::TProgressStatus, int, int, int) {};
  query.SQL().Add(sql);
  for (auto _ : state) {
    query.Open();
    benchmark::DoNotOptimize(query.RecordCount());
    query.Close();
  }
  table.Close();
}

// The walk every statement makes: the table in its index order, one field read per record.
void BM_WalkTable(benchmark::State& state) {
  vekrano::dbase::TTzDbf table("tarticle");
  openArticle(table, state);
  for (auto _ : state) {
    long sum = 0;
    for (table.First(); !table.Eof(); table.Next()) sum += table.Fields(0).AsInteger();
    benchmark::DoNotOptimize(sum);
  }
  table.Close();
}
BENCHMARK(BM_WalkTable)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SelectAllOrderByNum(benchmark::State& state) { runSelect(state, "select * from article order by num"); }
BENCHMARK(BM_SelectAllOrderByNum)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LikeAndTopOrderByCb(benchmark::State& state) {
  runSelect(state, "select * from article where cb like \"CB1%\" and topp=\"O\" order by cb");
}
BENCHMARK(BM_LikeAndTopOrderByCb)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MaxNum(benchmark::State& state) { runSelect(state, "select max(num) as nb from article"); }
BENCHMARK(BM_MaxNum)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The application's two-key orders: each run of equal first keys is sorted by the barcode.
void BM_QuantityDescThenCb(benchmark::State& state) {
  runSelect(state, "select * from article order by quantite desc , cb");
}
BENCHMARK(BM_QuantityDescThenCb)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_TopThenCb(benchmark::State& state) { runSelect(state, "select * from article order by topp , cb"); }
BENCHMARK(BM_TopThenCb)->Arg(0)->Unit(benchmark::kMillisecond);

// Keys that repeat together: the rows are sorted from the walk's order, which shows in the ties.
void BM_TopThenQuantity(benchmark::State& state) { runSelect(state, "select * from article order by topp , quantite"); }
BENCHMARK(BM_TopThenQuantity)->Arg(0)->Unit(benchmark::kMillisecond);

// The one-key sort beside them.
void BM_OrderByCb(benchmark::State& state) { runSelect(state, "select * from article order by cb"); }
BENCHMARK(BM_OrderByCb)->Arg(0)->Unit(benchmark::kMillisecond);

// The same statements walked, for the gain of the storage-order and prefix visits.
void BM_SelectAllOrderByNumWalked(benchmark::State& state) {
  runSelect(state, "select * from article order by num", true);
}
BENCHMARK(BM_SelectAllOrderByNumWalked)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_LikeAndTopOrderByCbWalked(benchmark::State& state) {
  runSelect(state, "select * from article where cb like \"CB1%\" and topp=\"O\" order by cb", true);
}
BENCHMARK(BM_LikeAndTopOrderByCbWalked)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_MaxNumWalked(benchmark::State& state) { runSelect(state, "select max(num) as nb from article", true); }
BENCHMARK(BM_MaxNumWalked)->Arg(0)->Unit(benchmark::kMillisecond);

// Rows in the index's order without ORDER BY: read in storage order, then put back in that order.
void BM_SelectAllInIndexOrder(benchmark::State& state) { runSelect(state, "select * from article"); }
BENCHMARK(BM_SelectAllInIndexOrder)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
