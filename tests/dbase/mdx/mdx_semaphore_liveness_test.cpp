// A process killed inside a section of the index semaphore leaves its count behind; the other
// open sessions see that nobody alive holds it and go on at once, while a live reader still
// keeps a writer waiting.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "dbase/mdx/mdx_semaphore.h"
#include "dbase/work_areas.h"
#include "dbase/table/table_test_support.h"

namespace vekrano::dbase::testing {
namespace {

enum class Section { Read, Write };

// A child that opens the table, enters a section of its semaphore and reports it through the
// returned pipe; it leaves the section and ends when a byte comes through `release`.
pid_t childInsideSection(const TableFolder& f, Section section, int ready[2], int release[2]) {
  if (pipe(ready) != 0 || pipe(release) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid != 0) {
    char byte = 0;
    if (read(ready[0], &byte, 1) != 1) throw std::runtime_error("the child did not enter its section");
    return pid;
  }
  try {
    TTzDbf table("neighbour");
    configureArticleTable(table, f.folder());
    table.Open();
    MdxSemaphore semaphore(findWorkArea("neighbour")->file(), f.dir.file("article.@s@"));
    section == Section::Read ? (void)semaphore.enterRead() : (void)semaphore.enterWrite();
    char byte = 1;
    if (write(ready[1], &byte, 1) != 1 || read(release[0], &byte, 1) != 1) _exit(1);
    section == Section::Read ? semaphore.exitRead() : semaphore.exitWrite();
  } catch (...) {
    _exit(1);
  }
  _exit(0);
}

// The session that stays open: the table with one record.
void openWithFirstRecord(TTzDbf& table, const TableFolder& f) {
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "FIRST");
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(MdxSemaphoreLivenessTest, ASessionWhoseNeighbourDiedInsideASectionGoesOnAtOnce) {
  for (const Section section : {Section::Write, Section::Read}) {
    TableFolder f;
    TTzDbf table("tarticle");
    openWithFirstRecord(table, f);

    int ready[2], release[2];
    const pid_t pid = childInsideSection(f, section, ready, release);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    // The next statements of the session that stayed open: an append writes the index, a
    // search reads it. Five seconds is a generous bound on what takes milliseconds.
    const auto start = std::chrono::steady_clock::now();
    appendArticle(table, 2, "SECOND");
    EXPECT_TRUE(table.Locate("cb", {"SECOND"}, {}));
    EXPECT_EQ(table.RecNo(), 2);
    EXPECT_LT(SecondsSince(start), 5.0) << (section == Section::Write ? "writer" : "reader");
    EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"FIRST", "SECOND"}));
    for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
  }
}

TEST(MdxSemaphoreLivenessTest, AWriterStillWaitsForALiveReaderAndGoesOnWhenItLeaves) {
  TableFolder f;
  TTzDbf table("tarticle");
  openWithFirstRecord(table, f);
  int ready[2], release[2];
  const pid_t pid = childInsideSection(f, Section::Read, ready, release);
  MdxSemaphore semaphore(findWorkArea("tarticle")->file(), f.dir.file("article.@s@"));
  auto writing = std::async(std::launch::async, [&] { semaphore.enterWrite(); });
  EXPECT_EQ(writing.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout);
  const char byte = 1;
  ASSERT_EQ(write(release[1], &byte, 1), 1);
  EXPECT_EQ(writing.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  writing.get();
  semaphore.exitWrite();
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
}

}  // namespace
}  // namespace vekrano::dbase::testing
