// Statements and dot commands of the shell.
#include "app/program/sql_shell.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <string_view>

#include "app/program/sql_shell_commands.h"
#include "app/program/sql_shell_output.h"
#include "common/best_fit_text.h"
#include "common/code_page.h"
#include "common/scope_exit.h"
#include "sql/program/statement_text.h"

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
// store it; the characters written another way are said in `said`, for standard error.
std::string engineText(const std::string& terminal, std::string& said) {
  // Both code pages hold the ASCII characters as themselves.
  if (std::all_of(terminal.begin(), terminal.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return terminal;
  const common::TableText text =
      common::isValidUtf8(terminal) ? common::toTableText(terminal) : common::ansiToTableText(terminal);
  if (text.refused) {
    throw common::Exception("the character " + common::characterName(text.refused->codePoint) + " at position " +
                            std::to_string(text.refused->position) + " cannot be stored in the table");
  }
  if (!text.replaced.empty()) {
    said = "vekrano-sql: written another way: " + common::ansiToUtf8(common::replacementList(text)) + "\n";
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

// Standard input read a block at a time and handed out line by line, as std::getline would.
class InputLines {
 public:
  explicit InputLines(int descriptor) : descriptor_(descriptor), file_(isFile(descriptor)) {}

  // True when the next line comes without waiting: it is in the block read already, or more
  // input (or its end) is there to read.
  bool ready() const { return ended_ || block_.find('\n', at_) != std::string::npos || inputReady(descriptor_, file_); }

  bool next(std::string& line) {
    for (;;) {
      const std::size_t end = block_.find('\n', at_);
      if (end != std::string::npos) {
        line.assign(block_, at_, end - at_);
        at_ = end + 1;
        return true;
      }
      if (ended_) {
        if (at_ >= block_.size()) return false;
        line.assign(block_, at_);
        at_ = block_.size();
        return true;
      }
      block_.erase(0, at_);
      at_ = 0;
      char bytes[1 << 16];
      const ssize_t read = ::read(descriptor_, bytes, sizeof bytes);
      if (read < 0 && errno == EINTR) continue;
      if (read <= 0) {
        ended_ = true;
      } else {
        block_.append(bytes, static_cast<std::size_t>(read));
      }
    }
  }

 private:
  int descriptor_;
  bool file_;
  std::string block_;
  std::size_t at_ = 0;
  bool ended_ = false;
};

// An INSERT whose record a run keeps in memory may be written with the others: any other
// statement (a subquery) could read the table.
bool isPlainInsert(const std::string& statement) {
  constexpr std::string_view kSelect = "SELECT";
  const auto sameLetter = [](char typed, char upper) {
    return typed == upper || (typed >= 'a' && typed <= 'z' && typed - 'a' + 'A' == upper);
  };
  return sql::isInsertStatement(statement) &&
         std::search(statement.begin(), statement.end(), kSelect.begin(), kSelect.end(), sameLetter) == statement.end();
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
    std::string said;
    std::string statement;
    try {
      statement = engineText(line, said);
    } catch (...) {
      settleHeldInserts();  // the lines before it were stored
      throw;
    }
    if (deferInserts_ && isPlainInsert(statement)) {
      runHeldInsert(statement, said);
      return;
    }
    settleHeldInserts();
    std::fputs(said.c_str(), stderr);
    runStatement(statement);
    return;
  }
  settleHeldInserts();
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

void SqlShell::runInput(int descriptor) {
  dbase::TTzDbf& table = context_.data.tarticle;
  const common::ScopeExit runEnded([&] {
    deferInserts_ = false;
    table.endAppendRun();
  });
  deferInserts_ = true;
  InputLines input(descriptor);
  for (std::string line;;) {
    // What was printed is flushed here when the shell is about to wait, not at every line.
    if (!input.ready()) {
      settleHeldInserts();
      table.endAppendRun();  // also a run of INSERTs that were not held
      std::fflush(context_.out);
    }
    if (!input.next(line)) break;
    runLine(line);
  }
  settleHeldInserts();
}

void SqlShell::runHeldInsert(const std::string& statement, const std::string& said) {
  dbase::TTzDbf& table = context_.data.tarticle;
  table.beginAppendRun();
  table.deferAppendWrites();
  held_.push_back({statement, said, 0, 0});
  try {
    held_.back().count = context_.data.executeStatement(statement);
  } catch (const dbase::ETzAppendsTakenBack&) {
    replayHeldInserts();
    return;
  } catch (...) {
    // The INSERTs before it are stored (or named) first, as when each was written at once.
    const HeldInsert failed = std::move(held_.back());
    held_.pop_back();
    settleHeldInserts();
    // Held INSERTs still not in the file were taken back with it: the first of them is refused.
    std::fputs((held_.empty() ? failed : held_.front()).said.c_str(), stderr);
    held_.clear();
    throw;
  }
  held_.back().record = table.RecNo();
  printWrittenInserts();  // those the run wrote when its time was up
}

void SqlShell::settleHeldInserts() {
  if (held_.empty()) return;
  try {
    context_.data.tarticle.endAppendRun();
  } catch (const dbase::ETzAppendsTakenBack&) {
    replayHeldInserts();
    return;
  } catch (...) {
    // The first INSERT whose record is not in the file is the one that failed.
    printWrittenInserts();
    if (!held_.empty()) std::fputs(held_.front().said.c_str(), stderr);
    held_.clear();
    throw;
  }
  printWrittenInserts();
}

// Prints what the first held INSERTs whose records are in the file printed and said, in their
// order, and lets them go.
void SqlShell::printWrittenInserts() {
  const std::int32_t written = context_.data.tarticle.writtenRecordCount();
  std::size_t done = 0;
  for (; done < held_.size() && held_[done].record != 0 && held_[done].record <= written; ++done) {
    std::fputs(held_[done].said.c_str(), stderr);
    std::fprintf(context_.out, "%d\n", held_[done].count);
  }
  held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(done));
}

// The held INSERTs whose records are not in the file were taken back from it: they run again one
// at a time, each written before the next, so that the first the table refuses is the one that
// fails.
void SqlShell::replayHeldInserts() {
  dbase::TTzDbf& table = context_.data.tarticle;
  table.endAppendRun();
  printWrittenInserts();
  const std::vector<HeldInsert> again = std::move(held_);
  held_.clear();
  const common::ScopeExit runEnded([&] { table.endAppendRun(); });
  for (const HeldInsert& insert : again) {
    std::fputs(insert.said.c_str(), stderr);
    table.beginAppendRun();
    std::fprintf(context_.out, "%d\n", context_.data.executeStatement(insert.statement));
  }
}

void SqlShell::runStatement(const std::string& statement) {
  sql::TSqlQuery& query = context_.data.sqlqueryfonction;
  dbase::TTzDbf& table = context_.data.tarticle;
  if (sql::isInsertStatement(statement)) {
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
