// Texts kept beside the rows read, sort and compare exactly as texts held in the rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "sql/results/result_set.h"
#include "sql/results/result_set_order.h"

namespace vekrano::sql {
namespace {

// The same columns in two result sets: one holds its texts in the rows, the other beside them.
struct TwinResults {
  TMemResultSet inRows;
  TMemResultSet beside;
  std::vector<int> stringColumns;

  explicit TwinResults(const std::vector<int>& widths) {
    beside.keepTextsBesideRows();
    for (int width : widths) {
      const std::string name = "s" + std::to_string(width);
      stringColumns.push_back(inRows.Fields().Count());
      inRows.AddField(makeSqlField(name, "", ttString, width));
      beside.AddField(makeSqlField(name, "", ttString, width));
      // Numbers and flags between the texts, so that every kind of value follows a reference.
      inRows.AddField(makeSqlField(name + "i", "", ttInteger, 0));
      beside.AddField(makeSqlField(name + "i", "", ttInteger, 0));
    }
    inRows.AddField(makeSqlField("f", "", ttFloat, 0));
    beside.AddField(makeSqlField("f", "", ttFloat, 0));
    inRows.AddField(makeSqlField("b", "", ttBoolean, 0));
    beside.AddField(makeSqlField("b", "", ttBoolean, 0));
  }

  void insert() {
    inRows.Insert();
    beside.Insert();
  }
  // Runs `write` with each result's column `c` on its current row.
  template <typename Write>
  void write(int c, Write write) {
    write(inRows.Fields()[c], inRows.currentRow());
    write(beside.Fields()[c], beside.currentRow());
  }

  // Every column of every row reads the same from both.
  void expectSameRows() const {
    ASSERT_EQ(inRows.RecordCount(), beside.RecordCount());
    for (int r = 0; r < inRows.RecordCount(); ++r) {
      ASSERT_EQ(inRows.sourceBookmark(inRows.Row(r)), beside.sourceBookmark(beside.Row(r))) << "row " << r;
      for (int c = 0; c < inRows.Fields().Count(); ++c) {
        const TSqlField& a = inRows.Fields()[c];
        const TSqlField& b = beside.Fields()[c];
        ASSERT_EQ(a.IsNull(inRows.Row(r)), b.IsNull(beside.Row(r))) << "row " << r << " column " << c;
        ASSERT_EQ(a.AsString(inRows.Row(r)), b.AsString(beside.Row(r))) << "row " << r << " column " << c;
        if (a.Type() == ttString) {
          ASSERT_EQ(a.AsBoolean(inRows.Row(r)), b.AsBoolean(beside.Row(r))) << "row " << r << " column " << c;
        }
      }
    }
  }
};

// A text of 0 to width + 4 bytes of any value but zero, now and then with a zero inside or
// only digits (read as a number).
std::string randomText(std::mt19937& random, int width) {
  std::string text(std::uniform_int_distribution<int>(0, width + 4)(random), 'a');
  for (char& c : text) c = static_cast<char>(std::uniform_int_distribution<int>(1, 255)(random));
  const int shape = std::uniform_int_distribution<int>(0, 9)(random);
  if (shape == 0 && text.size() > 2) text[text.size() / 2] = '\0';
  if (shape == 1) text = std::to_string(std::uniform_int_distribution<int>(-99999, 99999)(random));
  if (shape == 2) text = "y";
  return text;
}

void fill(TwinResults& twins, int rows, unsigned seed, const std::vector<int>& widths) {
  std::mt19937 random(seed);
  for (int r = 0; r < rows; ++r) {
    twins.insert();
    twins.inRows.setSourceBookmark(twins.inRows.currentRow(), r + 1);
    twins.beside.setSourceBookmark(twins.beside.currentRow(), r + 1);
    for (std::size_t k = 0; k < widths.size(); ++k) {
      const int c = twins.stringColumns[k];
      // About one text in eight stays null; some are written twice, the second time shorter
      // or longer, as an edited row is.
      if (random() % 8 != 0) {
        const std::string text = randomText(random, widths[k]);
        twins.write(c, [&](const TSqlField& f, char* row) { f.setAsString(row, text); });
      }
      if (random() % 16 == 0) {
        const std::string again = randomText(random, widths[k]);
        twins.write(c, [&](const TSqlField& f, char* row) { f.setAsString(row, again); });
      }
      const int number = static_cast<int>(random() % 5);
      twins.write(c + 1, [&](const TSqlField& f, char* row) { f.setAsInteger(row, number); });
    }
    const double real = static_cast<double>(random() % 1000) / 8;
    const int f = twins.inRows.Fields().Count() - 2;
    twins.write(f, [&](const TSqlField& field, char* row) { field.setAsFloat(row, real); });
    if (r % 3 != 0) twins.write(f + 1, [&](const TSqlField& field, char* row) { field.setAsBoolean(row, r % 2 == 0); });
  }
}

TEST(RowTextsTest, SmallAndLargeResultsReadSortAndCompareAsTextsInTheRows) {
  // Widths around the size of a reference and the list's own widths.
  const std::vector<int> widths = {2, 11, 12, 13, 14, 15, 51, 101, 300};
  for (const int rows : {1, 3, 5000}) {
    SCOPED_TRACE(rows);
    TwinResults twins(widths);
    fill(twins, rows, 7u + static_cast<unsigned>(rows), widths);
    twins.expectSameRows();
    // Wide columns take a reference's bytes in the row, narrow ones their own.
    EXPECT_LT(twins.beside.Fields()[twins.stringColumns[7]].storageSize(), 101u);
    EXPECT_EQ(twins.beside.Fields()[twins.stringColumns[0]].storageSize(),
              twins.inRows.Fields()[twins.stringColumns[0]].storageSize());

    // Sorting by a text descending and a number, by a narrow text, then DISTINCT over every
    // column: the same rows in the same order, ties included.
    const std::vector<TSortKey> keys = {{twins.stringColumns[6], true}, {twins.stringColumns[6] + 1, false}};
    sortRows(twins.inRows, keys);
    sortRows(twins.beside, keys);
    twins.expectSameRows();
    sortRows(twins.inRows, {{twins.stringColumns[0], false}});
    sortRows(twins.beside, {{twins.stringColumns[0], false}});
    twins.expectSameRows();
    removeDuplicateRows(twins.inRows);
    removeDuplicateRows(twins.beside);
    twins.expectSameRows();
  }
}

TEST(RowTextsTest, EqualTextsAreOneValueForDistinctAndCutTextsStayCut) {
  TMemResultSet rs;
  rs.keepTextsBesideRows();
  const TSqlField& text = rs.AddField(makeSqlField("t", "", ttString, 21));
  for (const char* value : {"same", "other", "same", "", "same"}) {
    rs.Insert();
    text.setAsString(rs.currentRow(), value);
  }
  // The empty text is a value, not null, and a text past the width keeps width - 1 bytes.
  EXPECT_FALSE(text.IsNull(rs.Row(3)));
  text.setAsString(rs.Row(1), std::string(25, 'x'));
  EXPECT_EQ(text.AsString(rs.Row(1)), std::string(20, 'x'));
  text.setAsString(rs.Row(0), std::string("same\0hidden", 11));
  EXPECT_EQ(text.AsString(rs.Row(0)), "same");
  removeDuplicateRows(rs);
  std::vector<std::string> left;
  for (int r = 0; r < rs.RecordCount(); ++r) left.push_back(text.AsString(rs.Row(r)));
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"", "same", std::string(20, 'x')}));
  // Cleared, the result takes new columns and texts again.
  rs.Clear();
  const TSqlField& again = rs.AddField(makeSqlField("u", "", ttString, 40));
  rs.Insert();
  again.setAsString(rs.currentRow(), "after clear");
  EXPECT_EQ(again.AsString(rs.Row(0)), "after clear");
  EXPECT_LT(again.storageSize(), 40u);
}

TEST(RowTextsTest, LongTextsBetweenShortOnesKeepTheirOwnBytes) {
  TMemResultSet rs;
  rs.keepTextsBesideRows();
  const TSqlField& text = rs.AddField(makeSqlField("t", "", ttString, 70001));
  std::vector<std::string> written;
  for (int r = 0; r < 400; ++r) {
    // Lengths beyond a block of kept texts and below it, filling blocks to their last byte.
    const std::size_t length = r % 4 == 0 ? 20000 + static_cast<std::size_t>(r) * 100 : static_cast<std::size_t>(r % 97);
    written.push_back(std::string(length, static_cast<char>('A' + r % 26)) + std::to_string(r));
    rs.Insert();
    text.setAsString(rs.currentRow(), written.back());
  }
  for (int r = 0; r < rs.RecordCount(); ++r) ASSERT_EQ(text.AsString(rs.Row(r)), written[static_cast<std::size_t>(r)]) << r;
}

}  // namespace
}  // namespace vekrano::sql
