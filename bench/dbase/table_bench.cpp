// The table dataset on a 99,999-record article table: activation, a walk in index order (step by
// step, and in one scan), and a run of 1,000 appends.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench_folder.h"
#include "common/prompts.h"
#include "dbase/dbase_error.h"
#include "records/article_table.h"

namespace {

using namespace vekrano::dbase;
using vekrano::records::configureArticleTable;

constexpr int kRecords = 99999;

// Each benchmark's tables in a folder of their own.
class Folder : public BenchFolder {
 public:
  Folder() : BenchFolder("table_bench") {}
};

std::string Barcode(std::int64_t n) { return "CB" + std::to_string(n * 7919 % 1000003); }

void Append(TTzDbf& table, int n) {
  table.Append();
  table.FieldByName("num").setAsInteger(n);
  table.FieldByName("cb").setAsString(Barcode(n));
  table.FieldByName("lib1").setAsString("label line " + std::to_string(n));
  table.FieldByName("quantite").setAsInteger(n % 100);
  table.Post();
}

// The folder of the big table, filled once.
const std::string& bigFolder() {
  static Folder dir;
  static const bool filled = [] {
    setAutoErrorReporting(false);
    TTzDbf table("filler");
    configureArticleTable(table, dir.path());
    table.setExclusive(true);
    table.Open();
    for (int n = 1; n <= kRecords; ++n) Append(table, n);
    table.Close();
    return true;
  }();
  static const std::string folder = filled ? dir.path() : std::string();
  return folder;
}

void BM_ActivateBigTable(benchmark::State& state) {
  const std::string& folder = bigFolder();
  for (auto _ : state) {
    TTzDbf table("tarticle");
    configureArticleTable(table, folder);
    table.Open();
    benchmark::DoNotOptimize(table.RecordCount());
    table.Close();
  }
}
BENCHMARK(BM_ActivateBigTable)->Unit(benchmark::kMillisecond);

void BM_WalkInIndexOrder(benchmark::State& state) {
  TTzDbf table("tarticle");
  configureArticleTable(table, bigFolder());
  table.Open();
  for (auto _ : state) {
    int seen = 0;
    for (table.First(); !table.Eof(); table.Next()) ++seen;
    if (seen != kRecords) state.SkipWithError("walk missed records");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_WalkInIndexOrder)->Unit(benchmark::kMillisecond);

// The same walk inside one scan: the index semaphore is entered once instead of at every step.
void BM_WalkInIndexOrderInOneScan(benchmark::State& state) {
  TTzDbf table("tarticle");
  configureArticleTable(table, bigFolder());
  table.Open();
  for (auto _ : state) {
    TDataSetScan scan(table);
    int seen = 0;
    for (table.First(); !table.Eof(); table.Next()) ++seen;
    if (seen != kRecords) state.SkipWithError("walk missed records");
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_WalkInIndexOrderInOneScan)->Unit(benchmark::kMillisecond);

void BM_Append1000(benchmark::State& state) {
  setAutoErrorReporting(false);
  for (auto _ : state) {
    state.PauseTiming();
    Folder dir;
    TTzDbf table("tarticle");
    configureArticleTable(table, dir.path());
    table.Open();
    state.ResumeTiming();
    for (int n = 1; n <= 1000; ++n) Append(table, n);
    state.PauseTiming();
    table.Close();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_Append1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
