// The twelve built-in label sheet layouts: page size, text font and the geometry of every label
// position, and the names of the value slots that a print run fills.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "printing/label_sheet.h"

namespace vekrano::printing {

// Where one label's barcode and text lines go. Millimetres from the top-left corner of the page.
struct TLabelPosition {
  double barLeft = 0;  // left edge of the first bar
  double barTop = 0;  // top edge of the bars
  double barHeight = 0;  // the bars run from barTop down over this height
  double text1Left = 0;
  double text1Top = 0;
  double text2Left = 0;  // text 2 values are 0 in the one-text layouts
  double text2Top = 0;
  double textWidth = 0;  // nominal only: text lines are neither wrapped nor cut to it
};

// 210 x 297 mm; 215.9 x 279.4 mm (8.5 x 11 in); the layout's own size
enum class PageSize { A4, Letter, Custom };

struct TLabelLayout {
  std::string name;  // "etiquette1" to "etiquette12"
  PageSize page = PageSize::A4;
  int columns = 0;
  int rows = 0;
  double textPointSize = 10;  // Arial, regular, black
  double humanReadablePointSize = 8;  // the symbol's human-readable line, Arial, regular
  // One-text layouts print text 1 above the bars and never print text 2.
  bool oneText = false;
  // Positions 1 to N row by row from the top left; positions[p - 1] is position p.
  std::vector<TLabelPosition> positions;
  // Sheets of the catalog and the user's own: the label of each position (labels[p - 1]) and
  // the corners' radius. The built-in layouts leave them empty.
  std::vector<LabelRect> labels;
  double cornerRadiusMm = 0;
  double customWidthMm = 0;  // the page size when page is PageSize::Custom
  double customHeightMm = 0;

  int labelsPerSheet() const { return static_cast<int>(positions.size()); }
  double pageWidthMm() const { return page == PageSize::A4 ? 210.0 : page == PageSize::Letter ? 215.9 : customWidthMm; }
  double pageHeightMm() const {
    return page == PageSize::A4 ? 297.0 : page == PageSize::Letter ? 279.4 : customHeightMm;
  }
};

// A label of a sheet, in millimetres from the page's top-left corner.
struct LabelRectangle {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  double width() const { return right - left; }
  double height() const { return bottom - top; }
  bool contains(double xMm, double yMm) const { return xMm >= left && xMm < right && yMm >= top && yMm < bottom; }
};

// The label of position p (1-based) of `layout`: its own label on a catalog or own sheet; on a
// built-in layout, found from the layout's own pitch: it starts at
// the leftmost and topmost of its bars and text lines and ends where the next label of its row
// (of its column) starts; a label of the last column ends one column pitch further but never
// beyond the page's edge, one of the last row at the page's bottom edge.
// REQUIRES: 1 <= position <= layout.labelsPerSheet().
LabelRectangle labelRectangle(const TLabelLayout& layout, int position);

// The layout of that name, letter case ignored: a built-in one, else the last one added by
// addSheetLayout under that name; nullptr when there is none.
const TLabelLayout* Layout(std::string_view name);
// Keeps `layout` for the rest of the process (previews may still paint pages of it) and makes
// Layout(name) find it. A name that a built-in layout bears gets " *" appended, so that the
// built-in layouts are never shadowed. Returns the layout as kept.
const TLabelLayout& addSheetLayout(TLabelLayout layout);
// All twelve layouts, etiquette1 first.
const std::vector<TLabelLayout>& allLayouts();

// Slot names of position p (1-based): "cb<p>", "cbliba<p>", "cblibb<p>".
std::string barcodeSlot(int position);
std::string text1Slot(int position);
std::string text2Slot(int position);

}  // namespace vekrano::printing
