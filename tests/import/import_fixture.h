// A record table in a temporary folder and readers of what an import stored in it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/article_data.h"
#include "support/temp_dir.h"

namespace vekrano::import::testing {

class ImportTest : public ::testing::Test {
 protected:
  ImportTest();
  ~ImportTest() override;
  // Writes `bytes` as the file `name` of the folder and returns its path.
  std::string csvFile(const std::string& bytes, const std::string& name = "in.csv");
  // Every record as "num|cb|lib1|lib2|quantite|topp", in record number order.
  std::vector<std::string> storedRecords();

  vekrano::testing::TempDir directory;
  records::ArticleData data{directory.path().string()};
};

}  // namespace vekrano::import::testing
