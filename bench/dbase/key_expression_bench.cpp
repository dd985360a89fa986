// Evaluating the article key `cb` one million times.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

#include "article_dbf.h"
#include "dbase/dbf/dbf_file.h"
#include "dbase/key_expr/key_expression.h"

using namespace vekrano::dbase;

namespace {

void BM_EvaluateCb(benchmark::State& state) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("key_bench_" + std::to_string(getpid()) + ".dbf")).string();
  createArticleDbf(path);
  DbfTable t;
  t.OpenDbf(path, DbfOpenMode::ExclusiveReadWrite);
  t.setString(2, "3760123456789");
  t.PutDbfRecord(1);
  auto cb = AssignExpr(t, "cb");
  for (auto _ : state) {
    for (int i = 0; i < 1000000; ++i) benchmark::DoNotOptimize(cb->Evaluate());
  }
  state.SetItemsProcessed(state.iterations() * 1000000);
  t.CloseDbf();
  std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_EvaluateCb)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
