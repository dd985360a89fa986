// Helpers of the table dataset tests: an article table in a fresh folder, quiet error reporting and
// scripted message boxes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/prompts.h"
#include "dbase/table/table_dataset.h"
#include "records/article_table.h"
#include "dbase/dbf/dbf_test_support.h"
#include "support/temp_dir.h"

namespace vekrano::dbase::testing {

using records::configureArticleTable;

// A folder, quiet engine errors and recorded message boxes for one test.
struct TableFolder {
  vekrano::testing::TempDir dir;
  QuietErrors quiet;
  common::ScopedScriptedPrompts prompts;

  std::string folder() const { return dir.path().string(); }
  std::string dbf() const { return dir.file("article.dbf"); }
  std::string mdx() const { return dir.file("article.mdx"); }
  // The texts of the boxes shown so far.
  std::vector<std::string> shownTexts() const;
};

// A child process that opens the file at `path` shared and holds `length` bytes at `offset` locked
// (nothing when `length` is 0) until the object is destroyed.
class LockHolder {
 public:
  LockHolder(const std::string& path, std::int64_t offset, std::int64_t length);
  ~LockHolder();
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  bool locked() const { return locked_; }

 private:
  int pid_ = 0;
  int releaseFd_ = -1;
  bool locked_ = false;
};

// Appends a record with these values through the dataset (Append, assignments, Post).
void appendArticle(TTzDbf& table, int num, const std::string& cb, const std::string& lib1 = {});

// The barcodes of every record in dataset order, from First to Eof.
std::vector<std::string> Barcodes(TTzDbf& table);

}  // namespace vekrano::dbase::testing
