// The backup and restore commands over a program directory: volumes, the archive kept out of
// itself, the table closed around the work, and damaged archives that change nothing.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "archive_test_tools.h"
#include "backup/backup_commands.h"
#include "common/prompts.h"
#include "support/temp_dir.h"

namespace vekrano::backup {
namespace {

using namespace vekrano::backup::testing;
using vekrano::testing::readFileBytes;
using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;
namespace fs = std::filesystem;

struct CountingTable {
  TableAccess access() {
    return {[this] { calls += "close "; }, [this] { calls += "reopen "; }, {}, {}, {}};
  }
  std::string calls;
};

std::string program(const TempDir& dir) { return dir.path().string() + "/"; }

TEST(BackupCommand, VolumesTheArchiveKeptOutOfItselfAndTheTableClosedMeanwhile) {
  common::ScopedScriptedPrompts prompts;
  TempDir dir;
  const std::string table = recordLikeBytes(300'000, 1);
  writeFileBytes(dir.file("article.dbf"), table);
  writeFileBytes(dir.file("article.mdx"), "index");
  CountingTable counting;
  TBackupFile component;
  const CommandResult small = runBackup(component, program(dir), dir.file("save.dbf"), counting.access());
  ASSERT_TRUE(small.done()) << small.error;
  EXPECT_EQ(counting.calls, "close reopen ");
  EXPECT_EQ(small.volumes, std::vector<std::string>{dir.file("save.dbf")});
  EXPECT_TRUE(prompts.shown.empty());
  const InspectedArchive one = inspectArchive(readFileBytes(dir.file("save.dbf")));
  ASSERT_EQ(one.entries.size(), 2u);  // save.dbf itself is not saved
  EXPECT_EQ(one.entries[0].data, table);
  EXPECT_EQ(one.entries[1].data, "index");

  // Random bytes do not compress: 2 MB need a second volume, asked for with the question.
  writeFileBytes(dir.file("article.dbf"), randomBytes(2'000'000, 2));
  TempDir other;
  const CommandResult large = runBackup(component, program(dir), other.file("save.vkb"), counting.access());
  ASSERT_TRUE(large.done()) << large.error;
  EXPECT_EQ(large.volumes, (std::vector<std::string>{other.file("save.vkb"), other.file("save.002")}));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Please insert disk 2 and click OK to continue.");
  EXPECT_LT(fs::file_size(other.file("save.vkb")), 1'300'000u);
  EXPECT_EQ(component.CompressionLevel, TCompressionLevel::clMax);
  EXPECT_EQ(component.MaxSize, 1'300'000);
}

TEST(BackupCommand, ARefusedVolumeOrAnUnwritableArchiveLeavesNoArchive) {
  common::ScopedScriptedPrompts prompts;
  prompts.answers.push_back(common::PromptAnswer::Cancel);
  TempDir dir;
  writeFileBytes(dir.file("article.dbf"), randomBytes(2'000'000, 3));
  TempDir other;
  TBackupFile component;
  const CommandResult refused = runBackup(component, program(dir), other.file("s.vkb"), {});
  EXPECT_EQ(refused.failure, CommandFailure::Stopped);
  EXPECT_TRUE(fs::is_empty(other.path()));

  const CommandResult unwritable = runBackup(component, program(dir), other.file("no/s.vkb"), {});
  EXPECT_EQ(unwritable.failure, CommandFailure::ComponentError);
  EXPECT_EQ(unwritable.error, "Cannot write to archive (No such file or directory)");
  EXPECT_TRUE(prompts.shown.size() == 1);  // the error came back instead of a box
}

class RestoreCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    writeFileBytes(data.file("article.dbf"), "current table");
    writeFileBytes(data.file("article.mdx"), "current index");
  }
  // Restores `bytes` as an archive and checks that the table stayed byte for byte.
  CommandResult restoreLeavingTable(const std::string& bytes) {
    writeFileBytes(elsewhere.file("a.vkb"), bytes);
    TBackupFile component;
    const CommandResult result = runSafeRestore(component, program(data), elsewhere.file("a.vkb"), counting.access());
    EXPECT_EQ(readFileBytes(data.file("article.dbf")), "current table");
    EXPECT_EQ(readFileBytes(data.file("article.mdx")), "current index");
    EXPECT_EQ(std::distance(fs::directory_iterator(data.path()), fs::directory_iterator()), 2);
    return result;
  }

  common::ScopedScriptedPrompts prompts;
  TempDir data;
  TempDir elsewhere;
  CountingTable counting;
};

TEST_F(RestoreCommand, ReplacesTheTableFilesFromAnArchiveMadeElsewhere) {
  const std::string archive = ArchiveBuilder()
                                  .header(20, 3)
                                  .entry("c:\\old\\place\\article.dbf", 0, "restored table")
                                  .entry("c:\\old\\place\\vekrano", 0, "not a table file")
                                  .integer(0)
                                  .bytes();
  writeFileBytes(elsewhere.file("a.vkb"), archive);
  TBackupFile component;
  const CommandResult result = runSafeRestore(component, program(data), elsewhere.file("a.vkb"), counting.access());
  ASSERT_TRUE(result.done()) << result.error;
  EXPECT_EQ(result.files, std::vector<std::string>{"article.dbf"});
  EXPECT_EQ(readFileBytes(data.file("article.dbf")), "restored table");
  // The old index went with the old records; the table builds a new one when it opens.
  EXPECT_FALSE(fs::exists(data.file("article.mdx")));
  EXPECT_FALSE(fs::exists(data.file("vekrano")));
  EXPECT_EQ(counting.calls, "close reopen ");
  EXPECT_EQ(std::distance(fs::directory_iterator(data.path()), fs::directory_iterator()), 1);
}

TEST_F(RestoreCommand, DamagedArchivesLeaveTheTableAsItWas) {
  const std::string good =
      ArchiveBuilder().header(14, 1).entry("c:\\a\\article.dbf", 0, recordLikeBytes(40'000, 4)).integer(0).bytes();
  for (std::size_t cut : {std::size_t{0}, std::size_t{3}, std::size_t{12}, std::size_t{30}, good.size() / 2,
                          good.size() - 4, good.size() - 1}) {
    const CommandResult truncated = restoreLeavingTable(good.substr(0, cut));
    EXPECT_EQ(truncated.failure, CommandFailure::ComponentError) << cut;
    EXPECT_TRUE(truncated.error == "Cannot read archive" || truncated.error == "Cannot read file")
        << cut << ": " << truncated.error;
  }
  std::string wrongMarker = good;
  wrongMarker[wrongMarker.find(std::string("EC2\0", 4))] = 'X';
  EXPECT_EQ(restoreLeavingTable(wrongMarker).error, "Cannot read file");
  std::string brokenZlib = good;
  brokenZlib[good.find(std::string("EC2\0", 4)) + 12] ^= 0x55;
  EXPECT_EQ(restoreLeavingTable(brokenZlib).error, "Compression error");
  EXPECT_EQ(restoreLeavingTable(
                ArchiveBuilder().header(1, 1).text("c:\\article.dbf").integer(0).marker().integer(1 << 30).bytes())
                .error,
            "Cannot read file");
  EXPECT_EQ(restoreLeavingTable(good.substr(0, good.size() - 4)).failure, CommandFailure::ComponentError);
  const CommandResult climbing =
      restoreLeavingTable(ArchiveBuilder().header(1, 1).entry("..\\..\\article.dbf", 0, "x").integer(0).bytes());
  EXPECT_EQ(climbing.error, "Cannot read file");
  const CommandResult noTable =
      restoreLeavingTable(ArchiveBuilder().header(1, 1).entry("c:\\article.mdx", 0, "x").integer(0).bytes());
  EXPECT_EQ(noTable.failure, CommandFailure::NoTable);
  // The table was never closed for an archive that was not put in place.
  EXPECT_EQ(counting.calls, "");
  EXPECT_TRUE(prompts.shown.empty());

  TBackupFile component;
  EXPECT_EQ(runSafeRestore(component, program(data), elsewhere.file("none.vkb"), {}).failure,
            CommandFailure::ArchiveMissing);
}

// A restore killed at any point leaves either the old pair of files or the new table, whose
// index is the new one or missing (built again when the table opens): never a table beside an
// index of other records, never a half-written file under the real name.
TEST(RestoreKilled, LeavesTheOldFilesOrTheNewTable) {
  TempDir data;
  TempDir elsewhere;
  const std::string oldTable = recordLikeBytes(100'000, 5);
  const std::string newTable = recordLikeBytes(3'000'000, 6);
  const std::string newIndex = recordLikeBytes(600'000, 7);
  writeFileBytes(elsewhere.file("a.vkb"), ArchiveBuilder()
                                              .header(3'600'000, 2)
                                              .entry("c:\\article.dbf", 0, newTable)
                                              .entry("c:\\article.mdx", 0, newIndex)
                                              .integer(0)
                                              .bytes());
  std::mt19937 random(18);
  for (int round = 0; round < 20; ++round) {
    writeFileBytes(data.file("article.dbf"), oldTable);
    writeFileBytes(data.file("article.mdx"), "old index");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      TBackupFile component;
      runSafeRestore(component, program(data), elsewhere.file("a.vkb"), {});
      _exit(0);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 60'000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const std::string table = readFileBytes(data.file("article.dbf"));
    const bool indexThere = fs::exists(data.file("article.mdx"));
    const std::string index = readFileBytes(data.file("article.mdx"));
    if (table == oldTable) {
      EXPECT_TRUE(!indexThere || index == "old index") << round;
    } else {
      EXPECT_EQ(table, newTable) << round;
      EXPECT_TRUE(!indexThere || index == newIndex) << round;
    }
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(data.path())) {
      if (entry.is_directory(ignored)) fs::remove_all(entry.path(), ignored);
    }
  }
}

}  // namespace
}  // namespace vekrano::backup
