// .check: every key of the index compared with its record, the way the program checks at start;
// .repair: a damaged table rewritten with its whole records; and the report of an index the
// shell's activation rebuilt.
#include <cstdio>

#include "records/table_repair.h"

#include "app/program/sql_shell_commands.h"

namespace vekrano::app {

namespace {

std::string rebuiltText(const std::string& index, const std::string& keptAs, const std::string& fault) {
  return index + " was rebuilt: " + fault + (keptAs.empty() ? std::string() : "; the old index is kept as " + keptAs);
}

}  // namespace

void reportTableNotices(dbase::TTzDbf& table, std::FILE* to) {
  table.OnIndexRebuilt = [to](const std::string& index, const std::string& keptAs, const std::string& fault) {
    std::fprintf(to, "%s\n", rebuiltText(index, keptAs, fault).c_str());
  };
  table.OnOpenedReadOnly = [to](const std::string& message) { std::fprintf(to, "%s\n", message.c_str()); };
}

void checkDotCommand(ShellContext& context, const std::vector<std::string>& arguments) {
  if (!arguments.empty()) throw EShellUsage("usage: .check");
  dbase::TTzDbf& table = context.data.tarticle;
  // The check runs at activation: the table is opened again with every key compared.
  struct Restore {
    dbase::TTzDbf& table;
    decltype(dbase::TTzDbf::OnIndexRebuilt) event = table.OnIndexRebuilt;
    bool everyKey = table.CheckEveryKey;
    ~Restore() {
      table.OnIndexRebuilt = event;
      table.CheckEveryKey = everyKey;
    }
  } restore{table};
  bool rebuilt = false;
  table.OnIndexRebuilt = [&](const std::string& index, const std::string& keptAs, const std::string& fault) {
    rebuilt = true;
    std::fprintf(context.out, "%s\n", rebuiltText(index, keptAs, fault).c_str());
  };
  table.CheckEveryKey = true;
  context.data.closeData();
  context.data.openData();
  // A table opened read-only is used without its index, which then stays as it is.
  if (table.ReadOnly()) throw common::Exception(table.DbfFileName() + " is open read-only: its index is not checked");
  if (!rebuilt) std::fputs("ok\n", context.out);
}

void repairDotCommand(ShellContext& context, const std::vector<std::string>& arguments) {
  if (!arguments.empty()) throw EShellUsage("usage: .repair");
  const records::RepairedTable repaired = records::repairArticleTable(context.data);
  std::fprintf(context.out, "%d records kept; the old table is kept as %s\n", repaired.kept, repaired.keptAs.c_str());
}

}  // namespace vekrano::app
