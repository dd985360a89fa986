// The list's typical condition evaluated once per record, in nanoseconds per record.
#include <benchmark/benchmark.h>

#include <string>

#include "common/format_settings.h"
#include "sql/expr/expr_parser.h"
#include "support/memory_dataset.h"

namespace {

using vekrano::dbase::TFieldType;

void BM_LikeAndEqualityPerRecord(benchmark::State& state) {
  vekrano::testing::MemoryDataset table({{"num", TFieldType::ftInteger, 0},
                                         {"cb", TFieldType::ftString, 50},
                                         {"quantite", TFieldType::ftInteger, 0},
                                         {"topp", TFieldType::ftString, 2}});
  constexpr int kRecords = 1000;
  const char* const kPrefixes[] = {"AB", "AC", "ab", "XAB"};
  for (int i = 0; i < kRecords; ++i) {
    table.addRow({std::int64_t{i}, std::string(kPrefixes[i % 4]) + std::to_string(100000 + i), std::int64_t{i % 7},
                  std::string(i % 3 == 0 ? "O" : "N")});
  }
  table.Open();
  vekrano::sql::TExprParserContext context;
  context.FindDataSet = [&table](const std::string&) -> vekrano::dbase::TDataSet* { return &table; };
  vekrano::sql::TExprParser parser(table, context);
  parser.parseExpression("article.cb LIKE \"AB%\" AND article.topp = \"O\"");
  const vekrano::sql::TExpression& condition = *parser.Expression();
  int matches = 0;
  for (auto _ : state) {
    for (table.First(); !table.Eof(); table.Next()) matches += condition.AsBoolean() ? 1 : 0;
  }
  benchmark::DoNotOptimize(matches);
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.counters["ns_per_record"] = benchmark::Counter(static_cast<double>(state.iterations() * kRecords),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LikeAndEqualityPerRecord)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
