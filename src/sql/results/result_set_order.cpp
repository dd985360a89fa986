// ORDER BY and DISTINCT over a result set, through sort lists.
#include "sql/results/result_set_order.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <string_view>

namespace vekrano::sql {
namespace {

// A null value writes the zero key, as a fresh entry holds, so that an entry may be rewritten.
void setKey(TSqlSortList& list, int key, const TSqlField& column, const char* row) {
  const bool null = column.IsNull(row);
  switch (column.Type()) {
    case ttString:
      list.setString(key, null ? std::string_view("", 0) : static_cast<const TSqlStringField&>(column).textView(row));
      break;
    case ttFloat: list.setFloat(key, null ? 0.0 : column.AsFloat(row)); break;
    case ttInteger: list.setInteger(key, null ? 0 : column.AsInteger(row)); break;
    case ttBoolean: list.setBoolean(key, null ? false : column.AsBoolean(row)); break;
  }
}

void setKeys(TSqlSortList& list, const TResultSet& resultSet, const std::vector<TSortKey>& keys, const char* row) {
  for (std::size_t k = 0; k < keys.size(); ++k) {
    setKey(list, static_cast<int>(k), resultSet.Fields()[keys[k].column], row);
  }
}

// -1, 0 or 1 as a sort list compares the keys of rows `a` and `b`, a null being the empty text,
// 0 or False. REQUIRES: no key is a float.
int compareRowKeys(const TResultSet& resultSet, const std::vector<TSortKey>& keys, const char* a, const char* b) {
  for (const TSortKey& key : keys) {
    const TSqlField& column = resultSet.Fields()[key.column];
    int result = 0;
    if (column.Type() == ttString) {
      const auto& text = static_cast<const TSqlStringField&>(column);
      result = text.textView(a).compare(text.textView(b));
    } else if (column.Type() == ttInteger) {
      const std::int32_t x = column.AsInteger(a);
      const std::int32_t y = column.AsInteger(b);
      result = x < y ? -1 : (y < x ? 1 : 0);
    } else {
      result = static_cast<int>(column.AsBoolean(a)) - static_cast<int>(column.AsBoolean(b));
    }
    if (result != 0) return (result < 0) != key.descending ? -1 : 1;
  }
  return 0;
}

// True when each row's keys come strictly after those of the row before: every sort leaves such
// rows where they are, whatever it does with ties. Rows of a list often come in the asked order
// (stored by number, or found through the barcode index). Floats are left to the sort, which
// groups them by their text.
bool rowsInStrictKeyOrder(const TResultSet& resultSet, const std::vector<TSortKey>& keys) {
  for (const TSortKey& key : keys) {
    if (resultSet.Fields()[key.column].Type() == ttFloat) return false;
  }
  for (int r = 1; r < resultSet.RecordCount(); ++r) {
    if (compareRowKeys(resultSet, keys, resultSet.Row(r - 1), resultSet.Row(r)) >= 0) return false;
  }
  return true;
}

}  // namespace

namespace {

// The sort list of `rows` (0-based), its entries in that order.
std::unique_ptr<TSqlSortList> makeSortListOfRows(const TResultSet& resultSet, const std::vector<TSortKey>& keys,
                                                 const std::vector<int>& rows) {
  auto list = makeSortList(resultSet.options());
  for (const TSortKey& key : keys) {
    const TSqlField& column = resultSet.Fields()[key.column];
    list->AddField(column.Type(), static_cast<std::size_t>(column.Width()), key.descending);
  }
  for (int r : rows) {
    list->Insert();
    list->setRowNumber(r + 1);
    setKeys(*list, resultSet, keys, resultSet.Row(r));
  }
  return list;
}

std::vector<int> firstRows(int count) {
  std::vector<int> rows(static_cast<std::size_t>(count));
  std::iota(rows.begin(), rows.end(), 0);
  return rows;
}

}  // namespace

std::unique_ptr<TSqlSortList> makeRowSortList(const TResultSet& resultSet, const std::vector<TSortKey>& keys) {
  return makeSortListOfRows(resultSet, keys, firstRows(resultSet.RecordCount()));
}

namespace {

void applyEntryOrder(TResultSet& resultSet, const TSqlSortList& list) {
  std::vector<int> rowNumbers;
  rowNumbers.reserve(static_cast<std::size_t>(list.Count()));
  for (int entry = 1; entry <= list.Count(); ++entry) rowNumbers.push_back(list.rowNumber(entry));
  resultSet.reorder(rowNumbers);
}

}  // namespace

bool sortRowsOfDistinctKeys(TResultSet& resultSet, const std::vector<TSortKey>& keys) {
  for (const TSortKey& key : keys) {
    if (resultSet.Fields()[key.column].Type() == ttFloat) return false;
  }
  const int count = resultSet.RecordCount();
  if (count < 2) return true;
  // The leading key bytes travel with each row, so that most comparisons read no row. One entry,
  // rewritten for each row, gives them.
  const auto entry = makeSortListOfRows(resultSet, keys, {0});
  struct Keyed {
    std::array<std::uint64_t, 2> prefix;
    int row;
  };
  std::vector<Keyed> keyed(static_cast<std::size_t>(count));
  for (int r = 0; r < count; ++r) {
    setKeys(*entry, resultSet, keys, resultSet.Row(r));
    keyed[static_cast<std::size_t>(r)] = {entry->currentKeyPrefix(), r};
  }
  // The words compared one by one: comparing the arrays whole calls memcmp for each pair.
  const auto before = [&](const Keyed& a, const Keyed& b) {
    if (a.prefix[0] != b.prefix[0]) return a.prefix[0] < b.prefix[0];
    if (a.prefix[1] != b.prefix[1]) return a.prefix[1] < b.prefix[1];
    return compareRowKeys(resultSet, keys, resultSet.Row(a.row), resultSet.Row(b.row)) < 0;
  };
  std::sort(keyed.begin(), keyed.end(), before);
  // Sorted, equal keys stand side by side.
  for (std::size_t k = 1; k < keyed.size(); ++k) {
    if (!before(keyed[k - 1], keyed[k])) return false;
  }
  std::vector<int> rowNumbers;
  rowNumbers.reserve(keyed.size());
  for (const Keyed& row : keyed) rowNumbers.push_back(row.row + 1);
  resultSet.reorder(rowNumbers);
  return true;
}

void sortRows(TResultSet& resultSet, const std::vector<TSortKey>& keys) {
  if (keys.empty() || resultSet.RecordCount() == 0 || rowsInStrictKeyOrder(resultSet, keys)) return;
  auto list = makeRowSortList(resultSet, keys);
  list->Sort();
  applyEntryOrder(resultSet, *list);
}

void sortStorageOrderedRows(TResultSet& resultSet, const std::vector<TSortKey>& keys,
                            const std::function<std::vector<int>()>& rowsInWalkOrder) {
  if (keys.empty() || resultSet.RecordCount() == 0 || rowsInStrictKeyOrder(resultSet, keys)) return;
  // Rows told apart by their keys come out of the sort the same from any order. Keys of few
  // values (a quantity with the top mark) repeat among the first rows already.
  constexpr int kEntriesLookedAt = 1000;
  const int lookedAt = std::min(kEntriesLookedAt, resultSet.RecordCount());
  if (!makeSortListOfRows(resultSet, keys, firstRows(lookedAt))->keysRepeatEarly(lookedAt) &&
      sortRowsOfDistinctKeys(resultSet, keys)) {
    return;
  }
  // The entries are made in the order the walk would have given the rows and sorted from there.
  auto list = makeSortListOfRows(resultSet, keys, rowsInWalkOrder());
  list->Sort();
  applyEntryOrder(resultSet, *list);
}

void removeDuplicateRows(TResultSet& resultSet) {
  if (resultSet.RecordCount() < 2) return;
  std::vector<TSortKey> keys;
  for (int c = 0; c < resultSet.Fields().Count(); ++c) {
    if (!resultSet.Fields()[c].hidden()) keys.push_back(TSortKey{c, false});
  }
  auto list = makeRowSortList(resultSet, keys);
  list->Sort();
  for (int entry = list->Count(); entry >= 2; --entry) {
    if (list->equalKeys(entry, entry - 1)) resultSet.markRow(list->rowNumber(entry) - 1);
  }
  resultSet.deleteMarkedRows();
}

}  // namespace vekrano::sql
