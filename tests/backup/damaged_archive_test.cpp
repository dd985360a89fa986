// Damaged archives end with the right error, never a crash, and keep what was restored before.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "archive_test_tools.h"
#include "common/code_page.h"
#include "common/prompts.h"
#include "support/temp_dir.h"

namespace vekrano::backup {
namespace {

using namespace vekrano::backup::testing;
using vekrano::testing::readFileBytes;
using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;

struct Outcome {
  bool result = false;
  std::vector<ReportedError> errors;
  std::string raised;  // text of an EBackupError, if one was raised
};

Outcome restoreBytes(const std::string& bytes, const std::string& folder, bool fullPath = false) {
  TBackupFile restore;
  restore.RestoreFullPath = fullPath;
  ErrorLog log(restore);
  restore.Stream() = bytes;
  Outcome outcome;
  try {
    outcome.result = restore.Restore(":STREAM", folder);
  } catch (const EBackupError& error) {
    outcome.raised = error.what();
  }
  outcome.errors = log.reported;
  return outcome;
}

void expectError(const Outcome& outcome, int code, const std::string& text) {
  EXPECT_FALSE(outcome.result);
  ASSERT_EQ(outcome.errors.size(), 1u);
  EXPECT_EQ(outcome.errors[0].code, code);
  EXPECT_EQ(outcome.errors[0].text, text);
}

TEST(DamagedArchive, TruncatedAnywhere) {
  TempDir source;
  const std::string first = recordLikeBytes(20'000, 30);
  writeFileBytes(source.file("1.dat"), first);
  writeFileBytes(source.file("2.dat"), randomBytes(17'000, 31));
  writeFileBytes(source.file("3.dat"), "");
  TBackupFile backup;
  ASSERT_TRUE(backup.Backup({source.file("1.dat"), source.file("2.dat"), source.file("3.dat")}, ":STREAM"));
  const std::string whole = backup.Stream();
  const std::size_t headerSize = 12;
  const std::size_t secondName = whole.find(common::ansiLower(source.file("2.dat")));
  ASSERT_NE(secondName, std::string::npos);
  const std::size_t afterFirst = secondName - 4;

  for (std::size_t cut = 0; cut < whole.size(); cut += cut < 100 || cut > whole.size() - 100 ? 1 : 211) {
    TempDir dest;
    const Outcome outcome = restoreBytes(whole.substr(0, cut), dest.path().string());
    if (cut < headerSize) {
      EXPECT_EQ(outcome.raised, "Cannot read archive") << cut;
      continue;
    }
    EXPECT_TRUE(outcome.raised.empty()) << cut;
    expectError(outcome, 1, "Cannot read file");
    if (cut >= afterFirst) EXPECT_TRUE(readFileBytes(dest.file("1.dat")) == first) << cut;
  }
  TempDir dest;
  EXPECT_TRUE(restoreBytes(whole, dest.path().string()).result);
}

TEST(DamagedArchive, WrongMarkerOnARestoredOrASkippedFile) {
  std::string bytes = ArchiveBuilder().header(4, 2).entry("c:\\good.txt", 0, "good").bytes();
  bytes += ArchiveBuilder().text("c:\\bad.txt").integer(0).bytes() + "EC3" + '\0';
  bytes += ArchiveBuilder().compressed("bad").integer(0).integer(0).bytes();
  TempDir dest;
  expectError(restoreBytes(bytes, dest.path().string()), 1, "Cannot read file");
  EXPECT_EQ(readFileBytes(dest.file("good.txt")), "good");

  // A skipped file (here the file ID list) whose section lacks the marker raises.
  std::string skipped = ArchiveBuilder().header(4, 1).text("FILE:LIST").integer(0).bytes() + "XXXX";
  EXPECT_EQ(restoreBytes(skipped, dest.path().string()).raised, "Invalid archive type");
}

TEST(DamagedArchive, BrokenZlibBlock) {
  const std::string data = recordLikeBytes(16'384, 40);
  const std::string good = ArchiveBuilder().header(0, 2).entry("c:\\ok.txt", 0, "ok").bytes();
  std::string broken = ArchiveBuilder().entry("c:\\broken.txt", 0, data).integer(0).bytes();
  // Inside the deflate data, past the name, date, marker, length and zlib header.
  const std::size_t deflateStart = 4 + 13 + 4 + 4 + 4 + 2;
  for (const std::size_t at : {deflateStart + 10, broken.size() - 12}) {
    std::string damaged = broken;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x55);
    TempDir dest;
    expectError(restoreBytes(good + damaged, dest.path().string()), 6, "Compression error");
    EXPECT_EQ(readFileBytes(dest.file("ok.txt")), "ok");
  }
  // A stream that inflates to more than a block.
  TempDir dest;
  const std::string tooBig = ArchiveBuilder()
                                 .header(0, 1)
                                 .text("c:\\big.txt")
                                 .integer(0)
                                 .marker()
                                 .compressed(std::string(16'385, 'x'))
                                 .integer(0)
                                 .integer(0)
                                 .bytes();
  expectError(restoreBytes(tooBig, dest.path().string()), 6, "Compression error");
}

TEST(DamagedArchive, ImpossibleLengths) {
  const std::string start = ArchiveBuilder().header(0, 1).bytes();
  const std::string entryStart = ArchiveBuilder().text("c:\\x.txt").integer(0).marker().bytes();
  const std::string tail(40'000, 'z');
  for (const std::int32_t blockLength : {16'385, -16'385, INT_MAX, INT_MIN, 1'000'000}) {
    TempDir dest;
    const std::string bytes = start + entryStart + ArchiveBuilder().integer(blockLength).bytes() + tail;
    expectError(restoreBytes(bytes, dest.path().string()), 1, "Cannot read file");
  }
  for (const std::int32_t nameLength : {-5, INT_MIN, INT_MAX, 4097}) {
    TempDir dest;
    const std::string bytes = start + ArchiveBuilder().integer(nameLength).bytes() + tail;
    expectError(restoreBytes(bytes, dest.path().string()), 1, "Cannot read file");
  }
  // A volume number that is not three digits.
  TempDir dest;
  expectError(restoreBytes(start + ArchiveBuilder().text("NEXT:DISK0x2").bytes(), dest.path().string()), 1,
              "Cannot read file");
}

TEST(DamagedArchive, NamesThatWouldLeaveTheDestinationAreRefusedAndTheRestGoesOn) {
  TempDir root;
  const std::string dest = root.file("dest");
  const std::string names[] = {"c:\\app\\..\\..\\evil.txt", "..", "c:\\..\\evil.txt", "/../evil.txt", "../evil.txt"};
  for (const bool fullPath : {false, true}) {
    for (const std::string& name : names) {
      const std::string bytes =
          ArchiveBuilder().header(0, 2).entry(name, 0, "evil").entry("c:\\app\\good.txt", 0, "good").integer(0).bytes();
      const Outcome outcome = restoreBytes(bytes, dest, fullPath);
      expectError(outcome, 1, "Cannot read file");
      EXPECT_EQ(readFileBytes(fullPath ? root.file("dest/app/good.txt") : root.file("dest/good.txt")), "good") << name;
      EXPECT_FALSE(std::filesystem::exists(root.file("evil.txt"))) << name;
    }
  }
  // Absolute below the drive: only refused when restoring with the saved path.
  for (const std::string name : {"c:\\\\etc\\evil.txt", "c://etc/evil.txt", "c:\\d:\\evil.txt"}) {
    const std::string bytes = ArchiveBuilder().header(0, 1).entry(name, 0, "evil").integer(0).bytes();
    expectError(restoreBytes(bytes, dest, true), 1, "Cannot read file");
    EXPECT_TRUE(restoreBytes(bytes, dest, false).result) << name;
    EXPECT_EQ(readFileBytes(root.file("dest/evil.txt")), "evil");
  }
}

TEST(DamagedArchive, WithoutOnErrorTheErrorIsShownInABox) {
  common::ScopedScriptedPrompts prompts;
  TBackupFile restore;
  restore.Stream() = ArchiveBuilder().header(0, 1).text("c:\\x.txt").bytes();
  TempDir dest;
  EXPECT_FALSE(restore.Restore(":STREAM", dest.path().string()));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Cannot read file");
  EXPECT_EQ(prompts.shown[0].kind, common::PromptKind::Error);
  EXPECT_EQ(prompts.shown[0].buttons, common::PromptButtons::Ok);
  EXPECT_EQ(restore.lastError(), ErrorCode::CannotReadFile);
}

TEST(DamagedArchive, AnArchiveThatCannotBeCreatedAndTheTextsOfEveryCode) {
  TempDir dir;
  writeFileBytes(dir.file("a.dat"), "abc");
  TBackupFile backup;
  ErrorLog log(backup);
  EXPECT_FALSE(backup.Backup({dir.file("a.dat")}, dir.file("missing/save.vkb")));
  ASSERT_EQ(log.reported.size(), 1u);
  EXPECT_EQ(log.reported[0].code, 4);
  EXPECT_EQ(log.reported[0].text, "Cannot write to archive");

  EXPECT_EQ(errorText(ErrorCode::None), "");
  EXPECT_EQ(errorText(ErrorCode::CannotReadFile), "Cannot read file");
  EXPECT_EQ(errorText(ErrorCode::OverwritingFailed), "Overwriting file failed");
  EXPECT_EQ(errorText(ErrorCode::CannotReadArchive), "Cannot read archive");
  EXPECT_EQ(errorText(ErrorCode::CannotWriteArchive), "Cannot write to archive");
  EXPECT_EQ(errorText(ErrorCode::InvalidArchiveType), "Invalid archive type");
  EXPECT_EQ(errorText(ErrorCode::CompressionError), "Compression error");
  EXPECT_EQ(errorText(ErrorCode::CannotCreateIdFile), "Cannot create temporary file to save the file IDs");
}

}  // namespace
}  // namespace vekrano::backup
