// vekrano-labels --pdf onto a full disk: it fails with the cause and leaves no truncated PDF,
// the PDF of an earlier run being kept as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/full_disk.h"
#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

using vekrano::testing::Outcome;
using vekrano::testing::readFileBytes;
using vekrano::testing::runShell;

// Runs `labels` + `pdf` once whole, then on a disk that fills after each of `budgets` bytes
// (and one byte short of the whole file): every such run fails with the cause and leaves the
// whole PDF of the first run, and nothing else, in the output folder.
void expectEveryShortDiskFails(const std::string& labels, const vekrano::testing::TempDir& out,
                               std::vector<long long> budgets) {
  const std::string pdf = out.file("labels.pdf");
  ASSERT_EQ(runShell(labels + pdf + " 2>&1").status, 0);
  const std::string earlier = readFileBytes(pdf);
  ASSERT_GT(earlier.size(), 1000u);
  budgets.push_back(static_cast<long long>(earlier.size()) - 1);
  for (const long long budget : budgets) {
    ASSERT_LT(budget, static_cast<long long>(earlier.size()));
    const Outcome full = runShell(vekrano::testing::fullDiskAfter(budget, out.path()) + " " + labels + pdf + " 2>&1");
    EXPECT_EQ(full.status, 1) << budget << ": " << full.out;
    EXPECT_NE(full.out.find("vekrano-labels: Cannot write the PDF file " + pdf + ": No space left on device"),
              std::string::npos)
        << budget << ": " << full.out;
    EXPECT_EQ(readFileBytes(pdf), earlier) << budget;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.path()), std::filesystem::directory_iterator()), 1)
        << budget;
  }
}

TEST(LabelsFullDisk, APdfThatDoesNotFitFailsAndLeavesTheEarlierOne) {
  vekrano::testing::TempDir data;
  vekrano::testing::TempDir out;
  const std::string sql = std::string(VEKRANO_SQL_PROGRAM) + " " + data.path().string();
  for (int num = 1; num <= 30; ++num) {
    ASSERT_EQ(runShell(sql + " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(num) +
                       ",\"VK" + std::to_string(num) + "\",\"t1\",\"t2\",2,\"O\")' >/dev/null")
                  .status,
              0);
  }
  expectEveryShortDiskFails(std::string(VEKRANO_LABELS_PROGRAM) + " " + data.path().string() + " --pdf ", out,
                            {0, 100, 5000});
}

// The file is written a large block at a time: a disk that fills at a block's edge, inside a
// later block or in the last one fails the run the same way.
TEST(LabelsFullDisk, APdfOfManyBlocksFailsWhereverTheDiskFills) {
  vekrano::testing::TempDir data;
  vekrano::testing::TempDir out;
  std::string lines;
  for (int record = 1; record <= 400; ++record) {
    lines += "VK-" + std::to_string(100000 + record) + ",Article " + std::to_string(record) + ",Rayon " +
             std::to_string(record % 40) + ",4\n";
  }
  const std::string csv = data.file("records.csv");
  vekrano::testing::writeFileBytes(csv, lines);
  const Outcome imported = runShell("echo '.import " + csv + " --separator , --fields 1,2,3,4' | " +
                                    VEKRANO_SQL_PROGRAM + " " + data.path().string());
  ASSERT_EQ(imported.status, 0) << imported.out;
  ASSERT_EQ(imported.out, "400\n");
  const std::string labels =
      std::string(VEKRANO_LABELS_PROGRAM) + " " + data.path().string() + " --type 5 --all --pdf ";
  constexpr long long kBlock = 64 * 1024;
  expectEveryShortDiskFails(labels, out, {kBlock - 1, kBlock, kBlock + 1, 2 * kBlock + 777});
}

}  // namespace
