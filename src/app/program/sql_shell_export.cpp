// .export FILE [--separator C] [--encoding utf-8|windows-1252] [--cb P] [--text1 P] [--text2 P]
// [--top yes|no]: the records page's "Export the list" over the whole table, or over the records
// those criteria keep, in the order of their numbers.
#include <cstdio>

#include "app/program/sql_shell_commands.h"
#include "common/code_page.h"
#include "list/list_criteria.h"
#include "list/list_export.h"

namespace vekrano::app {

namespace {

constexpr const char* kExportUsage =
    ".export FILE [--separator C] [--encoding utf-8|windows-1252] [--cb PREFIX] [--text1 PREFIX] "
    "[--text2 PREFIX] [--top yes|no]";

[[noreturn]] void usage(const std::string& problem) {
  throw EShellUsage(".export: " + problem + "\nusage: " + kExportUsage);
}

// A criterion typed on the terminal, held in the engine's character set.
std::string engineText(const std::string& terminal) {
  return common::isValidUtf8(terminal) ? common::utf8ToAnsi(terminal) : terminal;
}

}  // namespace

void ExportDotCommand(ShellContext& context, const std::vector<std::string>& arguments) {
  std::string path;
  list::CsvExportOptions options;
  list::ListCriteria criteria;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) usage(word + " needs a value");
      return arguments[++i];
    };
    if (word == "--separator") {
      const std::string& separator = value();
      if (separator != "," && separator != ";") usage("--separator is \",\" or \";\", not \"" + separator + "\"");
      options.separator = separator[0];
    } else if (word == "--encoding") {
      const std::string& encoding = value();
      if (encoding != "utf-8" && encoding != "windows-1252") {
        usage("--encoding is utf-8 or windows-1252, not \"" + encoding + "\"");
      }
      options.encoding = encoding == "utf-8" ? list::CsvEncoding::Utf8 : list::CsvEncoding::Windows1252;
    } else if (word == "--cb") {
      criteria.cb = engineText(value());
    } else if (word == "--text1") {
      criteria.lib1 = engineText(value());
    } else if (word == "--text2") {
      criteria.lib2 = engineText(value());
    } else if (word == "--top") {
      const std::string& top = value();
      if (top != "yes" && top != "no") usage("--top is yes or no, not \"" + top + "\"");
      criteria.top = top == "yes" ? list::TopCriterion::Topped : list::TopCriterion::NotTopped;
    } else if (word.rfind("--", 0) == 0) {
      usage("unknown option " + word);
    } else if (path.empty()) {
      path = word;
    } else {
      usage("one FILE only");
    }
  }
  if (path.empty()) usage("FILE is missing");
  const int written = list::ExportStatement(context.data.sqlqueryfonction,
                                            list::ListStatement(criteria, list::SortState{}),
                                            path, options);
  std::fprintf(context.out, "%d\n", written);
}

}  // namespace vekrano::app
