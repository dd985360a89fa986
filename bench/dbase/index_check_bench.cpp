// The activation check of the production index on a 99,999-record article table: the open of table
// and index without it, with the check made at every activation (key counts, keys naming no record)
// and with every key compared with its record (at the program's start and `.check`).
#include <benchmark/benchmark.h>

#include <string>

#include "bench_folder.h"
#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_file.h"
#include "dbase/mdx/mdx_index.h"
#include "dbase/table/mdx_dbf_table.h"
#include "records/article_table.h"

namespace {

using namespace vekrano::dbase;
using vekrano::records::configureArticleTable;

constexpr int kRecords = 99999;

// The folder of the big table, filled once through the dataset.
const std::string& bigFolder() {
  static BenchFolder dir("index_check_bench");
  static const bool filled = [] {
    setAutoErrorReporting(false);
    TTzDbf table("filler");
    configureArticleTable(table, dir.path());
    table.setExclusive(true);
    table.Open();
    for (int n = 1; n <= kRecords; ++n) {
      table.Append();
      table.FieldByName("num").setAsInteger(n);
      table.FieldByName("cb").setAsString("CB" + std::to_string(std::int64_t{n} * 7919 % 1000003));
      table.FieldByName("lib1").setAsString("label line " + std::to_string(n));
      table.Post();
    }
    table.Close();
    return true;
  }();
  static const std::string folder = filled ? dir.path() : std::string();
  return folder;
}

enum class Check { None, Counts, EveryKey };

// The table and its index opened shared, as the dataset opens them, then checked or not.
void openIndex(benchmark::State& state, Check check) {
  const std::string& folder = bigFolder();
  for (auto _ : state) {
    DbfTable table;
    table.OpenDbf(folder + "/article.dbf", DbfOpenMode::SharedReadWrite, true);
    MdxDbfTable view(table, true, true);
    MdxIndex index(view);
    index.SetIndexTo(folder + "/article.mdx");
    if (check != Check::None && !index.disagreement(check == Check::EveryKey).empty())
      state.SkipWithError("the index disagrees with its table");
  }
}
BENCHMARK_CAPTURE(openIndex, WithoutCheck, Check::None)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(openIndex, WithActivationCheck, Check::Counts)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(openIndex, WithEveryKeyCompared, Check::EveryKey)->Unit(benchmark::kMillisecond);

// The whole activation of the dataset, with the check every activation makes and with the
// program's start-up check.
void activateDataset(benchmark::State& state, bool everyKey) {
  const std::string& folder = bigFolder();
  for (auto _ : state) {
    TTzDbf table("tarticle");
    configureArticleTable(table, folder);
    table.CheckEveryKey = everyKey;
    table.Open();
    benchmark::DoNotOptimize(table.RecordCount());
    table.Close();
  }
}
BENCHMARK_CAPTURE(activateDataset, AsEveryActivation, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(activateDataset, AtTheProgramsStart, true)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
