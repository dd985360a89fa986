// A disk that fills up while vekrano-sql inserts records whose keys split index nodes: whatever
// the byte the disk stops at, every insert that printed 1 is found afterwards by a prefix search,
// the failure names its cause, and the index passes the independent checker.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
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

constexpr int kInserts = 120;

int countLines(const std::string& text, const std::string& line) {
  std::istringstream in(text);
  int count = 0;
  for (std::string l; std::getline(in, l);) count += l == line;
  return count;
}

TEST(ShellFullDisk, EveryAcknowledgedInsertSurvivesADiskThatFillsUpAtAnyByte) {
  vekrano::testing::TempDir dir;
  const fs::path seed = dir.path() / "seed";
  fs::create_directory(seed);
  std::string fill;
  for (int i = 0; i < 17; ++i) fill += articleInsert(i + 1, "F" + std::to_string(100 + i));  // a root leaf of 17 keys
  writeFileBytes(dir.path() / "fill.sql", fill);
  ASSERT_EQ(
      runShell(program() + " " + seed.string() + " < " + (dir.path() / "fill.sql").string() + " > /dev/null").status,
      0);
  std::string stream;
  std::string arguments;
  for (int i = 0; i < kInserts; ++i) {
    const std::string insert = articleInsert(100 + i, scatteredBarcode(i));
    stream += insert;
    arguments += " '" + insert.substr(0, insert.size() - 1) + "'";
  }
  writeFileBytes(dir.path() / "stream.sql", stream);

  // Read from standard input, the INSERTs are written together; given as arguments, each is
  // written before the next, so the disk fills up between them.
  int stoppedInTheStream = 0;
  const std::vector<std::string> inputs{" < " + (dir.path() / "stream.sql").string(), arguments};
  for (const std::string& input : inputs) {
    for (long long budget = 200; budget < 400000; budget = budget * 23 / 20 + 577) {
      SCOPED_TRACE("disk full after " + std::to_string(budget) + " bytes, " + input.substr(0, 3));
      const fs::path folder = dir.path() / ("run" + std::to_string(budget) + (input[1] == '<' ? "held" : ""));
      fs::copy(seed, folder);
      const Outcome full = runShell(vekrano::testing::fullDiskAfter(budget, folder) + " " + program() + " " +
                                    folder.string() + input + " 2> " + (folder / "errors.txt").string());
      const int acknowledged = countLines(full.out, "1");
      stoppedInTheStream += acknowledged > 0 && acknowledged < kInserts;
      if (full.status == 0) {
        EXPECT_EQ(acknowledged, kInserts);
      } else {
        EXPECT_EQ(full.status, 1);
        EXPECT_NE(readFileBytes(folder / "errors.txt").find("Disk Full"), std::string::npos)
            << readFileBytes(folder / "errors.txt");
      }
      const Outcome found =
          runShell(program() + " " + folder.string() + " 'select cb from article where cb like \"S%\"'");
      ASSERT_EQ(found.status, 0);
      std::set<std::string> expected{"cb"}, seen;
      for (int i = 0; i < acknowledged; ++i) expected.insert(scatteredBarcode(i));
      std::istringstream rows(found.out);
      int rowCount = 0;
      for (std::string row; std::getline(rows, row); ++rowCount) seen.insert(row);
      EXPECT_EQ(seen, expected);
      EXPECT_EQ(rowCount, acknowledged + 1) << "each record once";
      EXPECT_EQ(vekrano::testing::checkMdxFile((folder / "article.mdx").string()).fault, "");
      if (full.status == 0) break;
    }
  }
  EXPECT_GE(stoppedInTheStream, 15) << "the disk filled up at many places of the stream";
}

}  // namespace
