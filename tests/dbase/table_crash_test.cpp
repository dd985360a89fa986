// A process killed in the middle of a run of appends loses no appended record, and the index the
// next activation uses agrees with the table.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <set>

#include "dbase/file_io.h"
#include "dbase/mdx_semaphore.h"
#include "dbase/work_areas.h"
#include "table_test_support.h"

namespace vekrano::dbase::testing {
namespace {

std::string BarcodeOf(std::int32_t n) {
  // Scattered keys, so that the appends insert all over the tag and split its nodes.
  return "K" + std::to_string((static_cast<std::int64_t>(n) * 7919) % 100003);
}

// Appends records numbered from `first` on until killed, writing each number to `out` once its
// append returned.
[[noreturn]] void AppendUntilKilled(const std::string& folder, std::int32_t first, int out) {
  try {
    TTzDbf table("writer");
    ConfigureArticleTable(table, folder);
    table.Open();
    for (std::int32_t n = first;; ++n) {
      AppendArticle(table, n, BarcodeOf(n));
      if (write(out, &n, sizeof n) != sizeof n) break;
    }
  } catch (...) {
  }
  _exit(1);
}

// Starts a writer, lets it report `appends` records and kills it; returns every number reported.
std::vector<std::int32_t> KillWriterAfter(const std::string& folder, std::int32_t first, int appends) {
  int channel[2];
  if (pipe(channel) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid == 0) {
    close(channel[0]);
    AppendUntilKilled(folder, first, channel[1]);
  }
  close(channel[1]);
  std::vector<std::int32_t> reported;
  std::int32_t n = 0;
  while (static_cast<int>(reported.size()) < appends && read(channel[0], &n, sizeof n) == sizeof n) reported.push_back(n);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  while (read(channel[0], &n, sizeof n) == sizeof n) reported.push_back(n);
  close(channel[0]);
  return reported;
}

TEST(TableCrashTest, AKilledWriterLosesNoReturnedAppendAndTheIndexAgreesOnReopening) {
  TableFolder f;
  std::set<std::int32_t> expected;
  std::int32_t next = 1;
  for (int round = 0; round < 4; ++round) {
    const std::vector<std::int32_t> reported = KillWriterAfter(f.folder(), next, 150 + 37 * round);
    ASSERT_FALSE(reported.empty());
    expected.insert(reported.begin(), reported.end());

    TTzDbf table("tarticle");
    ConfigureArticleTable(table, f.folder());
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
    ConfigureArticleTable(table, f.folder());
    table.Open();
    for (int n = 1; n <= 20; ++n) AppendArticle(table, n, BarcodeOf(n));
    DbfTable& raw = *FindWorkArea("writer");
    raw.RefreshRecordCount();
    raw.ClearRecord();
    raw.SetInteger(1, 21);
    raw.SetString(2, BarcodeOf(21));
    raw.PutDbfRecord(raw.RecordCount() + 1);
    MdxSemaphore semaphore(raw.file(), f.dir.file("article.@s@"));
    semaphore.enterWrite();
    raise(SIGKILL);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));

  TTzDbf table("tarticle");
  ConfigureArticleTable(table, f.folder());
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
  AppendArticle(table, 22, BarcodeOf(22));  // the index is writable: no writer is left in it
  EXPECT_EQ(Barcodes(table).size(), 22u);
  table.Close();
  table.Open();
  EXPECT_EQ(builds, 1);  // closed properly this time: no second build
  EXPECT_EQ(Barcodes(table).size(), 22u);
}

}  // namespace
}  // namespace vekrano::dbase::testing
