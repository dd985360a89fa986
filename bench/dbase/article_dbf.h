// An empty DBF file with the record table's fields, for the benchmarks that work below the table
// dataset.
#pragma once

#include <string>

#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_file.h"

inline void createArticleDbf(const std::string& path) {
  vekrano::dbase::setAutoErrorReporting(false);
  vekrano::dbase::CreateDbf(path, {{"num", 'N', 5, 0},
                                   {"cb", 'C', 50, 0},
                                   {"lib1", 'C', 100, 0},
                                   {"lib2", 'C', 100, 0},
                                   {"quantite", 'N', 3, 0},
                                   {"topp", 'C', 2, 0}});
}
