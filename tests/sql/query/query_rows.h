// The rows a SELECT gives through a query, for tests that compare whole results.
#pragma once

#include <string>
#include <vector>

#include "sql/query/query.h"

namespace vekrano::sql {

using Rows = std::vector<std::string>;

// Opens `sql` on `query` and returns every row, its fields joined by "|"; a null field reads as
// the empty text.
inline Rows engineRows(TSqlQuery& query, const std::string& sql) {
  query.Close();
  query.SQL().Clear();
  query.SQL().Add(sql);
  query.Open();
  Rows rows;
  for (query.First(); !query.Eof(); query.Next()) {
    std::string row;
    for (int c = 0; c < query.FieldCount(); ++c) row += (c == 0 ? "" : "|") + query.Fields(c).AsString();
    rows.push_back(row);
  }
  return rows;
}

}  // namespace vekrano::sql
