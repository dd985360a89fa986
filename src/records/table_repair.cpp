// The repair of a damaged record table, around the table engine's RepairDbf.
#include "records/table_repair.h"

#include <filesystem>
#include <utility>

#include "common/scope_exit.h"
#include "common/share_mode_lock.h"
#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_file.h"

namespace vekrano::records {
namespace {

// Opens the data again without the activation's notices that the repair accounts for: the
// index it has built again, and the damage of a table it left as it was.
void openAgain(ArticleData& data, bool tableLeftAsItWas) {
  dbase::TTzDbf& table = data.tarticle;
  const auto onIndexRebuilt = std::exchange(table.OnIndexRebuilt, nullptr);
  const auto onOpenedReadOnly = table.OnOpenedReadOnly;
  if (tableLeftAsItWas) table.OnOpenedReadOnly = [](const std::string&) {};
  const common::ScopeExit restored([&] {
    table.OnIndexRebuilt = onIndexRebuilt;
    table.OnOpenedReadOnly = onOpenedReadOnly;
  });
  data.openData();
}

}  // namespace

RepairedTable repairArticleTable(ArticleData& data) {
  const std::string table = data.tableFileName();
  data.closeData();
  if (!common::nobodyElseHasOpen(table)) {
    openAgain(data, true);
    throw ETableInUse(table);
  }
  RepairedTable repaired;
  if (!dbase::RepairDbf(table, repaired.kept, repaired.keptAs)) {
    const dbase::EDorevError failure(dbase::dbfErrorCode(), dbase::dbfErrorText());
    openAgain(data, true);
    throw failure;
  }
  // The index is built again from the records kept; the old one stays beside it.
  const std::string index = data.indexFileName();
  std::error_code ignored;
  std::filesystem::rename(index, index + ".bad", ignored);
  openAgain(data, false);
  return repaired;
}

}  // namespace vekrano::records
