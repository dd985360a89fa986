// Statements and dot commands of the shell.
#include "app/program/sql_shell.h"

#include <poll.h>
#include <sys/stat.h>

#include <string_view>

#include "app/program/sql_shell_commands.h"
#include "app/program/sql_shell_output.h"
#include "common/best_fit_text.h"
#include "common/code_page.h"
#include "common/scope_exit.h"

namespace vekrano::app {

namespace {

struct NamedCommand {
  std::string_view name;
  DotCommand run;
};

constexpr NamedCommand kDotCommands[] = {
    {".import", importDotCommand}, {".backup", backupDotCommand}, {".restore", restoreDotCommand},
    {".export", exportDotCommand}, {".check", checkDotCommand},   {".repair", repairDotCommand},
};

// Statement text typed on the terminal, held in the engine's character set as the table can
// store it; the characters written another way are said on standard error.
std::string engineText(const std::string& terminal) {
  const common::TableText text =
      common::isValidUtf8(terminal) ? common::toTableText(terminal) : common::ansiToTableText(terminal);
  if (text.refused) {
    throw common::Exception("the character " + common::characterName(text.refused->codePoint) + " at position " +
                            std::to_string(text.refused->position) + " cannot be stored in the table");
  }
  if (!text.replaced.empty()) {
    std::fprintf(stderr, "vekrano-sql: written another way: %s\n",
                 common::ansiToUtf8(common::replacementList(text)).c_str());
  }
  return text.ansi;
}

bool isSelect(const std::string& statement) {
  const std::size_t start = statement.find_first_not_of(" \t\r\n(");
  if (start == std::string::npos) return false;
  return common::ansiUpper(statement.substr(start, 6)) == "SELECT" ||
         common::ansiUpper(statement.substr(start, 9)) == "TRANSFORM";
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool isInsert(const std::string& statement) {
  const std::size_t start = statement.find_first_not_of(" \t\r\n");
  return start != std::string::npos && common::ansiUpper(statement.substr(start, 7)) == "INSERT ";
}

// True when reading from `descriptor` would not wait: more input, or its end, is there. A file
// never makes a reader wait.
bool inputReady(int descriptor, bool file) {
  if (file) return true;
  pollfd input{descriptor, POLLIN, 0};
  return ::poll(&input, 1, 0) == 1 && (input.revents & (POLLIN | POLLHUP)) != 0;
}

bool isFile(int descriptor) {
  struct stat status {};
  return ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

std::vector<std::string> dotArguments(const std::string& line) {
  std::vector<std::string> words;
  std::size_t at = line.find_first_of(" \t");  // after the command's name
  while (at != std::string::npos && at < line.size()) {
    while (at < line.size() && isBlank(line[at])) ++at;
    if (at >= line.size()) break;
    std::string word;
    while (at < line.size() && !isBlank(line[at])) {
      if (line[at] == '"') {
        const std::size_t close = line.find('"', at + 1);
        if (close == std::string::npos) throw EShellUsage("unterminated quote in: " + line);
        word += line.substr(at + 1, close - at - 1);
        at = close + 1;
      } else {
        word += line[at++];
      }
    }
    words.push_back(word);
  }
  return words;
}

void SqlShell::runLine(const std::string& line) {
  const std::size_t start = line.find_first_not_of(" \t\r");
  if (start == std::string::npos) return;
  if (line[start] != '.') {
    runStatement(engineText(line));
    return;
  }
  const std::string command = line.substr(start);
  const std::string name = command.substr(0, command.find_first_of(" \t\r"));
  for (const NamedCommand& known : kDotCommands) {
    if (known.name == name) {
      known.run(context_, dotArguments(command));
      return;
    }
  }
  throw EShellUsage("unknown command: " + name + " (known: .import, .backup, .restore, .export, .check, .repair)");
}

void SqlShell::runInput(std::istream& in, int descriptor) {
  dbase::TTzDbf& table = context_.data.tarticle;
  const common::ScopeExit runEnded([&] { table.endAppendRun(); });
  // What was printed is flushed here when the shell is about to wait, not at every line.
  std::ostream* const tied = in.tie(nullptr);
  const common::ScopeExit retied([&] { in.tie(tied); });
  const bool file = isFile(descriptor);
  for (std::string line;;) {
    if (!inputReady(descriptor, file)) {
      table.endAppendRun();
      std::fflush(context_.out);
    }
    if (!std::getline(in, line)) break;
    runLine(line);
  }
}

void SqlShell::runStatement(const std::string& statement) {
  sql::TSqlQuery& query = context_.data.sqlqueryfonction;
  dbase::TTzDbf& table = context_.data.tarticle;
  if (isInsert(statement)) {
    table.beginAppendRun();
  } else {
    table.endAppendRun();
  }
  if (!isSelect(statement)) {
    std::fprintf(context_.out, "%d\n", context_.data.executeStatement(statement));
    return;
  }
  query.Close();
  query.SQL().Clear();
  query.SQL().Add(statement);
  query.Open();
  printRows(query, context_.out);
  query.Close();
}

}  // namespace vekrano::app
