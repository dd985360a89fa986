// What Backup writes: header, names, dates, blocks and the file list.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "archive_test_tools.h"
#include "backup/dos_date.h"
#include "common/code_page.h"
#include "support/temp_dir.h"

namespace vekrano::backup {
namespace {

using namespace vekrano::backup::testing;
using vekrano::testing::readFileBytes;
using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;

const InspectedEntry& entryNamed(const InspectedArchive& archive, const std::string& name) {
  const auto it = std::find_if(archive.entries.begin(), archive.entries.end(),
                               [&](const InspectedEntry& e) { return e.name == name; });
  if (it == archive.entries.end()) throw std::runtime_error("no entry " + name);
  return *it;
}

std::string lowerPath(const std::string& path) { return common::ansiLower(path); }

TEST(BackupLayout, EmptyFileFortyThousandBytesAndARandomBlock) {
  TempDir dir;
  const std::string forty = recordLikeBytes(40000, 1);
  const std::string noise = randomBytes(16384, 2);
  writeFileBytes(dir.file("empty.dat"), "");
  writeFileBytes(dir.file("forty.dat"), forty);
  writeFileBytes(dir.file("noise.dat"), noise);
  setModificationTime(dir.file("forty.dat"), 1434020096);

  TBackupFile backup;
  backup.BackupTitle = "Weekly";
  backup.CompressionLevel = TCompressionLevel::clMax;
  ASSERT_TRUE(backup.Backup({dir.file("*.dat")}, dir.file("save.vkb")));
  EXPECT_EQ(backup.filesProcessed(), 3);

  const std::string bytes = readFileBytes(dir.file("save.vkb"));
  const InspectedArchive archive = inspectArchive(bytes);
  EXPECT_EQ(archive.title, "Weekly");
  EXPECT_EQ(archive.totalSize, 40000 + 16384);
  EXPECT_EQ(archive.fileCount, 3);
  EXPECT_TRUE(archive.ended);

  const InspectedEntry& empty = entryNamed(archive, lowerPath(dir.file("empty.dat")));
  EXPECT_TRUE(empty.blocks.empty());
  const std::size_t afterName = bytes.find(empty.name) + empty.name.size();
  EXPECT_EQ(bytes.substr(afterName + 4, 8), std::string("EC2\0", 4) + std::string(4, '\0'));

  const InspectedEntry& fortyEntry = entryNamed(archive, lowerPath(dir.file("forty.dat")));
  ASSERT_EQ(fortyEntry.blocks.size(), 3u);
  EXPECT_EQ(fortyEntry.blocks[0].dataSize, 16384u);
  EXPECT_EQ(fortyEntry.blocks[1].dataSize, 16384u);
  EXPECT_EQ(fortyEntry.blocks[2].dataSize, 7232u);
  for (const InspectedBlock& block : fortyEntry.blocks) EXPECT_GT(block.length, 0);
  EXPECT_EQ(fortyEntry.data, forty);
  EXPECT_EQ(static_cast<std::uint32_t>(fortyEntry.date), dosDateFromTime(1434020096));

  const InspectedEntry& noiseEntry = entryNamed(archive, lowerPath(dir.file("noise.dat")));
  ASSERT_EQ(noiseEntry.blocks.size(), 1u);
  EXPECT_EQ(noiseEntry.blocks[0].length, -16384);
  EXPECT_EQ(noiseEntry.data, noise);
}

TEST(BackupLayout, CompressionLevelChoosesTheZlibLevelOfEveryBlock) {
  TempDir dir;
  writeFileBytes(dir.file("a.txt"), recordLikeBytes(20000, 3));
  // The second header byte of a zlib stream carries the level class: 0x01 fastest, 0x9C
  // default, 0xDA best.
  const std::pair<TCompressionLevel, char> levels[] = {{TCompressionLevel::clFastest, '\x01'},
                                                       {TCompressionLevel::clDefault, '\x9C'},
                                                       {TCompressionLevel::clMax, '\xDA'}};
  for (const auto& [level, flags] : levels) {
    TBackupFile backup;
    backup.CompressionLevel = level;
    ASSERT_TRUE(backup.Backup({dir.file("*.txt")}, dir.file("save.vkb")));
    const InspectedArchive archive = inspectArchive(readFileBytes(dir.file("save.vkb")));
    ASSERT_EQ(archive.entries.size(), 1u);
    for (const InspectedBlock& block : archive.entries[0].blocks) {
      EXPECT_EQ(block.bytes.substr(0, 2), std::string("\x78") + flags);
    }
  }
  // Level 0 cannot shrink a full block, so it is stored; the short last block still fits.
  TBackupFile none;
  none.CompressionLevel = TCompressionLevel::clNone;
  ASSERT_TRUE(none.Backup({dir.file("*.txt")}, dir.file("save.vkb")));
  const InspectedArchive stored = inspectArchive(readFileBytes(dir.file("save.vkb")));
  ASSERT_EQ(stored.entries[0].blocks.size(), 2u);
  EXPECT_EQ(stored.entries[0].blocks[0].length, -16384);
  EXPECT_GT(stored.entries[0].blocks[1].length, 3616);
}

TEST(BackupLayout, NamesAreLowerCaseAndTheArchiveItselfIsLeftOut) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "App");
  writeFileBytes(dir.file("App/ARTICLE.DBF"), "records");
  writeFileBytes(dir.file("App/Other.dbf"), "more");
  writeFileBytes(dir.file("App/article.mdx"), "index");
  writeFileBytes(dir.file("App/SAVE.DBF"), "old archive");

  TBackupFile backup;
  ASSERT_TRUE(backup.Backup({dir.file("App/*.DBF"), dir.file("App/article.dbf")}, dir.file("App/SAVE.DBF")));
  const InspectedArchive archive = inspectArchive(readFileBytes(dir.file("App/SAVE.DBF")));
  std::vector<std::string> names;
  for (const InspectedEntry& entry : archive.entries) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{lowerPath(dir.file("App/article.dbf")), lowerPath(dir.file("App/other.dbf"))}));
  EXPECT_EQ(archive.fileCount, 2);
  EXPECT_EQ(entryNamed(archive, lowerPath(dir.file("App/article.dbf"))).data, "records");
}

TEST(BackupLayout, RecursiveSwitchTakesSubfoldersAndEachFileOnce) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "sub" / "deeper");
  writeFileBytes(dir.file("top.txt"), "1");
  writeFileBytes(dir.file("sub/mid.TXT"), "2");
  writeFileBytes(dir.file("sub/deeper/low.txt"), "3");
  writeFileBytes(dir.file("sub/deeper/skip.dat"), "4");

  TBackupFile flat;
  ASSERT_TRUE(flat.Backup({dir.file("*.txt")}, dir.file("flat.vkb")));
  EXPECT_EQ(inspectArchive(readFileBytes(dir.file("flat.vkb"))).fileCount, 1);

  TBackupFile deep;
  ASSERT_TRUE(deep.Backup({dir.file("*.txt /s"), dir.file("sub/*.txt")}, dir.file("deep.vkb")));
  const InspectedArchive archive = inspectArchive(readFileBytes(dir.file("deep.vkb")));
  ASSERT_EQ(archive.entries.size(), 3u);
  EXPECT_EQ(archive.entries[0].name, lowerPath(dir.file("top.txt")));
  EXPECT_EQ(entryNamed(archive, lowerPath(dir.file("sub/mid.txt"))).data, "2");
  EXPECT_EQ(entryNamed(archive, lowerPath(dir.file("sub/deeper/low.txt"))).data, "3");
}

TEST(BackupLayout, FileIdListComesFirstAndIsNeverRestored) {
  TempDir dir;
  writeFileBytes(dir.file("a.dbf"), std::string(1000, 'a'));
  writeFileBytes(dir.file("b.dbf"), "bb");
  setModificationTime(dir.file("a.dbf"), 1500000000);
  setModificationTime(dir.file("b.dbf"), 1500000000);

  TBackupFile backup;
  backup.SaveFileID = true;
  ASSERT_TRUE(backup.Backup({dir.file("*.dbf")}, dir.file("save.vkb")));
  const InspectedArchive archive = inspectArchive(readFileBytes(dir.file("save.vkb")));
  ASSERT_EQ(archive.entries.size(), 3u);
  ASSERT_EQ(archive.entries[0].name, "FILE:LIST");
  const std::string date = std::to_string(static_cast<std::int32_t>(dosDateFromTime(1500000000)));
  const std::string& list = archive.entries[0].data;
  EXPECT_NE(list.find(lowerPath(dir.file("a.dbf")) + "\t" + date + "=1000\r\n"), std::string::npos);
  EXPECT_NE(list.find(lowerPath(dir.file("b.dbf")) + "\t" + date + "=2\r\n"), std::string::npos);
  EXPECT_EQ(archive.fileCount, 2);
  EXPECT_EQ(archive.totalSize, static_cast<std::int32_t>(1002 + list.size()));

  TempDir target;
  EXPECT_TRUE(backup.Restore(dir.file("save.vkb"), target.path().string()));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target.path()), std::filesystem::directory_iterator()),
            2);
  EXPECT_EQ(readFileBytes(target.file("b.dbf")), "bb");
}

TEST(BackupLayout, SettingsAndTheirSideEffects) {
  TBackupFile backup;
  EXPECT_EQ(backup.Version(), "5.00");
  EXPECT_FALSE(backup.SetArchiveFlag);
  backup.setBackupMode(TBackupMode::bmIncremental);
  EXPECT_TRUE(backup.SetArchiveFlag);
  backup.SetArchiveFlag = false;
  backup.setBackupMode(TBackupMode::bmAll);
  EXPECT_FALSE(backup.SetArchiveFlag);

  // Linux keeps no archive attribute: incremental mode saves every matching file.
  TempDir dir;
  writeFileBytes(dir.file("a.dbf"), "x");
  backup.setBackupMode(TBackupMode::bmIncremental);
  ASSERT_TRUE(backup.Backup({dir.file("*.dbf")}, dir.file("save.vkb")));
  EXPECT_EQ(inspectArchive(readFileBytes(dir.file("save.vkb"))).entries.size(), 1u);
}

}  // namespace
}  // namespace vekrano::backup
