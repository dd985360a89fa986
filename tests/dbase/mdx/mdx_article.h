// The `article` table with its production index, for the index tests: records are appended and
// changed through the table file and the index kept up to date as the table dataset does it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dbase/dbf/dbf_file.h"
#include "dbase/table/mdx_dbf_table.h"
#include "dbase/mdx/mdx_index.h"

namespace vekrano::testing {

class MdxArticle {
 public:
  // Creates "article.dbf" in `folder` (when missing) and opens it, with OEM translation.
  MdxArticle(const std::string& folder, bool shared = false, bool hideDeleted = false);

  std::string dbfName() const { return folder_ + "/article.dbf"; }
  std::string mdxName() const { return folder_ + "/article.mdx"; }
  dbase::DbfTable& table() { return table_; }
  dbase::MdxIndex& index() { return *index_; }

  // Builds the index with the tag CB on `cb` (or `tags`) and opens it.
  void build(std::size_t sortLimit = dbase::kDefaultSortLimit);
  void build(const std::vector<dbase::MdxTagDefinition>& tags, std::size_t sortLimit = dbase::kDefaultSortLimit);
  void open() { index_->SetIndexTo(mdxName()); }
  // Writes a record without touching the index (before build()).
  void put(const std::string& cb, const std::string& lib1 = "");
  // Appends a record and its keys.
  void append(const std::string& cb, const std::string& lib1 = "");
  // Replaces fields of record n and moves its keys.
  void replace(int n, const std::string& cb, const std::string& lib1);
  // CB values (trimmed) and record numbers in the controlling order.
  std::vector<std::pair<std::string, int>> walk();

 private:
  std::string folder_;
  dbase::DbfTable table_;
  std::unique_ptr<dbase::MdxDbfTable> view_;
  std::unique_ptr<dbase::MdxIndex> index_;
};

// CB stored width: the key of `cb`, padded with blanks to 50.
std::string cbKey(const std::string& cb);

}  // namespace vekrano::testing
