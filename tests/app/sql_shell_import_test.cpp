// vekrano-sql's .import run as a program over real files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "support/full_disk.h"
#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

using ShellRun = vekrano::testing::Outcome;
using vekrano::testing::readFileBytes;
using vekrano::testing::runShell;

class ShellImport : public ::testing::Test {
 protected:
  // Runs vekrano-sql over the folder with `lines` on its standard input, standard error joined.
  ShellRun shell(const std::string& lines) {
    vekrano::testing::writeFileBytes(dir.file("input.txt"), lines);
    return runShell(std::string(VEKRANO_SQL_PROGRAM) + " " + dir.path().string() + " < " + dir.file("input.txt") +
                    " 2>&1");
  }
  std::string csv(const std::string& bytes) {
    vekrano::testing::writeFileBytes(dir.file("in.csv"), bytes);
    return dir.file("in.csv");
  }

  vekrano::testing::TempDir dir;
};

constexpr const char* kSelect = "select num,cb,lib1,lib2,quantite,topp from article\n";

TEST_F(ShellImport, ImportsWithTheWizardsDefaultsOrTheGivenOptions) {
  const std::string path = csv("\xEF\xBB\xBFTitre;x\r\nA1;cr\xC3\xA8me;b;7\r\n\r\nA2 \"q\";y");
  ShellRun run = shell(".import " + path + " --separator ; --header 1 --fields 1,2,0,4\n" + kSelect);
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out,
            "2\nnum\tcb\tlib1\tlib2\tquantite\ttopp\n"
            "1\tA1\tcr\xC3\xA8me\t\t7\tO\n2\tA2 Q\ty\t\t1\tO\n");

  // Read at "," every line's barcode holds a ";", which Code 39 lacks: each is refused by name.
  run = shell(".import " + path + "\n" + kSelect);
  EXPECT_NE(run.out.find(".import: 3 lines not stored (first at file lines 1, 2, 4)\n"
                         ".import: line 1 - Barcod: the character \xC2\xAB ; \xC2\xBB (U+003B) (position 6) "
                         "does not exist in Code 39."),
            std::string::npos)
      << run.out;
  // Nothing stored fails the command; the table keeps the first import's records.
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("\n0\n.import: not every line was stored: " + path), std::string::npos) << run.out;
  EXPECT_EQ(shell(kSelect).out,
            "num\tcb\tlib1\tlib2\tquantite\ttopp\n"
            "1\tA1\tcr\xC3\xA8me\t\t7\tO\n2\tA2 Q\ty\t\t1\tO\n");
}

TEST_F(ShellImport, QuotedFieldsAndFailedLines) {
  const std::string path = csv("\"a b\",\"say \"\"hi\"\"\",\"\"\"x\",1000\nok,t,,3\n");
  // A line not stored fails the command: the shell stops there, after storing the others.
  ShellRun run = shell(".import \"" + path + "\" --quoted --fields 1,2,3,4\n" + kSelect);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out,
            ".import: 1 lines not stored (first at file lines 1)\n1\n"
            ".import: not every line was stored: " +
                path + "\n");
  run = shell(kSelect);
  EXPECT_EQ(run.out, "num\tcb\tlib1\tlib2\tquantite\ttopp\n1\tOK\tt\t\t3\tO\n");
}

TEST_F(ShellImport, BadArgumentsAndAMissingFileAreClearErrors) {
  const std::string path = csv("a\n");
  for (const auto& [arguments, message] : std::initializer_list<std::pair<std::string, std::string>>{
           {"", ".import: FILE is missing"},
           {path + " --separator |", ".import: --separator is \",\" or \";\", not \"|\""},
           {path + " --header 7", ".import: --header takes a number from 0 to 6, not \"7\""},
           {path + " --fields 0,2,3,0", ".import: --fields takes a number from 1 to 10, not \"0\""},
           {path + " --fields 1,2,3", ".import: --fields takes four numbers: CB,TEXT1,TEXT2,QTY"},
           {path + " --fields", ".import: --fields needs a value"},
           {path + " --tabs", ".import: unknown option --tabs"}}) {
    const ShellRun run = shell(".import " + arguments + "\n");
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), message) << arguments;
  }
  const ShellRun missing = shell(".import " + dir.file("gone.csv") + "\n");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "Could not open the file \"" + dir.file("gone.csv") + "\" for reading\n");
}

// Swept over the bytes the disk still takes while 200 lines are imported: the import stops at the
// first line the full disk refused, says so, and the table then holds exactly the lines before it.
TEST_F(ShellImport, AFullDiskStopsTheImportAtTheLineItRefusedAndLosesNoStoredRecord) {
  constexpr int kLines = 200;
  const auto barcode = [](int i) { return "FD" + std::to_string(i * 7919 % 100003); };
  std::string lines;
  for (int i = 1; i <= kLines; ++i) lines += barcode(i) + ";text " + std::to_string(i) + "\n";
  const std::string path = csv(lines);
  const vekrano::testing::TempDir elsewhere;  // the disk that fills is the table's only
  const std::string errors = elsewhere.file("import.err");
  int stoppedPartWay = 0;
  for (long long budget = 0; budget < 1'000'000; budget = budget * 6 / 5 + 997) {
    SCOPED_TRACE("disk full after " + std::to_string(budget) + " bytes");
    std::filesystem::remove(dir.file("article.dbf"));
    std::filesystem::remove(dir.file("article.mdx"));
    ASSERT_EQ(shell("select count(*) as nb from article\n").status, 0);  // a fresh table and index
    const ShellRun full =
        runShell(vekrano::testing::fullDiskAfter(budget, dir.path()) + " " + std::string(VEKRANO_SQL_PROGRAM) + " " +
                 dir.path().string() + " '.import " + path + " --separator ;' 2>" + errors);
    const std::string said = readFileBytes(errors);
    const int reported = full.out.empty() ? 0 : std::stoi(full.out);
    // An index the failed import left behind is rebuilt by the next open, which says so first.
    const ShellRun found = shell("select cb from article where cb like \"FD%\"\n");
    const std::size_t head = found.out.find("cb\n");
    ASSERT_NE(head, std::string::npos) << found.out;
    std::multiset<std::string> expected, seen;
    for (int i = 1; i <= reported; ++i) expected.insert(barcode(i));
    std::istringstream rows(found.out.substr(head + 3));
    for (std::string row; std::getline(rows, row);) seen.insert(row);
    EXPECT_EQ(seen, expected) << "exactly the lines reported stored";
    if (full.status == 0) {
      EXPECT_EQ(reported, kLines);
      break;
    }
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(said.find("Disk Full"), std::string::npos) << said;
    if (full.out.empty()) continue;  // the table could not even be opened for the import
    ++stoppedPartWay;
    const std::string line = std::to_string(reported + 1);
    EXPECT_NE(said.find(".import: 1 lines not stored (first at file lines " + line +
                        ")\n.import: stopped at file line " + line + ", the table cannot write any more\n"),
              std::string::npos)
        << said;
  }
  EXPECT_GE(stoppedPartWay, 15) << "the disk filled up at many lines of the import";
}

}  // namespace
