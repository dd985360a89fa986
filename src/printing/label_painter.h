// Paints a label sheet page from its layout and the slot values: the one drawing code path for
// printers, PDF files and images.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <unordered_map>

#include "printing/label_layouts.h"

class QPainter;

namespace vekrano::printing {

// Slot name ("cb1", "cbliba1", ...) -> ANSI (Windows-1252) text; a missing slot is empty.
using SlotValues = std::unordered_map<std::string, std::string>;

inline constexpr const char* kLabelFontFamily = "Arial";
inline constexpr double kHumanReadablePointSize = 8;

// True when the barcode (ANSI) prints as itself on every label of `layout`: it is empty, or it
// holds only Code 39's characters and its symbol fits the labels (see unprintableOn).
bool printableOn(const TLabelLayout& layout, const std::string& barcode);

// Paints the page of `layout` on `painter`. REQUIRES: the painter is active on a device whose
// origin is the top-left corner of the page and whose logical resolution is its real one.
// Every position gets its barcode (unless its number is in `removedBarcodes`), narrowed to fit
// its label, and its text lines, cut at the label's right edge. A position whose barcode is not
// printableOn the layout stays blank, crossed out when `markUnprintablePlaces`.
void paintLabelPage(QPainter& painter, const TLabelLayout& layout, const SlotValues& values,
                    const std::set<int>& removedBarcodes, bool markUnprintablePlaces = false);

// One sheet of a run as it prints.
struct LabelSheet {
  const TLabelLayout* layout = nullptr;
  SlotValues values;
  std::set<int> removedBarcodes;
};

// The page painter of a sheet that the label report hands to its destinations; the preview finds
// it there to show the places of unprintable barcodes. REQUIRES: sheet->layout is set.
struct SheetPainter {
  std::shared_ptr<const LabelSheet> sheet;
  bool markUnprintablePlaces = false;
  void operator()(QPainter& painter) const;
};

}  // namespace vekrano::printing
