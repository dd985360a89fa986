// Building the CB index of 99,999 barcodes, and 10,000 appends with index upkeep.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_file.h"
#include "dbase/table/mdx_dbf_table.h"
#include "dbase/mdx/mdx_index.h"

using namespace vekrano::dbase;

namespace {

std::string makeFolder() {
  char pattern[] = "/tmp/mdx_bench_XXXXXX";
  return mkdtemp(pattern);
}

std::string barcode(long i) { return std::to_string((i * 7919) % 1000003 + 1000000); }

void fillArticle(DbfTable& table, const std::string& folder, long records) {
  CreateDbf(folder + "/article.dbf", {{"num", 'N', 5, 0},
                                      {"cb", 'C', 50, 0},
                                      {"lib1", 'C', 100, 0},
                                      {"lib2", 'C', 100, 0},
                                      {"quantite", 'N', 3, 0},
                                      {"topp", 'C', 2, 0}});
  table.OpenDbf(folder + "/article.dbf", DbfOpenMode::ExclusiveReadWrite, true);
  for (long i = 0; i < records; ++i) {
    table.ClearRecord();
    table.setInteger(1, static_cast<std::int32_t>(i + 1));
    table.setString(2, barcode(i));
    table.PutDbfRecord(table.RecordCount() + 1);
  }
}

const std::vector<MdxTagDefinition> kArticleTags = {{"CB", false, false, "cb", ""}};

void BM_MakeIndex99999(benchmark::State& state) {
  setAutoErrorReporting(false);
  std::string folder = makeFolder();
  DbfTable table;
  fillArticle(table, folder, 99999);
  MdxDbfTable view(table, false, false);
  MdxIndex index(view);
  for (auto _ : state) {
    if (!index.MakeIndex(folder + "/article.mdx", kArticleTags)) state.SkipWithError("MakeIndex failed");
  }
  table.CloseDbf();
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_MakeIndex99999)->Unit(benchmark::kMillisecond);

void BM_Append10000(benchmark::State& state) {
  setAutoErrorReporting(false);
  for (auto _ : state) {
    state.PauseTiming();
    std::string folder = makeFolder();
    DbfTable table;
    fillArticle(table, folder, 0);
    MdxDbfTable view(table, false, false);
    MdxIndex index(view);
    index.MakeIndex(folder + "/article.mdx", kArticleTags);
    index.SetIndexTo(folder + "/article.mdx");
    state.ResumeTiming();
    for (long i = 0; i < 10000; ++i) {
      table.ClearRecord();
      table.setString(2, barcode(i));
      table.PutDbfRecord(table.RecordCount() + 1);
      index.AppendIndex();
    }
    state.PauseTiming();
    index.Close();
    table.CloseDbf();
    std::filesystem::remove_all(folder);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Append10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
