// The barcode table's component settings.
#include "records/article_table.h"

#include "records/article_fields.h"

namespace vekrano::records {

using dbase::TCreateIndexType;
using dbase::TTzTableLanguage;

void configureArticleTable(dbase::TTzDbf& table, const std::string& folder) {
  const auto field = [](const char* name, const char* type) { return std::string(name) + "," + type; };
  table.DbfFields = {field(kNumField, "N,5,0"),    field(kCbField, "C,50,0"),      field(kLib1Field, "C,100,0"),
                     field(kLib2Field, "C,100,0"), field(kQuantiteField, "N,3,0"), field(kToppField, "C,2,0")};
  table.IndexList = {"CB,F,F,cb", ""};
  table.setHideDeletedRecs(true);
  table.TableLanguage = TTzTableLanguage::tlOem;
  table.setReadOnly(false);
  table.CreateIndex = TCreateIndexType::ciNotFound;
  table.setExclusive(false);
  table.setDbfFileName(folder + "/article.dbf");
}

}  // namespace vekrano::records
