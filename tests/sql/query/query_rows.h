// The rows a SELECT gives through a query, and what a change statement did, for tests that
// compare whole results.
#pragma once

#include <string>
#include <vector>

#include "common/exception.h"
#include "sql/errors.h"
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

// Runs the change statement `sql` on `query`.
inline void engineExec(TSqlQuery& query, const std::string& sql) {
  query.Close();
  query.SQL().Clear();
  query.SQL().Add(sql);
  query.ExecSQL();
}

// What the change statement `sql` did: the rows it changed, or the class and text of its error
// and the rows changed before it.
inline std::string statementOutcome(TSqlQuery& query, const std::string& sql) {
  try {
    engineExec(query, sql);
  } catch (const ESqlQueryError& error) {
    return std::string("ESqlQueryError: ") + error.what() + " / " + std::to_string(query.ChangedRowCount());
  } catch (const common::Exception& error) {
    return std::string("error: ") + error.what() + " / " + std::to_string(query.ChangedRowCount());
  }
  return "changed " + std::to_string(query.ChangedRowCount());
}

}  // namespace vekrano::sql
