// The barcode table's component settings.
#include "records/article_table.h"

namespace vekrano::records {

using dbase::TCreateIndexType;
using dbase::TTzTableLanguage;

void ConfigureArticleTable(dbase::TTzDbf& table, const std::string& folder) {
  table.DbfFields = {"num,N,5,0", "cb,C,50,0", "lib1,C,100,0", "lib2,C,100,0", "quantite,N,3,0", "topp,C,2,0"};
  table.IndexList = {"CB,F,F,cb", ""};
  table.SetHideDeletedRecs(true);
  table.TableLanguage = TTzTableLanguage::tlOem;
  table.SetReadOnly(false);
  table.CreateIndex = TCreateIndexType::ciNotFound;
  table.SetExclusive(false);
  table.SetDbfFileName(folder + "/article.dbf");
}

}  // namespace vekrano::records
