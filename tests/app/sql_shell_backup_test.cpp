// .backup and .restore of vekrano-sql run as a program: round trip, damaged archives that leave
// the table byte for byte.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

using vekrano::testing::readFileBytes;
using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;

using vekrano::testing::Outcome;
using vekrano::testing::runShell;

std::string sql(const TempDir& dir) { return std::string(VEKRANO_SQL_PROGRAM) + " " + dir.path().string(); }

// `count` records through one INSERT per line on standard input.
void fillTable(const TempDir& dir, int count) {
  // A folder of its own: tests running at the same time must not share the script.
  const TempDir scripts;
  const std::string script = scripts.file("fill.sql");
  std::string lines;
  for (int i = 1; i <= count; ++i) {
    lines += "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(i) +
             ",\"CB" + std::to_string(i * 7919 % 100003) + "\",\"Article " + std::to_string(i) +
             "\", \"lot\", 1, \"O\" )\n";
  }
  writeFileBytes(script, lines);
  ASSERT_EQ(runShell(sql(dir) + " < " + script + " > /dev/null").status, 0);
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
  EXPECT_EQ(saved.out, "saved " + folder + "/article.dbf\nsaved " + folder +
                           "/article.mdx\ninto " + archive + "\n");
  const Outcome restored =
      runShell(sql(target) + " '.restore " + archive + "' 'select count(*) as nb from article'");
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

}  // namespace
