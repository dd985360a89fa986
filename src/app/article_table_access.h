// The record table as the backup and restore commands of the window and of vekrano-sql reach
// it: closed and reopened through the data, held still while a backup reads it, and a restored
// table checked before it replaces this one.
#pragma once

#include <memory>

#include "backup/backup_commands.h"
#include "records/article_data.h"
#include "records/table_hold.h"

namespace vekrano::app {

class ArticleTableAccess {
 public:
  explicit ArticleTableAccess(records::ArticleData& data);
  ArticleTableAccess(const ArticleTableAccess&) = delete;
  ArticleTableAccess& operator=(const ArticleTableAccess&) = delete;
  const backup::TableAccess& access() const { return access_; }

 private:
  std::unique_ptr<records::TableHold> hold_;
  backup::TableAccess access_;
};

}  // namespace vekrano::app
