// The repair of a damaged record table (one the activation opened read-only), shared by the
// settings page's button and vekrano-sql's .repair.
#pragma once

#include <cstdint>
#include <string>

#include "common/exception.h"
#include "records/article_data.h"

namespace vekrano::records {

// What a repair kept.
struct RepairedTable {
  std::int32_t kept = 0;  // the whole records found
  std::string keptAs;  // where the old table file now lies
};

// Another program has the table open: nothing was repaired.
class ETableInUse : public common::Exception {
 public:
  explicit ETableInUse(const std::string& table)
      : Exception("another program has " + table + " open: close it, then repair again") {}
};

// Closes the data, rewrites the table with its records up to the last whole one under a header
// rebuilt from its field list (the old file kept as article.dbf.bad), sets the old index aside
// as article.mdx.bad so that it is built again from the records kept, and opens the data again,
// writable. Raises ETableInUse, or the engine's error when the table cannot be rewritten; the
// data are open again in both cases. The activations inside the repair report nothing the
// repair accounts for (the index built again, the damage of a table left as it was).
RepairedTable repairArticleTable(ArticleData& data);

}  // namespace vekrano::records
