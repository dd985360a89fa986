// 10,000 CSV lines imported into an empty table through the import loop, beside SQLite running
// the same pattern (max(num), then one INSERT per line) in one transaction over the same lines.
// Compare the two times of one run.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "import/import_run.h"
#include "records/article_data.h"

namespace {

namespace fs = std::filesystem;
namespace import = vekrano::import;
namespace records = vekrano::records;

constexpr int kLines = 10000;

const fs::path& folder() {
  static const fs::path path = [] {
    fs::path p = fs::temp_directory_path() / ("vekrano-import-bench-" + std::to_string(getpid()));
    fs::create_directories(p);
    return p;
  }();
  return path;
}

const std::string& csvPath() {
  static const std::string path = [] {
    const std::string p = (folder() / "lines.csv").string();
    std::ofstream out(p, std::ios::binary);
    for (int i = 0; i < kLines; ++i) {
      out << "3760" << (12345678 + i * 7919) << ",Article " << i % 5000 << " lot " << i
          << ",Rayon " << i % 40 << "," << 1 + i % 9 << "\r\n";
    }
    return p;
  }();
  return path;
}

fs::path freshFolder(const char* name) {
  const fs::path path = folder() / name;
  fs::remove_all(path);
  fs::create_directories(path);
  return path;
}

void ImportThroughTheImportLoop(benchmark::State& state) {
  const import::FieldMapping mapping{1, 2, 3, 4};
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path dir = freshFolder("vekrano");
    state.ResumeTiming();
    records::ArticleData data(dir.string());
    data.sqlqueryfonction.AutoDisableControls = false;
    data.OpenData();
    import::CsvFile file(csvPath(), {});
    const import::ImportResult result = import::RunImport(file, mapping, false, data);
    if (result.stored != kLines) state.SkipWithError("not every line was stored");
    data.CloseData();
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

void ImportThroughSqlite(benchmark::State& state) {
  const import::FieldMapping mapping{1, 2, 3, 4};
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path dir = freshFolder("sqlite");
    state.ResumeTiming();
    sqlite3* db = nullptr;
    sqlite3_open((dir / "article.db").c_str(), &db);
    sqlite3_exec(db,
                 "create table article (num numeric(5), cb char(50), lib1 char(100), lib2 "
                 "char(100), quantite numeric(3), topp char(2)); create index cb on article(cb);"
                 "begin",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* next = nullptr;
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "select max(num) as nb from article", -1, &next, nullptr);
    sqlite3_prepare_v2(db, "insert into article values (?,?,?,?,?,'O')", -1, &insert, nullptr);
    import::CsvFile file(csvPath(), {});
    for (import::CsvRecord line; file.Next(line);) {
      const std::optional<records::BarcodeRecord> record =
          import::RecordFromFields(line.fields, mapping, false).record;
      sqlite3_step(next);
      const int num = sqlite3_column_int(next, 0) + 1;
      sqlite3_reset(next);
      sqlite3_bind_int(insert, 1, num);
      sqlite3_bind_text(insert, 2, record->cb.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 3, record->lib1.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 4, record->lib2.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int(insert, 5, record->quantite);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(next);
    sqlite3_finalize(insert);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

BENCHMARK(ImportThroughTheImportLoop)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ImportThroughSqlite)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
