// A disk that fills up while vekrano-sql rebuilds the index: whatever the byte the disk stops at,
// the old index (or its .bad copy) is left whole, the failure names its cause, and the next open
// finds every record by a prefix search through an index the independent checker passes.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>

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

constexpr int kRecords = 400;  // some twenty leaves under one branch

std::string inserts(int from, int to) {
  std::string text;
  for (int i = from; i < to; ++i) {
    text += articleInsert(i + 1, scatteredBarcode(i));
  }
  return text;
}

bool leftPartOfABuild(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().find(".part-") != std::string::npos) return true;
  return false;
}

class IndexRebuildFullDisk : public ::testing::Test {
 protected:
  // `half` holds the first half of the records with their index, `whole` all of them.
  void SetUp() override {
    half_ = dir_.path() / "half";
    whole_ = dir_.path() / "whole";
    fs::create_directory(half_);
    writeFileBytes(dir_.path() / "first.sql", inserts(0, kRecords / 2));
    writeFileBytes(dir_.path() / "second.sql", inserts(kRecords / 2, kRecords));
    ASSERT_EQ(run(half_, "< " + (dir_.path() / "first.sql").string()).status, 0);
    fs::copy(half_, whole_);
    ASSERT_EQ(run(whole_, "< " + (dir_.path() / "second.sql").string()).status, 0);
  }

  Outcome run(const fs::path& folder, const std::string& rest, const std::string& prefix = "") {
    return runShell(prefix + program() + " " + folder.string() + " " + rest + " > /dev/null");
  }

  // Runs `command` over a copy of `whole_` prepared by `prepare`, with the disk full after each
  // budget in turn, and checks what each run leaves. `keptAs` is where a failed run leaves the old
  // index ("article.mdx" itself, or its .bad copy).
  template <class Prepare>
  void sweep(const std::string& command, Prepare prepare, const std::string& keptAs) {
    int failed = 0;
    for (long long budget = 0; budget < 60000; budget += 1499) {
      SCOPED_TRACE("disk full after " + std::to_string(budget) + " bytes");
      const fs::path folder = dir_.path() / ("run" + std::to_string(budget));
      fs::copy(whole_, folder);
      prepare(folder);
      const std::string oldIndex = readFileBytes(folder / "article.mdx");
      const fs::path errors = dir_.path() / ("errors" + std::to_string(budget) + ".txt");
      const Outcome full = runShell(vekrano::testing::fullDiskAfter(budget, folder) + " " + program() + " " +
                                    folder.string() + " " + command + " > /dev/null 2> " + errors.string());
      EXPECT_FALSE(leftPartOfABuild(folder));
      if (full.status != 0) {
        ++failed;
        EXPECT_EQ(full.status, 1);
        EXPECT_NE(readFileBytes(errors).find("Disk Full"), std::string::npos) << readFileBytes(errors);
        // Past the rename the new index is whole; before it the old one is untouched.
        if (fs::exists(folder / keptAs) && readFileBytes(folder / keptAs) != oldIndex) {
          const vekrano::testing::MdxCheck made = vekrano::testing::checkMdxFile((folder / keptAs).string());
          EXPECT_EQ(made.fault, "");
          EXPECT_EQ(made.tags.count("CB") == 1 ? made.tags.at("CB").size() : 0u, std::size_t{kRecords});
        }
      }
      // The next open, on a disk with room, repairs what is left.
      const Outcome found =
          runShell(program() + " " + folder.string() + " 'select cb from article where cb like \"S%\"' 2> /dev/null");
      ASSERT_EQ(found.status, 0);
      std::multiset<std::string> expected{"cb"}, seen;
      for (int i = 0; i < kRecords; ++i) expected.insert(scatteredBarcode(i));
      std::istringstream rows(found.out);
      for (std::string row; std::getline(rows, row);) seen.insert(row);
      EXPECT_EQ(seen, expected);
      EXPECT_EQ(vekrano::testing::checkMdxFile((folder / "article.mdx").string()).fault, "");
      fs::remove_all(folder);
      if (full.status == 0) break;
    }
    EXPECT_GE(failed, 20) << "the disk filled up at many places of the build";
  }

  vekrano::testing::TempDir dir_;
  fs::path half_, whole_;
};

// A semaphore file nobody holds: a process died with the table open, and the index is built
// afresh over the old one at the next open.
TEST_F(IndexRebuildFullDisk, ARebuildAtOpenLeavesTheOldIndexWhenTheDiskFills) {
  sweep(
      "'select count(*) as nb from article'",
      [](const fs::path& folder) { writeFileBytes(folder / "article.@s@", std::string(4, '\0')); }, "article.mdx");
}

// An index that lacks half the keys: .check keeps it as article.mdx.bad and builds another.
TEST_F(IndexRebuildFullDisk, ARepairByCheckLeavesTheBadCopyWhenTheDiskFills) {
  sweep(
      "'.check'",
      [this](const fs::path& folder) {
        fs::copy_file(half_ / "article.mdx", folder / "article.mdx", fs::copy_options::overwrite_existing);
      },
      "article.mdx.bad");
}

}  // namespace
