// Archives split over volumes: where volumes end, how the next one is asked for, and round
// trips through them.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive_test_tools.h"
#include "backup/dos_date.h"
#include "common/prompts.h"
#include "support/temp_dir.h"

namespace vekrano::backup {
namespace {

using namespace vekrano::backup::testing;
using common::PromptAnswer;
using common::ScopedScriptedPrompts;
using vekrano::testing::readFileBytes;
using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;

std::string volumesConcatenated(const TempDir& dir, int count) {
  std::string bytes = readFileBytes(dir.file("save.vkb"));
  for (int volume = 2; volume <= count; ++volume) {
    bytes += readFileBytes(dir.file("save.00" + std::to_string(volume)));
  }
  return bytes;
}

TEST(Volumes, NoVolumeReachesMaxSizeAndEachFurtherDiskIsAskedFor) {
  TempDir dir;
  const std::string big = randomBytes(2'800'000, 7);
  const std::string table = recordLikeBytes(500'000, 8);
  writeFileBytes(dir.file("a.dbf"), big);
  writeFileBytes(dir.file("b.dbf"), table);
  ScopedScriptedPrompts prompts;

  TBackupFile backup;
  backup.CompressionLevel = TCompressionLevel::clMax;
  backup.MaxSize = 1'300'000;
  ASSERT_TRUE(backup.Backup({dir.file("*.dbf")}, dir.file("save.vkb")));

  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[0].text, "Please insert disk 2 and click OK to continue.");
  EXPECT_EQ(prompts.shown[1].text, "Please insert disk 3 and click OK to continue.");
  EXPECT_EQ(prompts.shown[0].buttons, common::PromptButtons::OkCancel);
  ASSERT_TRUE(std::filesystem::exists(dir.file("save.003")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("save.004")));
  for (const char* name : {"save.vkb", "save.002"}) {
    // A block is begun only below 1 283 516 bytes, so the volume ends between that and MaxSize.
    const auto size = std::filesystem::file_size(dir.file(name));
    EXPECT_GE(size, 1'283'516u) << name;
    EXPECT_LT(size, 1'300'000u) << name;
    EXPECT_EQ(readFileBytes(dir.file(name)).substr(size - 16, 16),
              std::string("\x0C\0\0\0NEXT:DISK", 13) + (name[5] == 'v' ? "002" : "003"));
  }

  const InspectedArchive archive = inspectArchive(volumesConcatenated(dir, 3));
  EXPECT_TRUE(archive.ended);
  ASSERT_EQ(archive.entries.size(), 4u);
  EXPECT_EQ(archive.entries[1].name, "NEXT:DISK002");
  EXPECT_EQ(archive.entries[2].name, "NEXT:DISK003");
  EXPECT_TRUE(archive.entries[0].data == big);
  EXPECT_TRUE(archive.entries[3].data == table);

  TempDir target;
  prompts.shown.clear();
  ASSERT_TRUE(backup.Restore(dir.file("save.vkb"), target.path().string()));
  EXPECT_TRUE(readFileBytes(target.file("a.dbf")) == big);
  EXPECT_TRUE(readFileBytes(target.file("b.dbf")) == table);
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[0].text, "Please insert disk 2 and click OK to continue.");
}

TEST(Volumes, CancelAtTheQuestionStopsWithoutAnError) {
  TempDir dir;
  writeFileBytes(dir.file("a.dbf"), randomBytes(200'000, 9));
  ScopedScriptedPrompts prompts;
  prompts.answers = {PromptAnswer::Cancel};
  TBackupFile backup;
  backup.MaxSize = 100'000;
  EXPECT_FALSE(backup.Backup({dir.file("*.dbf")}, dir.file("save.vkb")));
  EXPECT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(backup.lastError(), ErrorCode::None);
  EXPECT_FALSE(std::filesystem::exists(dir.file("save.002")));
  const std::string bytes = readFileBytes(dir.file("save.vkb"));
  EXPECT_EQ(bytes.substr(bytes.size() - 16), std::string("\x0C\0\0\0NEXT:DISK002", 16));
}

TEST(Volumes, OnNeedDiskReplacesTheQuestionAndIsAskedAgainUntilTheVolumeIsThere) {
  TempDir dir;
  const std::string data = randomBytes(150'000, 10);
  writeFileBytes(dir.file("a.dbf"), data);
  ScopedScriptedPrompts prompts;
  std::vector<int> asked;
  TBackupFile backup;
  backup.MaxSize = 100'000;
  backup.OnNeedDisk = [&](TBackupFile&, std::uint16_t disk, bool&) { asked.push_back(disk); };
  ASSERT_TRUE(backup.Backup({dir.file("*.dbf")}, dir.file("save.vkb")));
  EXPECT_EQ(asked, (std::vector<int>{2}));

  std::filesystem::rename(dir.file("save.002"), dir.file("away"));
  asked.clear();
  backup.OnNeedDisk = [&](TBackupFile&, std::uint16_t disk, bool&) {
    asked.push_back(disk);
    if (asked.size() == 3) std::filesystem::rename(dir.file("away"), dir.file("save.002"));
  };
  TempDir target;
  ASSERT_TRUE(backup.Restore(dir.file("save.vkb"), target.path().string()));
  EXPECT_EQ(asked, (std::vector<int>{2, 2, 2}));
  EXPECT_TRUE(readFileBytes(target.file("a.dbf")) == data);
  EXPECT_TRUE(prompts.shown.empty());

  backup.OnNeedDisk = [](TBackupFile&, std::uint16_t, bool& goOn) { goOn = false; };
  std::filesystem::remove(dir.file("save.002"));
  EXPECT_FALSE(backup.Restore(dir.file("save.vkb"), target.path().string()));
  EXPECT_EQ(backup.lastError(), ErrorCode::None);
}

// Files of many sizes, set to dates DOS can hold exactly, through one volume, through many
// small ones, and through the in-memory archive.
TEST(Volumes, RoundTripsAreByteIdenticalWithTheirDates) {
  const std::size_t sizes[] = {0, 1, 100, 16383, 16384, 16385, 40000, 65536, 99999, 250000};
  for (const std::int32_t maxSize : {0, 60'000, 20'000}) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "src");
    std::vector<std::string> contents;
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
      contents.push_back(i % 2 ? randomBytes(sizes[i], 20 + i) : recordLikeBytes(sizes[i], 20 + i));
      const std::string path = dir.file("src/f" + std::to_string(i) + ".bin");
      writeFileBytes(path, contents.back());
      setModificationTime(path, *timeFromDosDate(dosDateFromTime(1'300'000'000 + 86'400 * i)));
    }
    ScopedScriptedPrompts prompts;
    TBackupFile backup;
    backup.MaxSize = maxSize;
    ASSERT_TRUE(backup.Backup({dir.file("src/*.bin")}, dir.file("save.vkb")));
    if (maxSize == 20'000) EXPECT_GT(prompts.shown.size(), 20u);
    ASSERT_TRUE(backup.Backup({dir.file("src/*.bin")}, ":STREAM"));

    for (const std::string archive : {dir.file("save.vkb"), std::string(":STREAM")}) {
      TempDir target;
      ASSERT_TRUE(backup.Restore(archive, target.path().string())) << archive << " " << maxSize;
      EXPECT_EQ(backup.filesProcessed(), static_cast<int>(std::size(sizes)));
      for (std::size_t i = 0; i < std::size(sizes); ++i) {
        const std::string name = "f" + std::to_string(i) + ".bin";
        EXPECT_TRUE(readFileBytes(target.file(name)) == contents[i]) << name << " " << maxSize;
        EXPECT_EQ(modificationTime(target.file(name)), modificationTime(dir.file("src/" + name)));
      }
    }
  }
}

}  // namespace
}  // namespace vekrano::backup
