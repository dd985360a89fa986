// The layouts as the label makers' sheets need them: a grid of columns and rows, and the few
// positions that were placed by hand and differ from the grid.
#include "printing/label_layouts.h"

#include <algorithm>
#include <cctype>
#include <deque>

namespace vekrano::printing {
namespace {

// Bar left, text left and text width are shared by every position of a column.
struct Column {
  double barLeft;
  double textLeft;
  double textWidth;
};

// Bar top and text tops are shared by every position of a row; text2Top is 0 for one-text rows.
struct Row {
  double barTop;
  double text1Top;
  double text2Top;
};

enum class Field { BarLeft, BarTop, TextLeft, Text1Left, Text2Left, Text1Top, Text2Top };

// One value of one position that replaces the grid's; TextLeft sets both text lines' left.
struct Override {
  int position;
  Field field;
  double value;
};

struct LayoutSpec {
  const char* name;
  PageSize page;
  double barHeight;
  double textPointSize;
  bool oneText;
  std::vector<Column> columns;
  std::vector<Row> rows;
  std::vector<Override> overrides;
};

using F = Field;

const std::vector<LayoutSpec>& layoutSpecs() {
  // clang-format off
  static const std::vector<LayoutSpec> specs = {
      {"etiquette1", PageSize::Letter, 16.35, 10, false,
       {{16.00, 16.00, 55.00}, {76.00, 75.00, 55.00}, {135.00, 135.00, 55.00}},
       {{5.35, 35.00, 40.00}, {55.35, 85.00, 90.00}, {105.35, 135.00, 140.00},
        {155.70, 185.00, 190.00}},
       {{2, F::TextLeft, 75.49}, {7, F::TextLeft, 15.00}, {10, F::TextLeft, 15.00}}},
      {"etiquette2", PageSize::Letter, 6.35, 10, false,
       {{10.00, 10.00, 35.00}, {76.00, 76.00, 35.00}, {145.00, 145.00, 35.00}},
       {{15.00, 23.00, 27.35}, {50.00, 58.00, 62.00}, {85.00, 93.00, 97.00},
        {120.00, 128.00, 132.00}, {155.00, 163.00, 167.00}, {190.00, 198.00, 202.00},
        {225.00, 233.00, 237.00}, {260.00, 268.00, 272.00}},
       {}},
      {"etiquette3", PageSize::Letter, 6.35, 10, false,
       {{12.00, 12.00, 55.00}, {79.00, 79.00, 55.00}, {145.00, 145.00, 55.00}},
       {{20.00, 31.83, 36.83}, {58.00, 70.00, 75.00}, {96.00, 108.00, 113.00},
        {134.00, 146.35, 151.00}, {173.00, 184.00, 189.00}, {210.00, 222.00, 227.00},
        {248.00, 260.00, 265.00}},
       {}},
      {"etiquette4", PageSize::Letter, 6.35, 10, false,
       {{10.00, 10.00, 59.40}, {75.00, 75.00, 59.40}, {145.00, 145.00, 59.40}},
       {{15.00, 32.00, 37.00}, {60.00, 77.00, 82.00}, {105.00, 122.00, 127.00},
        {155.00, 172.00, 177.00}, {200.00, 217.00, 222.00}, {250.00, 267.00, 272.00}},
       {{11, F::TextLeft, 75.24}, {17, F::Text1Top, 266.00}, {17, F::Text2Top, 271.00}}},
      {"etiquette5", PageSize::A4, 6.35, 10, false,
       {{9.76, 10.00, 55.00}, {75.00, 75.00, 55.00}, {145.00, 145.00, 55.00}},
       {{5.00, 22.00, 27.00}, {44.00, 62.00, 67.00}, {80.00, 97.98, 102.98},
        {117.00, 133.98, 138.98}, {154.98, 173.00, 178.00}, {189.98, 208.00, 213.00},
        {226.98, 244.00, 249.00}, {262.71, 279.73, 284.73}},
       {{1, F::Text1Left, 9.76}, {1, F::Text1Top, 23.00}, {1, F::Text2Top, 28.00},
        {7, F::Text1Top, 98.00}, {7, F::Text2Top, 103.00},
        {8, F::TextLeft, 75.49}, {9, F::TextLeft, 144.49},
        {10, F::Text1Top, 134.00}, {10, F::Text2Top, 139.00},
        {11, F::TextLeft, 75.49}, {12, F::TextLeft, 144.49}, {18, F::TextLeft, 144.73},
        {19, F::TextLeft, 9.00}, {22, F::TextLeft, 9.00}}},
      {"etiquette6", PageSize::A4, 6.35, 10, false,
       {{9.76, 10.00, 55.00}, {75.00, 75.00, 55.00}, {145.00, 145.00, 55.00}},
       {{11.00, 26.83, 31.83}, {50.00, 69.62, 74.62}, {90.16, 108.14, 113.14},
        {131.73, 148.72, 153.72}, {175.05, 193.07, 198.07}, {216.65, 234.67, 239.67},
        {257.97, 274.99, 279.99}},
       {{1, F::Text1Left, 9.76}, {1, F::Text1Top, 27.83}, {1, F::Text2Top, 32.83},
        {3, F::BarTop, 9.00},
        {4, F::Text1Top, 70.00}, {4, F::Text2Top, 75.00},
        {7, F::Text1Top, 108.16}, {7, F::Text2Top, 113.16},
        {8, F::TextLeft, 75.49}, {9, F::TextLeft, 144.49},
        {10, F::Text1Top, 148.73}, {10, F::Text2Top, 153.73},
        {11, F::TextLeft, 75.49}, {12, F::TextLeft, 144.49}, {18, F::TextLeft, 144.73},
        {19, F::TextLeft, 9.00}}},
      {"etiquette7", PageSize::A4, 6.35, 10, false,
       {{9.76, 9.00, 59.32}, {75.00, 74.00, 62.87}, {145.00, 145.00, 59.06}},
       {{9.83, 30.11, 35.11}, {60.00, 82.79, 87.29}, {110.16, 130.95, 135.70},
        {159.73, 181.05, 185.54}, {210.05, 230.86, 235.35}, {254.65, 275.21, 280.21}},
       {{1, F::Text1Left, 9.76}, {1, F::Text2Left, 10.00},
        {2, F::TextLeft, 75.00}, {8, F::TextLeft, 74.49}, {11, F::TextLeft, 74.49},
        {14, F::Text1Left, 74.76}, {14, F::Text2Left, 75.00}}},
      {"etiquette8", PageSize::A4, 6.35, 10, false,
       {{9.76, 9.00, 55.00}, {75.00, 74.00, 55.00}, {145.00, 145.00, 55.00}},
       {{9.83, 24.79, 29.79}, {70.00, 86.19, 91.19}, {130.16, 144.84, 149.84},
        {189.73, 204.95, 209.95}, {250.05, 265.02, 270.02}},
       {{1, F::Text1Left, 9.76}, {1, F::Text1Top, 25.29},
        {1, F::Text2Left, 10.00}, {1, F::Text2Top, 30.29},
        {2, F::TextLeft, 75.00},
        {7, F::Text1Top, 144.86}, {7, F::Text2Top, 149.86},
        {8, F::TextLeft, 74.49}, {9, F::TextLeft, 143.49},
        {11, F::TextLeft, 74.49}, {12, F::TextLeft, 143.49},
        {15, F::Text1Left, 144.00}, {15, F::Text2Left, 143.97}}},
      {"etiquette9", PageSize::A4, 6.35, 10, true,
       {{9.76, 9.76, 43.40}, {59.67, 59.76, 43.40}, {109.67, 109.76, 43.40},
        {158.67, 160.76, 44.40}},
       {{16.52, 11.89, 0}, {42.00, 37.00, 0}, {68.24, 62.00, 0}, {92.00, 87.00, 0},
        {117.00, 112.00, 0}, {142.00, 136.00, 0}, {167.00, 162.00, 0}, {192.00, 187.00, 0},
        {217.00, 212.00, 0}, {242.00, 237.00, 0}, {267.00, 262.00, 0}},
       {{4, F::BarLeft, 160.67}, {5, F::BarLeft, 10.67}, {8, F::BarLeft, 160.67},
        {9, F::BarLeft, 10.67}, {12, F::BarLeft, 160.67}, {15, F::BarTop, 91.00},
        {35, F::BarLeft, 108.67}, {36, F::BarLeft, 157.67}, {38, F::BarLeft, 58.67}}},
      {"etiquette10", PageSize::A4, 6.35, 10, true,
       {{13.00, 13.00, 41.00}, {61.00, 61.00, 41.00}, {109.00, 109.00, 41.00},
        {157.00, 157.00, 41.00}},
       {{28.50, 24.50, 0}, {54.00, 50.14, 0}, {80.24, 75.91, 0}, {105.00, 101.00, 0},
        {130.00, 126.00, 0}, {156.00, 151.50, 0}, {181.00, 177.00, 0}, {206.00, 202.00, 0},
        {231.00, 227.00, 0}, {257.00, 253.00, 0}},
       {}},
      {"etiquette11", PageSize::A4, 9.35, 10, false,
       {{17.00, 15.22, 55.00}, {84.00, 84.00, 51.00}, {145.00, 145.00, 55.00}},
       {{22.00, 41.00, 45.64}, {60.00, 79.00, 84.00}, {98.00, 117.00, 121.00},
        {136.00, 155.00, 159.00}, {174.00, 193.00, 197.00}, {212.00, 231.00, 235.00},
        {250.00, 269.00, 273.00}},
       {}},
      {"etiquette12", PageSize::A4, 11.00, 11, false,
       {{9.76, 10.00, 98.00}, {115.00, 115.49, 90.00}},
       {{10.00, 25.00, 30.00}, {43.00, 58.00, 63.00}, {78.51, 94.00, 99.00},
        {116.35, 131.00, 136.00}, {154.00, 169.00, 174.00}, {190.00, 205.00, 210.00},
        {227.51, 243.00, 248.00}, {264.51, 280.00, 285.00}},
       {{7, F::BarLeft, 10.76}, {7, F::TextLeft, 11.00},
        {8, F::BarLeft, 116.00}, {8, F::TextLeft, 116.49},
        {9, F::BarLeft, 10.76}, {9, F::TextLeft, 11.00},
        {10, F::BarLeft, 116.00}, {10, F::TextLeft, 116.49},
        {11, F::BarLeft, 10.76}, {11, F::TextLeft, 11.00},
        {12, F::BarLeft, 116.00}, {12, F::TextLeft, 116.49}}},
  };
  // clang-format on
  return specs;
}

void apply(TLabelPosition& position, const Override& change) {
  switch (change.field) {
    case Field::BarLeft: position.barLeft = change.value; break;
    case Field::BarTop: position.barTop = change.value; break;
    case Field::TextLeft: position.text1Left = position.text2Left = change.value; break;
    case Field::Text1Left: position.text1Left = change.value; break;
    case Field::Text2Left: position.text2Left = change.value; break;
    case Field::Text1Top: position.text1Top = change.value; break;
    case Field::Text2Top: position.text2Top = change.value; break;
  }
}

TLabelLayout build(const LayoutSpec& grid) {
  TLabelLayout layout;
  layout.name = grid.name;
  layout.page = grid.page;
  layout.columns = static_cast<int>(grid.columns.size());
  layout.rows = static_cast<int>(grid.rows.size());
  layout.textPointSize = grid.textPointSize;
  layout.oneText = grid.oneText;
  for (const Row& row : grid.rows) {
    for (const Column& column : grid.columns) {
      TLabelPosition position;
      position.barLeft = column.barLeft;
      position.barTop = row.barTop;
      position.barHeight = grid.barHeight;
      position.text1Left = column.textLeft;
      position.text1Top = row.text1Top;
      position.text2Left = grid.oneText ? 0 : column.textLeft;
      position.text2Top = row.text2Top;
      position.textWidth = column.textWidth;
      layout.positions.push_back(position);
    }
  }
  for (const Override& change : grid.overrides) {
    apply(layout.positions.at(change.position - 1), change);
  }
  return layout;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// The sheet layouts added during the run; a deque keeps their addresses as it grows.
std::deque<TLabelLayout>& addedLayouts() {
  static std::deque<TLabelLayout> layouts;
  return layouts;
}

const TLabelLayout* builtInLayout(std::string_view name) {
  for (const TLabelLayout& layout : allLayouts()) {
    if (equalIgnoringCase(layout.name, name)) return &layout;
  }
  return nullptr;
}

double leftOf(const TLabelLayout& layout, const TLabelPosition& position) {
  const double textLeft = layout.oneText ? position.text1Left : std::min(position.text1Left, position.text2Left);
  return std::min(position.barLeft, textLeft);
}

double topOf(const TLabelPosition& position) { return std::min(position.barTop, position.text1Top); }

}  // namespace

LabelRectangle labelRectangle(const TLabelLayout& layout, int position) {
  if (!layout.labels.empty()) {  // a catalog or own sheet knows its labels
    const LabelRect& own = layout.labels.at(position - 1);
    return {own.left, own.top, own.right(), own.bottom()};
  }
  const auto at = [&](int p) -> const TLabelPosition& { return layout.positions.at(p - 1); };
  const int column = (position - 1) % layout.columns;
  const int rowStart = position - column;
  LabelRectangle label;
  label.left = leftOf(layout, at(position));
  label.top = topOf(at(position));
  if (column + 1 < layout.columns) {
    label.right = leftOf(layout, at(position + 1));
  } else if (layout.columns > 1) {
    const double pitch = (leftOf(layout, at(position)) - leftOf(layout, at(rowStart))) / (layout.columns - 1);
    label.right = std::min(label.left + pitch, layout.pageWidthMm());
  } else {
    label.right = layout.pageWidthMm();
  }
  const int below = position + layout.columns;
  label.bottom = below <= layout.labelsPerSheet() ? topOf(at(below)) : layout.pageHeightMm();
  return label;
}

const std::vector<TLabelLayout>& allLayouts() {
  static const std::vector<TLabelLayout> layouts = [] {
    std::vector<TLabelLayout> built;
    for (const LayoutSpec& grid : layoutSpecs()) built.push_back(build(grid));
    return built;
  }();
  return layouts;
}

const TLabelLayout* Layout(std::string_view name) {
  if (const TLabelLayout* layout = builtInLayout(name)) return layout;
  const auto& added = addedLayouts();
  const auto found = std::find_if(added.rbegin(), added.rend(),
                                  [name](const TLabelLayout& layout) { return equalIgnoringCase(layout.name, name); });
  return found == added.rend() ? nullptr : &*found;
}

const TLabelLayout& addSheetLayout(TLabelLayout layout) {
  while (builtInLayout(layout.name) != nullptr) layout.name += " *";
  return addedLayouts().emplace_back(std::move(layout));
}

std::string barcodeSlot(int position) { return "cb" + std::to_string(position); }
std::string text1Slot(int position) { return "cbliba" + std::to_string(position); }
std::string text2Slot(int position) { return "cblibb" + std::to_string(position); }

}  // namespace vekrano::printing
