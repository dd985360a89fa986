// Facts kept across processes: trusted only for the exact files they were worked out from, never
// for files too young to tell apart from a later write, never from a damaged or stray kept file;
// and the activation's index check, skipped only for the very files that passed it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "dbase/table/table_kept_facts.h"
#include "dbase/table/table_test_support.h"
#include "support/kept_facts_folder.h"

namespace vekrano::dbase::testing {
namespace {

using vekrano::testing::modifiedNs;
using vekrano::testing::readFileBytes;
using vekrano::testing::rewriteKeepingTimes;
using vekrano::testing::ScopedCacheFolder;
using vekrano::testing::waitUntilFilesSettle;
using vekrano::testing::writeFileBytes;

constexpr std::int64_t kSecond = 1'000'000'000;
constexpr std::int64_t kLongAgo = 1'700'000'000 * kSecond;

TableFilesStanding someFiles(std::uint64_t inode) {
  TableFilesStanding files;
  files.table = FileStanding{true, 2049, inode, 226, kLongAgo + 5, kLongAgo + 7};
  files.index = FileStanding{true, 2049, inode + 1, 4096, kLongAgo + 11, kLongAgo + 13};
  return files;
}

TEST(KeptFacts, KeptForExactlyTheFilesTheyWereWorkedOutFrom) {
  ScopedCacheFolder cache;
  const TableFilesStanding files = someFiles(1234);
  const std::string odd("two words\n\0\xFF", 12);
  keepFacts(files, {{"x", "1"}, {"y", odd}});
  keepFacts(files, {{"x", "3"}});
  EXPECT_EQ(loadKeptFacts(files), (KeptFacts{{"x", "3"}, {"y", odd}}));

  // Any difference in either file, even a nanosecond of one time, and nothing is known.
  const std::vector<std::function<void(TableFilesStanding&)>> changes = {
      [](TableFilesStanding& f) { f.table.size += 261; },      [](TableFilesStanding& f) { f.table.modifiedNs += 1; },
      [](TableFilesStanding& f) { f.table.changedNs += 1; },   [](TableFilesStanding& f) { f.index.inode += 9; },
      [](TableFilesStanding& f) { f.index.device += 1; },      [](TableFilesStanding& f) { f.index.size += 1024; },
      [](TableFilesStanding& f) { f.index.modifiedNs -= 1; },  [](TableFilesStanding& f) { f.index.changedNs += 1; },
      [](TableFilesStanding& f) { f.index = FileStanding{}; },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    TableFilesStanding changed = files;
    changes[i](changed);
    EXPECT_TRUE(loadKeptFacts(changed).empty()) << "change " << i;
  }

  // Another table's facts go to another file; a new state of the same table drops the old facts.
  const TableFilesStanding other = someFiles(99);
  keepFacts(other, {{"x", "other"}});
  EXPECT_NE(keptFactsFile(other), keptFactsFile(files));
  EXPECT_EQ(loadKeptFacts(files).at("x"), "3");
  TableFilesStanding later = files;
  later.table.changedNs += kSecond;
  keepFacts(later, {{"z", "1"}});
  EXPECT_EQ(loadKeptFacts(later), (KeptFacts{{"z", "1"}}));
  EXPECT_TRUE(loadKeptFacts(files).empty());
  EXPECT_EQ(loadKeptFacts(other), (KeptFacts{{"x", "other"}}));
}

TEST(KeptFacts, DamagedForeignOrStrayFilesAreIgnored) {
  ScopedCacheFolder cache;
  const TableFilesStanding files = someFiles(77);
  const KeptFacts facts{{"index check", "quick"}, {"live records: MAX(NUM)", "17 0 0 0 0 t t"}};
  keepFacts(files, facts);
  const std::string file = keptFactsFile(files);
  const std::string good = readFileBytes(file);
  ASSERT_FALSE(good.empty());
  for (std::size_t at = 0; at < good.size(); ++at) {
    std::string damaged = good;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x01);
    writeFileBytes(file, damaged);
    ASSERT_TRUE(loadKeptFacts(files).empty()) << "byte " << at << " changed";
  }
  for (std::size_t length = 0; length < good.size(); ++length) {
    writeFileBytes(file, good.substr(0, length));
    ASSERT_TRUE(loadKeptFacts(files).empty()) << "cut to " << length << " bytes";
  }
  writeFileBytes(file, "some other program's cache\n");
  EXPECT_TRUE(loadKeptFacts(files).empty());
  // A link put in the file's place is not followed, even to good facts.
  writeFileBytes(file + ".elsewhere", good);
  std::filesystem::remove(file);
  std::filesystem::create_symlink(file + ".elsewhere", file);
  EXPECT_TRUE(loadKeptFacts(files).empty());

  // Keeping again replaces what was there.
  keepFacts(files, facts);
  EXPECT_EQ(loadKeptFacts(files), facts);
  EXPECT_FALSE(std::filesystem::is_symlink(file));
  EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(KeptFacts, WithoutAUsableCacheFolderNothingIsKept) {
  ScopedCacheFolder cache;
  const TableFilesStanding files = someFiles(5);
  const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  setenv("XDG_CACHE_HOME", "relative/cache", 1);
  setenv("HOME", "/nowhere/home", 1);
  EXPECT_EQ(keptFactsFolder(), "/nowhere/home/.cache/vekrano");
  unsetenv("HOME");
  EXPECT_EQ(keptFactsFolder(), "");
  keepFacts(files, {{"x", "1"}});
  EXPECT_TRUE(loadKeptFacts(files).empty());

  // A cache folder under a plain file cannot be made: nothing kept, nothing raised.
  vekrano::testing::TempDir dir;
  writeFileBytes(dir.file("plain"), "x");
  setenv("XDG_CACHE_HOME", dir.file("plain").c_str(), 1);
  keepFacts(files, {{"x", "1"}});
  EXPECT_TRUE(loadKeptFacts(files).empty());
  if (!home.empty()) setenv("HOME", home.c_str(), 1);
}

TEST(KeptFacts, OnlyFilesStillForTwoSecondsAreSettled) {
  const std::int64_t now = kLongAgo + 100 * kSecond;
  TableFilesStanding files;
  files.table = FileStanding{true, 1, 2, 226, now - 3 * kSecond, now - 2 * kSecond};
  files.index = FileStanding{true, 1, 3, 4096, now - 5 * kSecond, now - 4 * kSecond};
  EXPECT_TRUE(settled(files, now));
  const std::vector<std::int64_t*> times = {&files.table.modifiedNs, &files.table.changedNs, &files.index.modifiedNs,
                                            &files.index.changedNs};
  for (std::int64_t* time : times) {
    const std::int64_t kept = *time;
    *time = now - 2 * kSecond + 1;
    EXPECT_FALSE(settled(files, now));
    *time = now + kSecond;  // a clock set back since
    EXPECT_FALSE(settled(files, now));
    *time = kept;
  }
  files.index = FileStanding{};
  EXPECT_TRUE(settled(files, now));
  files.table.exists = false;
  EXPECT_FALSE(settled(files, now));
}

// Opens the folder's table as the programs do; counts the index rebuilds and tells the last fault.
struct Opening {
  int rebuilt = 0;
  std::string fault;
  void open(const std::string& folder, bool everyKey = false) {
    TTzDbf table{"tarticle"};
    configureArticleTable(table, folder);
    table.CheckEveryKey = everyKey;
    table.OnIndexRebuilt = [this](const std::string&, const std::string&, const std::string& why) {
      ++rebuilt;
      fault = why;
    };
    table.Open();
    table.Close();
  }
};

TEST(KeptIndexCheck, SkippedOnlyForTheFilesThatPassedIt) {
  ScopedCacheFolder cache;
  TableFolder f;
  {
    TTzDbf table{"tarticle"};
    configureArticleTable(table, f.folder());
    table.Open();
    for (int n = 1; n <= 10; ++n) appendArticle(table, n, "CB" + std::to_string(n));
  }
  const auto facts = [&] { return loadKeptFacts(filesStandingOf(f.dbf(), f.mdx())); };
  Opening opening;
  opening.open(f.folder());
  EXPECT_TRUE(facts().empty()) << "files just written are not settled";
  waitUntilFilesSettle();
  opening.open(f.folder());
  ASSERT_EQ(facts().count("index check"), 1U);
  EXPECT_EQ(facts().at("index check"), "quick");
  EXPECT_EQ(opening.rebuilt, 0);

  // Another program makes the last key of the root leaf name record 99, same size, same times.
  constexpr long kFirstItem = 2048 + 8;
  constexpr long kLastItem = kFirstItem + 9 * 56;
  const long long mdxTime = modifiedNs(f.mdx());
  rewriteKeepingTimes(f.mdx(), kLastItem, std::string("\x63\0\0\0", 4));
  ASSERT_EQ(modifiedNs(f.mdx()), mdxTime);
  opening.open(f.folder());
  EXPECT_EQ(opening.rebuilt, 1);
  EXPECT_EQ(opening.fault, "tag CB: a key names record 99 of a table of 10 records");

  // What was kept is what is believed: a check kept for damaged files skips finding the damage.
  rewriteKeepingTimes(f.mdx(), kLastItem, std::string("\x63\0\0\0", 4));
  keepFacts(filesStandingOf(f.dbf(), f.mdx()), {{"index check", "quick"}});
  opening.open(f.folder());
  EXPECT_EQ(opening.rebuilt, 1);

  // A key's text changed is found only by comparing every key: the quick check kept does not
  // stand for it, the comparison of every key kept does.
  std::filesystem::remove(keptFactsFile(filesStandingOf(f.dbf(), f.mdx())));
  opening.open(f.folder());
  ASSERT_EQ(opening.rebuilt, 2);
  rewriteKeepingTimes(f.mdx(), kFirstItem + 4, "DB");
  keepFacts(filesStandingOf(f.dbf(), f.mdx()), {{"index check", "quick"}});
  opening.open(f.folder(), true);
  EXPECT_EQ(opening.rebuilt, 3);
  EXPECT_NE(opening.fault.find("tag CB: "), std::string::npos) << opening.fault;
  rewriteKeepingTimes(f.mdx(), kFirstItem + 4, "DB");
  keepFacts(filesStandingOf(f.dbf(), f.mdx()), {{"index check", "every key"}});
  opening.open(f.folder(), true);
  EXPECT_EQ(opening.rebuilt, 3);
}

}  // namespace
}  // namespace vekrano::dbase::testing
