// The labels of a sheet in reading order.
#include "printing/label_sheet.h"

#include <QString>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace vekrano::printing {

int LabelSheetSpec::labelCount() const {
  int count = 0;
  for (const SheetGrid& grid : grids) count += grid.columns * grid.rows;
  return count;
}

// Several grids may share rows (a sheet with a narrow column beside wide ones), so labels are
// ordered by their top, to a hundredth of a millimetre, then by their left edge.
std::optional<int> gridCount(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 1 || value > kMaxGridCount) {
    return std::nullopt;
  }
  return value;
}

std::vector<LabelRect> LabelSheetSpec::labelRects() const {
  std::vector<LabelRect> labels;
  for (const SheetGrid& grid : grids) {
    for (int row = 0; row < grid.rows; ++row) {
      for (int column = 0; column < grid.columns; ++column) {
        labels.push_back({grid.left + column * grid.pitchX, grid.top + row * grid.pitchY, labelWidthMm, labelHeightMm});
      }
    }
  }
  std::stable_sort(labels.begin(), labels.end(), [](const LabelRect& a, const LabelRect& b) {
    const long rowA = std::lround(a.top * 100);
    const long rowB = std::lround(b.top * 100);
    return rowA != rowB ? rowA < rowB : a.left < b.left;
  });
  return labels;
}

std::string sizeText(double widthMm, double heightMm) {
  char text[64];
  std::snprintf(text, sizeof text, "%.1f x %.1f", widthMm, heightMm);
  return text;
}

bool sameSheetName(std::string_view a, std::string_view b) {
  return QString::compare(QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size())),
                          QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())), Qt::CaseInsensitive) == 0;
}

}  // namespace vekrano::printing
