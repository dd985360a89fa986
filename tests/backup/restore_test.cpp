// Where Restore puts files, which ones it writes, and what its events can change.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive_test_tools.h"
#include "backup/dos_date.h"
#include "common/prompts.h"
#include "support/temp_dir.h"

namespace vekrano::backup {
namespace {

using namespace vekrano::backup::testing;
using vekrano::testing::readFileBytes;
using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;

const std::int32_t kJune2015 = static_cast<std::int32_t>(dosDateFromTime(1434020096));

TEST(Restore, SavedNamesIntoAFolderWithAndWithoutTheirPath) {
  TBackupFile restore;
  restore.Stream() = ArchiveBuilder()
                         .header(9, 2)
                         .entry("c:\\app\\article.dbf", kJune2015, "records")
                         .entry("/home/user/data/article.mdx", kJune2015, "index")
                         .integer(0)
                         .bytes();
  TempDir dest;
  const std::string folder = dest.file("x");
  ASSERT_TRUE(restore.Restore(":STREAM", folder));
  EXPECT_EQ(readFileBytes(dest.file("x/article.dbf")), "records");
  EXPECT_EQ(readFileBytes(dest.file("x/article.mdx")), "index");
  EXPECT_EQ(modificationTime(dest.file("x/article.dbf")), *timeFromDosDate(kJune2015));
  EXPECT_EQ(restore.filesProcessed(), 2);

  restore.RestoreFullPath = true;
  ASSERT_TRUE(restore.Restore(":STREAM", folder + "/"));
  EXPECT_EQ(readFileBytes(dest.file("x/app/article.dbf")), "records");
  EXPECT_EQ(readFileBytes(dest.file("x/home/user/data/article.mdx")), "index");
}

TEST(Restore, EmptyDestinationRestoresAtTheSavedPath) {
  TempDir dir;
  TBackupFile restore;
  restore.Stream() = ArchiveBuilder().header(2, 1).entry(dir.file("made/here.txt"), kJune2015, "ok").integer(0).bytes();
  ASSERT_TRUE(restore.Restore(":STREAM", ""));
  EXPECT_EQ(readFileBytes(dir.file("made/here.txt")), "ok");
}

TEST(Restore, ModesDecideByTheTargetAndItsDate) {
  // missing.txt has no target, older.txt an older one, newer.txt a newer one.
  const std::int32_t archived = static_cast<std::int32_t>(dosDateFromTime(1'500'000'000));
  const std::string archive = ArchiveBuilder()
                                  .header(9, 3)
                                  .entry("c:\\missing.txt", archived, "new")
                                  .entry("c:\\older.txt", archived, "new")
                                  .entry("c:\\newer.txt", archived, "new")
                                  .integer(0)
                                  .bytes();
  struct Case {
    TRestoreMode mode;
    const char* expected;  // which of missing, older, newer are restored
  };
  const Case cases[] = {{TRestoreMode::rmAll, "MON"},
                        {TRestoreMode::rmNoOverwrite, "M--"},
                        {TRestoreMode::rmNewer, "MO-"},
                        {TRestoreMode::rmExisting, "-ON"},
                        {TRestoreMode::rmExistingNewer, "-O-"}};
  for (const Case& c : cases) {
    TempDir dest;
    writeFileBytes(dest.file("older.txt"), "old");
    writeFileBytes(dest.file("newer.txt"), "old");
    setModificationTime(dest.file("older.txt"), 1'400'000'000);
    setModificationTime(dest.file("newer.txt"), 1'600'000'000);
    TBackupFile restore;
    restore.RestoreMode = c.mode;
    restore.Stream() = archive;
    ASSERT_TRUE(restore.Restore(":STREAM", dest.path().string()));
    std::string got;
    got += readFileBytes(dest.file("missing.txt")) == "new" ? 'M' : '-';
    got += readFileBytes(dest.file("older.txt")) == "new" ? 'O' : '-';
    got += readFileBytes(dest.file("newer.txt")) == "new" ? 'N' : '-';
    EXPECT_EQ(got, c.expected) << static_cast<int>(c.mode);
  }
}

TEST(Restore, EventsMayRedirectSkipAndAddToAFile) {
  TBackupFile restore;
  restore.Stream() = ArchiveBuilder()
                         .header(6, 3)
                         .entry("c:\\a.txt", kJune2015, "aa")
                         .entry("c:\\b.txt", kJune2015, "bb")
                         .entry("c:\\c.txt", kJune2015, "cc")
                         .integer(0)
                         .bytes();
  TempDir dest;
  std::vector<int> dates;
  restore.OnRestoreFile = [&](TBackupFile&, std::string& name, int date, bool& doRestore) {
    dates.push_back(date);
    if (name.ends_with("a.txt")) name = dest.file("renamed.txt");
    if (name.ends_with("b.txt")) doRestore = false;
  };
  std::vector<std::string> restored;
  restore.OnFileRestored = [&](TBackupFile&, std::string& name, FileStream& stream) {
    restored.push_back(name);
    stream.write("!", 1);
  };
  ASSERT_TRUE(restore.Restore(":STREAM", dest.path().string()));
  EXPECT_EQ(dates, (std::vector<int>{kJune2015, kJune2015, kJune2015}));
  EXPECT_EQ(restored, (std::vector<std::string>{dest.file("renamed.txt"), dest.file("c.txt")}));
  EXPECT_EQ(readFileBytes(dest.file("renamed.txt")), "aa!");
  EXPECT_EQ(readFileBytes(dest.file("c.txt")), "cc!");
  EXPECT_FALSE(std::filesystem::exists(dest.file("a.txt")));
  EXPECT_FALSE(std::filesystem::exists(dest.file("b.txt")));
  EXPECT_EQ(modificationTime(dest.file("c.txt")), *timeFromDosDate(kJune2015));
  EXPECT_EQ(restore.filesProcessed(), 2);
}

TEST(Restore, MissingArchiveIsFalseAtOnceAndUnreadableOneRaises) {
  TempDir dir;
  common::ScopedScriptedPrompts prompts;
  TBackupFile restore;
  ErrorLog log(restore);
  EXPECT_FALSE(restore.Restore(dir.file("none.vkb"), dir.path().string()));
  EXPECT_FALSE(restore.Restore(dir.path().string(), dir.path().string()));
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_TRUE(log.reported.empty());

  for (const std::string& header :
       {std::string("\x01\0", 2), ArchiveBuilder().integer(1'000'000'000).bytes(), ArchiveBuilder().integer(-4).bytes(),
        ArchiveBuilder().text("title").integer(5).bytes()}) {
    writeFileBytes(dir.file("bad.vkb"), header);
    try {
      restore.Restore(dir.file("bad.vkb"), dir.path().string());
      ADD_FAILURE() << "no exception";
    } catch (const EBackupError& error) {
      EXPECT_STREQ(error.what(), "Cannot read archive");
    }
  }
}

TEST(Restore, ProgressRisesToAHundredAndContinueFalseStops) {
  TempDir dir;
  writeFileBytes(dir.file("a.dat"), recordLikeBytes(100'000, 4));
  TBackupFile backup;
  std::vector<int> percents;
  backup.OnProgress = [&](TBackupFile&, const std::string&, int percent, bool&) { percents.push_back(percent); };
  ASSERT_TRUE(backup.Backup({dir.file("*.dat")}, dir.file("save.vkb")));
  ASSERT_GT(percents.size(), 7u);
  EXPECT_EQ(percents.front(), 0);
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_EQ(percents.back(), 100);

  TempDir dest;
  percents.clear();
  ASSERT_TRUE(backup.Restore(dir.file("save.vkb"), dest.path().string()));
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_EQ(percents.back(), 100);

  backup.OnProgress = [&](TBackupFile& sender, const std::string&, int, bool& goOn) {
    goOn = sender.bytesDone() < 30'000;
  };
  EXPECT_FALSE(backup.Backup({dir.file("*.dat")}, dir.file("stopped.vkb")));
  EXPECT_EQ(backup.lastError(), ErrorCode::None);
  EXPECT_FALSE(inspectArchive(readFileBytes(dir.file("stopped.vkb"))).ended);
  EXPECT_FALSE(backup.Restore(dir.file("save.vkb"), dest.path().string()));
}

}  // namespace
}  // namespace vekrano::backup
