// Arbitrary SELECT statements over a small article table, run twice: as the engine chooses to read
// the table (in storage order, or only the records its index finds for a fixed start) and walked
// record by record, which a progress handler forces. Both must give the same rows in the same
// order, or the same error; anything else aborts.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "common/exception.h"
#include "records/article_table.h"
#include "dbase/table/table_dataset.h"
#include "sql/query/query.h"

namespace {

using vekrano::sql::TSqlQuery;

// Barcodes out of record order, with repeats, ties in every field, accents and deleted records.
vekrano::dbase::TTzDbf& table() {
  static vekrano::dbase::TTzDbf* article = [] {
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("vekrano_fuzz_orders_" + std::to_string(::getpid()))).string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    auto* dataset = new vekrano::dbase::TTzDbf("tarticle");
    vekrano::records::configureArticleTable(*dataset, folder);
    dataset->Open();
    for (int n = 1; n <= 120; ++n) {
      dataset->Append();
      dataset->FieldByName("num").setAsInteger(n % 17 == 0 ? 0 : n);
      dataset->FieldByName("cb").setAsString("C" + std::to_string(n * 37 % 41));
      dataset->FieldByName("lib1").setAsString(n % 5 == 0 ? "Cr\xE8me" : "l" + std::to_string(n % 7));
      dataset->FieldByName("quantite").setAsInteger(n % 4);
      dataset->FieldByName("topp").setAsString(n % 3 == 0 ? "O" : "N");
      dataset->Post();
    }
    for (dataset->First(); !dataset->Eof();) {
      if (dataset->FieldByName("num").AsInteger() % 11 == 0) {
        dataset->Delete();
      } else {
        dataset->Next();
      }
    }
    return dataset;
  }();
  return *article;
}

// The rows, fields joined by "|", or the error's text after "!".
std::vector<std::string> outcome(const std::string& sql, bool walked) {
  TSqlQuery query;
  query.DataSets().Add("article", &table());
  query.AutoDisableControls = false;
  if (walked) query.OnProgress = [](vekrano::sql::TProgressStatus, int, int, int) {};
  query.SQL().Add(sql);
  std::vector<std::string> rows;
  try {
    query.Open();
    for (query.First(); !query.Eof(); query.Next()) {
      std::string row;
      for (int c = 0; c < query.FieldCount(); ++c) row += query.Fields(c).AsString() + "|";
      rows.push_back(row);
    }
  } catch (const vekrano::common::Exception& error) {
    rows.push_back(std::string("!") + error.what());
  }
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string sql = "select " + std::string(reinterpret_cast<const char*>(data), size);
  // Only reading statements: the table must stay as it is.
  if (sql.find(';') != std::string::npos) return 0;
  const std::vector<std::string> chosen = outcome(sql, false);
  const std::vector<std::string> walked = outcome(sql, true);
  if (chosen != walked) {
    std::fprintf(stderr, "%s\n", sql.c_str());
    for (std::size_t r = 0; r < std::max(chosen.size(), walked.size()); ++r) {
      std::fprintf(stderr, "%-40s %s\n", r < chosen.size() ? chosen[r].c_str() : "-",
                   r < walked.size() ? walked[r].c_str() : "-");
    }
    std::abort();
  }
  return 0;
}
