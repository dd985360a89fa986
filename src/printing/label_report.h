// The label report: the set of built-in sheet layouts with the slot values of a run, the barcodes
// left out and each layout's printer, printing one layout page as one job.
#pragma once

#include <map>
#include <set>
#include <string>

#include "printing/label_painter.h"
#include "printing/page_destinations.h"
#include "printing/print_run.h"

namespace vekrano::printing {

// Feedback while a page is generated and printed: a small window in the application.
class ReportStatus {
 public:
  virtual ~ReportStatus() = default;
  // Page `page` (from 1) of the job starts being generated and printed.
  virtual void pageStarted(int page) = 0;
  // The job is out (or failed); the feedback goes away.
  virtual void jobEnded() = 0;
};

// The feedback of one one-page job, ended however the job ends. `status` may be nullptr.
class StatusOfJob {
 public:
  explicit StatusOfJob(ReportStatus* status) : status_(status) {
    if (status_) status_->pageStarted(1);
  }
  ~StatusOfJob() {
    if (status_) status_->jobEnded();
  }
  StatusOfJob(const StatusOfJob&) = delete;
  StatusOfJob& operator=(const StatusOfJob&) = delete;

 private:
  ReportStatus* status_;
};

// The file name under which the layout set is opened, in the program directory.
inline constexpr const char* kLayoutFileName = "docvkb.rav";

class LabelReport : public LabelJobSink {
 public:
  // `destination` and `status` (may be nullptr) are borrowed and must outlive the report.
  explicit LabelReport(PageDestination& destination, ReportStatus* status = nullptr);

  // The built-in layouts are always used: a layout file on disk is not read.
  void open(const std::string& projectFile) override;
  void close() override;
  bool isOpen() const { return open_; }
  // The file named at the last open.
  const std::string& projectFile() const { return projectFile_; }

  void setSlot(const std::string& slot, const std::string& text) override;
  // A layout name that is not known, or a position outside the layout, is ignored.
  void removePositionBarcode(const std::string& layoutName, int position) override;
  void restorePositionBarcode(const std::string& layoutName, int position) override;
  // A layout name that is not known is ignored.
  void setLayoutPrinter(const std::string& layoutName, const std::string& printer) override;
  // The page handed to the destination holds a copy of the slots and removals of this moment,
  // so a destination may keep it and paint it again later.
  // Throws EReportError when the set is not open, the layout is unknown or the output fails.
  void printLayout(const std::string& layoutName) override;

 private:
  PageDestination& destination_;
  ReportStatus* status_;
  bool open_ = false;
  std::string projectFile_;
  SlotValues slots_;
  std::map<std::string, std::set<int>> removedBarcodes_;  // by layout's own name
  std::map<std::string, std::string> printers_;  // by layout's own name
};

}  // namespace vekrano::printing
