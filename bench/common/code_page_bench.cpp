// Throughput of the whole-record OEM translation that every table read and write goes through.
#include <benchmark/benchmark.h>

#include <string>

#include "common/code_page.h"

static void BM_CharToOemRecord(benchmark::State& state) {
  std::string record(261, '\xE9');
  for (auto _ : state) {
    vekrano::common::charToOemBuff(record.data(), record.size());
    vekrano::common::oemToCharBuff(record.data(), record.size());
    benchmark::DoNotOptimize(record.data());
  }
  state.SetBytesProcessed(state.iterations() * 2 * static_cast<int64_t>(record.size()));
}
BENCHMARK(BM_CharToOemRecord);

BENCHMARK_MAIN();
