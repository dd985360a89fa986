// Helpers of the table tests: the article table and quiet error reporting.
#pragma once

#include <string>
#include <vector>

#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_file.h"

namespace vekrano::dbase::testing {

inline const std::vector<std::string> kArticleFieldList = {"num,N,5,0",    "cb,C,50,0",      "lib1,C,100,0",
                                                           "lib2,C,100,0", "quantite,N,3,0", "topp,C,2,0"};

inline std::vector<DbfFieldDef> articleFields() {
  return {{"num", 'N', 5, 0},    {"cb", 'C', 50, 0},      {"lib1", 'C', 100, 0},
          {"lib2", 'C', 100, 0}, {"quantite", 'N', 3, 0}, {"topp", 'C', 2, 0}};
}

// Automatic reporting off for one test, restored afterwards.
class QuietErrors {
 public:
  QuietErrors() { setAutoErrorReporting(false); }
  ~QuietErrors() { setAutoErrorReporting(true); }
};

}  // namespace vekrano::dbase::testing
