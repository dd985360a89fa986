// The label layout of a catalog sheet or an own sheet: every label gets its symbol and its two
// text lines placed inside it, so that one painter prints built-in and other sheets alike.
#pragma once

#include "printing/label_layouts.h"
#include "printing/label_sheet.h"

namespace vekrano::printing {

// Text lines are never larger than on the built-in sheets, nor smaller than this.
inline constexpr double kSheetTextPointSize = 10;
inline constexpr double kSheetMinTextPointSize = 4;
// The bars never run taller than this, however tall the label.
inline constexpr double kSheetMaxBarHeightMm = 15;

// The layout of `sheet`, named after it. Inside each label, within a margin (wider where round
// corners cut into it), from the top: the bars over about half the height left by the text,
// the human-readable line, text 1 and text 2, the block centred from top to bottom and starting
// at the margin on the left. The text size is shrunk on labels too low for 10 pt lines.
// REQUIRES: the sheet has at least one label and positive label sizes.
TLabelLayout sheetLayout(const LabelSheetSpec& sheet);

// sheetLayout(sheet) kept by addSheetLayout, for the print run and its previews.
const TLabelLayout& addSheet(const LabelSheetSpec& sheet);

}  // namespace vekrano::printing
