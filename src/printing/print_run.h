// The sheet filling of a label print run: records become labels, labels fill the positions of a
// layout one after the other, every full sheet is one job and the last sheet loses the barcodes
// of its empty positions.
#pragma once

#include <span>
#include <string>

namespace vekrano::printing {

// The report operations a print run needs; the label report implements them, tests record them.
class LabelJobSink {
 public:
  virtual ~LabelJobSink() = default;
  // Opens the layout set named by `projectFile`; opening an open set does nothing.
  virtual void open(const std::string& projectFile) = 0;
  // Forgets every slot value, restores removed barcodes and default printers.
  virtual void close() = 0;
  // Holds `text` (ANSI) under the slot name for every layout until set again.
  virtual void setSlot(const std::string& slot, const std::string& text) = 0;
  // Leaves out the barcode of `position` of the layout; never fails.
  virtual void removePositionBarcode(const std::string& layoutName, int position) = 0;
  // Prints the barcode of `position` again after a removal; never fails.
  virtual void restorePositionBarcode(const std::string& layoutName, int position) = 0;
  // The printer the layout prints on, the empty name for the default printer; never fails.
  virtual void setLayoutPrinter(const std::string& layoutName, const std::string& printer) = 0;
  // Prints the layout's page from the slots as one job.
  virtual void printLayout(const std::string& layoutName) = 0;
};

// One record to print: barcode text, text lines (ANSI) and the number of labels.
struct LabelRecord {
  std::string cb;
  std::string lib1;
  std::string lib2;
  int quantite = 0;
};

struct LabelTextOptions {
  bool printText1 = true;
  bool printText2 = true;
};

// Fills sheets of one layout record by record and sends them to a sink.
class LabelSheetFiller {
 public:
  // REQUIRES: labelsPerSheet >= 1 and is the number of positions of `layoutName`;
  // 1 <= firstPosition <= labelsPerSheet.
  // Empties the 3 x labelsPerSheet slots; the first label goes to `firstPosition`, and the
  // positions before it on the first sheet (a sheet already partly used) lose their barcodes
  // until that sheet is printed. The other sheets start at position 1.
  LabelSheetFiller(LabelJobSink& sink, std::string layoutName, int labelsPerSheet, std::string printerName,
                   LabelTextOptions options, int firstPosition = 1);

  // Places `quantite` labels of the record on the next positions (none when quantite <= 0),
  // printing every sheet that becomes full.
  void addRecord(const LabelRecord& record);
  // Prints the partly filled last sheet, its empty positions' barcodes removed; nothing when
  // no label waits. Call once, after the last record.
  void finish();

  int jobsPrinted() const { return jobs_; }
  // Where the next label would go: after finish(), the first free position of the last sheet
  // printed, 1 when that sheet was filled; the first position while no label was placed.
  int nextPosition() const { return next_; }

 private:
  void clearSlots();
  void printSheet();
  void restoreSkippedPositions();

  LabelJobSink& sink_;
  std::string layoutName_;
  int labelsPerSheet_;
  std::string printerName_;
  LabelTextOptions options_;
  int firstPosition_;
  int next_;  // the position the next label goes to
  bool pending_ = false;  // labels placed on the current sheet and not yet printed
  int jobs_ = 0;
};

// The filling of one run over `records` in order, from `firstPosition` of the first sheet
// (REQUIRES: 1 <= firstPosition <= labelsPerSheet). With no record nothing is touched at all.
// Returns the number of jobs printed: ceil((firstPosition - 1 + labels) / labelsPerSheet).
int fillLabelSheets(LabelJobSink& sink, const std::string& layoutName, int labelsPerSheet,
                    const std::string& printerName, std::span<const LabelRecord> records, LabelTextOptions options,
                    int firstPosition = 1);

}  // namespace vekrano::printing
