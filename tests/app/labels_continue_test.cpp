// vekrano-labels run as a separate program: --continue across runs on paper, label types and
// printers, a filled last sheet, runs into PDF that change nothing, and --num read back by
// zbarimg.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printed_labels.h"
#include "support/held_print_queue.h"
#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

using vekrano::testing::heldQueue;
using vekrano::testing::Outcome;
using vekrano::testing::readFileBytes;
constexpr auto run = vekrano::testing::runShell;

class LabelsContinue : public ::testing::Test {
 protected:
  void add(int num, const std::string& cb, int quantite) {
    run(std::string(VEKRANO_SQL_PROGRAM) + " " + dir.path().string() +
        " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(num) + ",\"" + cb +
        "\",\"t1\",\"t2\"," + std::to_string(quantite) + ",\"O\")' >/dev/null");
  }
  Outcome labels(const std::string& options) {
    return run(std::string(VEKRANO_LABELS_PROGRAM) + " " + dir.path().string() + " " + options + " 2>&1");
  }
  // The remembered positions without the comment line.
  std::string positions() {
    const std::string text = readFileBytes(dir.path() / "VEKRANO.POS");
    return text.empty() ? "(no file)" : text.substr(text.find('\n') + 1);
  }

  vekrano::testing::TempDir dir;
};

TEST_F(LabelsContinue, RunsOnPaperContinueWhereTheLastSheetStopped) {
  if (!vekrano::testing::prepareHeldQueue()) GTEST_SKIP() << "no print server here";
  vekrano::testing::cancelHeldJobs();
  add(1, "A", 5);
  add(2, "B", 3);
  add(3, "C", 4);
  add(4, "D", 30);
  const std::string printer = std::string(" --printer ") + heldQueue();

  EXPECT_EQ(labels("--cb A" + printer).status, 0);
  EXPECT_EQ(positions(), std::string("1\t6\t") + heldQueue() + "\n");
  // Positions 6 to 8 of the same sheet; the last sheet's next free position is 9.
  Outcome outcome = labels("--cb B --continue" + printer);
  EXPECT_EQ(outcome.status, 0) << outcome.out;
  EXPECT_EQ(positions(), std::string("1\t9\t") + heldQueue() + "\n");
  // Another label type on the same printer keeps its own position.
  EXPECT_EQ(labels("--type 3 --cb A --continue" + printer).status, 0);
  EXPECT_EQ(positions(), std::string("1\t9\t") + heldQueue() + "\n3\t6\t" + heldQueue() + "\n");
  // Into PDF: nothing changes, with or without labels.
  EXPECT_EQ(labels("--cb D --pdf " + dir.file("l.pdf")).status, 0);
  EXPECT_EQ(positions(), std::string("1\t9\t") + heldQueue() + "\n3\t6\t" + heldQueue() + "\n");
  // 9 to 12: the sheet is full, the next run on type 1 starts a fresh one.
  EXPECT_EQ(labels("--cb C --continue" + printer).status, 0);
  EXPECT_EQ(positions(), std::string("3\t6\t") + heldQueue() + "\n");
  EXPECT_EQ(vekrano::testing::heldJobs(), 4);
  // 30 labels from 6 of 21 on type 3: 16 fill the first sheet, 14 go on the second.
  EXPECT_EQ(labels("--type 3 --cb D --continue" + printer).status, 0);
  EXPECT_EQ(positions(), std::string("3\t15\t") + heldQueue() + "\n");
  EXPECT_EQ(vekrano::testing::heldJobs(), 6);
  vekrano::testing::cancelHeldJobs();
}

TEST_F(LabelsContinue, ContinueAndNumRefuseWhatTheyCannotGoWith) {
  for (const std::string bad :
       {"--continue --pdf f.pdf", "--continue --start 3", "--num", "--num x", "--num 0", "--num 5-3", "--num 3,",
        "--num 3-", "--num 100000", "--num 3 --all", "--num 3 --cb A", "--num 3 --top yes"}) {
    const Outcome outcome = labels(bad);
    EXPECT_EQ(outcome.status, 2) << bad;
    EXPECT_EQ(outcome.out.rfind("vekrano-labels: ", 0), 0u) << bad << ": " << outcome.out;
  }
  EXPECT_NE(labels("--num 5-3").out.find("--num takes record numbers and ranges such as 3,7,12-20, not \"5-3\""),
            std::string::npos);
  EXPECT_NE(labels("--continue --pdf f.pdf").out.find("--continue goes on with a sheet on paper, not with --pdf"),
            std::string::npos);
  const std::string help = labels("--help").out;
  EXPECT_NE(help.find("  --continue "), std::string::npos);
  EXPECT_NE(help.find("  --num LIST "), std::string::npos);
}

TEST_F(LabelsContinue, NumPrintsExactlyThePickedRecordsAsManyTimesAsTheirQuantity) {
  const char* codes[] = {"K1", "B2", "Z3", "A4", "Q5", "M6", "C7", "D8", "E9", "F10"};
  for (int num = 1; num <= 10; ++num) add(num, codes[num - 1], num % 3 + 1);
  const std::string pdf = dir.file("picked.pdf");
  const Outcome outcome = labels("--num 2,5,9 --order cb --desc --type 1 --pdf " + pdf);
  EXPECT_EQ(outcome.status, 0) << outcome.out;
  // Quantities 3, 3 and 1 in descending barcode order: seven labels on one sheet.
  std::vector<std::string> expected{"Q5", "Q5", "Q5", "E9", "B2", "B2", "B2"};
  expected.resize(12);
  EXPECT_EQ(vekrano::testing::labelsIn(pdf, dir), expected);
  // Ranges and repeats, in record number order; numbers without a record print nothing more.
  EXPECT_EQ(labels("--num 9-10,9,40-42 --type 1 --start 11 --pdf " + pdf).status, 0);
  expected.assign(24, "");
  expected[10] = "E9";
  expected[11] = "F10";
  expected[12] = "F10";
  EXPECT_EQ(vekrano::testing::labelsIn(pdf, dir), expected);
}

}  // namespace
