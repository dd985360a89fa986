// Re-displaying a 99,999-record list (statement, query open, model reset, first screen of rows
// painted) and painting a later screen while scrolling, beside sqlite3 running
// "select * from article order by num" over the same records, read to the last column.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QTableView>
#include <filesystem>
#include <random>

#include "dbase/dataset/field.h"
#include "list/list_criteria.h"
#include "list/record_grid_delegate.h"
#include "list/record_list_model.h"
#include "records/article_data.h"

namespace {

using vekrano::records::ArticleData;

constexpr int kRecords = 99999;

struct Records {
  std::filesystem::path folder;
  std::unique_ptr<ArticleData> data;
  sqlite3* peer = nullptr;

  Records() {
    folder = std::filesystem::temp_directory_path() / ("vekrano_list_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    data = std::make_unique<ArticleData>(folder.string() + "/");
    data->openData();
    sqlite3_open((folder / "article.db").c_str(), &peer);
    sqlite3_exec(peer,
                 "CREATE TABLE article (num INTEGER, cb TEXT, lib1 TEXT, lib2 TEXT, "
                 "quantite INTEGER, topp TEXT); BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(peer, "INSERT INTO article VALUES (?,?,?,?,?,?)", -1, &insert, nullptr);
    auto& table = data->tarticle;
    for (int n = 1; n <= kRecords; ++n) {
      // Stored in an order other than their numbers, so that both sort.
      const int num = static_cast<int>((static_cast<long long>(n) * 7919) % kRecords) + 1;
      const std::string cb = "CB" + std::to_string(num * 13 % kRecords);
      const std::string line = "line " + std::to_string(n);
      const char* topp = n % 3 == 0 ? "O" : "N";
      table.Append();
      table.FieldByName("num").setAsInteger(num);
      table.FieldByName("cb").setAsString(cb);
      table.FieldByName("lib1").setAsString(line);
      table.FieldByName("quantite").setAsInteger(n % 10);
      table.FieldByName("topp").setAsString(topp);
      table.Post();
      sqlite3_bind_int(insert, 1, num);
      sqlite3_bind_text(insert, 2, cb.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 3, line.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 4, "", -1, SQLITE_STATIC);
      sqlite3_bind_int(insert, 5, n % 10);
      sqlite3_bind_text(insert, 6, topp, -1, SQLITE_STATIC);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(peer, "COMMIT", nullptr, nullptr, nullptr);
  }
  ~Records() {
    sqlite3_close(peer);
    data.reset();
    std::filesystem::remove_all(folder);
  }
};

Records& records() {
  static Records shared;
  return shared;
}

// The grid as the main window sets it up, on a screen-sized offscreen surface.
struct Grid {
  vekrano::list::RecordListModel model{records().data->DataSource1};
  QTableView view;
  QImage surface{762, 420, QImage::Format_RGB32};
  Grid() {
    view.setModel(&model);
    view.setItemDelegate(new vekrano::list::RecordGridDelegate(&view));
    view.resize(surface.size());
    view.setColumnHidden(0, true);
  }
  void paint() { view.render(&surface); }
};

void open(ArticleData& data) {
  data.sqlQuery1.Close();
  data.sqlQuery1.SQL().Clear();
  data.sqlQuery1.SQL().Add(vekrano::list::listStatement({}, {}));
  data.sqlQuery1.Open();
}

void BM_RedisplayList(benchmark::State& state) {
  Grid grid;
  for (auto _ : state) {
    open(*records().data);
    grid.paint();
  }
  state.counters["rows"] = records().data->sqlQuery1.RecordCount();
}
BENCHMARK(BM_RedisplayList)->Unit(benchmark::kMillisecond)->MinTime(3);

// The next screen down, as Page Down or the scroll bar's page step shows it.
void BM_PaintNextScreen(benchmark::State& state) {
  Grid grid;
  open(*records().data);
  int top = 0;
  for (auto _ : state) {
    state.PauseTiming();
    top = (top + 20) % (kRecords - 20);
    grid.view.scrollTo(grid.model.index(top, 1), QAbstractItemView::PositionAtTop);
    state.ResumeTiming();
    grid.paint();
  }
}
BENCHMARK(BM_PaintNextScreen)->Unit(benchmark::kMillisecond)->MinTime(2);

// A screen anywhere, as dragging the scroll bar's thumb shows it.
void BM_PaintScreenAfterAJump(benchmark::State& state) {
  Grid grid;
  open(*records().data);
  std::mt19937 random(15);
  std::uniform_int_distribution<int> row(0, kRecords - 1);
  for (auto _ : state) {
    state.PauseTiming();
    grid.view.scrollTo(grid.model.index(row(random), 1), QAbstractItemView::PositionAtTop);
    state.ResumeTiming();
    grid.paint();
  }
}
BENCHMARK(BM_PaintScreenAfterAJump)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_Sqlite3SelectOrderByNum(benchmark::State& state) {
  sqlite3* peer = records().peer;
  long long checksum = 0;
  for (auto _ : state) {
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(peer, "select * from article order by num", -1, &select, nullptr);
    int rows = 0;
    while (sqlite3_step(select) == SQLITE_ROW) {
      for (int column = 0; column < 6; ++column) checksum += sqlite3_column_bytes(select, column);
      ++rows;
    }
    sqlite3_finalize(select);
    state.counters["rows"] = rows;
  }
  benchmark::DoNotOptimize(checksum);
}
BENCHMARK(BM_Sqlite3SelectOrderByNum)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  records();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
