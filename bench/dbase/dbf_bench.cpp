// Appending 99,999 article records and reading them all back.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

#include "article_dbf.h"
#include "dbase/dbf/dbf_file.h"

using namespace vekrano::dbase;

namespace {

constexpr int kRecords = 99999;

std::string benchFile() {
  return (std::filesystem::temp_directory_path() / ("dbf_bench_" + std::to_string(getpid()) + ".dbf")).string();
}

void appendAll(const std::string& path) {
  DbfTable t;
  t.OpenDbf(path, DbfOpenMode::ExclusiveReadWrite, true);
  for (int i = 1; i <= kRecords; ++i) {
    t.ClearRecord();
    t.setInteger(1, i);
    t.setString(2, "CB" + std::to_string(i));
    t.setString(3, "Libell\xE9 un");
    t.setInteger(5, i % 1000);
    t.setString(6, "N");
    t.PutDbfRecord(i);
  }
  t.CloseDbf();
}

void BM_AppendArticles(benchmark::State& state) {
  const std::string path = benchFile();
  for (auto _ : state) {
    createArticleDbf(path);
    appendAll(path);
  }
  std::filesystem::remove(path);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_ReadArticles(benchmark::State& state) {
  const std::string path = benchFile();
  createArticleDbf(path);
  appendAll(path);
  for (auto _ : state) {
    DbfTable t;
    t.OpenDbf(path, DbfOpenMode::ReadOnly, true);
    std::int64_t sum = 0;
    for (int i = 1; i <= t.RecordCount(); ++i) {
      t.GetDbfRecord(i);
      sum += t.getInteger(1);
    }
    benchmark::DoNotOptimize(sum);
  }
  std::filesystem::remove(path);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

}  // namespace

BENCHMARK(BM_AppendArticles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadArticles)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
