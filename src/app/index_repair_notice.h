// The start-up check of the record index: every key compared with its record when the data are
// opened, and the user told once when an index that disagreed was rebuilt or the table is damaged.
#pragma once

#include "dbase/table/table_dataset.h"

namespace vekrano::app {

// Makes every activation of `table` compare each key with its record, and show, through the
// prompts, a notice in the current language (the locale's before the settings are read) when
// the index was rebuilt: where the old one is kept and what was wrong; and, after the table's
// own message, where to repair a table opened read-only.
void checkIndexAtStart(dbase::TTzDbf& table);

}  // namespace vekrano::app
