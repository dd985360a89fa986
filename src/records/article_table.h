// The application's record table component: a TTzDbf set up as `tarticle` is, over "article.dbf"
// in a given folder. It needs only the table engine, so the engines' tests build it alone.
#pragma once

#include <string>

#include "dbase/table/table_dataset.h"

namespace vekrano::records {

// Gives `table` the field list of the barcode table (num N5, cb C50, lib1 C100, lib2 C100,
// quantite N3, topp C2), the tag CB on `cb`, hidden deleted records, OEM text, index built only
// when missing, shared and writable, and the file `folder` + "/article.dbf" (`folder` may end with
// a separator). The table stays closed.
void configureArticleTable(dbase::TTzDbf& table, const std::string& folder);

}  // namespace vekrano::records
