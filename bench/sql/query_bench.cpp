// The application's three heaviest statements over 99,999 article records, to set beside the
// sqlite3 shell on the same records (compare_sqlite.sh).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "dbase/table_article.h"
#include "dbase/table_dataset.h"
#include "sql/query.h"

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
    vekrano::dbase::ConfigureArticleTable(table, path);
    table.Open();
    for (int n = 1; n <= kRecords; ++n) {
      table.Append();
      table.FieldByName("num").SetAsInteger(n);
      table.FieldByName("cb").SetAsString("CB" + std::to_string((n * 7919) % kRecords));
      table.FieldByName("lib1").SetAsString("line " + std::to_string(n));
      table.FieldByName("quantite").SetAsInteger(n % 10);
      table.FieldByName("topp").SetAsString(n % 3 == 0 ? "O" : "N");
      table.Post();
    }
    table.Close();
    return path;
  }();
  return folder;
}

void runSelect(benchmark::State& state, const std::string& sql) {
  vekrano::dbase::TTzDbf table("tarticle");
  vekrano::dbase::ConfigureArticleTable(table, articleFolder());
  table.Open();
  TSqlQuery query;
  query.DataSets().Add("article", &table);
  query.AutoDisableControls = false;
  query.SQL().Add(sql);
  for (auto _ : state) {
    query.Open();
    benchmark::DoNotOptimize(query.RecordCount());
    query.Close();
  }
  table.Close();
}

void BM_SelectAllOrderByNum(benchmark::State& state) {
  runSelect(state, "select * from article order by num");
}
BENCHMARK(BM_SelectAllOrderByNum)->Unit(benchmark::kMillisecond);

void BM_LikeAndTopOrderByCb(benchmark::State& state) {
  runSelect(state, "select * from article where cb like \"CB1%\" and topp=\"O\" order by cb");
}
BENCHMARK(BM_LikeAndTopOrderByCb)->Unit(benchmark::kMillisecond);

void BM_MaxNum(benchmark::State& state) { runSelect(state, "select max(num) as nb from article"); }
BENCHMARK(BM_MaxNum)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
