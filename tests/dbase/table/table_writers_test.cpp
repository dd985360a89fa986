// Four processes inserting, updating and deleting through the SQL engine on one table at once:
// every change a process reported done is in the table, nothing else changed, every deletion flag
// is valid and the index holds exactly the table's keys, however their opens, changes and closes
// fall among each other's.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "dbase/table/table_lock_retry.h"
#include "dbase/mdx/mdx_checker.h"
#include "sql/query/query.h"
#include "dbase/table/table_test_support.h"

namespace vekrano::dbase::testing {
namespace {

constexpr int kWriters = 4;
// Each writer reopens the table between rounds, as a script of vekrano-sql runs does, so that
// closes and fresh opens fall among the other writers' appends.
constexpr int kRounds = 12;
constexpr int kInsertsPerRound = 5;
constexpr int kRuns = 3;
constexpr std::int64_t kHeader = 225;
constexpr std::int64_t kRecord = 261;

std::string Cb(int num, bool updated) { return (updated ? "U" : "I") + std::to_string(num); }

// One round of one writer: inserts its own numbers, changes the barcode of every third and
// deletes every fourth, logging each statement once it reported one record changed.
void writeRound(const std::string& folder, int firstNum, std::ostream& out) {
  TTzDbf table("tarticle");
  configureArticleTable(table, folder);
  retryRefusedLocks(table);
  table.Open();
  sql::TSqlQuery query;
  query.DataSets().Add("article", &table);
  auto run = [&](const std::string& statement) {
    query.SQL().Clear();
    query.SQL().Add(statement);
    query.ExecSQL();
    return query.ChangedRowCount() == 1;
  };
  for (int i = 0; i < kInsertsPerRound; ++i) {
    const int num = firstNum + i;
    const std::string n = std::to_string(num);
    if (run("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + n + ",\"" + Cb(num, false) +
            "\",\"\",\"\",1,\"N\")"))
      out << "I " << num << std::endl;
    if (i % 3 == 0 && run("update article set cb=\"" + Cb(num, true) + "\" where num=" + n))
      out << "U " << num << std::endl;
    if (i % 4 == 1 && run("delete from article where num=" + n)) out << "D " << num << std::endl;
  }
}

// A writer process: its rounds one after the other; a failure ends it with an "E" line in the log.
[[noreturn]] void Write(const std::string& folder, int writer, const std::string& log) {
  std::ofstream out(log);
  try {
    for (int round = 0; round < kRounds; ++round) writeRound(folder, writer * 1000 + round * kInsertsPerRound, out);
  } catch (const std::exception& error) {
    std::string text = error.what();
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    out << "E " << text << std::endl;
  }
  out.close();
  _exit(0);
}

struct Expected {
  std::string cb;
  bool deleted = false;
};

// Starts the writers on the table of `f` at once and gathers, once all ended, what each reported done.
void runWriters(const TableFolder& f, std::map<int, Expected>& expected) {
  {
    TTzDbf table("tarticle");
    configureArticleTable(table, f.folder());
    table.Open();
  }
  std::vector<pid_t> children;
  for (int w = 1; w <= kWriters; ++w) {
    const pid_t pid = fork();
    if (pid == 0) Write(f.folder(), w, f.dir.file("log" + std::to_string(w)));
    children.push_back(pid);
  }
  for (pid_t pid : children) waitpid(pid, nullptr, 0);
  for (int w = 1; w <= kWriters; ++w) {
    std::ifstream in(f.dir.file("log" + std::to_string(w)));
    char kind = 0;
    std::string rest;
    while (in >> kind && std::getline(in, rest)) {
      ASSERT_NE(kind, 'E') << "writer " << w << ":" << rest;
      const int num = std::stoi(rest);
      if (kind == 'I') expected[num] = {Cb(num, false), false};
      if (kind == 'U') expected[num].cb = Cb(num, true);
      if (kind == 'D') expected[num].deleted = true;
    }
  }
  ASSERT_EQ(expected.size(), static_cast<std::size_t>(kWriters * kRounds * kInsertsPerRound));
}

// The table holds exactly the expected records, each with a valid flag, counted by the header and
// followed by the end-of-file mark; the index holds exactly the table's keys.
void checkTable(const TableFolder& f, const std::map<int, Expected>& expected) {
  const std::string bytes = vekrano::testing::readFileBytes(f.dbf());
  const std::int64_t count = (static_cast<std::int64_t>(bytes.size()) - kHeader) / kRecord;
  ASSERT_EQ(count, static_cast<std::int64_t>(expected.size()));
  EXPECT_EQ(static_cast<std::int64_t>(bytes.size()), kHeader + count * kRecord + 1);
  EXPECT_EQ(bytes.back(), '\x1A');
  std::uint32_t headerCount = 0;
  for (int i = 3; i >= 0; --i) headerCount = headerCount << 8 | static_cast<std::uint8_t>(bytes[4 + i]);
  EXPECT_EQ(headerCount, static_cast<std::uint32_t>(count));

  std::set<std::pair<std::string, std::uint32_t>> tableKeys;
  std::map<int, Expected> stored;
  for (std::int64_t r = 0; r < count; ++r) {
    const char* record = bytes.data() + kHeader + r * kRecord;
    ASSERT_TRUE(record[0] == ' ' || record[0] == '*') << "record " << r + 1 << " flag " << int(record[0]);
    const int num = std::stoi(std::string(record + 1, 5));
    std::string cb(record + 6, 50);
    tableKeys.insert({cb, static_cast<std::uint32_t>(r + 1)});
    cb.erase(cb.find_last_not_of(' ') + 1);
    stored[num] = {cb, record[0] == '*'};
  }
  ASSERT_EQ(stored.size(), expected.size());
  for (const auto& [num, want] : expected) {
    ASSERT_TRUE(stored.count(num)) << num;
    EXPECT_EQ(stored[num].cb, want.cb) << num;
    EXPECT_EQ(stored[num].deleted, want.deleted) << num;
  }

  const vekrano::testing::MdxCheck check = vekrano::testing::checkMdxFile(f.mdx());
  ASSERT_EQ(check.fault, "");
  const auto& entries = check.tags.at("CB");
  const std::set<std::pair<std::string, std::uint32_t>> indexKeys(entries.begin(), entries.end());
  EXPECT_EQ(indexKeys, tableKeys);
  EXPECT_EQ(entries.size(), tableKeys.size());
}

// Whether a close or an open falls among another writer's appends is a matter of timing, so the
// whole run is repeated on fresh tables.
TEST(TableWritersTest, FourProcessesChangingOneTableLoseAndDamageNothing) {
  for (int run = 1; run <= kRuns; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    TableFolder f;
    std::map<int, Expected> expected;
    runWriters(f, expected);
    if (!HasFatalFailure()) checkTable(f, expected);
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace vekrano::dbase::testing
