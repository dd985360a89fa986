// .export FILE [--separator C] [--encoding utf-8|windows-1252] [--cb P] [--text1 P] [--text2 P]
// [--top yes|no]: the records page's "Export the list" over the whole table, or over the records
// those criteria keep, in the order of their numbers.
#include <cstdio>

#include "app/program/dot_command_words.h"
#include "app/program/sql_shell_commands.h"
#include "common/code_page.h"
#include "list/list_criteria.h"
#include "list/list_export.h"

namespace vekrano::app {

namespace {

constexpr const char* kExportUsage =
    ".export FILE [--separator C] [--encoding utf-8|windows-1252] [--cb PREFIX] [--text1 PREFIX] "
    "[--text2 PREFIX] [--top yes|no]";

// A criterion typed on the terminal, held in the engine's character set.
std::string engineText(const std::string& terminal) {
  return common::isValidUtf8(terminal) ? common::utf8ToAnsi(terminal) : terminal;
}

}  // namespace

void exportDotCommand(ShellContext& context, const std::vector<std::string>& arguments) {
  list::CsvExportOptions options;
  list::ListCriteria criteria;
  DotCommandWords words(".export", kExportUsage, arguments);
  const std::string path = words.fileAndOptions([&](const std::string& option) {
    if (option == "--separator") {
      options.separator = words.separator();
    } else if (option == "--encoding") {
      const std::string& encoding = words.value();
      if (encoding != "utf-8" && encoding != "windows-1252") {
        words.usage("--encoding is utf-8 or windows-1252, not \"" + encoding + "\"");
      }
      options.encoding = encoding == "utf-8" ? list::CsvEncoding::Utf8 : list::CsvEncoding::Windows1252;
    } else if (option == "--cb") {
      criteria.cb = engineText(words.value());
    } else if (option == "--text1") {
      criteria.lib1 = engineText(words.value());
    } else if (option == "--text2") {
      criteria.lib2 = engineText(words.value());
    } else if (option == "--top") {
      const std::string& top = words.value();
      if (top != "yes" && top != "no") words.usage("--top is yes or no, not \"" + top + "\"");
      criteria.top = top == "yes" ? list::TopCriterion::Topped : list::TopCriterion::NotTopped;
    } else {
      return false;
    }
    return true;
  });
  const int written = list::exportStatement(context.data.sqlqueryfonction,
                                            list::listStatement(criteria, list::SortState{}), path, options);
  std::fprintf(context.out, "%d\n", written);
}

}  // namespace vekrano::app
