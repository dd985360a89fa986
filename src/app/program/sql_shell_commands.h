// The dot commands of vekrano-sql, each running the same code as the window that offers it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/program/sql_shell.h"

namespace vekrano::app {

// .import FILE [--separator C] [--header N] [--fields CB,TEXT1,TEXT2,QTY] [--quoted]
void importDotCommand(ShellContext& context, const std::vector<std::string>& arguments);
// .backup FILE
void backupDotCommand(ShellContext& context, const std::vector<std::string>& arguments);
// .restore FILE
void restoreDotCommand(ShellContext& context, const std::vector<std::string>& arguments);
// .export FILE [--separator C] [--encoding utf-8|windows-1252] [--cb P] [--text1 P] [--text2 P]
// [--top yes|no]
void exportDotCommand(ShellContext& context, const std::vector<std::string>& arguments);

// .check: compares every key of the index with its record's value. An index that disagrees (or
// is damaged) is rebuilt when no other program has the table open, the old one kept as
// article.mdx.bad, and that is printed; "ok" when it agrees. Raises the engine's error otherwise.
void checkDotCommand(ShellContext& context, const std::vector<std::string>& arguments);

// .repair: rewrites a damaged table (one the activation opened read-only) with its records up to
// the last whole one and a header rebuilt from its field list, the old file kept as
// article.dbf.bad, and builds the index again; prints how many records were kept. Refused while
// another program has the table open.
void repairDotCommand(ShellContext& context, const std::vector<std::string>& arguments);

// Prints to `to` one line for each index the activation of `table` rebuilds, and the message of
// a table it opens read-only.
void reportTableNotices(dbase::TTzDbf& table, std::FILE* to);

}  // namespace vekrano::app
