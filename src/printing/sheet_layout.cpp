// Placing the symbol and the text lines inside the labels of a sheet. The sizes depend only on
// the label's size, so every position of a sheet shares one text size.
#include "printing/sheet_layout.h"

#include <algorithm>
#include <cmath>

#include "printing/device_scale.h"

namespace vekrano::printing {
namespace {

constexpr double kMmPerPoint = kMmPerInch / 72;
// A text line's height as a share of its point size: the font's ascent and descent with a
// little air between lines.
constexpr double kLineSpacing = 1.15;
// The human-readable line is to the text lines as 8 pt is to 10 pt on the built-in sheets.
constexpr double kHumanReadableShare = 0.8;
// Share of the label's inner height that the text lines may take before their size shrinks.
constexpr double kTextShare = 0.55;
// Bars never shrink below this share of the inner height, even when the text cannot shrink more.
constexpr double kMinBarShare = 0.35;
// Code 39 wants a quiet zone of ten narrow elements before the first bar.
constexpr double kQuietZoneMm = 2.54;

double lineMm(double pointSize) { return pointSize * kMmPerPoint * kLineSpacing; }

struct Margins {
  double horizontal;
  double vertical;
};

// A margin of about 6 % of the label's smaller side, between 0.8 and 2 mm, and more where
// round corners cut into the label; on the left also room for a quiet zone when the label is
// wide enough to spare it.
Margins marginsOf(const LabelSheetSpec& sheet) {
  const double side = std::min(sheet.labelWidthMm, sheet.labelHeightMm);
  const double margin = std::clamp(0.06 * side, 0.8, 2.0) + 0.3 * sheet.cornerRadiusMm;
  return {std::max(margin, std::min(kQuietZoneMm, 0.04 * sheet.labelWidthMm)), margin};
}

// The text size for an inner height, in half points, from the minimum to the built-in size.
double textPointSizeFor(double innerHeightMm) {
  const double fitting = kTextShare * innerHeightMm / lineMm(2 + kHumanReadableShare);
  return std::clamp(std::floor(fitting * 2) / 2, kSheetMinTextPointSize, kSheetTextPointSize);
}

PageSize pageOf(const LabelSheetSpec& sheet) {
  const auto near = [](double a, double b) { return std::abs(a - b) < 0.05; };
  if (near(sheet.pageWidthMm, 210.0) && near(sheet.pageHeightMm, 297.0)) return PageSize::A4;
  if (near(sheet.pageWidthMm, 215.9) && near(sheet.pageHeightMm, 279.4)) return PageSize::Letter;
  return PageSize::Custom;
}

}  // namespace

TLabelLayout sheetLayout(const LabelSheetSpec& sheet) {
  TLabelLayout layout;
  layout.name = sheet.name;
  layout.page = pageOf(sheet);
  layout.customWidthMm = sheet.pageWidthMm;
  layout.customHeightMm = sheet.pageHeightMm;
  layout.cornerRadiusMm = sheet.cornerRadiusMm;
  layout.labels = sheet.labelRects();
  layout.columns = std::max(1, sheet.grids.front().columns);
  layout.rows = (static_cast<int>(layout.labels.size()) + layout.columns - 1) / layout.columns;

  const Margins margins = marginsOf(sheet);
  const double inner = sheet.labelHeightMm - 2 * margins.vertical;
  layout.textPointSize = textPointSizeFor(inner);
  layout.humanReadablePointSize = kHumanReadableShare * layout.textPointSize;
  const double humanReadableLine = lineMm(layout.humanReadablePointSize);
  const double textLine = lineMm(layout.textPointSize);
  const double textBlock = humanReadableLine + 2 * textLine;
  const double barHeight = std::min(kSheetMaxBarHeightMm, std::max(inner - textBlock, kMinBarShare * inner));
  const double spare = std::max(0.0, inner - barHeight - textBlock);

  for (const LabelRect& label : layout.labels) {
    TLabelPosition position;
    position.barLeft = label.left + margins.horizontal;
    position.barTop = label.top + margins.vertical + spare / 2;
    position.barHeight = barHeight;
    position.text1Left = position.text2Left = position.barLeft;
    position.text1Top = position.barTop + barHeight + humanReadableLine;
    position.text2Top = position.text1Top + textLine;
    position.textWidth = label.width - 2 * margins.horizontal;
    layout.positions.push_back(position);
  }
  return layout;
}

const TLabelLayout& addSheet(const LabelSheetSpec& sheet) { return addSheetLayout(sheetLayout(sheet)); }

}  // namespace vekrano::printing
