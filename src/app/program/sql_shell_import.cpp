// .import FILE [--separator C] [--header N] [--fields CB,TEXT1,TEXT2,QTY] [--quoted]: the
// wizard's import over a file, without the window.
#include <cstdio>

#include "app/program/dot_command_words.h"
#include "app/program/sql_shell_commands.h"
#include "common/code_page.h"
#include "import/import_run.h"

namespace vekrano::app {

namespace {

constexpr const char* kImportUsage =
    ".import FILE [--separator C] [--header N] [--fields CB,TEXT1,TEXT2,QTY] [--quoted]";

import::FieldMapping fieldsArgument(const DotCommandWords& words, const std::string& text){int numbers[4] = {};
std::size_t start = 0;
for (int i = 0; i < 4; ++i) {
  const std::size_t comma = text.find(',', start);
  if ((i < 3) == (comma == std::string::npos)) words.usage("--fields takes four numbers: CB,TEXT1,TEXT2,QTY");
  const std::string part = text.substr(start, i < 3 ? comma - start : std::string::npos);
  numbers[i] = words.number("--fields", part, i < 2 ? 1 : 0, import::kUsedFieldCount);
  start = comma + 1;
}
return {numbers[0], numbers[1], numbers[2], numbers[3]};
}  // namespace

}  // namespace vekrano::app

void importDotCommand(ShellContext& context, const std::vector<std::string>& arguments) {
  import::CsvOptions options;
  import::FieldMapping mapping;
  DotCommandWords words(".import", kImportUsage, arguments);
  const std::string path = words.fileAndOptions([&](const std::string& option) {
    if (option == "--separator") {
      options.separator = words.separator();
    } else if (option == "--header") {
      options.headerLines = words.number(0, 6);
    } else if (option == "--fields") {
      mapping = fieldsArgument(words, words.value());
    } else if (option == "--quoted") {
      options.quoted = true;
    } else {
      return false;
    }
    return true;
  });
  import::CsvFile file(path, options);
  const import::ImportResult result = import::runImport(file, mapping, options.quoted, context.data);
  std::fprintf(context.out, "%d\n", result.stored);
  if (result.failed > 0) {
    std::string lines;
    for (int line : result.firstFailedLines) lines += (lines.empty() ? "" : ", ") + std::to_string(line);
    std::fprintf(stderr, ".import: %d lines not stored (first at file lines %s)\n", result.failed, lines.c_str());
  }
  for (const std::string& refusal : result.firstRefusals) {
    std::fprintf(stderr, ".import: %s\n", common::ansiToUtf8(refusal).c_str());
  }
  if (result.converted > 0) {
    std::string lines;
    for (int line : result.firstConvertedLines) lines += (lines.empty() ? "" : ", ") + std::to_string(line);
    std::fprintf(stderr, ".import: %d lines stored with characters written another way (first at file lines %s)\n",
                 result.converted, lines.c_str());
  }
  if (result.numbersExhausted) std::fprintf(stderr, ".import: stopped, record numbers above 99999\n");
  if (result.stoppedAtLine > 0) {
    std::fprintf(stderr, ".import: stopped at file line %d, the table cannot write any more\n", result.stoppedAtLine);
  }
  if (!result.firstTableError.empty()) {
    std::fprintf(stderr, ".import: %s\n", common::ansiToUtf8(result.firstTableError).c_str());
  }
  // A line not stored is a failure of the whole command, so that a script stops and looks.
  if (result.failed > 0) throw common::Exception(".import: not every line was stored: " + path);
}

}  // namespace vekrano::app
