// A job sink for the printing tests: keeps the slots, removals and printers as a report would
// and takes a snapshot of them at every job.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "printing/label_report.h"
#include "printing/page_destinations.h"

namespace vekrano::printing {

class RecordingSink : public LabelJobSink {
 public:
  struct Job {
    std::string layoutName;
    std::string printer;  // "(never set)" when no printer was set for the layout
    std::map<std::string, std::string> values;
    std::set<int> removed;
  };

  void open(const std::string& projectFile) override {
    calls.push_back("open " + projectFile);
    isOpen = true;
  }
  // Forgets the slots and restores the removed barcodes, as closing the layout set does.
  void close() override {
    calls.push_back("close");
    isOpen = false;
    values_.clear();
    removed_.clear();
  }
  void setSlot(const std::string& slot, const std::string& text) override { values_[slot] = text; }
  void removePositionBarcode(const std::string& layoutName, int position) override {
    removed_[layoutName].insert(position);
  }
  void restorePositionBarcode(const std::string& layoutName, int position) override {
    removed_[layoutName].erase(position);
  }
  void setLayoutPrinter(const std::string& layoutName, const std::string& printer) override {
    printers_[layoutName] = printer;
  }
  void printLayout(const std::string& layoutName) override {
    if (failAtJob == static_cast<int>(jobs.size()) + 1) throw EReportError("paper jam");
    const auto printer = printers_.find(layoutName);
    jobs.push_back(
        {layoutName, printer == printers_.end() ? "(never set)" : printer->second, values_, removed_[layoutName]});
  }
  int slotsSet() const { return static_cast<int>(values_.size()); }

  std::vector<Job> jobs;
  std::vector<std::string> calls;
  bool isOpen = false;
  int failAtJob = 0;  // the job that raises, counted from 1; 0 for none

 private:
  std::map<std::string, std::string> values_;
  std::map<std::string, std::set<int>> removed_;
  std::map<std::string, std::string> printers_;
};

// The positions from `from` to `to`, both included.
inline std::set<int> range(int from, int to) {
  std::set<int> positions;
  for (int p = from; p <= to; ++p) positions.insert(p);
  return positions;
}

}  // namespace vekrano::printing
