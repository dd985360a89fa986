// Sheet filling of the print run. The pending flag is raised only when a label is placed, so a
// run whose records all ask for no label prints no blank sheet.
#include "printing/print_run.h"

#include <cassert>
#include <utility>

#include "printing/label_layouts.h"

namespace vekrano::printing {

LabelSheetFiller::LabelSheetFiller(LabelJobSink& sink, std::string layoutName, int labelsPerSheet,
                                   std::string printerName, LabelTextOptions options, int firstPosition)
    : sink_(sink),
      layoutName_(std::move(layoutName)),
      labelsPerSheet_(labelsPerSheet),
      printerName_(std::move(printerName)),
      options_(options),
      firstPosition_(firstPosition),
      next_(firstPosition) {
  assert(firstPosition >= 1 && firstPosition <= labelsPerSheet);
  clearSlots();
  for (int p = 1; p < firstPosition_; ++p) sink_.removePositionBarcode(layoutName_, p);
}

void LabelSheetFiller::clearSlots() {
  for (int p = 1; p <= labelsPerSheet_; ++p) {
    sink_.setSlot(barcodeSlot(p), {});
    sink_.setSlot(text1Slot(p), {});
    sink_.setSlot(text2Slot(p), {});
  }
}

// The used positions of the first sheet are only left out on that sheet.
void LabelSheetFiller::restoreSkippedPositions() {
  for (int p = 1; p < firstPosition_; ++p) sink_.restorePositionBarcode(layoutName_, p);
}

void LabelSheetFiller::printSheet() {
  sink_.setLayoutPrinter(layoutName_, printerName_);
  sink_.printLayout(layoutName_);
  ++jobs_;
}

void LabelSheetFiller::addRecord(const LabelRecord& record) {
  const std::string empty;
  const std::string& text1 = options_.printText1 ? record.lib1 : empty;
  const std::string& text2 = options_.printText2 ? record.lib2 : empty;
  for (int copy = 0; copy < record.quantite; ++copy) {
    pending_ = true;
    sink_.setSlot(barcodeSlot(next_), record.cb);
    sink_.setSlot(text1Slot(next_), text1);
    sink_.setSlot(text2Slot(next_), text2);
    if (next_ == labelsPerSheet_) {
      printSheet();
      if (jobs_ == 1) restoreSkippedPositions();
      clearSlots();
      next_ = 0;
      pending_ = false;
    }
    ++next_;
  }
}

void LabelSheetFiller::finish() {
  if (!pending_) return;
  for (int p = next_; p <= labelsPerSheet_; ++p) sink_.removePositionBarcode(layoutName_, p);
  printSheet();
  pending_ = false;
}

int fillLabelSheets(LabelJobSink& sink, const std::string& layoutName, int labelsPerSheet,
                    const std::string& printerName, std::span<const LabelRecord> records, LabelTextOptions options,
                    int firstPosition) {
  if (records.empty()) return 0;
  LabelSheetFiller filler(sink, layoutName, labelsPerSheet, printerName, options, firstPosition);
  for (const LabelRecord& record : records) filler.addRecord(record);
  filler.finish();
  return filler.jobsPrinted();
}

}  // namespace vekrano::printing
