// COUNT(*), MIN and MAX over a whole table answered from what an earlier run kept: the rows are
// those of a scan, for exactly the files the answer was worked out from and for no others.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dbase/table/table_dataset.h"
#include "records/article_table.h"
#include "sql/exec/aggregate_accumulator.h"
#include "sql/query/query.h"
#include "sql/program/statement_text.h"
#include "sql/query/query_rows.h"
#include "sql/results/column.h"
#include "support/kept_facts_folder.h"
#include "support/temp_dir.h"

namespace vekrano::sql {
namespace {

using vekrano::testing::modifiedNs;
using vekrano::testing::readFileBytes;
using vekrano::testing::rewriteKeepingTimes;
using vekrano::testing::ScopedCacheFolder;
using vekrano::testing::TempDir;
using vekrano::testing::waitUntilFilesSettle;
using vekrano::testing::writeFileBytes;

constexpr long kHeader = 225;
constexpr long kRecord = 261;

// The article table of a folder as one run of a program opens it, with a query over it.
struct ProgramRun {
  dbase::TTzDbf table;
  TSqlQuery query;

  // `name`: the component's, which no other open table may have.
  explicit ProgramRun(const std::string& folder, bool hideDeleted = true, const std::string& name = "tarticle")
      : table(name) {
    records::configureArticleTable(table, folder);
    table.setHideDeletedRecs(hideDeleted);
    table.Open();
    query.DataSets().Add("article", &table);
    query.AutoDisableControls = false;
  }
  ~ProgramRun() {
    query.Close();
    table.Close();
  }
  void exec(const std::string& sql) { engineExec(query, sql); }
  Rows rows(const std::string& sql) {
    Rows result = engineRows(query, sql);
    query.Close();
    return result;
  }
  // The rows a walk through every record gives: a progress handler rules out any other way.
  Rows scanned(const std::string& sql) {
    query.OnProgress = [](TProgressStatus, int, int, int) {};
    Rows result = engineRows(query, sql);
    query.Close();
    query.OnProgress = nullptr;
    return result;
  }
  dbase::KeptFacts facts() { return dbase::loadKeptFacts(table.filesStanding()); }
};

void insert(ProgramRun& run, int num, const std::string& cb, const std::string& lib1 = "l") {
  run.exec("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(num) + ",\"" + cb +
           "\",\"" + lib1 + "\",\"\",1,\"N\")");
}

const std::vector<std::string> kStatements = {
    "select max(num) as nb from article",
    "select count(*) as nb from article",
    "select min(num) as a, max(num) + 1 as b from article",
    "select min(cb) as a, max(lib1) as b, count(*) * 2 as c from article",
};

TEST(KeptAggregates, AnswersAreThoseOfAScan) {
  ScopedCacheFolder cache;
  // An empty table; negative numbers with the largest number and the smallest text deleted,
  // accented texts stored in the OEM code page; one record.
  TempDir empty, mixed, single;
  { ProgramRun run(empty.path().string()); }
  {
    ProgramRun run(mixed.path().string());
    insert(run, -5, "MID", "Cr\xE8me");
    insert(run, -17, "ZED", "\xC0 la carte");
    insert(run, 3, "BETA", "plain");
    insert(run, 40, "AAA", "zzz");
    run.exec("delete from article where num=40");
  }
  {
    ProgramRun run(single.path().string());
    insert(run, 7, "ONE");
  }
  const std::vector<std::string> folders = {empty.path().string(), mixed.path().string(), single.path().string()};
  for (const std::string& folder : folders) {
    ProgramRun run(folder);
    for (const std::string& sql : kStatements) EXPECT_EQ(run.rows(sql), run.scanned(sql)) << sql;
    EXPECT_TRUE(run.facts().empty()) << "files just written are not settled";
  }

  waitUntilFilesSettle();
  for (const std::string& folder : folders) {
    for (int time = 0; time < 2; ++time) {
      ProgramRun run(folder);
      for (const std::string& sql : kStatements) EXPECT_EQ(run.rows(sql), run.scanned(sql)) << sql << " " << time;
    }
  }
  {
    ProgramRun run(mixed.path().string());
    EXPECT_EQ(run.facts().size(), 7U) << "the index check, four aggregates, COUNT(*) and whether a record matched";
    EXPECT_EQ(run.rows("select max(num) as nb from article"), Rows{"3"});
    EXPECT_EQ(run.rows("select min(cb) as a, max(lib1) as b, count(*) * 2 as c from article"),
              Rows{"BETA|\xC0 la carte|6"});
    const std::string file = dbase::keptFactsFile(run.table.filesStanding());
    ProgramRun other(single.path().string(), true, "tother");
    EXPECT_NE(dbase::keptFactsFile(other.table.filesStanding()), file);
    EXPECT_EQ(other.rows("select max(num) as nb from article"), Rows{"7"});
  }
  {
    ProgramRun run(empty.path().string());
    EXPECT_EQ(run.rows("select count(*) as nb from article"), Rows{});
  }
  // Records marked deleted count when they are shown: that answer is kept apart.
  for (int time = 0; time < 2; ++time) {
    ProgramRun run(mixed.path().string(), false);
    EXPECT_EQ(run.rows("select max(num) as nb from article"), Rows{"40"});
    EXPECT_EQ(run.rows("select max(num) as nb from article"), run.scanned("select max(num) as nb from article"));
    EXPECT_EQ(run.rows("select min(cb) as a, max(lib1) as b, count(*) * 2 as c from article"),
              Rows{"AAA|\xC0 la carte|8"});
  }
}

// The answer kept for MAX(NUM) replaced by the one kept for COUNT(*), whose argument is a
// constant 0: an answer taken from the facts file then shows as 0.
void falsifyKeptMax(ProgramRun& run) {
  dbase::KeptFacts facts = run.facts();
  std::string* max = nullptr;
  std::string* count = nullptr;
  for (auto& [question, answer] : facts) {
    if (question.find("MAX(NUM)") != std::string::npos) max = &answer;
    if (question.find("COUNT(*)") != std::string::npos) count = &answer;
  }
  ASSERT_TRUE(max != nullptr && count != nullptr);
  *max = *count;
  dbase::keepFacts(run.table.filesStanding(), facts);
}

TEST(KeptAggregates, OnlyTheExactFilesAreAnswered) {
  ScopedCacheFolder cache;
  TempDir dir;
  const std::string folder = dir.path().string();
  const std::string dbf = dir.file("article.dbf");
  {
    ProgramRun run(folder);
    for (int n = 1; n <= 30; ++n) insert(run, n, "CB" + std::to_string(n));
  }
  {
    // The first open after a write compares every key and marks the index as agreeing.
    ProgramRun run(folder);
  }
  waitUntilFilesSettle();
  {
    ProgramRun run(folder);
    EXPECT_EQ(run.rows("select max(num) as nb from article"), Rows{"30"});
    EXPECT_EQ(run.rows("select count(*) as nb from article"), Rows{"30"});
    falsifyKeptMax(run);
  }
  {
    ProgramRun run(folder);
    EXPECT_EQ(run.rows("select max(num) as nb from article"), Rows{"0"}) << "the kept answer is the one given";
  }

  // Another program writes a larger number into record 5, same size, and sets the times back.
  const long long time = modifiedNs(dbf);
  const auto size = std::filesystem::file_size(dbf);
  rewriteKeepingTimes(dbf, kHeader + 4 * kRecord + 1, "  555");
  ASSERT_EQ(modifiedNs(dbf), time);
  ASSERT_EQ(std::filesystem::file_size(dbf), size);
  {
    ProgramRun run(folder);
    EXPECT_EQ(run.rows("select max(num) as nb from article"), Rows{"555"});
    EXPECT_EQ(run.rows("select min(num) as nb from article"), Rows{"1"});
    EXPECT_TRUE(run.facts().empty()) << "a file just written is not settled";
  }

  // Another table of the same size put in its place, with the same times.
  std::string bytes = readFileBytes(dbf);
  bytes.replace(kHeader + 6 * kRecord + 1, 5, "  777");
  writeFileBytes(dir.file("replacement"), bytes);
  std::filesystem::last_write_time(dir.file("replacement"), std::filesystem::last_write_time(dbf));
  std::filesystem::rename(dir.file("replacement"), dbf);
  ASSERT_EQ(modifiedNs(dbf), time);
  {
    ProgramRun run(folder);
    EXPECT_EQ(run.rows("select max(num) as nb from article"), Rows{"777"});
  }
}

TEST(KeptAggregates, AccumulatorStatesComeBackExactly) {
  const std::unique_ptr<TSqlField> num = makeSqlField("num", "num", ttInteger, 0);
  AggregateAccumulator kept(*num);
  AggregateAccumulator fresh(*num);
  // Restoring texts that are not states leaves the accumulator as it was.
  for (const std::string bad : {"", "1 0 0 0 0 0", "x 0 0 0 0 0 0 ", "1 0 0 0 0 1 0 ", "1 0 0 zz 0 0 0 ",
                                "-1 0 0 0 0 0 0 ", "1 0 0 0 0 0 0 extra", "1 0 0 0 0 2 1 ab"}) {
    EXPECT_FALSE(kept.restore(bad)) << bad;
    EXPECT_EQ(kept.state(), fresh.state());
  }
  ASSERT_TRUE(kept.restore("3 c010000000000000 4024000000000000 c014000000000000 3ff0000000000000 1 2 Az "));
  EXPECT_EQ(kept.Result(TAggregateKind::Count), "3");
  EXPECT_EQ(kept.Result(TAggregateKind::Min), numberLiteral(-5));
  EXPECT_EQ(kept.Result(TAggregateKind::Max), numberLiteral(1));
  EXPECT_EQ(kept.Result(TAggregateKind::Sum), numberLiteral(-4));
  const std::unique_ptr<TSqlField> text = makeSqlField("cb", "cb", ttString, 3);
  AggregateAccumulator texts(*text);
  ASSERT_TRUE(texts.restore(kept.state()));
  EXPECT_EQ(texts.Result(TAggregateKind::Min), textLiteral("A"));
  EXPECT_EQ(texts.Result(TAggregateKind::Max), textLiteral("z "));
  AggregateAccumulator again(*num);
  ASSERT_TRUE(again.restore(kept.state()));
  EXPECT_EQ(again.state(), kept.state());
}

}  // namespace
}  // namespace vekrano::sql
