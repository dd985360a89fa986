// A print run through the real print server, as a user's printer is reached: a cups-pdf queue
// chosen by name receives one job per sheet, titled "Vekrano", whose PDF holds that sheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>

#include "page_measure.h"
#include "printing/label_print_run.h"
#include "printing/label_report.h"
#include "printing/label_types.h"
#include "records/article_data.h"
#include "records/record_statements.h"
#include "support/temp_dir.h"

namespace vekrano::printing {
namespace {

namespace fs = std::filesystem;
constexpr const char* kQueue = "VekranoTestPdf";

bool schedulerRunning() {
  return testing::runProgram({"lpstat", "-r"}).find("scheduler is running") != std::string::npos;
}

// Starts the print server when it is not running and adds the queue; false when impossible.
bool prepareQueue() {
  if (!schedulerRunning()) {
    testing::runProgram({"cupsd"});
    for (int i = 0; i < 50 && !schedulerRunning(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  if (!schedulerRunning()) return false;
  int status = -1;
  testing::runProgram({"lpadmin", "-p", kQueue, "-v", "cups-pdf:/", "-E", "-m", "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"},
                      &status);
  return status == 0;
}

fs::path outputFolder() {
  const char* home = std::getenv("HOME");
  return fs::path(home != nullptr ? home : "/root") / "PDF";
}

std::set<fs::path> jobFiles() {
  std::set<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(outputFolder(), error)) {
    if (entry.path().filename().string().starts_with("Vekrano")) files.insert(entry.path());
  }
  return files;
}

std::multiset<std::string> decodePdf(const fs::path& pdf, const vekrano::testing::TempDir& dir) {
  const std::string stem = dir.file(pdf.stem().string());
  testing::runProgram({"pdftoppm", "-r", "300", "-gray", "-png", "-singlefile", pdf.string(), stem});
  std::istringstream output(testing::runProgram({"zbarimg", "-q", "--raw", stem + ".png"}));
  std::multiset<std::string> decoded;
  for (std::string line; std::getline(output, line);) decoded.insert(line);
  return decoded;
}

TEST(CupsPrint, OneJobPerSheetTitledVekranoOnTheQueueByName) {
  if (!prepareQueue()) GTEST_SKIP() << "the print server cannot be started here";
  const std::set<fs::path> before = jobFiles();

  vekrano::testing::TempDir directory;
  records::ArticleData data(directory.path().string() + "/");
  data.openData();
  // Type 8 holds 15 labels: 14 + 2 labels make a full sheet and a sheet of one.
  for (int i = 1; i <= 14; ++i) {
    data.executeStatement(records::newRecordStatement({i, "P" + std::to_string(i), "", "", 1, "O"}));
  }
  data.executeStatement(records::newRecordStatement({15, "LAST", "", "", 2, "O"}));
  PrintRequest request;
  for (const std::string& entry : labelTypeEntries()) {
    if (LabelTypeOfEntry(entry) == 8) request.labelTypeEntry = entry;
  }
  request.printerName = kQueue;
  PrinterDestination printer;
  LabelReport report(printer);
  EXPECT_EQ(PrintLabels(data.sqlqueryfonction, report, data.programDirectory(), request), 2);

  std::vector<fs::path> added;
  for (int i = 0; i < 300 && added.size() < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    added.clear();
    for (const fs::path& file : jobFiles()) {
      if (!before.contains(file)) added.push_back(file);
    }
  }
  // cups-pdf names each file after the job's title: "Vekrano-job_<n>.pdf".
  ASSERT_EQ(added.size(), 2u) << "jobs written by cups-pdf into " << outputFolder();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // let the last file be closed
  std::multiset<std::string> first;
  for (int i = 1; i <= 14; ++i) first.insert("P" + std::to_string(i));
  first.insert("LAST");
  std::vector<std::multiset<std::string>> sheets;
  for (const fs::path& file : added) sheets.push_back(decodePdf(file, directory));
  EXPECT_TRUE(std::find(sheets.begin(), sheets.end(), first) != sheets.end());
  EXPECT_TRUE(std::find(sheets.begin(), sheets.end(), std::multiset<std::string>{"LAST"}) != sheets.end());
  for (const fs::path& file : added) fs::remove(file);
}

}  // namespace
}  // namespace vekrano::printing
