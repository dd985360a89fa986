// Result columns, the mapped temporary file and the sort list's quicksort.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "sql/results/result_set.h"
#include "sql/results/result_set_order.h"
#include "sql/results/sort_list.h"
#include "support/memory_dataset.h"

namespace vekrano::sql {
namespace {

using testing::ErrorText;

TEST(ResultSetTest, ColumnConversionsAndTheirMessages) {
  TMemResultSet rs;
  const TSqlField& s = rs.AddField(makeSqlField("s", "", ttString, 4));
  const TSqlField& f = rs.AddField(makeSqlField("f", "", ttFloat, 0));
  const TSqlField& i = rs.AddField(makeSqlField("i", "", ttInteger, 0));
  const TSqlField& b = rs.AddField(makeSqlField("b", "", ttBoolean, 0));
  rs.Insert();
  char* row = rs.currentRow();
  EXPECT_TRUE(s.IsNull(row));
  EXPECT_EQ(i.AsInteger(row), 0);
  s.setAsString(row, "yes!");
  EXPECT_EQ(s.AsString(row), "yes");  // cut to the width less one
  EXPECT_TRUE(s.AsBoolean(row));
  f.setAsFloat(row, 2.5);
  EXPECT_EQ(f.AsInteger(row), 2);  // halves to even
  i.setAsFloat(row, 3.5);
  EXPECT_EQ(i.AsInteger(row), 4);
  b.setAsString(row, "tr");
  EXPECT_TRUE(b.AsBoolean(row));
  EXPECT_EQ(b.AsString(row), "T");
  b.setAsString(row, "");
  EXPECT_FALSE(b.AsBoolean(row));
  EXPECT_EQ(ErrorText([&] { b.setAsString(row, "yes"); }), "Invalid boolean value yes");
  EXPECT_EQ(ErrorText([&] { f.setAsString(row, "x1"); }), "Invalid floating point value x1");
  EXPECT_EQ(ErrorText([&] { i.setAsString(row, "1.5"); }), "Invalid integer value 1.5");
  EXPECT_EQ(ErrorText([&] { f.AsBoolean(row); }), "Cannot read field as boolean");
  EXPECT_EQ(ErrorText([&] { i.setAsBoolean(row, true); }), "Cannot assign field as boolean");
  EXPECT_EQ(ErrorText([&] { rs.SetRecNo(2); }), "Recno out of range");
  s.Clear(row);
  EXPECT_TRUE(s.IsNull(row));
}

TEST(ResultSetTest, DeleteKeepsTheRowNumberOrStepsBackFromTheLast) {
  TMemResultSet rs;
  const TSqlField& n = rs.AddField(makeSqlField("n", "", ttInteger, 0));
  for (int v = 1; v <= 3; ++v) {
    rs.Insert();
    n.setAsInteger(rs.currentRow(), v);
  }
  rs.SetRecNo(2);
  rs.Delete();
  EXPECT_EQ(rs.RecNo(), 2);
  EXPECT_EQ(n.AsInteger(rs.currentRow()), 3);
  rs.Delete();
  EXPECT_EQ(rs.RecNo(), 1);
  EXPECT_EQ(rs.RecordCount(), 1);
}

TEST(ResultSetTest, TheFileVariantFailsCleanlyAtItsCapacityAndRemovesItsFile) {
  std::string fileName;
  {
    TFileResultSet rs(64);
    const TSqlField& s = rs.AddField(makeSqlField("s", "", ttString, 20));
    rs.Insert();  // 4 + 2 + 20 bytes
    s.setAsString(rs.currentRow(), "first");
    rs.Insert();
    EXPECT_EQ(ErrorText([&] { rs.Insert(); }), "Temporary file capacity of 64 bytes exceeded");
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(s.AsString(rs.Row(0)), "first");
    TMemMapFile probe(8);
    fileName = probe.FileName();
    EXPECT_NE(fileName.find("/~sq"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(fileName));
    char buffer[8];
    probe.setPosition(4);
    EXPECT_EQ(ErrorText([&] { probe.Read(buffer, 8); }), "Position beyond EOF");
  }
  EXPECT_FALSE(std::filesystem::exists(fileName));
}

// Row numbers of the entries after sorting integer keys.
std::vector<int> sortedRows(const std::vector<std::vector<int>>& keys, std::vector<bool> descending,
                            const TStorageOptions& options = {}) {
  auto list = makeSortList(options);
  for (bool desc : descending) list->AddField(ttInteger, 0, desc);
  for (std::size_t r = 0; r < keys.size(); ++r) {
    list->Insert();
    list->setRowNumber(static_cast<int>(r) + 1);
    for (std::size_t k = 0; k < keys[r].size(); ++k) list->setInteger(static_cast<int>(k), keys[r][k]);
  }
  list->Sort();
  std::vector<int> rows;
  for (int e = 1; e <= list->Count(); ++e) rows.push_back(list->rowNumber(e));
  return rows;
}

TEST(ResultSetTest, TheQuicksortLeavesEqualKeysInItsOwnOrder) {
  EXPECT_EQ(sortedRows({{2}, {1}, {2}, {1}}, {false}), (std::vector<int>{4, 2, 1, 3}));
  EXPECT_EQ(sortedRows({{2}, {1}, {2}, {1}}, {false}, TStorageOptions{false, 4096}), (std::vector<int>{4, 2, 1, 3}));
  EXPECT_EQ(sortedRows({{1}, {3}, {2}}, {true}), (std::vector<int>{2, 3, 1}));
  // The second key orders each run of equal first keys.
  EXPECT_EQ(sortedRows({{1, 9}, {0, 5}, {1, 2}, {0, 7}}, {false, true}), (std::vector<int>{4, 2, 1, 3}));
  // Already sorted and all-equal inputs of many entries sort without deep recursion.
  std::vector<std::vector<int>> many;
  for (int v = 0; v < 20000; ++v) many.push_back({v / 3});
  const std::vector<int> rows = sortedRows(many, {false});
  for (std::size_t e = 1; e < rows.size(); ++e) ASSERT_LE((rows[e - 1] - 1) / 3, (rows[e] - 1) / 3);
}

// The quicksort and its runs of equal earlier keys, written out plainly over (row, a, b) entries:
// what the sort list must reproduce entry for entry, equal keys included.
struct PlainEntry {
  int row;
  int a;
  std::string b;
};

void plainQuickSort(std::vector<PlainEntry>& e, int lo, int hi,
                    const std::function<int(const PlainEntry&, const PlainEntry&)>& cmp) {
  while (true) {
    int i = lo;
    int j = hi;
    const PlainEntry pivot = e[static_cast<std::size_t>((lo + hi) / 2)];
    do {
      while (cmp(e[static_cast<std::size_t>(i)], pivot) < 0) ++i;
      while (cmp(e[static_cast<std::size_t>(j)], pivot) > 0) --j;
      if (i <= j) {
        std::swap(e[static_cast<std::size_t>(i)], e[static_cast<std::size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (lo < j) plainQuickSort(e, lo, j, cmp);
    lo = i;
    if (i >= hi) return;
  }
}

TEST(ResultSetTest, TwoKeySortMatchesThePlainQuicksortEntryForEntry) {
  std::mt19937 random(20);
  for (int round = 0; round < 40; ++round) {
    const int count = 1 + static_cast<int>(random() % 400);
    const bool descending = round % 2 == 1;
    std::vector<PlainEntry> plain;
    TMemResultSet rs;
    const TSqlField& a = rs.AddField(makeSqlField("a", "", ttInteger, 0));
    const TSqlField& b = rs.AddField(makeSqlField("b", "", ttString, 6));
    for (int r = 0; r < count; ++r) {
      // Few values, so that runs of equal keys are long and the tie order shows.
      PlainEntry entry{r + 1, static_cast<int>(random() % 5), std::string(1, static_cast<char>('A' + random() % 3))};
      if (random() % 3 == 0) entry.b += static_cast<char>('a' + random() % 2);
      rs.Insert();
      a.setAsInteger(rs.currentRow(), entry.a);
      b.setAsString(rs.currentRow(), entry.b);
      // Rows tell themselves apart by their bookmark.
      rs.setSourceBookmark(rs.currentRow(), entry.row);
      plain.push_back(entry);
    }
    const auto byA = [&](const PlainEntry& x, const PlainEntry& y) {
      const int c = x.a < y.a ? -1 : (y.a < x.a ? 1 : 0);
      return descending ? -c : c;
    };
    const bool secondDescending = round % 4 >= 2;
    const auto byB = [&](const PlainEntry& x, const PlainEntry& y) {
      const int c = x.b.compare(y.b) < 0 ? -1 : (x.b == y.b ? 0 : 1);
      return secondDescending ? -c : c;
    };
    plainQuickSort(plain, 0, count - 1, byA);
    for (int start = 0, end = 1; end <= count; ++end) {
      if (end < count && plain[static_cast<std::size_t>(end)].a == plain[static_cast<std::size_t>(start)].a) continue;
      if (end - 1 > start) plainQuickSort(plain, start, end - 1, byB);
      start = end;
    }
    sortRows(rs, {TSortKey{0, descending}, TSortKey{1, secondDescending}});
    std::vector<int> expected;
    std::vector<int> got;
    for (int r = 0; r < count; ++r) {
      expected.push_back(plain[static_cast<std::size_t>(r)].row);
      got.push_back(rs.sourceBookmark(rs.Row(r)));
    }
    ASSERT_EQ(got, expected) << "round " << round;
  }
}

// Entries of (row, integer, text, boolean) keys, inserted in the given order.
struct MixedEntry {
  int row;
  int number;
  std::string text;
  bool mark;
};

std::unique_ptr<TSqlSortList> mixedList(const std::vector<MixedEntry>& entries, const std::vector<bool>& descending) {
  auto list = makeSortList(TStorageOptions{});
  list->AddField(ttInteger, 0, descending[0]);
  list->AddField(ttString, 40, descending[1]);
  list->AddField(ttBoolean, 0, descending[2]);
  for (const MixedEntry& entry : entries) {
    list->Insert();
    list->setRowNumber(entry.row);
    list->setInteger(0, entry.number);
    if (entry.text != "-") list->setString(1, entry.text);
    list->setBoolean(2, entry.mark);
  }
  return list;
}

std::vector<int> entryRows(const TSqlSortList& list) {
  std::vector<int> rows;
  for (int e = 1; e <= list.Count(); ++e) rows.push_back(list.rowNumber(e));
  return rows;
}

// The entries' rows as bookmarks, or the rows' bookmarks.
std::vector<int> bookmarksOf(const TResultSet& rs) {
  std::vector<int> rows;
  for (int r = 0; r < rs.RecordCount(); ++r) rows.push_back(rs.sourceBookmark(rs.Row(r)));
  return rows;
}

// Rows of a number, a text and a flag, each row's bookmark its entry's row number; a text or a
// flag given as "-" stays null.
void mixedRows(TResultSet& rs, const std::vector<MixedEntry>& entries) {
  rs.keepTextsBesideRows();
  rs.AddField(makeSqlField("n", "", ttInteger, 0));
  rs.AddField(makeSqlField("t", "", ttString, 40));
  rs.AddField(makeSqlField("b", "", ttBoolean, 0));
  for (const MixedEntry& entry : entries) {
    rs.Insert();
    rs.setSourceBookmark(rs.currentRow(), entry.row);
    rs.Fields()[0].setAsInteger(rs.currentRow(), entry.number);
    if (entry.text != "-") rs.Fields()[1].setAsString(rs.currentRow(), entry.text);
    if (entry.row % 5 != 0) rs.Fields()[2].setAsBoolean(rs.currentRow(), entry.mark);
  }
}

TEST(ResultSetTest, DistinctKeysSortIntoTheQuicksortsOrderFromAnyStart) {
  std::mt19937 random(31);
  // Texts share long beginnings, end inside or past the first 16 key bytes, and hold high bytes;
  // a null text ("-") and every fifth row's null flag sort as the empty text and False.
  const std::vector<std::string> stems = {
      "", "A", "CB", "CB1", "\xE9t\xE9", "0123456789ABCDEF", "0123456789ABCDEFG", "0123456789ABCDEFGHIJKLMNOPQRST"};
  for (int round = 0; round < 24; ++round) {
    std::vector<MixedEntry> entries;
    std::set<std::tuple<int, std::string, bool>> taken;
    while (entries.size() < 300) {
      MixedEntry entry{
          static_cast<int>(entries.size()) + 1, static_cast<int>(random() % 7) - 3,
          stems[random() % stems.size()] + std::string(random() % 3, static_cast<char>('a' + random() % 2)),
          random() % 2 == 0};
      if (round % 3 == 0)
        entry.number = static_cast<int>(random() % 2000000000u) - 1000000000;  // far apart, both signs
      if (entry.row % 5 == 0) entry.mark = false;
      if (entry.text.empty() && random() % 2 == 0) entry.text = "-";
      if (taken.insert({entry.number, entry.text == "-" ? "" : entry.text, entry.mark}).second) entries.push_back(entry);
    }
    const std::vector<bool> descending = {round % 2 == 1, round % 4 >= 2, round % 8 >= 4};
    const std::vector<TSortKey> keys = {{0, descending[0]}, {1, descending[1]}, {2, descending[2]}};
    auto sorted = mixedList(entries, descending);
    sorted->Sort();
    std::shuffle(entries.begin(), entries.end(), random);
    TMemResultSet fast;
    mixedRows(fast, entries);
    ASSERT_TRUE(sortRowsOfDistinctKeys(fast, keys)) << "round " << round;
    ASSERT_EQ(bookmarksOf(fast), entryRows(*sorted)) << "round " << round;
  }

  // Two rows with equal keys (a null text and the empty one): the order would depend on the
  // start, and nothing is moved.
  const std::vector<MixedEntry> tie = {{1, 2, "", true}, {2, 1, "y", false}, {3, 2, "-", true}};
  TMemResultSet tied;
  mixedRows(tied, tie);
  EXPECT_FALSE(sortRowsOfDistinctKeys(tied, {{0, false}, {1, false}, {2, false}}));
  EXPECT_EQ(bookmarksOf(tied), (std::vector<int>{1, 2, 3}));
  // Float keys are grouped by their text (-0 and 0 compare equal but read apart): never taken.
  TMemResultSet floats;
  const TSqlField& real = floats.AddField(makeSqlField("f", "", ttFloat, 0));
  for (const double value : {0.0, -0.0}) {
    floats.Insert();
    real.setAsFloat(floats.currentRow(), value);
  }
  EXPECT_FALSE(sortRowsOfDistinctKeys(floats, {{0, false}}));
}

TEST(ResultSetTest, StringKeysCompareUnsignedBytesWithPrefixesFirst) {
  TMemResultSet rs;
  const TSqlField& s = rs.AddField(makeSqlField("s", "", ttString, 5));
  for (const char* text : {"b", "\xE9", "B", "ab", "a", "A"}) {
    rs.Insert();
    s.setAsString(rs.currentRow(), text);
  }
  sortRows(rs, {TSortKey{0, false}});
  std::vector<std::string> order;
  for (int r = 0; r < rs.RecordCount(); ++r) order.push_back(s.AsString(rs.Row(r)));
  EXPECT_EQ(order, (std::vector<std::string>{"A", "B", "a", "ab", "b", "\xE9"}));
}

TEST(ResultSetTest, NewRowsAreEmptyAcrossBlocksAndAShorterTextLeavesNoTrace) {
  // Rows wide enough that the store goes from small heap blocks to mapped ones of megabytes.
  TMemResultSet rs;
  const TSqlField& text = rs.AddField(makeSqlField("t", "", ttString, 400));
  const TSqlField& number = rs.AddField(makeSqlField("n", "", ttInteger, 0));
  const std::string longest(399, 'x');
  for (int r = 0; r < 12000; ++r) {
    rs.Insert();
    char* row = rs.currentRow();
    ASSERT_TRUE(text.IsNull(row)) << r;
    ASSERT_TRUE(number.IsNull(row)) << r;
    ASSERT_EQ(text.AsString(row), "") << r;
    // Written long, then short: only the short text may remain, as in a row written once.
    text.setAsString(row, longest);
    text.setAsString(row, std::to_string(r));
    number.setAsInteger(row, r);
  }
  rs.Insert();
  const char* fresh = rs.currentRow();
  text.setAsString(rs.currentRow(), "7");
  number.setAsInteger(rs.currentRow(), 7);
  const std::size_t rowBytes = kRowBookmarkSize + 2 * kPresenceSize + text.storageSize() + number.storageSize();
  EXPECT_EQ(std::memcmp(rs.Row(7), fresh, rowBytes), 0);
  EXPECT_EQ(text.AsString(rs.Row(11999)), "11999");
  EXPECT_EQ(number.AsInteger(rs.Row(11999)), 11999);
  // DISTINCT compares whole key bytes: the rewritten row and the fresh one are one value.
  removeDuplicateRows(rs);
  EXPECT_EQ(rs.RecordCount(), 12000);
}

TEST(ResultSetTest, ASortKeyRewrittenShorterEqualsOneWrittenOnce) {
  TMemSortList list;
  list.AddField(ttString, 9, false);
  list.Insert();
  list.setRowNumber(1);
  list.setString(0, "abcdefgh");
  list.setString(0, "ab");
  list.Insert();
  list.setRowNumber(2);
  list.setString(0, "ab");
  EXPECT_TRUE(list.equalKeys(1, 2));
  list.Insert();
  list.setRowNumber(3);
  list.setString(0, "abcdefghijkl");  // cut to the key's room less its closing zero
  list.Insert();
  list.setRowNumber(4);
  list.setString(0, "abcdefghij");
  EXPECT_TRUE(list.equalKeys(3, 4));
  EXPECT_FALSE(list.equalKeys(2, 3));
}

}  // namespace
}  // namespace vekrano::sql

namespace vekrano::sql {
namespace {

TEST(ResultSetTest, RowsInKeyOrderStayAndTiesGoWhereTheQuicksortPutsThem) {
  // Keys already ascending, first all distinct, then with ties, then a text key with a null
  // before the empty text (equal to it): only distinct keys may skip the sort.
  const std::vector<std::vector<int>> shapes = {{1, 2, 3, 5, 8, 13, 21}, {1, 1, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 5}};
  for (const std::vector<int>& values : shapes) {
    for (const bool descending : {false, true}) {
      TMemResultSet rs;
      const TSqlField& key = rs.AddField(makeSqlField("k", "", ttInteger, 0));
      for (std::size_t r = 0; r < values.size(); ++r) {
        rs.Insert();
        key.setAsInteger(rs.currentRow(), values[r]);
        rs.setSourceBookmark(rs.currentRow(), static_cast<std::int32_t>(r + 1));
      }
      auto list = makeRowSortList(rs, {{0, descending}});
      list->Sort();
      std::vector<std::int32_t> expected;
      for (int entry = 1; entry <= list->Count(); ++entry) expected.push_back(list->rowNumber(entry));
      sortRows(rs, {{0, descending}});
      std::vector<std::int32_t> got;
      for (int r = 0; r < rs.RecordCount(); ++r) got.push_back(rs.sourceBookmark(rs.Row(r)));
      EXPECT_EQ(got, expected) << values.size() << (descending ? " desc" : " asc");
    }
  }
  TMemResultSet rs;
  const TSqlField& text = rs.AddField(makeSqlField("t", "", ttString, 5));
  for (int r = 0; r < 3; ++r) {
    rs.Insert();
    rs.setSourceBookmark(rs.currentRow(), r + 1);
    if (r > 0) text.setAsString(rs.currentRow(), r == 1 ? "" : "a");
  }
  auto list = makeRowSortList(rs, {{0, false}});
  list->Sort();
  sortRows(rs, {{0, false}});
  for (int r = 0; r < 3; ++r) EXPECT_EQ(rs.sourceBookmark(rs.Row(r)), list->rowNumber(r + 1)) << r;
}

}  // namespace
}  // namespace vekrano::sql
