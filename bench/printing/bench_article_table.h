// What the print run benchmarks share: a record table of 10,000 one-label records, the label
// type entries and the process's resident and peak memory.
#pragma once

#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>

#include "printing/label_types.h"
#include "records/article_data.h"
#include "records/record_statements.h"

namespace vekrano::bench {

inline constexpr int kRecords = 10000;

// Records "VK00000" to "VK09999" with one label each, so that the prefix "VK00" selects 1,000
// of them and "VK0" every one.
struct ArticleTable {
  QTemporaryDir directory;
  records::ArticleData data{directory.path().toStdString() + "/"};

  ArticleTable() {
    data.sqlqueryfonction.AutoDisableControls = false;
    data.openData();
    for (int num = 1; num <= kRecords; ++num) {
      char cb[16];
      std::snprintf(cb, sizeof cb, "VK%05d", num - 1);
      data.executeStatement(records::newRecordStatement(
          {num, cb, "Article " + std::to_string(num), "Rayon " + std::to_string(num % 40), 1, "O"}));
    }
  }
};

// Built once per process.
inline ArticleTable& table() {
  static ArticleTable shared;
  return shared;
}

inline std::string typeEntry(int number) {
  for (const std::string& entry : printing::labelTypeEntries()) {
    if (printing::LabelTypeOfEntry(entry) == number) return entry;
  }
  return {};
}

// A "Vm...:" line of /proc/self/status, in megabytes.
inline double statusMegabytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string name;
  double kilobytes = 0;
  while (status >> name) {
    if (name == key) {
      status >> kilobytes;
      break;
    }
    status.ignore(1 << 12, '\n');
  }
  return kilobytes / 1024.0;
}

// Lowers the peak to the current resident size, so that each measure shows its own peak.
inline void resetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace vekrano::bench
