#include "records/table_repair.h"

#include <filesystem>
#include <utility>

#include "common/share_mode_lock.h"
#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_file.h"

namespace vekrano::records {

RepairedTable RepairArticleTable(ArticleData& data) {
  const std::string table = data.tableFileName();
  data.CloseData();
  if (!common::nobodyElseHasOpen(table)) {
    data.OpenData();
    throw ETableInUse(table);
  }
  RepairedTable repaired;
  if (!dbase::RepairDbf(table, repaired.kept, repaired.keptAs)) {
    const dbase::EDorevError failure(dbase::DbfErrorCode(), dbase::DbfErrorText());
    data.OpenData();
    throw failure;
  }
  // The index is built again from the records kept; the old one stays beside it. That rebuild is
  // part of the repair, not news for whoever watches the table's activations.
  const std::string index = data.indexFileName();
  std::error_code ignored;
  std::filesystem::rename(index, index + ".bad", ignored);
  struct QuietIndexRebuild {
    dbase::TTzDbf& table;
    decltype(dbase::TTzDbf::OnIndexRebuilt) saved = std::exchange(table.OnIndexRebuilt, nullptr);
    ~QuietIndexRebuild() { table.OnIndexRebuilt = saved; }
  } quiet{data.tarticle};
  data.OpenData();
  return repaired;
}

}  // namespace vekrano::records
