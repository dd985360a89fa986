// .backup and .restore of vekrano-sql run as a program: round trip, damaged archives that leave
// the table byte for byte, a full disk, the table as a target, a table changed or held open by
// another program meanwhile.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "backup/backup_file.h"
#include "support/full_disk.h"
#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

using vekrano::testing::readFileBytes;
using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;

using vekrano::testing::Outcome;
using vekrano::testing::fullDiskAfter;
using vekrano::testing::runShell;

std::string sql(const TempDir& dir) { return std::string(VEKRANO_SQL_PROGRAM) + " " + dir.path().string(); }

// `count` records through one INSERT per line on standard input.
void fillTable(const TempDir& dir, int count) {
  // A folder of its own: tests running at the same time must not share the script.
  const TempDir scripts;
  const std::string script = scripts.file("fill.sql");
  std::string lines;
  for (int i = 1; i <= count; ++i) {
    lines += "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(i) + ",\"CB" +
             std::to_string(i * 7919 % 100003) + "\",\"Article " + std::to_string(i) + "\", \"lot\", 1, \"O\" )\n";
  }
  writeFileBytes(script, lines);
  ASSERT_EQ(runShell(sql(dir) + " < " + script + " > /dev/null").status, 0);
}

// `records` records put into the table of `data` and saved into "save.vkb" of `archives`;
// returns the archive's path.
std::string savedTable(const TempDir& data, const TempDir& archives, int records) {
  fillTable(data, records);
  const std::string archive = archives.file("save.vkb");
  EXPECT_EQ(runShell(sql(data) + " '.backup " + archive + "' > /dev/null").status, 0);
  return archive;
}

// The number of records the shell counts in the table of `dir`; -1 when it fails.
int countRecords(const TempDir& dir) {
  const Outcome counted = runShell(sql(dir) + " 'select count(*) as nb from article'");
  if (counted.status != 0 || counted.out.rfind("nb\n", 0) != 0) return -1;
  return counted.out.size() > 3 ? std::stoi(counted.out.substr(3)) : 0;  // an empty table gives no row
}

// What the header of the table file `path` says: record count, header and record length.
struct TableHeader {
  std::size_t records = 0, headerLength = 0, recordLength = 0;
  std::size_t describedSize() const { return headerLength + records * recordLength; }
};
TableHeader headerOf(const std::string& path) {
  const std::string bytes = readFileBytes(path);
  if (bytes.size() < 12) return {};
  const auto byte = [&](std::size_t at) { return static_cast<std::size_t>(static_cast<unsigned char>(bytes[at])); };
  return {byte(4) | byte(5) << 8 | byte(6) << 16 | byte(7) << 24, byte(8) | byte(9) << 8, byte(10) | byte(11) << 8};
}

std::size_t filesIn(const TempDir& dir) {
  return static_cast<std::size_t>(
      std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()));
}

// An archive of the files `files` (name, bytes) saved from a folder of their own.
void writeArchiveOf(const std::string& archive, const std::vector<std::pair<std::string, std::string>>& files) {
  const TempDir folder;
  for (const auto& [name, bytes] : files) writeFileBytes(folder.file(name), bytes);
  vekrano::backup::TBackupFile component;
  ASSERT_TRUE(component.Backup({folder.path().string() + "/*"}, archive));
}

// Waits up to a minute for `path` to hold `text`.
bool waitForText(const std::string& path, const std::string& text) {
  for (int k = 0; k < 600; ++k) {
    if (readFileBytes(path).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

TEST(ShellBackup, RoundTripPrintsWhatWasSavedAndRestored) {
  TempDir source;
  TempDir target;
  TempDir archives;
  fillTable(source, 300);
  const std::string archive = archives.file("save.vkb");
  const Outcome saved = runShell(sql(source) + " '.backup " + archive + "'");
  ASSERT_EQ(saved.status, 0) << saved.out;
  // Names are stored in lower case, as the archive keeps them.
  std::string folder = source.path().string();
  for (char& c : folder) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_EQ(saved.out, "saved " + folder + "/article.dbf\nsaved " + folder + "/article.mdx\ninto " + archive + "\n");
  const Outcome restored = runShell(sql(target) + " '.restore " + archive + "' 'select count(*) as nb from article'");
  ASSERT_EQ(restored.status, 0) << restored.out;
  EXPECT_EQ(restored.out, "restored article.dbf\nrestored article.mdx\nnb\n300\n");
  EXPECT_EQ(readFileBytes(target.file("article.dbf")), readFileBytes(source.file("article.dbf")));

  const Outcome usage = runShell(sql(target) + " '.backup' 2>&1");
  EXPECT_EQ(usage.status, 1);
  EXPECT_EQ(usage.out, "usage: .backup FILE\n");
}

TEST(ShellBackup, DamagedArchivesFailWithTheComponentsTextAndLeaveTheTable) {
  TempDir data;
  TempDir archives;
  fillTable(data, 50);
  const std::string archive = archives.file("save.vkb");
  ASSERT_EQ(runShell(sql(data) + " '.backup " + archive + "' > /dev/null").status, 0);
  const std::string good = readFileBytes(archive);
  const std::string table = readFileBytes(data.file("article.dbf"));
  const std::string index = readFileBytes(data.file("article.mdx"));
  struct Case {
    std::string bytes;
    std::string message;
  };
  std::string noEnd = good.substr(0, good.size() - 4);
  std::string wrongMarker = good;
  wrongMarker[wrongMarker.find(std::string("EC2\0", 4))] = 'Z';
  const Case cases[] = {
      {good.substr(0, 10), "Cannot read archive: " + archives.file("bad.vkb")},
      {good.substr(0, good.size() / 2), "Cannot read file: " + archives.file("bad.vkb")},
      {noEnd, "Cannot read file: " + archives.file("bad.vkb")},
      {wrongMarker, "Cannot read file: " + archives.file("bad.vkb")},
  };
  for (const Case& c : cases) {
    writeFileBytes(archives.file("bad.vkb"), c.bytes);
    const Outcome outcome = runShell(sql(data) + " '.restore " + archives.file("bad.vkb") + "' 2>&1");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, c.message + ": the table was left as it was\n");
    EXPECT_EQ(readFileBytes(data.file("article.dbf")), table);
    EXPECT_EQ(readFileBytes(data.file("article.mdx")), index);
  }
  const Outcome missing = runShell(sql(data) + " '.restore " + archives.file("none.vkb") + "' 2>&1");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "no such archive: " + archives.file("none.vkb") + "\n");
}

TEST(ShellBackup, TheTablesOwnFilesAreRefusedAsTheArchive) {
  TempDir data;
  fillTable(data, 20);
  const std::string table = readFileBytes(data.file("article.dbf"));
  for (const std::string& target : {data.file("article.dbf"), data.file("article.mdx"),
                                    data.path().string() + "/../" + data.path().filename().string() + "/article.dbf"}) {
    const Outcome refused = runShell(sql(data) + " '.backup " + target + "' 2>&1");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "the archive would be written over the table's own file: " + target + "\n");
    EXPECT_EQ(readFileBytes(data.file("article.dbf")), table);
  }
  EXPECT_EQ(countRecords(data), 20);
}

// Swept over the bytes the disk still takes: every failed backup says why and leaves the
// archive already at that path byte for byte, with nothing beside it; the first budget that
// fits writes an archive that restores.
TEST(ShellBackup, AFullDiskFailsTheBackupWithItsCauseAndLeavesThePreviousArchive) {
  TempDir data;
  TempDir archives;
  const std::string archive = savedTable(data, archives, 300);
  const std::string previous = readFileBytes(archive);
  fillTable(data, 20);  // the new archive holds more than the old one
  for (const long long budget : {0LL, 1LL, 13LL, 200LL, 4096LL, static_cast<long long>(previous.size())}) {
    const Outcome full =
        runShell(fullDiskAfter(budget, archives.path()) + " " + sql(data) + " '.backup " + archive + "' 2>&1");
    EXPECT_EQ(full.status, 1) << budget;
    EXPECT_NE(full.out.find("Cannot write to archive (No space left on device)"), std::string::npos)
        << budget << ": " << full.out;
    EXPECT_EQ(readFileBytes(archive), previous) << budget;
    EXPECT_EQ(filesIn(archives), 1u) << budget;
  }
  EXPECT_EQ(countRecords(data), 320);
  const Outcome roomy =
      runShell(fullDiskAfter(10'000'000, archives.path()) + " " + sql(data) + " '.backup " + archive + "'");
  ASSERT_EQ(roomy.status, 0) << roomy.out;
  TempDir restored;
  ASSERT_EQ(runShell(sql(restored) + " '.restore " + archive + "' > /dev/null").status, 0);
  EXPECT_EQ(countRecords(restored), 320);

  // A restore onto a full disk says so too, and leaves the table it would have replaced.
  const std::string table = readFileBytes(restored.file("article.dbf"));
  for (const long long budget : {8LL, 5000LL}) {  // 8: the session opens its table, no more
    const Outcome full =
        runShell(fullDiskAfter(budget, restored.path()) + " " + sql(restored) + " '.restore " + archive + "' 2>&1");
    EXPECT_EQ(full.status, 1) << budget;
    EXPECT_NE(full.out.find("(No space left on device)"), std::string::npos) << budget << ": " << full.out;
    EXPECT_EQ(readFileBytes(restored.file("article.dbf")), table) << budget;
  }
  EXPECT_EQ(countRecords(restored), 320);
}

// Killed at any moment, a backup leaves at the archive's path either the archive that was there
// or the whole new one, never a cut one.
TEST(ShellBackup, AKilledBackupLeavesTheEarlierArchiveOrTheWholeNewOne) {
  TempDir data;
  TempDir archives;
  const std::string archive = savedTable(data, archives, 2000);
  const std::string previous = readFileBytes(archive);
  fillTable(data, 10);
  for (const char* delay : {"0.05", "0.1", "0.2", "0.3", "0.5", "0.8"}) {
    runShell("timeout -s KILL " + std::string(delay) + " " + sql(data) + " '.backup " + archive + "' > /dev/null 2>&1");
    // The next session opens the table whole (and repairs what the killed one left in the index).
    EXPECT_EQ(countRecords(data), 2010) << delay;
    if (readFileBytes(archive) == previous) continue;
    TempDir restored;
    const Outcome back = runShell(sql(restored) + " '.restore " + archive + "' 2>&1");
    EXPECT_EQ(back.status, 0) << delay << ": " << back.out;
    EXPECT_EQ(countRecords(restored), 2010) << delay;
  }
  // The next backup removes what the killed ones left beside the archive.
  ASSERT_EQ(runShell(sql(data) + " '.backup " + archive + "' > /dev/null").status, 0);
  EXPECT_EQ(filesIn(archives), 1u);
}

// The disk that holds the table fills up during a backup into the table's own folder: the
// backup fails, and the table, its index and the folder are as they were, nothing left beside.
TEST(ShellBackup, ABackupOntoTheFullDiskOfTheTableLeavesTheTableAndItsIndex) {
  TempDir data;
  TempDir archives;
  const auto archiveSize = static_cast<long long>(readFileBytes(savedTable(data, archives, 200)).size());
  const std::string table = readFileBytes(data.file("article.dbf"));
  const std::string index = readFileBytes(data.file("article.mdx"));
  for (const long long budget : {0LL, 3LL, 10LL, archiveSize / 2, archiveSize - 1}) {
    const Outcome full = runShell(fullDiskAfter(budget, data.path()) + " " + sql(data) + " '.backup " +
                                  data.file("save.vkb") + "' 2>&1");
    EXPECT_EQ(full.status, 1) << budget;
    EXPECT_EQ(filesIn(data), 2u) << budget << ": " << full.out;
    EXPECT_EQ(readFileBytes(data.file("article.dbf")), table) << budget;
    EXPECT_EQ(readFileBytes(data.file("article.mdx")), index) << budget;
  }
  EXPECT_EQ(countRecords(data), 200);
}

// Another program appends all along: each archive restores (the restore refuses a table whose
// header does not describe it) to a header that matches the table's size, and the writer loses
// nothing.
TEST(ShellBackup, ABackupTakenWhileAnotherProgramAppendsHoldsATableWhoseHeaderMatches) {
  TempDir data;
  TempDir archives;
  fillTable(data, 50);
  std::string lines;
  for (int i = 1; i <= 1500; ++i) {
    lines += "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(1000 + i) + ",\"W" +
             std::to_string(i) + "\",\"\",\"\",1,\"N\")\n";
  }
  writeFileBytes(archives.file("writer.sql"), lines);
  runShell("(" + sql(data) + " < " + archives.file("writer.sql") + " > /dev/null 2>" + archives.file("writer.err") +
           "; echo $? > " + archives.file("writer.status") + ") > /dev/null 2>&1 &");
  for (int k = 0; k < 4; ++k) {
    const std::string archive = archives.file("during" + std::to_string(k) + ".vkb");
    const Outcome saved = runShell(sql(data) + " '.backup " + archive + "' 2>&1");
    ASSERT_EQ(saved.status, 0) << saved.out;
    TempDir restored;
    const Outcome back = runShell(sql(restored) + " '.restore " + archive + "' 2>&1");
    ASSERT_EQ(back.status, 0) << back.out;
    const TableHeader header = headerOf(restored.file("article.dbf"));
    const std::size_t size = std::filesystem::file_size(restored.file("article.dbf"));
    EXPECT_TRUE(size == header.describedSize() || size == header.describedSize() + 1) << size;
    EXPECT_EQ(countRecords(restored), static_cast<int>(header.records));
  }
  ASSERT_TRUE(waitForText(archives.file("writer.status"), "\n"));
  EXPECT_EQ(readFileBytes(archives.file("writer.status")), "0\n") << readFileBytes(archives.file("writer.err"));
  EXPECT_EQ(countRecords(data), 1550);
}

// An archive read whole but whose table does not open is refused before anything is replaced.
TEST(ShellBackup, AnArchiveWhoseTableIsNotSoundLeavesTheCurrentTable) {
  TempDir data;
  TempDir archives;
  TempDir source;
  fillTable(data, 30);
  fillTable(source, 5);
  const std::string table = readFileBytes(data.file("article.dbf"));
  const std::string index = readFileBytes(data.file("article.mdx"));
  const std::string sound = readFileBytes(source.file("article.dbf"));
  std::string longHeader = sound;
  longHeader[8] = static_cast<char>(static_cast<unsigned char>(longHeader[8]) + 32);
  const std::pair<std::string, std::string> cases[] = {
      {"tiny", "Not a dBASE data file"},
      {"not a table at all, but long enough", "The table's size does not match its header"},
      {sound.substr(0, sound.size() - 30), "The table's size does not match its header (5 records)"},
      {longHeader, "The table's size does not match its header (5 records)"},
  };
  for (const auto& [bytes, reason] : cases) {
    const std::string archive = archives.file("bad.vkb");
    writeArchiveOf(archive, {{"article.dbf", bytes}});
    const Outcome refused = runShell(sql(data) + " '.restore " + archive + "' 2>&1");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out.rfind(reason, 0), 0u) << refused.out;
    EXPECT_NE(refused.out.find(": the table was left as it was\n"), std::string::npos) << refused.out;
    EXPECT_EQ(readFileBytes(data.file("article.dbf")), table);
    EXPECT_EQ(readFileBytes(data.file("article.mdx")), index);
  }
  EXPECT_EQ(countRecords(data), 30);
}

// A restore waits for another program's session to end; when it does not end in time the restore
// gives up, and that session's later INSERT lands in the table that stays. Folders left by dead
// restores go, the folder of a restore in progress stays.
TEST(ShellBackup, ARestoreWaitsForAnotherProgramThatHasTheTableOpenOrGivesUp) {
  TempDir data;
  TempDir archives;
  const std::string archive = savedTable(data, archives, 20);
  fillTable(data, 10);
  const auto startSession = [&](int seconds, const std::string& name) {
    const std::string insert =
        "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (99,\"LATE\",\"\",\"\",1,\"N\")";
    runShell("( (echo 'select count(*) as nb from article'; sleep " + std::to_string(seconds) + "; echo '" + insert +
             "') | " + sql(data) + " > " + archives.file(name + ".out") + " 2>&1; echo $? > " +
             archives.file(name + ".status") + ") > /dev/null 2>&1 &");
    ASSERT_TRUE(waitForText(archives.file(name + ".out"), "nb\n"));  // the session has the table open
  };

  startSession(14, "long");
  const Outcome refused = runShell(sql(data) + " '.restore " + archive + "' 2>&1");
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "another program has the table open: " + archive + ": the table was left as it was\n");
  ASSERT_TRUE(waitForText(archives.file("long.status"), "\n"));
  EXPECT_EQ(readFileBytes(archives.file("long.status")), "0\n");
  EXPECT_EQ(countRecords(data), 31);

  std::filesystem::create_directory(data.file(".vekrano-restore-dead01"));
  writeFileBytes(data.file(".vekrano-restore-dead01/article.dbf"), "left over");
  std::filesystem::create_directory(data.file(".vekrano-restore-live01"));
  const int live = ::open(data.file(".vekrano-restore-live01").c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(::flock(live, LOCK_EX), 0);
  startSession(3, "short");
  const Outcome waited = runShell(sql(data) + " '.restore " + archive + "' 2>&1");
  EXPECT_EQ(waited.status, 0) << waited.out;
  ASSERT_TRUE(waitForText(archives.file("short.status"), "\n"));
  EXPECT_EQ(readFileBytes(archives.file("short.status")), "0\n");
  EXPECT_EQ(countRecords(data), 20);
  EXPECT_FALSE(std::filesystem::exists(data.file(".vekrano-restore-dead01")));
  EXPECT_TRUE(std::filesystem::exists(data.file(".vekrano-restore-live01")));
  ::close(live);
}

}  // namespace
