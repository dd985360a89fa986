// How vekrano-sql writes the rows of a query: a line of field names, then one line per row,
// tab-separated, in UTF-8, numbers with a decimal point whatever the process's separators.
#pragma once

#include <cstdio>

#include "sql/query/query.h"

namespace vekrano::app {

// Writes the rows of the open `query` from its first row to `out`.
void printRows(sql::TSqlQuery& query, std::FILE* out);

}  // namespace vekrano::app
