// vekrano-sql's .import run as a program over real files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

using ShellRun = vekrano::testing::Outcome;
using vekrano::testing::runShell;

class ShellImport : public ::testing::Test {
 protected:
  // Runs vekrano-sql over the folder with `lines` on its standard input, standard error joined.
  ShellRun shell(const std::string& lines) {
    vekrano::testing::writeFileBytes(dir.file("input.txt"), lines);
    return runShell(std::string(VEKRANO_SQL_PROGRAM) + " " + dir.path().string() + " < " +
                    dir.file("input.txt") + " 2>&1");
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
  EXPECT_EQ(run.out, "2\nnum\tcb\tlib1\tlib2\tquantite\ttopp\n"
                     "1\tA1\tcr\xC3\xA8me\t\t7\tO\n2\tA2 Q\ty\t\t1\tO\n");

  // Read at "," every line's barcode holds a ";", which Code 39 lacks: each is refused by name.
  run = shell(".import " + path + "\n" + kSelect);
  EXPECT_NE(run.out.find(".import: 3 lines not stored (first at file lines 1, 2, 4)\n"
                         ".import: line 1 - Barcod: the character \xC2\xAB ; \xC2\xBB (U+003B) (position 6) "
                         "does not exist in Code 39."),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("\n0\nnum\tcb"), std::string::npos) << run.out;
}

TEST_F(ShellImport, QuotedFieldsAndFailedLines) {
  const std::string path = csv("\"a b\",\"say \"\"hi\"\"\",\"\"\"x\",1000\nok,t,,3\n");
  ShellRun run = shell(".import \"" + path + "\" --quoted --fields 1,2,3,4\n" + kSelect);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, ".import: 1 lines not stored (first at file lines 1)\n1\n"
                     "num\tcb\tlib1\tlib2\tquantite\ttopp\n1\tOK\tt\t\t3\tO\n");
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

}  // namespace
