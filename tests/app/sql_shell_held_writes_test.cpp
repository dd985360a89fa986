// INSERTs read from standard input are written together when their run lets the table go: the
// files, the output and the messages are those of the same statements written one at a time (as
// vekrano-sql runs its arguments), also when the disk fills up while the run's writes go out.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "dbase/mdx/mdx_checker.h"
#include "support/article_inserts.h"
#include "support/full_disk.h"
#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using vekrano::testing::articleInsert;
using vekrano::testing::Outcome;
using vekrano::testing::readFileBytes;
using vekrano::testing::runShell;
using vekrano::testing::scatteredBarcode;
using vekrano::testing::writeFileBytes;

std::string program() { return VEKRANO_SQL_PROGRAM; }

// Each statement as one argument of the command line, where vekrano-sql writes each at once.
std::string asArguments(const std::vector<std::string>& statements) {
  std::string arguments;
  for (const std::string& statement : statements) arguments += " '" + statement + "'";
  return arguments;
}

std::string asLines(const std::vector<std::string>& statements) {
  std::string lines;
  for (const std::string& statement : statements) lines += statement + "\n";
  return lines;
}

std::string withoutNewline(std::string line) {
  line.pop_back();
  return line;
}

// What one run of vekrano-sql left: its output, its messages and the files.
struct RunResult {
  Outcome outcome;
  std::string errors;
  std::string table;
  std::string index;
};

// The folder's name is written FOLDER in the messages, which name the table file.
RunResult runInto(const fs::path& folder, const std::string& environment, const std::string& input) {
  fs::create_directories(folder);
  RunResult result;
  result.outcome = runShell(environment + " " + program() + " " + folder.string() + input + " 2> " +
                            (folder.parent_path() / (folder.filename().string() + ".err")).string());
  result.errors = readFileBytes(folder.parent_path() / (folder.filename().string() + ".err"));
  for (std::size_t at; (at = result.errors.find(folder.string())) != std::string::npos;)
    result.errors.replace(at, folder.string().size(), "FOLDER");
  result.table = readFileBytes(folder / "article.dbf");
  result.index = readFileBytes(folder / "article.mdx");
  return result;
}

void expectSameRun(const RunResult& held, const RunResult& oneByOne) {
  EXPECT_EQ(held.outcome.status, oneByOne.outcome.status);
  EXPECT_EQ(held.outcome.out, oneByOne.outcome.out);
  EXPECT_EQ(held.errors, oneByOne.errors);
  EXPECT_TRUE(held.table == oneByOne.table) << "the table files differ";
  EXPECT_TRUE(held.index == oneByOne.index) << "the index files differ";
}

TEST(ShellHeldWrites, WritesTheFilesAndPrintsTheLinesOfStatementsWrittenOneAtATime) {
  vekrano::testing::TempDir dir;
  std::vector<std::string> statements;
  // As many as one command line holds.
  for (int i = 0; i < 1000; ++i) {
    std::string insert = withoutNewline(articleInsert(i + 1, scatteredBarcode(i)));
    // Some lines have a character the table writes another way, which is said on standard error.
    if (i % 97 == 5) insert.replace(insert.find("\"\""), 2, "\"l\u2019article " + std::to_string(i) + "\"");
    statements.push_back(insert);
    if (i == 500) statements.push_back("select count(*) as nb from article");
  }
  statements.push_back("INSERT INTO article (nosuch) VALUES (1)");
  statements.push_back(withoutNewline(articleInsert(9999, "NEVER")));
  writeFileBytes(dir.path() / "input.sql", asLines(statements));

  const RunResult held = runInto(dir.path() / "held", "", " < " + (dir.path() / "input.sql").string());
  const RunResult oneByOne = runInto(dir.path() / "one", "", asArguments(statements));
  EXPECT_EQ(held.outcome.status, 1);
  EXPECT_NE(held.errors.find("written another way"), std::string::npos);
  EXPECT_NE(held.errors.find("nosuch"), std::string::npos) << held.errors;
  EXPECT_EQ(held.table.size(), 226u + 1000u * 261u);
  expectSameRun(held, oneByOne);

  // A line the table cannot hold stops the shell after the lines before it were stored and said.
  std::vector<std::string> refused(statements.begin(), statements.begin() + 50);
  refused.push_back(withoutNewline(articleInsert(51, "\u4e2d")));
  writeFileBytes(dir.path() / "refused.sql", asLines(refused));
  const RunResult heldRefused = runInto(dir.path() / "heldRefused", "", " < " + (dir.path() / "refused.sql").string());
  EXPECT_NE(heldRefused.errors.find("cannot be stored"), std::string::npos) << heldRefused.errors;
  EXPECT_EQ(heldRefused.table.size(), 226u + 50u * 261u);
  expectSameRun(heldRefused, runInto(dir.path() / "oneRefused", "", asArguments(refused)));

  // While the shell waits for more input, what it read is written and what it printed is out:
  // another process counts the records, and the lines printed, meanwhile.
  const fs::path paused = dir.path() / "paused";
  fs::create_directory(paused);
  const Outcome counted =
      runShell("{ head -n 300 " + (dir.path() / "input.sql").string() + "; sleep 3; } | " + program() + " " +
               paused.string() + " > " + paused.string() + ".out 2> /dev/null & sleep 1.5; " + program() + " " +
               paused.string() + " 'select count(*) as nb from article'; wc -l < " + paused.string() + ".out; wait");
  EXPECT_EQ(counted.out, "nb\n300\n300\n");
}

// The disk fills up at many places of a stream of INSERTs that split index nodes: the shell that
// held the writes stops at the same line, with the same output and message, and leaves the same
// files as the shell that wrote each statement at once. The first refused line is the one named.
TEST(ShellHeldWrites, ADiskThatFillsUpWhileTheRunIsWrittenStopsAtTheSameLine) {
  vekrano::testing::TempDir dir;
  const fs::path seed = dir.path() / "seed";
  fs::create_directory(seed);
  std::vector<std::string> fill;
  for (int i = 0; i < 17; ++i) fill.push_back(withoutNewline(articleInsert(i + 1, "F" + std::to_string(100 + i))));
  ASSERT_EQ(runShell(program() + " " + seed.string() + asArguments(fill) + " > /dev/null").status, 0);
  std::vector<std::string> stream;
  for (int i = 0; i < 120; ++i) stream.push_back(withoutNewline(articleInsert(100 + i, scatteredBarcode(i))));
  writeFileBytes(dir.path() / "stream.sql", asLines(stream));
  long long seedRoom = 0;
  for (const auto& entry : fs::directory_iterator(seed)) seedRoom += static_cast<long long>(entry.file_size());

  int stoppedInTheStream = 0;
  for (long long room = seedRoom + 200; room < seedRoom + 60000; room += 1913) {
    SCOPED_TRACE("room for " + std::to_string(room) + " bytes");
    const fs::path held = dir.path() / ("held" + std::to_string(room));
    const fs::path oneByOne = dir.path() / ("one" + std::to_string(room));
    fs::copy(seed, held);
    fs::copy(seed, oneByOne);
    const RunResult heldRun =
        runInto(held, vekrano::testing::fullDiskWithRoom(room, held), " < " + (dir.path() / "stream.sql").string());
    const RunResult oneRun = runInto(oneByOne, vekrano::testing::fullDiskWithRoom(room, oneByOne), asArguments(stream));
    expectSameRun(heldRun, oneRun);
    const auto acknowledged =
        static_cast<int>(std::count(heldRun.outcome.out.begin(), heldRun.outcome.out.end(), '\n'));
    if (heldRun.outcome.status != 0) {
      EXPECT_EQ(heldRun.outcome.status, 1);
      EXPECT_NE(heldRun.errors.find("Disk Full"), std::string::npos) << heldRun.errors;
      stoppedInTheStream += acknowledged > 0;
    }
    const Outcome found = runShell(program() + " " + held.string() + " 'select cb from article where cb like \"S%\"'");
    ASSERT_EQ(found.status, 0);
    EXPECT_EQ(static_cast<int>(std::count(found.out.begin(), found.out.end(), '\n')), acknowledged + 1);
    EXPECT_EQ(vekrano::testing::checkMdxFile((held / "article.mdx").string()).fault, "");
    if (heldRun.outcome.status == 0) break;
  }
  EXPECT_GE(stoppedInTheStream, 10) << "the disk filled up at many places of the stream";

  // A stream long enough to span several runs of a tenth of a second each (the run lets go
  // between two INSERTs), on a disk that fills up near its end.
  std::vector<std::string> longStream;
  for (int i = 0; i < 1200; ++i) longStream.push_back(withoutNewline(articleInsert(1000 + i, scatteredBarcode(i))));
  writeFileBytes(dir.path() / "long.sql", asLines(longStream));
  const RunResult whole = runInto(dir.path() / "whole", "", " < " + (dir.path() / "long.sql").string());
  ASSERT_EQ(whole.outcome.status, 0);
  const long long room = seedRoom + static_cast<long long>(whole.table.size() + whole.index.size()) * 4 / 5;
  const fs::path held = dir.path() / "heldLong";
  const fs::path oneByOne = dir.path() / "oneLong";
  fs::copy(seed, held);
  fs::copy(seed, oneByOne);
  const RunResult heldRun =
      runInto(held, vekrano::testing::fullDiskWithRoom(room, held), " < " + (dir.path() / "long.sql").string());
  EXPECT_EQ(heldRun.outcome.status, 1);
  EXPECT_GT(std::count(heldRun.outcome.out.begin(), heldRun.outcome.out.end(), '\n'), 500);
  expectSameRun(heldRun,
                runInto(oneByOne, vekrano::testing::fullDiskWithRoom(room, oneByOne), asArguments(longStream)));
}

}  // namespace
