// Paints a label sheet page from its layout and the slot values: the one drawing code path for
// printers, PDF files and images.
#pragma once

#include <set>
#include <string>
#include <unordered_map>

#include "printing/label_layouts.h"

class QPainter;

namespace vekrano::printing {

// Slot name ("cb1", "cbliba1", ...) -> ANSI (Windows-1252) text; a missing slot is empty.
using SlotValues = std::unordered_map<std::string, std::string>;

inline constexpr const char* kLabelFontFamily = "Arial";

// Paints the page of `layout` on `painter`. REQUIRES: the painter is active on a device whose
// origin is the top-left corner of the page and whose logical resolution is its real one.
// Every position gets its barcode (unless its number is in `removedBarcodes`) and its text lines.
void paintLabelPage(QPainter& painter, const TLabelLayout& layout, const SlotValues& values,
                    const std::set<int>& removedBarcodes);

// One sheet of a run as it prints.
struct LabelSheet {
  const TLabelLayout* layout = nullptr;
  SlotValues values;
  std::set<int> removedBarcodes;
};

// paintLabelPage of the sheet. REQUIRES: sheet.layout is set.
inline void paintLabelSheet(QPainter& painter, const LabelSheet& sheet) {
  paintLabelPage(painter, *sheet.layout, sheet.values, sheet.removedBarcodes);
}

}  // namespace vekrano::printing
