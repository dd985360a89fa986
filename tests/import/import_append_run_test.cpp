// An import appends its lines as one run, holding the locks from one record to the next: the
// files it writes are those of appends one by one, and another process still gets its turn.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "import/csv_source.h"
#include "import/import_mapping.h"
#include "import/import_run.h"
#include "import_fixture.h"
#include "records/record_statements.h"

namespace vekrano::import::testing {
namespace {

const FieldMapping kMapping{1, 2, 3, 4};

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Lines whose barcodes come in no order, so that the index's nodes split here and there.
std::string scatteredLines(int count) {
  std::string bytes;
  for (int line = 1; line <= count; ++line) {
    bytes += "37" + std::to_string(100000 + (line * 7919) % 90000) + ",Article " + std::to_string(line) + ",Rayon " +
             std::to_string(line % 40) + "," + std::to_string(1 + line % 9) + "\n";
  }
  return bytes;
}

class ImportRun : public ImportTest {};

TEST_F(ImportRun, WritesTheSameFilesAsAppendsOneByOne) {
  const std::string path = csvFile(scatteredLines(1200));
  {
    CsvFile file(path, {});
    const ImportResult result = runImport(file, kMapping, false, data);
    EXPECT_EQ(result.stored, 1200);
    EXPECT_EQ(result.failed, 0);
  }
  data.closeData();

  // The same lines into a second folder, one statement at a time outside any run.
  vekrano::testing::TempDir other;
  records::ArticleData oneByOne(other.path().string());
  oneByOne.openData();
  CsvFile file(path, {});
  CsvRecord line;
  while (file.Next(line)) {
    LineRecord fromLine = recordFromFields(line.fields, kMapping, false);
    ASSERT_TRUE(fromLine.record) << line.line;
    fromLine.record->num = oneByOne.NextRecordNumber();
    ASSERT_EQ(oneByOne.executeStatement(records::newRecordStatement(*fromLine.record)), 1) << line.line;
  }
  oneByOne.closeData();

  const std::string table = fileBytes(data.tableFileName());
  const std::string index = fileBytes(data.indexFileName());
  ASSERT_GT(table.size(), 1200u * 100);
  ASSERT_GT(index.size(), 4096u);
  EXPECT_TRUE(table == fileBytes(oneByOne.tableFileName()));
  EXPECT_TRUE(index == fileBytes(oneByOne.indexFileName()));
}

// A child that imports `path` into `folder`, says on `started` when it has read 200 lines, and
// writes the count it stored on `report`.
pid_t StartLongImport(const std::string& folder, const std::string& path, int started, int report) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  int stored = -1;
  try {
    records::ArticleData mine(folder);
    mine.openData();
    CsvFile file(path, {});
    stored = runImport(file, kMapping, false, mine, [started](int read) {
               const char go = 1;
               if (read == 200) (void)!write(started, &go, 1);
             }).stored;
    mine.closeData();
  } catch (...) {
  }
  (void)!write(report, &stored, sizeof stored);
  _exit(0);
}

TEST_F(ImportRun, AnotherProcessStoresItsRecordWhileALongImportRuns) {
  constexpr int kLines = 8000;
  const std::string path = csvFile(scatteredLines(kLines));
  data.closeData();  // the child must not inherit this process's open table
  int started[2], report[2];
  ASSERT_EQ(pipe(started), 0);
  ASSERT_EQ(pipe(report), 0);
  const pid_t child = StartLongImport(directory.path().string(), path, started[1], report[1]);
  close(started[1]);
  close(report[1]);
  char go = 0;
  ASSERT_EQ(read(started[0], &go, 1), 1);

  // As the record editor stores a new record: numbered under the append lock, then inserted.
  // Each step waits for the import's run within the bounded retries, or raises.
  int number = 0;
  {
    records::ArticleData editor(directory.path().string());
    editor.openData();
    number = editor.NextRecordNumber();
    records::BarcodeRecord record;
    record.num = number;
    record.cb = "EDITOR1";
    record.lib1 = "typed";
    record.quantite = 1;
    EXPECT_EQ(editor.executeStatement(records::newRecordStatement(record)), 1);
    editor.closeData();
  }
  int status = 0;
  EXPECT_EQ(waitpid(child, &status, WNOHANG), 0) << "the import ended before the record was stored";

  int stored = 0;
  ASSERT_EQ(read(report[0], &stored, sizeof stored), static_cast<ssize_t>(sizeof stored));
  waitpid(child, nullptr, 0);
  close(started[0]);
  close(report[0]);
  EXPECT_EQ(stored, kLines);

  data.openData();
  const std::vector<std::string> rows = storedRecords();
  std::set<int> numbers;
  int editorRows = 0;
  for (const std::string& row : rows) {
    numbers.insert(std::stoi(row.substr(0, row.find('|'))));
    if (row.find("|EDITOR1|typed|") != std::string::npos) {
      ++editorRows;
      EXPECT_EQ(std::stoi(row.substr(0, row.find('|'))), number);
    }
  }
  EXPECT_EQ(rows.size(), kLines + 1u);
  EXPECT_EQ(numbers.size(), kLines + 1u);
  EXPECT_EQ(editorRows, 1);
  EXPECT_GT(number, 200);
  EXPECT_LE(number, kLines + 1);
}

}  // namespace
}  // namespace vekrano::import::testing
