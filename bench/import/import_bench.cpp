// 10,000 CSV lines imported into an empty table and into a table of 89,999 records: through the
// import loop as vekrano-sql's .import runs it, through the import window (shown offscreen, the
// interface processing its events as in the program), and through SQLite inserting the same lines
// in one transaction, with an index on the barcode, numbered from one max(num) at the start (a
// max(num) per line would read the whole table each time there too). The ratios of one run are
// printed at the end.
#include <QApplication>
#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "common/process_events.h"
#include "common/prompts.h"
#include "import/import_run.h"
#include "import/import_wizard.h"
#include "records/article_data.h"

namespace {

namespace fs = std::filesystem;
namespace import = vekrano::import;
namespace records = vekrano::records;

constexpr int kLines = 10000;
constexpr int kFullTable = 89999;
const import::FieldMapping kMapping{1, 2, 3, 4};

const fs::path& folder() {
  static const fs::path path = [] {
    fs::path p = fs::temp_directory_path() / ("vekrano-import-bench-" + std::to_string(getpid()));
    fs::create_directories(p);
    return p;
  }();
  return path;
}

// `count` lines shaped as a CSV export gives them; `first` keeps the barcodes of two files apart.
std::string writeLines(const std::string& name, int first, int count) {
  const std::string path = (folder() / name).string();
  std::ofstream out(path, std::ios::binary);
  for (int i = first; i < first + count; ++i) {
    out << "3760" << (12345678 + i * 7919) << ",Article " << i % 5000 << " lot " << i << ",Rayon " << i % 40 << ","
        << 1 + i % 9 << "\r\n";
  }
  return path;
}

const std::string& importedLines() {
  static const std::string path = writeLines("lines.csv", kFullTable, kLines);
  return path;
}

const char* const kSchema =
    "create table article (num numeric(5), cb char(50), lib1 char(100), lib2 char(100), quantite "
    "numeric(3), topp char(2)); create index cb on article(cb);";

// Inserts every line of `path`, numbered on from the highest number, without committing.
void sqliteImport(sqlite3* db, const std::string& path) {
  sqlite3_stmt* highest = nullptr;
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, "select max(num) as nb from article", -1, &highest, nullptr);
  sqlite3_prepare_v2(db, "insert into article values (?,?,?,?,?,'O')", -1, &insert, nullptr);
  sqlite3_step(highest);
  int num = sqlite3_column_int(highest, 0);
  sqlite3_finalize(highest);
  import::CsvFile file(path, {});
  for (import::CsvRecord line; file.Next(line);) {
    const std::optional<records::BarcodeRecord> record = import::recordFromFields(line.fields, kMapping, false).record;
    sqlite3_bind_int(insert, 1, ++num);
    sqlite3_bind_text(insert, 2, record->cb.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 3, record->lib1.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 4, record->lib2.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 5, record->quantite);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
}

// The starting tables of `records` records for both programs, built once.
const fs::path& startingTables(int records) {
  static std::map<int, fs::path> built;
  auto [at, fresh] = built.try_emplace(records, folder() / ("start-" + std::to_string(records)));
  if (!fresh) return at->second;
  fs::create_directories(at->second);
  records::ArticleData data(at->second.string());
  data.openData();
  sqlite3* db = nullptr;
  sqlite3_open((at->second / "article.db").c_str(), &db);
  sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
  if (records > 0) {
    const std::string path = writeLines("start.csv", 0, records);
    import::CsvFile file(path, {});
    import::runImport(file, kMapping, false, data);
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqliteImport(db, path);
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
  }
  sqlite3_close(db);
  data.closeData();
  return at->second;
}

// A copy of the starting tables to import into.
fs::path freshCopy(benchmark::State& state) {
  const fs::path& start = startingTables(static_cast<int>(state.range(0)));
  const fs::path run = folder() / "run";
  fs::remove_all(run);
  fs::copy(start, run);
  return run;
}

void ImportLoop(benchmark::State& state) {
  importedLines();
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path dir = freshCopy(state);
    state.ResumeTiming();
    records::ArticleData data(dir.string());
    data.openData();
    import::CsvFile file(importedLines(), {});
    if (import::runImport(file, kMapping, false, data).stored != kLines) state.SkipWithError("lines not stored");
    data.closeData();
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

void ImportWindow(benchmark::State& state) {
  importedLines();
  vekrano::common::ScopedScriptedPrompts prompts;  // answers the final message
  auto previous = vekrano::common::setProcessEventsHook([] { QCoreApplication::processEvents(); });
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path dir = freshCopy(state);
    records::ArticleData data(dir.string());
    data.openData();
    import::Tfimportcsv wizard(data, {[](QWidget*, const QString&, const QString&) {
                                        return QString::fromStdString(importedLines());
  }
  , [&state](const std::exception& error) { state.SkipWithError(error.what()); }
});
wizard.show();
wizard.SouvrirClick();
wizard.bsuivantClick();
QCoreApplication::processEvents();
state.ResumeTiming();
wizard.bimportClick();
data.closeData();
}  // namespace
vekrano::common::setProcessEventsHook(previous);
state.SetItemsProcessed(state.iterations() * kLines);
}

void ImportSqlite(benchmark::State& state) {
  importedLines();
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path dir = freshCopy(state);
    state.ResumeTiming();
    sqlite3* db = nullptr;
    sqlite3_open((dir / "article.db").c_str(), &db);
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqliteImport(db, importedLines());
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

BENCHMARK(ImportLoop)->Arg(0)->Arg(kFullTable)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ImportWindow)->Arg(0)->Arg(kFullTable)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ImportSqlite)->Arg(0)->Arg(kFullTable)->Unit(benchmark::kMillisecond)->Iterations(3);

// The console report, then the ratios of the times it showed.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const int records : {0, kFullTable}) {
      const std::string arg = "/" + std::to_string(records) + "/iterations:3";
      const double loop = times_["ImportLoop" + arg];
      const double window = times_["ImportWindow" + arg];
      const double sqlite = times_["ImportSqlite" + arg];
      if (loop <= 0 || sqlite <= 0) continue;
      std::printf("%d records before: .import / sqlite3 %.2f   window / .import %.2f   window / sqlite3 %.2f\n",
                  records, loop / sqlite, window / loop, window / sqlite);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  // Built before any benchmark runs, so that a profile of one benchmark holds only its imports.
  importedLines();
  for (const int records : {0, kFullTable}) startingTables(records);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::error_code ignored;
  fs::remove_all(folder(), ignored);
  return 0;
}
