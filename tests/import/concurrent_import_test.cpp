// Two processes importing into one table at the same moment: every line each of them counted as
// stored is in the table, and no record number is given twice.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "import/import_run.h"
#include "import_fixture.h"

namespace vekrano::import::testing {
namespace {

constexpr int kLinesEach = 2000;

std::string barcode(char process, int line) { return std::string(1, process) + std::to_string(10000 + line); }

// A child process that waits until the write end of `start` is closed everywhere, imports `path`
// into the folder's table and writes the count it stored to `report`.
pid_t startImport(const std::string& folder, const std::string& path, const int (&start)[2], const int (&report)[2]) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  close(start[1]);
  close(report[0]);
  char go = 0;
  (void)!read(start[0], &go, 1);
  int stored = -1;
  try {
    records::ArticleData mine(folder);
    mine.openData();
    CsvFile file(path, {});
    stored = runImport(file, {1, 2, 3, 4}, false, mine).stored;
    mine.closeData();
  } catch (...) {
  }
  (void)!write(report[1], &stored, sizeof stored);
  _exit(0);
}

class ConcurrentImport : public ImportTest {
 protected:
  std::string linesOf(char process) {
    std::string bytes;
    for (int line = 0; line < kLinesEach; ++line) bytes += barcode(process, line) + ",text,more,2\n";
    return csvFile(bytes, std::string(1, process) + ".csv");
  }
};

TEST_F(ConcurrentImport, TwoProcessesStoreEveryLineUnderNumbersOfTheirOwn) {
  const std::string first = linesOf('A');
  const std::string second = linesOf('B');
  data.closeData();  // the children must not inherit this process's open table
  int start[2], report[2];
  ASSERT_EQ(pipe(start), 0);
  ASSERT_EQ(pipe(report), 0);
  const pid_t a = startImport(directory.path().string(), first, start, report);
  const pid_t b = startImport(directory.path().string(), second, start, report);
  close(start[0]);
  close(start[1]);  // both start now
  close(report[1]);
  int stored[2] = {0, 0};
  for (int& count : stored) ASSERT_EQ(read(report[0], &count, sizeof count), static_cast<ssize_t>(sizeof count));
  close(report[0]);
  waitpid(a, nullptr, 0);
  waitpid(b, nullptr, 0);
  EXPECT_EQ(stored[0], kLinesEach);
  EXPECT_EQ(stored[1], kLinesEach);

  data.openData();
  const std::vector<std::string> rows = storedRecords();
  std::set<int> numbers;
  std::set<std::string> barcodes;
  for (const std::string& row : rows) {
    const std::size_t bar = row.find('|');
    numbers.insert(std::stoi(row.substr(0, bar)));
    barcodes.insert(row.substr(bar + 1, row.find('|', bar + 1) - bar - 1));
  }
  EXPECT_EQ(rows.size(), 2u * kLinesEach);
  EXPECT_EQ(numbers.size(), 2u * kLinesEach);
  EXPECT_EQ(*numbers.begin(), 1);
  EXPECT_EQ(*numbers.rbegin(), 2 * kLinesEach);
  for (char process : {'A', 'B'}) {
    for (int line = 0; line < kLinesEach; ++line) {
      EXPECT_EQ(barcodes.count(barcode(process, line)), 1u) << barcode(process, line);
    }
  }
}

}  // namespace
}  // namespace vekrano::import::testing
