// A record table in a temporary folder and a print run over it on label type 1 (12 positions),
// for the tests of how a run starts and which records it takes.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "printing/label_print_run.h"
#include "printing/label_types.h"
#include "records/article_data.h"
#include "records/record_statements.h"
#include "support/temp_dir.h"

namespace vekrano::printing {

class Type1RunTable : public ::testing::Test {
 protected:
  Type1RunTable() { data.openData(); }

  // Adds a record under the next number.
  void add(const std::string& cb, int quantite) {
    const int num = data.NextRecordNumber();
    data.executeStatement(records::newRecordStatement({num, cb, "t1", "t2", quantite, "O"}));
  }
  // A request for type 1 on the default printer, from position 1, without criteria.
  static PrintRequest type1Request() {
    PrintRequest request;
    for (const std::string& entry : labelTypeEntries()) {
      if (LabelTypeOfEntry(entry) == 1) request.labelTypeEntry = entry;
    }
    return request;
  }

  vekrano::testing::TempDir directory;
  records::ArticleData data{directory.path().string() + "/"};
};

}  // namespace vekrano::printing
