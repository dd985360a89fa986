// vekrano-sql's .export run as a program: the whole table or the criteria's records, the
// choices of separator and encoding, a file read back by .import, and clear errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/full_disk.h"
#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

using ShellRun = vekrano::testing::Outcome;
using vekrano::testing::readFileBytes;
using vekrano::testing::runShell;

class ShellExport : public ::testing::Test {
 protected:
  ShellRun shell(const std::string& folder, const std::string& lines) {
    vekrano::testing::writeFileBytes(dir.file("input.txt"), lines);
    return runShell(std::string(VEKRANO_SQL_PROGRAM) + " " + folder + " < " + dir.file("input.txt") + " 2>&1");
  }
  ShellRun shell(const std::string& lines) { return shell(dir.path().string(), lines); }

  vekrano::testing::TempDir dir;
};

constexpr const char* kRecords =
    "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (3,\"B2\",'dit \"oui\"', \"\", 4, \"N\" )\n"
    "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"A1\",\"cr\xC3\xA8me; 5 EUR\", \"x,y\", 2, \"O\" "
    ")\n"
    "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (2,\"AB\",\"plain\", \"\", 1, \"N\" )\n";

TEST_F(ShellExport, WholeTableOrCriteriaInEitherEncodingAndSeparator) {
  ASSERT_EQ(shell(kRecords).status, 0);
  const std::string file = dir.file("out.csv");
  ShellRun run = shell(".export " + file + "\n");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, "3\n");
  EXPECT_EQ(readFileBytes(file),
            "\xEF\xBB\xBF"
            "cb,lib1,lib2,quantite,topp\r\n"
            "A1,cr\xC3\xA8me; 5 EUR,\"x,y\",2,O\r\n"
            "AB,plain,,1,N\r\n"
            "B2,\"dit \"\"oui\"\"\",,4,N\r\n");

  run = shell(".export \"" + file + "\" --separator ; --encoding windows-1252 --cb A --top no\n");
  EXPECT_EQ(run.out, "1\n");
  EXPECT_EQ(readFileBytes(file), "cb;lib1;lib2;quantite;topp\r\nAB;plain;;1;N\r\n");
  run = shell(".export " + file + " --separator ; --encoding windows-1252 --text1 cr\xC3\xA8\n");
  EXPECT_EQ(run.out, "1\n");
  EXPECT_EQ(readFileBytes(file), "cb;lib1;lib2;quantite;topp\r\nA1;\"cr\xE8me; 5 EUR\";x,y;2;O\r\n");

  // What .export writes, .import reads back into the same values.
  ASSERT_EQ(shell(".export " + file + " --separator ;\n").status, 0);
  vekrano::testing::TempDir other;
  run = shell(other.path().string(), ".import " + file +
                                         " --separator ; --header 1 --quoted --fields 1,2,3,4\n"
                                         "select cb,lib1,lib2,quantite from article\n");
  EXPECT_EQ(run.out,
            "3\ncb\tlib1\tlib2\tquantite\n"
            "A1\tcr\xC3\xA8me; 5 EUR\tx,y\t2\nAB\tplain\t\t1\nB2\tdit \"oui\"\t\t4\n");
}

TEST_F(ShellExport, BadArgumentsAFullDiskAndAnUnwritableFolderAreClearErrors) {
  for (const auto& [arguments, message] : std::initializer_list<std::pair<std::string, std::string>>{
           {"", ".export: FILE is missing"},
           {"a.csv --separator |", ".export: --separator is \",\" or \";\", not \"|\""},
           {"a.csv --encoding latin1", ".export: --encoding is utf-8 or windows-1252, not \"latin1\""},
           {"a.csv --top maybe", ".export: --top is yes or no, not \"maybe\""},
           {"a.csv --cb", ".export: --cb needs a value"},
           {"a.csv b.csv", ".export: one FILE only"},
           {"a.csv --order cb", ".export: unknown option --order"}}) {
    const ShellRun run = shell(".export " + arguments + "\n");
    EXPECT_EQ(run.status, 1) << arguments;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), message) << arguments;
  }
  // A disk that fills up midway: the old file stays whole and no half file is left beside it.
  vekrano::testing::TempDir full;
  const std::string kept = (full.path() / "kept.csv").string();
  vekrano::testing::writeFileBytes(kept, "the file as it was\n");
  std::string many;
  for (int num = 1; num <= 300; ++num) {
    many += "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(num) + ",\"C" +
            std::to_string(num) + "\",\"" + std::string(90, 'x') + "\", \"\", 1, \"O\" )\n";
  }
  ASSERT_EQ(shell(many).status, 0);
  vekrano::testing::writeFileBytes(dir.file("input.txt"), ".export " + kept + "\n");
  ShellRun filled = runShell(vekrano::testing::fullDiskAfter(8192, full.path()) + " " + VEKRANO_SQL_PROGRAM + " " +
                             dir.path().string() + " < " + dir.file("input.txt") + " 2>&1");
  EXPECT_EQ(filled.status, 1);
  EXPECT_EQ(filled.out, "Cannot write the file " + kept + ": No space left on device\n");
  EXPECT_EQ(readFileBytes(kept), "the file as it was\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(full.path()), std::filesystem::directory_iterator()), 1);

  const std::string target = dir.file("missing/out.csv");
  const ShellRun run = shell(".export " + target + "\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Cannot write the file " + target + ": No such file or directory\n");
}

}  // namespace
