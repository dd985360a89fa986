#include "printing/label_layouts.h"

#include <gtest/gtest.h>

namespace vekrano::printing {
namespace {

TEST(LabelLayouts, TwelveLayoutsFoundByNameWithoutRegardToCase) {
  const int expectedCounts[12] = {12, 24, 21, 18, 24, 21, 18, 15, 44, 40, 21, 16};
  ASSERT_EQ(allLayouts().size(), 12u);
  for (int n = 1; n <= 12; ++n) {
    const TLabelLayout* layout = Layout("etiquette" + std::to_string(n));
    ASSERT_NE(layout, nullptr) << n;
    EXPECT_EQ(layout->labelsPerSheet(), expectedCounts[n - 1]) << n;
    EXPECT_EQ(layout->labelsPerSheet(), layout->columns * layout->rows) << n;
    EXPECT_EQ(layout->page, n <= 4 ? PageSize::Letter : PageSize::A4) << n;
    EXPECT_EQ(layout->oneText, n == 9 || n == 10) << n;
    EXPECT_EQ(layout->textPointSize, n == 12 ? 11 : 10) << n;
  }
  EXPECT_EQ(Layout("ETIQUETTE12"), Layout("etiquette12"));
  EXPECT_EQ(Layout("EtiQuette3")->name, "etiquette3");
  EXPECT_EQ(Layout("etiquette13"), nullptr);
  EXPECT_EQ(Layout("etiquette"), nullptr);
  EXPECT_EQ(Layout(""), nullptr);
  EXPECT_EQ(Layout("etiquette1 "), nullptr);
  EXPECT_DOUBLE_EQ(Layout("etiquette1")->pageWidthMm(), 215.9);
  EXPECT_DOUBLE_EQ(Layout("etiquette1")->pageHeightMm(), 279.4);
  EXPECT_DOUBLE_EQ(Layout("etiquette5")->pageHeightMm(), 297.0);
}

// Every label of every layout stays on its page, reads top to bottom inside a row of labels,
// and its rows go down the page.
TEST(LabelLayouts, PositionsAreConsistentOnEveryLayout) {
  for (const TLabelLayout& layout : allLayouts()) {
    for (int p = 1; p <= layout.labelsPerSheet(); ++p) {
      const TLabelPosition& position = layout.positions[p - 1];
      SCOPED_TRACE(layout.name + " position " + std::to_string(p));
      EXPECT_GT(position.barLeft, 0);
      EXPECT_LT(position.barLeft + 7.87, layout.pageWidthMm());
      EXPECT_LT(position.barTop + position.barHeight, layout.pageHeightMm());
      EXPECT_LT(position.text1Top + 4, layout.pageHeightMm());
      EXPECT_GT(position.textWidth, 30);
      if (layout.oneText) {
        EXPECT_LT(position.text1Top, position.barTop);
        EXPECT_EQ(position.text2Top, 0);
      } else {
        EXPECT_GE(position.text1Top, position.barTop + position.barHeight);
        EXPECT_GT(position.text2Top, position.text1Top);
        EXPECT_LT(position.text2Top, position.text1Top + 6);
      }
      if (p > layout.columns) {
        EXPECT_GT(position.barTop, layout.positions[p - 1 - layout.columns].barTop + 20);
      }
      if ((p - 1) % layout.columns != 0) {
        EXPECT_GT(position.barLeft, layout.positions[p - 2].barLeft + 40);
      }
    }
  }
}

TEST(LabelLayouts, PositionsPlacedOffTheGrid) {
  const auto position = [](const char* name, int p) { return Layout(name)->positions.at(p - 1); };
  EXPECT_DOUBLE_EQ(position("etiquette6", 3).barTop, 9.00);
  EXPECT_DOUBLE_EQ(position("etiquette6", 2).barTop, 11.00);
  EXPECT_DOUBLE_EQ(position("etiquette6", 6).barTop, 50.00);
  // Only text 1 of etiquette5 position 1 moves left; text 2 keeps the column's 10.00.
  EXPECT_DOUBLE_EQ(position("etiquette5", 1).text1Left, 9.76);
  EXPECT_DOUBLE_EQ(position("etiquette5", 1).text2Left, 10.00);
  EXPECT_DOUBLE_EQ(position("etiquette5", 1).text2Top, 28.00);
  EXPECT_DOUBLE_EQ(position("etiquette5", 4).text1Left, 10.00);
  EXPECT_DOUBLE_EQ(position("etiquette4", 17).text1Top, 266.00);
  EXPECT_DOUBLE_EQ(position("etiquette4", 16).text1Top, 267.00);
  EXPECT_DOUBLE_EQ(position("etiquette8", 15).text2Left, 143.97);
  EXPECT_DOUBLE_EQ(position("etiquette8", 15).text1Left, 144.00);
  EXPECT_DOUBLE_EQ(position("etiquette9", 15).barTop, 91.00);
  EXPECT_DOUBLE_EQ(position("etiquette9", 16).barTop, 92.00);
  EXPECT_DOUBLE_EQ(position("etiquette9", 38).barLeft, 58.67);
  EXPECT_DOUBLE_EQ(position("etiquette9", 37).barLeft, 9.76);
  EXPECT_DOUBLE_EQ(position("etiquette2", 1).text2Top, 27.35);
  EXPECT_DOUBLE_EQ(position("etiquette2", 4).text2Top, 62.00);
  for (int p = 1; p <= 16; ++p) {
    const bool shifted = p >= 7 && p <= 12;
    const bool left = p % 2 == 1;
    EXPECT_DOUBLE_EQ(position("etiquette12", p).barLeft, (left ? 9.76 : 115.00) + shifted) << p;
    EXPECT_DOUBLE_EQ(position("etiquette12", p).text2Left, (left ? 10.00 : 115.49) + shifted) << p;
  }
}

TEST(LabelLayouts, SlotNames) {
  EXPECT_EQ(barcodeSlot(1), "cb1");
  EXPECT_EQ(text1Slot(12), "cbliba12");
  EXPECT_EQ(text2Slot(44), "cblibb44");
}

}  // namespace
}  // namespace vekrano::printing
