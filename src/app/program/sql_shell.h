// The statement loop of vekrano-sql: each line is an SQL statement or a dot command (.import,
// .backup, .restore), run over one program directory's record table as the windows run them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/exception.h"
#include "records/article_data.h"

namespace vekrano::app {

// A dot command's line that cannot be read: unknown command, missing or bad argument.
class EShellUsage : public common::Exception {
 public:
  using common::Exception::Exception;
};

// What a dot command works with: the table's components and the shell's standard output.
struct ShellContext {
  records::ArticleData& data;
  std::FILE* out;
};

using DotCommand = void (*)(ShellContext& context, const std::vector<std::string>& arguments);

// The words of a dot command's line after its name: blanks separate them, double quotes keep
// blanks inside one. Raises EShellUsage for an unterminated quote.
std::vector<std::string> dotArguments(const std::string& line);

class SqlShell {
 public:
  explicit SqlShell(ShellContext context) : context_(context) {}

  // Runs one line in the terminal's UTF-8 (or ANSI when it is not valid UTF-8); a line that is
  // blank does nothing. Its characters go through the table's best-fit conversion: those
  // written another way are listed on standard error, a refused one fails the line with its
  // position. A SELECT prints its rows; INSERT, UPDATE and DELETE print the number of
  // records changed. Raises the engine's error, or EShellUsage for a dot command it cannot read.
  void runLine(const std::string& line);
  // Runs every line read from `descriptor` (standard input). Consecutive INSERT statements append
  // as one run (see TTzDbf::beginAppendRun) that keeps their writes in memory, given up whenever
  // the next line is not there yet, so that the table is never held while the shell waits for
  // its input. What such an INSERT prints and says is held until its record is written, so the
  // output reads as if each record were written before the next line.
  void runInput(int descriptor);

 private:
  // An INSERT run with its writes kept in memory, with what it said (standard error) and the
  // number of records it changed (standard output), and the number of its record (0 until it
  // has one).
  struct HeldInsert {
    std::string statement;
    std::string said;
    int count = 0;
    std::int32_t record = 0;
  };

  void runStatement(const std::string& statement);
  void runHeldInsert(const std::string& statement, const std::string& said);
  // Writes what the run keeps and prints what the held INSERTs printed, in their order; raises
  // the failure of the first INSERT that is not stored.
  void settleHeldInserts();
  void printWrittenInserts();
  void replayHeldInserts();

  ShellContext context_;
  bool deferInserts_ = false;
  std::vector<HeldInsert> held_;
};

}  // namespace vekrano::app
