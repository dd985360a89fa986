// The layout set of a print run. Removals and printers are kept under each layout's own name,
// so that names differing only in letter case reach the same layout.
#include "printing/label_report.h"

#include <memory>

namespace vekrano::printing {
namespace {

const TLabelLayout& requireLayout(const std::string& layoutName) {
  const TLabelLayout* layout = Layout(layoutName);
  if (layout == nullptr) throw EReportError("Unknown report " + layoutName);
  return *layout;
}

}  // namespace

LabelReport::LabelReport(PageDestination& destination, ReportStatus* status)
    : destination_(destination), status_(status) {}

void LabelReport::open(const std::string& projectFile) {
  if (open_) return;
  projectFile_ = projectFile;
  open_ = true;
}

void LabelReport::close() {
  open_ = false;
  slots_.clear();
  removedBarcodes_.clear();
  printers_.clear();
}

void LabelReport::setSlot(const std::string& slot, const std::string& text) { slots_[slot] = text; }

void LabelReport::removePositionBarcode(const std::string& layoutName, int position) {
  const TLabelLayout* layout = Layout(layoutName);
  if (layout == nullptr || position < 1 || position > layout->labelsPerSheet()) return;
  removedBarcodes_[layout->name].insert(position);
}

void LabelReport::restorePositionBarcode(const std::string& layoutName, int position) {
  const TLabelLayout* layout = Layout(layoutName);
  if (layout != nullptr) removedBarcodes_[layout->name].erase(position);
}

void LabelReport::setLayoutPrinter(const std::string& layoutName, const std::string& printer) {
  const TLabelLayout* layout = Layout(layoutName);
  if (layout != nullptr) printers_[layout->name] = printer;
}

void LabelReport::printLayout(const std::string& layoutName) {
  if (!open_) throw EReportError("The report project is not open");
  const TLabelLayout& layout = requireLayout(layoutName);
  const auto printer = printers_.find(layout.name);
  const auto removed = removedBarcodes_.find(layout.name);
  auto sheet = std::make_shared<const LabelSheet>(
      LabelSheet{&layout, slots_, removed == removedBarcodes_.end() ? std::set<int>{} : removed->second});
  StatusOfJob status(status_);
  destination_.printPage(layout, printer == printers_.end() ? std::string() : printer->second, SheetPainter{sheet});
}

}  // namespace vekrano::printing
