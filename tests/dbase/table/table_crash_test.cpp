// A process killed in the middle of a run of appends, updates or deletes loses no change it
// finished, leaves no wait for the next opener, and the index the next activation uses agrees with
// the table.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "dbase/file_io.h"
#include "dbase/mdx/mdx_semaphore.h"
#include "dbase/work_areas.h"
#include "dbase/mdx/mdx_checker.h"
#include "support/temp_dir.h"
#include "dbase/table/table_test_support.h"

namespace vekrano::dbase::testing {
namespace {

std::string BarcodeOf(std::int32_t n) {
  // Scattered keys, so that the appends insert all over the tag and split its nodes.
  return "K" + std::to_string((static_cast<std::int64_t>(n) * 7919) % 100003);
}

// Appends records numbered from `first` on until killed, writing each number to `out` once its
// append returned.
[[noreturn]] void appendUntilKilled(const std::string& folder, std::int32_t first, int out) {
  try {
    TTzDbf table("writer");
    configureArticleTable(table, folder);
    table.Open();
    for (std::int32_t n = first;; ++n) {
      appendArticle(table, n, BarcodeOf(n));
      if (write(out, &n, sizeof n) != sizeof n) break;
    }
  } catch (...) {
  }
  _exit(1);
}

// Starting at record `from`, gives each record in turn a new barcode, marking every third one
// deleted, until killed; writes each record number to `out` once its change returned, negated for
// a delete.
// Changes records from `from` on until killed, or until past `last`: a fast writer could
// otherwise go on past the table's end, where there is nothing to change.
[[noreturn]] void changeUntilKilled(const std::string& folder, std::int32_t from, std::int32_t last, int out) {
  try {
    TTzDbf table("writer");
    configureArticleTable(table, folder);
    table.Open();
    for (std::int32_t step = 0; from + step <= last; ++step) {
      const std::int32_t n = from + step;
      table.SetRecNo(n);
      std::int32_t done = n;
      if (step % 3 == 2) {
        table.Delete();
        done = -n;
      } else {
        table.Edit();
        table.FieldByName("cb").setAsString("U" + std::to_string(step) + "-" + BarcodeOf(n));
        table.Post();
      }
      if (write(out, &done, sizeof done) != sizeof done) break;
    }
  } catch (...) {
  }
  _exit(1);
}

// Starts `writer` in a child, lets it report `changes` numbers and kills it; returns every number
// reported.
template <typename Writer>
std::vector<std::int32_t> killAfter(int changes, Writer writer) {
  int channel[2];
  if (pipe(channel) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid == 0) {
    close(channel[0]);
    writer(channel[1]);
  }
  close(channel[1]);
  std::vector<std::int32_t> reported;
  std::int32_t n = 0;
  while (static_cast<int>(reported.size()) < changes && read(channel[0], &n, sizeof n) == sizeof n)
    reported.push_back(n);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  while (read(channel[0], &n, sizeof n) == sizeof n) reported.push_back(n);
  close(channel[0]);
  return reported;
}

std::vector<std::int32_t> killWriterAfter(const std::string& folder, std::int32_t first, int appends) {
  return killAfter(appends, [&](int out) { appendUntilKilled(folder, first, out); });
}

struct StoredRecord {
  std::string cb;
  bool deleted = false;
};

// The records as stored, read from the bytes of the table file (cb follows the flag and num).
std::map<std::int32_t, StoredRecord> StoredRecords(const std::string& dbf) {
  const std::string bytes = vekrano::testing::readFileBytes(dbf);
  std::map<std::int32_t, StoredRecord> stored;
  if (bytes.size() < 12) return stored;
  const auto word = [&](std::size_t at) {
    return std::size_t(std::uint8_t(bytes[at])) | std::uint8_t(bytes[at + 1]) << 8;
  };
  const std::size_t header = word(8), length = word(10);
  for (std::size_t at = header, n = 1; at + length <= bytes.size(); at += length, ++n) {
    std::string cb = bytes.substr(at + 6, 50);
    cb.erase(cb.find_last_not_of(' ') + 1);
    stored[static_cast<std::int32_t>(n)] = {cb, bytes[at] == '*'};
  }
  return stored;
}

// The (key, record) entries of tag CB must be exactly the table's barcodes, by the independent
// reader of index files.
void expectIndexHoldsTheTable(const TableFolder& f) {
  const vekrano::testing::MdxCheck check = vekrano::testing::checkMdxFile(f.mdx());
  ASSERT_EQ(check.fault, "");
  std::set<std::pair<std::string, std::uint32_t>> inIndex;
  for (const auto& [key, record] : check.tags.at("CB")) {
    std::string cb = key;
    cb.erase(cb.find_last_not_of(' ') + 1);
    inIndex.insert({cb, record});
  }
  std::set<std::pair<std::string, std::uint32_t>> inTable;
  for (const auto& [n, record] : StoredRecords(f.dbf())) inTable.insert({record.cb, static_cast<std::uint32_t>(n)});
  EXPECT_EQ(inIndex, inTable);
  EXPECT_EQ(check.tags.at("CB").size(), inTable.size());
}

// The semaphore file's login count and reader-or-writer byte.
std::pair<int, int> semaphoreCounts(const TableFolder& f) {
  const std::string bytes = vekrano::testing::readFileBytes(f.dir.file("article.@s@"));
  if (bytes.size() < 2) return {-1, -1};
  return {static_cast<std::uint8_t>(bytes[0]), static_cast<std::uint8_t>(bytes[1])};
}

TEST(TableCrashTest, AKilledWriterLosesNoReturnedAppendAndTheIndexAgreesOnReopening) {
  TableFolder f;
  std::set<std::int32_t> expected;
  std::int32_t next = 1;
  for (int round = 0; round < 4; ++round) {
    const std::vector<std::int32_t> reported = killWriterAfter(f.folder(), next, 150 + 37 * round);
    ASSERT_FALSE(reported.empty());
    expected.insert(reported.begin(), reported.end());

    TTzDbf table("tarticle");
    configureArticleTable(table, f.folder());
    table.Open();
    const int count = table.RecordCount();
    // At most the one append that had not returned may be there besides the reported ones.
    EXPECT_GE(count, static_cast<int>(expected.size()));
    EXPECT_LE(count, static_cast<int>(expected.size()) + 1);

    std::set<std::int32_t> inOrder;
    std::string previous;
    for (table.First(); !table.Eof(); table.Next()) {
      const std::string cb = table.FieldByName("cb").AsString();
      EXPECT_LE(previous, cb);
      previous = cb;
      const int num = table.FieldByName("num").AsInteger();
      EXPECT_EQ(cb, BarcodeOf(num));
      inOrder.insert(num);
    }
    EXPECT_EQ(static_cast<int>(inOrder.size()), count) << "round " << round;
    EXPECT_TRUE(std::includes(inOrder.begin(), inOrder.end(), expected.begin(), expected.end())) << round;
    for (std::int32_t n : expected) {
      EXPECT_TRUE(table.Locate("cb", {BarcodeOf(n)}, {})) << n;
    }
    next = *inOrder.rbegin() + 1;
    expected = inOrder;
    table.Close();
  }
}

// The worst moments to die, made certain: after a record was written but before its key went into
// the index, and while holding the index for writing.
TEST(TableCrashTest, AWriterKilledBetweenRecordAndKeyLeavesAnIndexThatIsRebuilt) {
  TableFolder f;
  const pid_t pid = fork();
  if (pid == 0) {
    TTzDbf table("writer");
    configureArticleTable(table, f.folder());
    table.Open();
    for (int n = 1; n <= 20; ++n) appendArticle(table, n, BarcodeOf(n));
    DbfTable& raw = *findWorkArea("writer");
    raw.refreshRecordCount();
    raw.ClearRecord();
    raw.setInteger(1, 21);
    raw.setString(2, BarcodeOf(21));
    raw.PutDbfRecord(raw.RecordCount() + 1);
    MdxSemaphore semaphore(raw.file(), f.dir.file("article.@s@"));
    semaphore.enterWrite();
    raise(SIGKILL);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));

  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  int builds = 0;
  table.OnAfterMakeIndex = [&](const std::string& name) {
    EXPECT_EQ(name, f.mdx());
    ++builds;
  };
  table.Open();
  EXPECT_EQ(builds, 1);
  EXPECT_EQ(table.RecordCount(), 21);
  EXPECT_EQ(Barcodes(table).size(), 21u);
  EXPECT_TRUE(table.Locate("cb", {BarcodeOf(21)}, {}));
  appendArticle(table, 22, BarcodeOf(22));  // the index is writable: no writer is left in it
  EXPECT_EQ(Barcodes(table).size(), 22u);
  table.Close();
  table.Open();
  EXPECT_EQ(builds, 1);  // closed properly this time: no second build
  EXPECT_EQ(Barcodes(table).size(), 22u);
}

// Killed at random points of a run of updates and deletes (no append, so the table's size tells
// nothing): every finished change is stored, the next opener gets an index holding exactly the
// table's keys, and it is left no writer to wait for.
TEST(TableCrashTest, AWriterKilledDuringUpdatesAndDeletesLeavesAnIndexThatAgreesOnReopening) {
  TableFolder f;
  // More records than the rounds change, so that no deleted (hidden) record is visited again.
  constexpr std::int32_t kRecords = 1000;
  {
    TTzDbf table("tarticle");
    configureArticleTable(table, f.folder());
    table.Open();
    for (std::int32_t n = 1; n <= kRecords; ++n) appendArticle(table, n, BarcodeOf(n));
    table.Close();
  }
  std::int32_t from = 1;
  for (int round = 0; round < 4 && from <= kRecords; ++round) {
    const std::vector<std::int32_t> reported =
        killAfter(40 + 23 * round, [&](int out) { changeUntilKilled(f.folder(), from, kRecords, out); });
    ASSERT_FALSE(reported.empty());
    const std::map<std::int32_t, StoredRecord> stored = StoredRecords(f.dbf());
    ASSERT_EQ(stored.size(), static_cast<std::size_t>(kRecords));
    for (std::int32_t done : reported) {
      if (done < 0) {
        EXPECT_TRUE(stored.at(-done).deleted) << -done;
      } else {
        EXPECT_EQ(stored.at(done).cb.substr(0, 1), "U") << done;
      }
    }

    TTzDbf table("tarticle");
    configureArticleTable(table, f.folder());
    table.Open();
    EXPECT_EQ(semaphoreCounts(f), std::make_pair(1, 0)) << "round " << round;
    table.SetRecNo(1);
    table.Edit();
    table.FieldByName("cb").setAsString("R" + std::to_string(round));
    table.Post();
    table.Close();
    expectIndexHoldsTheTable(f);
    from += static_cast<std::int32_t>(reported.size()) + 1;
  }
}

// Dying inside a write section of the index after an update: the next opener neither waits for
// the dead writer nor keeps counting it, and the index agrees with the table.
TEST(TableCrashTest, AWriterKilledInsideTheIndexAfterAnUpdateLeavesNoWriterBehind) {
  TableFolder f;
  {
    TTzDbf table("tarticle");
    configureArticleTable(table, f.folder());
    table.Open();
    for (int n = 1; n <= 20; ++n) appendArticle(table, n, BarcodeOf(n));
    table.Close();
  }
  const pid_t pid = fork();
  if (pid == 0) {
    TTzDbf table("writer");
    configureArticleTable(table, f.folder());
    table.Open();
    DbfTable& raw = *findWorkArea("writer");
    raw.GetDbfRecord(5);
    raw.setString(2, "CHANGED");
    raw.PutDbfRecord(5);
    MdxSemaphore semaphore(raw.file(), f.dir.file("article.@s@"));
    semaphore.enterWrite();
    raise(SIGKILL);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));

  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  EXPECT_EQ(semaphoreCounts(f), std::make_pair(1, 0));
  EXPECT_TRUE(table.Locate("cb", {"CHANGED"}, {}));
  EXPECT_EQ(table.RecNo(), 5);
  table.Close();
  expectIndexHoldsTheTable(f);
}

// A semaphore file cut short (its maker died between creating and writing it) is made afresh
// rather than failing every later open.
TEST(TableCrashTest, AHalfMadeSemaphoreFileDoesNotStopTheNextOpener) {
  TableFolder f;
  {
    TTzDbf table("tarticle");
    configureArticleTable(table, f.folder());
    table.Open();
    appendArticle(table, 1, BarcodeOf(1));
    table.Close();
  }
  for (const std::string& cut : {std::string(), std::string("\x01\x01", 2)}) {
    { std::ofstream(f.dir.file("article.@s@"), std::ios::binary) << cut; }
    TTzDbf table("tarticle");
    configureArticleTable(table, f.folder());
    ASSERT_NO_THROW(table.Open()) << cut.size();
    EXPECT_EQ(semaphoreCounts(f), std::make_pair(1, 0));
    appendArticle(table, 2 + static_cast<int>(cut.size()), BarcodeOf(2 + static_cast<int>(cut.size())));
    table.Close();
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("article.@s@")));
  }
}

}  // namespace
}  // namespace vekrano::dbase::testing
