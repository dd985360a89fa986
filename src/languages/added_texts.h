// Interface texts added after the original table, from id 135, in the four languages. A
// language file may override them; where a loaded file has no line for such an id, the built-in
// text of the current language is used. Each subsystem keeps its texts in its own file, in its
// own range of ids:
//   135-154 record editor and record list      (added_texts_records.cpp)
//   155-174 printing                            (added_texts_printing.cpp)
//   175-194 CSV import                          (added_texts_import.cpp)
//   195-214 backup and restore                  (added_texts_backup.cpp)
//   215-234 program directory and installation  (added_texts_install.cpp)
//   235-244 shared table and locks              (added_texts_locks.cpp)
//   245-259 dataset errors                      (added_texts_dataset.cpp)
//   260-279 characters and barcodes entering the table (added_texts_text_entry.cpp)
//   280-299 feedback at the end of work, help   (added_texts_feedback.cpp)
//   300-314 list tools: export, start position  (added_texts_list_tools.cpp)
#pragma once

#include <vector>

#include "languages/caption_table.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedRecordTexts();
const std::vector<CaptionRow>& addedPrintingTexts();
const std::vector<CaptionRow>& addedImportTexts();
const std::vector<CaptionRow>& addedBackupTexts();
const std::vector<CaptionRow>& addedInstallTexts();
const std::vector<CaptionRow>& addedLockTexts();
const std::vector<CaptionRow>& addedDatasetTexts();
const std::vector<CaptionRow>& addedTextEntryTexts();
const std::vector<CaptionRow>& addedListToolTexts();
const std::vector<CaptionRow>& addedFeedbackTexts();

}  // namespace vekrano::languages
