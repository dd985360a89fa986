// vekrano-labels --pdf onto a full disk: it fails with the cause and leaves no truncated PDF,
// the PDF of an earlier run being kept as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/full_disk.h"
#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

using vekrano::testing::Outcome;
using vekrano::testing::readFileBytes;
using vekrano::testing::runShell;

TEST(LabelsFullDisk, APdfThatDoesNotFitFailsAndLeavesTheEarlierOne) {
  vekrano::testing::TempDir data;
  vekrano::testing::TempDir out;
  const std::string sql = std::string(VEKRANO_SQL_PROGRAM) + " " + data.path().string();
  for (int num = 1; num <= 30; ++num) {
    ASSERT_EQ(runShell(sql + " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" +
                       std::to_string(num) + ",\"VK" + std::to_string(num) + "\",\"t1\",\"t2\",2,\"O\")' >/dev/null")
                  .status,
              0);
  }
  const std::string labels = std::string(VEKRANO_LABELS_PROGRAM) + " " + data.path().string() + " --pdf ";
  const std::string pdf = out.file("labels.pdf");
  ASSERT_EQ(runShell(labels + pdf + " 2>&1").status, 0);
  const std::string earlier = readFileBytes(pdf);
  ASSERT_GT(earlier.size(), 1000u);
  for (const long long budget : {0LL, 100LL, 5000LL, static_cast<long long>(earlier.size()) - 1}) {
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

}  // namespace
