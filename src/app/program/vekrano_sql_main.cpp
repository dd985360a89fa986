// vekrano-sql DIR [STATEMENT...]: runs SQL statements and dot commands over the record table of
// a program directory, as the application does, and prints what they give.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/program/kept_freed_memory.h"
#include "app/program/program_info.h"
#include "app/program/sql_shell.h"
#include "app/program/sql_shell_commands.h"
#include "common/code_page.h"
#include "dbase/dbase_error.h"
#include "languages/interface_texts.h"
#include "records/article_data.h"

namespace {

constexpr const char* kUsage =
    "usage: vekrano-sql DIR [STATEMENT...]\n"
    "Runs each STATEMENT, or each line of standard input when there is none, over the record\n"
    "table of the program directory DIR (created with its index when missing).\n"
    "A SELECT prints its rows tab-separated under a line of field names; INSERT, UPDATE and\n"
    "DELETE print the number of records changed.\n"
    "Numbers are written with a decimal point, as the sqlite3 shell writes them.\n"
    "Dot commands, one per line like a statement:\n"
    "  .import FILE [--separator C] [--header N] [--fields CB,TEXT1,TEXT2,QTY] [--quoted]\n"
    "  .backup FILE\n"
    "  .restore FILE\n"
    "  .export FILE [--separator C] [--encoding utf-8|windows-1252] [--cb PREFIX]\n"
    "          [--text1 PREFIX] [--text2 PREFIX] [--top yes|no]\n"
    "  .check          compares every key of the index with its record; rebuilds it when they differ\n"
    "  .repair         rewrites a damaged table with its whole records (the old one kept as .bad)\n"
    "--version prints the version.\n"
    "Exit status: 0 done, 1 a statement or command failed, 2 bad arguments.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
    vekrano::app::printVersion("vekrano-sql");
    return 0;
  }
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::vector<std::string> statements(argv + 2, argv + argc);
  vekrano::app::keepFreedMemory();
  // A damaged table is reported on standard error, never by ending the process from the engine.
  vekrano::dbase::setAutoErrorReporting(false);
  // The import's reasons for refusing a line are interface texts; the shell speaks English.
  vekrano::languages::setLanguageNumber(vekrano::languages::kEnglish);
  try {
    vekrano::records::ArticleData data(argv[1]);
    data.sqlqueryfonction.AutoDisableControls = false;
    vekrano::app::reportTableNotices(data.tarticle, stderr);
    data.openData();
    vekrano::app::SqlShell shell({data, stdout});
    if (statements.empty()) {
      shell.runInput(STDIN_FILENO);
    } else {
      for (const std::string& statement : statements) shell.runLine(statement);
    }
    data.closeData();
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", vekrano::common::ansiToUtf8(error.what()).c_str());
    return 1;
  }
  return 0;
}
