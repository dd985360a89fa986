// Inserts per second with 1, 2 and 4 processes writing one fresh table at once through the SQL
// engine, one INSERT of the editor's pattern per statement. Every iteration measures the three in
// turn, so the 2- and 4-process rates are also given as ratios to the 1-process one of the same run.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_folder.h"
#include "dbase/dbase_error.h"
#include "dbase/table/table_lock_retry.h"
#include "records/article_table.h"
#include "records/record_statements.h"
#include "sql/query/query.h"

namespace {

using namespace vekrano::dbase;
using vekrano::records::BarcodeRecord;
using vekrano::records::configureArticleTable;
using vekrano::records::newRecordStatement;

constexpr int kInsertsPerProcess = 500;
constexpr int kProcessCounts[] = {1, 2, 4};

// Each benchmark's tables in a folder of their own.
class Folder : public BenchFolder {
 public:
  Folder() : BenchFolder("table_writers_bench") {}
};

// One writer process: its own numbers and barcodes; exits 1 when a statement failed or changed
// no record.
[[noreturn]] void Insert(const std::string& folder, int writer) {
  int status = 0;
  try {
    TTzDbf table("tarticle");
    configureArticleTable(table, folder);
    retryRefusedLocks(table);
    table.Open();
    vekrano::sql::TSqlQuery query;
    query.DataSets().Add("article", &table);
    for (int i = 0; i < kInsertsPerProcess && status == 0; ++i) {
      BarcodeRecord record;
      record.num = writer * 10000 + i;
      record.cb = "CB" + std::to_string(record.num);
      record.lib1 = "label line " + std::to_string(i);
      query.SQL().Clear();
      query.SQL().Add(newRecordStatement(record));
      query.ExecSQL();
      if (query.ChangedRowCount() != 1) status = 1;
    }
  } catch (...) {
    status = 1;
  }
  _exit(status);
}

// Seconds that `processes` writers take together on a fresh table; negative when one failed.
double timeWriters(int processes) {
  Folder dir;
  {
    TTzDbf table("tarticle");
    configureArticleTable(table, dir.path());
    table.Open();
  }
  const auto start = std::chrono::steady_clock::now();
  std::vector<pid_t> children;
  for (int w = 1; w <= processes; ++w) {
    const pid_t pid = fork();
    if (pid == 0) Insert(dir.path(), w);
    children.push_back(pid);
  }
  bool failed = false;
  for (pid_t pid : children) {
    int status = 0;
    failed = waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || failed;
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  return failed ? -1 : elapsed.count();
}

void BM_InsertsByProcesses(benchmark::State& state) {
  setAutoErrorReporting(false);
  double seconds[std::size(kProcessCounts)] = {};
  for (auto _ : state) {
    for (std::size_t k = 0; k < std::size(kProcessCounts); ++k) {
      const double taken = timeWriters(kProcessCounts[k]);
      if (taken < 0) {
        state.SkipWithError("a writer failed");
        return;
      }
      seconds[k] += taken;
    }
  }
  double rate[std::size(kProcessCounts)] = {};
  for (std::size_t k = 0; k < std::size(kProcessCounts); ++k) {
    rate[k] = kProcessCounts[k] * kInsertsPerProcess * static_cast<double>(state.iterations()) / seconds[k];
    state.counters["inserts/s " + std::to_string(kProcessCounts[k]) + "p"] = rate[k];
  }
  state.counters["2p/1p"] = rate[1] / rate[0];
  state.counters["4p/1p"] = rate[2] / rate[0];
}
BENCHMARK(BM_InsertsByProcesses)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
