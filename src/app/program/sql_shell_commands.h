// The dot commands of vekrano-sql, each running the same code as the window that offers it.
#pragma once

#include <string>
#include <vector>

#include "app/program/sql_shell.h"

namespace vekrano::app {

// .import FILE [--separator C] [--header N] [--fields CB,TEXT1,TEXT2,QTY] [--quoted]
void ImportDotCommand(ShellContext& context, const std::vector<std::string>& arguments);
// .backup FILE
void BackupDotCommand(ShellContext& context, const std::vector<std::string>& arguments);
// .restore FILE
void RestoreDotCommand(ShellContext& context, const std::vector<std::string>& arguments);
// .export FILE [--separator C] [--encoding utf-8|windows-1252] [--cb P] [--text1 P] [--text2 P]
// [--top yes|no]
void ExportDotCommand(ShellContext& context, const std::vector<std::string>& arguments);

}  // namespace vekrano::app
