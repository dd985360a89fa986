// A label sheet beyond the twelve built-in types, from the vendors' catalog or defined by the
// user: its page and the grids of its labels, all lengths in millimetres.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vekrano::printing {

// A grid of labels: `columns` x `rows` labels whose first (top-left) label starts at
// (left, top) from the page's top-left corner, the next ones `pitchX` further right and
// `pitchY` further down.
struct SheetGrid {
  int columns = 1;
  int rows = 1;
  double left = 0;
  double top = 0;
  double pitchX = 0;
  double pitchY = 0;

  bool operator==(const SheetGrid&) const = default;
};

// A grid has at most this many columns and rows: far beyond any real sheet, and small enough
// that a damaged file cannot ask for millions of labels.
inline constexpr int kMaxGridCount = 100;

// A column or row count as a sheet file writes it: a whole number from 1 to kMaxGridCount, or
// nothing.
std::optional<int> gridCount(std::string_view text);

// The top-left corner and size of one label on its page, in millimetres.
struct LabelRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;

  double right() const { return left + width; }
  double bottom() const { return top + height; }
};

struct LabelSheetSpec {
  std::string name;  // UTF-8: "Avery L7163", or the name the user gave
  std::string description;  // UTF-8, may be empty
  std::string pageName;  // "A4", "US Letter", another paper's name, or empty for a custom size
  double pageWidthMm = 0;
  double pageHeightMm = 0;
  double labelWidthMm = 0;
  double labelHeightMm = 0;
  double cornerRadiusMm = 0;  // 0 for square corners
  std::vector<SheetGrid> grids;

  int labelCount() const;
  // Every label of every grid, row by row from the top left of the page.
  std::vector<LabelRect> labelRects() const;
  bool operator==(const LabelSheetSpec&) const = default;
};

// "99.1 x 38.1": a width and a height in millimetres, to a tenth.
std::string sizeText(double widthMm, double heightMm);

// Sheet names (UTF-8) are the same when they differ only in letter case.
bool sameSheetName(std::string_view a, std::string_view b);

}  // namespace vekrano::printing
