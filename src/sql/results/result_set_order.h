// Ordering and trimming a filled result set: ORDER BY, DISTINCT and TOP.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "sql/results/result_set.h"
#include "sql/results/sort_list.h"

namespace vekrano::sql {

// A sort key: a column of the result set (0-based among all its columns) and its direction.
struct TSortKey {
  int column = 0;
  bool descending = false;
};

// A sort list with one entry per row, in row order, holding the row number and the keys'
// values (a null value leaves its key zero). Not yet sorted.
std::unique_ptr<TSqlSortList> makeRowSortList(const TResultSet& resultSet, const std::vector<TSortKey>& keys);

// When no key is a float and no two rows hold equal keys, sorts the rows into the one order any
// sort gives them and returns true. Otherwise returns false and leaves the rows as they were.
// (Float keys are compared by value but grouped into runs by their text, so the order the
// quicksort gives them may depend on where it starts.)
bool sortRowsOfDistinctKeys(TResultSet& resultSet, const std::vector<TSortKey>& keys);
// Sorts the rows by `keys`; rows with equal keys end where the quicksort leaves them.
void sortRows(TResultSet& resultSet, const std::vector<TSortKey>& keys);
// Sorts rows gathered in another order than the walk's as sortRows sorts them in the walk's
// order. `rowsInWalkOrder` gives every row (0-based) in the walk's order; it is asked for only
// when rows share all their keys (or a key is a float), the cases where the order they came in shows.
void sortStorageOrderedRows(TResultSet& resultSet, const std::vector<TSortKey>& keys,
                            const std::function<std::vector<int>()>& rowsInWalkOrder);

// Removes rows equal in every visible column: of equal rows the first in sorted order stays, and
// the remaining rows keep their order.
void removeDuplicateRows(TResultSet& resultSet);

// TOP n: keeps the first `count` rows.
inline void keepFirstRows(TResultSet& resultSet, int count) { resultSet.Truncate(count); }

}  // namespace vekrano::sql
