// ORDER BY and DISTINCT over a result set, through sort lists.
#include "sql/results/result_set_order.h"

#include <algorithm>
#include <numeric>

namespace vekrano::sql {
namespace {

void setKey(TSqlSortList& list, int key, const TSqlField& column, const char* row) {
  if (column.IsNull(row)) return;
  switch (column.Type()) {
    case ttString: list.setString(key, static_cast<const TSqlStringField&>(column).textView(row)); break;
    case ttFloat: list.setFloat(key, column.AsFloat(row)); break;
    case ttInteger: list.setInteger(key, column.AsInteger(row)); break;
    case ttBoolean: list.setBoolean(key, column.AsBoolean(row)); break;
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
    const char* row = resultSet.Row(r);
    list->Insert();
    list->setRowNumber(r + 1);
    for (std::size_t k = 0; k < keys.size(); ++k) {
      setKey(*list, static_cast<int>(k), resultSet.Fields()[keys[k].column], row);
    }
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
  if (!makeSortListOfRows(resultSet, keys, firstRows(lookedAt))->keysRepeatEarly(lookedAt)) {
    auto list = makeRowSortList(resultSet, keys);
    if (list->sortDistinctKeys()) {
      applyEntryOrder(resultSet, *list);
      return;
    }
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
