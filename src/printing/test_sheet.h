// The calibration test sheet: one page that shows where a printer puts a layout's labels, so
// that its offset and scale can be read off with a ruler or against a sheet of labels.
#pragma once

#include "printing/label_layouts.h"

class QPainter;

namespace vekrano::printing {

// Where the rulers cross: the middle of the page, in millimetres from its top-left corner.
inline double testSheetRulerX(const TLabelLayout& layout) { return layout.pageWidthMm() / 2; }
inline double testSheetRulerY(const TLabelLayout& layout) { return layout.pageHeightMm() / 2; }

// Paints the test sheet of `layout`: the outline of every label (the page shared evenly among
// the layout's columns and rows), a cross at the corner where each position's bars start, and
// two rulers through the middle of the page, across and down, from edge to edge, with a mark
// every millimetre (longer every 5 and 10) and the distance from the paper's edge every 10 mm.
// On a well calibrated printer the edge of the paper falls on the rulers' 0.
// REQUIRES: as paintLabelPage.
void paintTestSheet(QPainter& painter, const TLabelLayout& layout);

}  // namespace vekrano::printing
