// Counts what a print run sends, for the message at its end: a label is placed each time a
// position's barcode slot ("cb" and the position) receives a barcode.
#pragma once

#include "printing/print_run.h"

namespace vekrano::app {

class CountingLabelSink : public printing::LabelJobSink {
 public:
  // `sink` is borrowed and receives every operation unchanged.
  explicit CountingLabelSink(printing::LabelJobSink& sink) : sink_(sink) {}

  void open(const std::string& projectFile) override { sink_.open(projectFile); }
  void close() override { sink_.close(); }
  void setSlot(const std::string& slot, const std::string& text) override;
  void removePositionBarcode(const std::string& layoutName, int position) override {
    sink_.removePositionBarcode(layoutName, position);
  }
  void restorePositionBarcode(const std::string& layoutName, int position) override {
    sink_.restorePositionBarcode(layoutName, position);
  }
  void setLayoutPrinter(const std::string& layoutName, const std::string& printer) override {
    sink_.setLayoutPrinter(layoutName, printer);
  }
  void printLayout(const std::string& layoutName) override;

  // Labels placed and sheets printed so far.
  int labels() const { return labels_; }
  int sheets() const { return sheets_; }

 private:
  printing::LabelJobSink& sink_;
  int labels_ = 0;
  int sheets_ = 0;
};

}  // namespace vekrano::app
