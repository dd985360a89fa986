// The check a restore makes of the table it read from an archive before that table replaces
// the current one.
#pragma once

#include <string>

namespace vekrano::records {

// Opens "article.dbf" of `folder` as the application opens its table: its header must describe
// the file (size = header + records; a dBase end mark may follow) and its fields and index must
// open, the index being built when missing or damaged. Throws common::Exception with the reason
// when the table is not sound.
void checkRestoredTable(const std::string& folder);

}  // namespace vekrano::records
