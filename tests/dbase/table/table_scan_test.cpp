// Scans of the shared table: one read section of the index semaphore held across a walk, seen by
// other processes as one reader, letting this process write and making other writers wait.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include "dbase/table/table_test_support.h"

namespace vekrano::dbase::testing {
namespace {

using vekrano::testing::readFileBytes;

// Byte 1 of the semaphore file: processes reading the index, or 1 while one writes it.
int semaphoreUsers(const TableFolder& f) {
  return static_cast<unsigned char>(readFileBytes(f.dir.file("article.@s@")).at(1));
}

TEST(TableScanTest, AScanCountsThisProcessAsOneReaderUntilItEnds) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  for (int n = 1; n <= 5; ++n) appendArticle(table, n, std::string(1, static_cast<char>('F' - n)));
  EXPECT_EQ(semaphoreUsers(f), 0);

  {
    TDataSetScan scan(table);
    EXPECT_EQ(semaphoreUsers(f), 1);
    table.BeginScan();
    EXPECT_EQ(semaphoreUsers(f), 1);
    EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A", "B", "C", "D", "E"}));
    table.endScan();
    EXPECT_EQ(semaphoreUsers(f), 1);

    // Writing inside its own scan does not wait for itself, and leaves it a reader.
    appendArticle(table, 6, "0");
    EXPECT_EQ(semaphoreUsers(f), 1);
    table.First();
    EXPECT_EQ(table.FieldByName("cb").AsString(), "0");
  }
  EXPECT_EQ(semaphoreUsers(f), 0);
  // An endScan without its BeginScan does nothing.
  table.endScan();
  EXPECT_EQ(semaphoreUsers(f), 0);

  // Closing ends the scan: the next opening starts with no reader.
  table.BeginScan();
  table.Close();
  table.Open();
  EXPECT_EQ(semaphoreUsers(f), 0);
  table.endScan();
  EXPECT_EQ(table.RecordCount(), 6);
}

TEST(TableScanTest, AScanCountsTheRecordsItAppendsItself) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  for (int n = 1; n <= 3; ++n) appendArticle(table, n, "B" + std::to_string(n));
  TDataSetScan scan(table);
  table.BeginScan();
  EXPECT_EQ(table.RecordCount(), 3);
  appendArticle(table, 4, "A");
  EXPECT_EQ(table.RecordCount(), 4);
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A", "B1", "B2", "B3"}));
  table.endScan();
}

TEST(TableScanTest, ReaderCountsWrittenIntoTheFileByAnotherProgramAreKept) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "A");
  // Another program counts three readers by writing the file in place, as the file is shared.
  std::string record = readFileBytes(f.dir.file("article.@s@"));
  ASSERT_EQ(record.size(), 4u);
  record[1] = 3;
  {
    std::fstream file(f.dir.file("article.@s@"), std::ios::in | std::ios::out | std::ios::binary);
    file.write(record.data(), 4);
  }
  {
    TDataSetScan scan(table);
    EXPECT_EQ(semaphoreUsers(f), 4);
  }
  EXPECT_EQ(semaphoreUsers(f), 3);
}

TEST(TableScanTest, AnotherProcessAppendingWaitsForTheScanToEnd) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "M");
  table.BeginScan();

  const pid_t child = fork();
  if (child == 0) {
    bool ok = false;
    try {
      TTzDbf mine("child");
      configureArticleTable(mine, f.folder());
      mine.Open();
      appendArticle(mine, 2, "A");
      ok = mine.RecordCount() == 2;
    } catch (...) {
    }
    _exit(ok ? 0 : 1);
  }
  // The child's record reaches the table file before its index write, which must wait.
  const std::size_t withTwoRecords = 226 + 2 * 261;
  for (int i = 0; i < 200 && readFileBytes(f.dbf()).size() < withTwoRecords; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  int status = 0;
  EXPECT_EQ(waitpid(child, &status, WNOHANG), 0) << "the append did not wait for the scan";
  EXPECT_EQ(Barcodes(table), std::vector<std::string>{"M"});

  table.endScan();
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A", "M"}));
}

// Inside a scan records come from chunks read once: an edit still starts from the record as stored
// now, and this process's own changes, keys included, are seen by the rest of the scan.
TEST(TableScanTest, EditsInsideAScanStartFromTheStoredRecordAndAreSeenByTheScan) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  appendArticle(table, 1, "A", "a");
  appendArticle(table, 2, "B", "b");
  appendArticle(table, 3, "C", "c");
  TDataSetScan scan(table);
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A", "B", "C"}));

  // Another program changes a field outside every key straight in the table file.
  DbfTable theirs;
  ASSERT_TRUE(theirs.OpenDbf(f.dbf(), DbfOpenMode::SharedReadWrite, true));
  ASSERT_TRUE(theirs.refreshRecordCount() && theirs.GetDbfRecord(2));
  theirs.setString(3, "theirs");
  ASSERT_TRUE(theirs.PutDbfRecord(2));

  table.First();
  table.Next();
  ASSERT_EQ(table.FieldByName("cb").AsString(), "B");
  table.Edit();
  EXPECT_EQ(table.FieldByName("lib1").AsString(), "theirs");
  table.FieldByName("lib1").setAsString("mine");
  table.Post();
  table.Next();
  table.Edit();
  table.FieldByName("cb").setAsString("0");
  table.Post();
  table.Delete();  // the record of key "0", first now

  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A", "B"}));
  table.First();
  table.Next();
  EXPECT_EQ(table.FieldByName("lib1").AsString(), "mine");
  table.Close();
  table.Open();
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"A", "B"}));
}

}  // namespace
}  // namespace vekrano::dbase::testing

namespace vekrano::dbase::testing {
namespace {

std::vector<std::string> visitedBarcodes(TTzDbf& table, bool& visited) {
  std::vector<std::string> barcodes;
  visited = table.visitInStorageOrder([&] { barcodes.push_back(table.FieldByName("cb").AsString()); });
  return barcodes;
}

TEST(TableScanTest, StorageOrderVisitsRecordOrderUnlessSomeoneWatches) {
  TableFolder f;
  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  int num = 0;
  for (const char* cb : {"D", "B", "E", "A", "C"}) appendArticle(table, ++num, cb);
  table.First();  // "A", record 4: deleted and hidden from every order
  table.Delete();

  bool visited = false;
  EXPECT_EQ(visitedBarcodes(table, visited), (std::vector<std::string>{"D", "B", "E", "C"}));
  EXPECT_TRUE(visited);
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.FieldByName("cb").AsString(), "E");  // the walk's last record
  // Told which fields are read, the visit decodes those: the others are left as they were.
  std::vector<std::string> numbers;
  const std::vector<const TField*> onlyNum{&table.FieldByName("num")};
  EXPECT_TRUE(table.visitInStorageOrder(
      [&] { numbers.push_back(table.FieldByName("num").AsString() + table.FieldByName("lib1").AsString()); },
      &onlyNum));
  EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "3", "5"}));

  // The walk's order, from the tag alone (the deleted record among them), and the table still
  // steps from where it stands.
  EXPECT_EQ(table.walkOrder(), (std::vector<std::int32_t>{4, 2, 5, 1, 3}));
  table.Prior();
  EXPECT_EQ(table.FieldByName("cb").AsString(), "D");
  // Without an index the walk is record order.
  TableFolder g;
  TTzDbf plain("tplain");
  configureArticleTable(plain, g.folder());
  plain.IndexList.clear();
  plain.Open();
  for (const char* cb : {"D", "B"}) appendArticle(plain, 1, cb);
  EXPECT_EQ(plain.walkOrder(), (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(visitedBarcodes(plain, visited), (std::vector<std::string>{"D", "B"}));

  // Scroll events or a data source with a listener would miss the records: no visit.
  table.AfterScroll = [](TDataSet&) {};
  EXPECT_TRUE(visitedBarcodes(table, visited).empty());
  EXPECT_FALSE(visited);
  table.AfterScroll = nullptr;
  TDataSource quiet;
  quiet.setDataSet(&table);
  EXPECT_EQ(visitedBarcodes(table, visited).size(), 4u);
  TDataSource heard;
  heard.OnDataChange = [](TDataSource&, const TField*) {};
  heard.setDataSet(&table);
  visitedBarcodes(table, visited);
  EXPECT_FALSE(visited);
  heard.setDataSet(nullptr);
  table.Edit();
  visitedBarcodes(table, visited);
  EXPECT_FALSE(visited);
  table.Cancel();

  // A table opened empty sees the records another opener added since.
  TableFolder h;
  TTzDbf empty("tempty");
  configureArticleTable(empty, h.folder());
  empty.Open();
  TTzDbf writer("twriter");
  configureArticleTable(writer, h.folder());
  writer.Open();
  appendArticle(writer, 1, "W");
  EXPECT_EQ(visitedBarcodes(empty, visited), std::vector<std::string>{"W"});
  EXPECT_FALSE(empty.IsEmpty());

  // A failing visit leaves the table at its end, usable.
  EXPECT_THROW(table.visitInStorageOrder([] { throw std::runtime_error("stop"); }), std::runtime_error);
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(Barcodes(table), (std::vector<std::string>{"B", "C", "D", "E"}));
}

// Record number and `num` of every record, visited in storage order (reading only `num`) or
// walked, sorted by record number.
std::vector<std::pair<int, int>> Numbers(TTzDbf& table, bool visited) {
  std::vector<std::pair<int, int>> numbers;
  const auto take = [&] { numbers.emplace_back(table.RecNo(), table.FieldByName("num").AsInteger()); };
  const std::vector<const TField*> onlyNum{&table.FieldByName("num")};
  if (visited) {
    EXPECT_TRUE(table.visitInStorageOrder(take, &onlyNum));
  } else {
    for (table.First(); !table.Eof(); table.Next()) take();
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

TEST(TableScanTest, StoredNumbersReadTheSameVisitedAsWalkedAndEachVisitSeesTheFileAsItIsNow) {
  TableFolder f;
  // Texts another program may leave in a numeric field of width 5.
  const std::vector<std::string> texts = {"   12",
                                          "  -34",
                                          "  +56",
                                          "     ",
                                          "    -",
                                          "1.5e3",
                                          "99999",
                                          " 1 2 ",
                                          "abcde",
                                          "  \x8E"
                                          "77",
                                          "-0   ",
                                          "00042",
                                          "\t  -9"};
  {
    TTzDbf table("tarticle");
    configureArticleTable(table, f.folder());
    table.Open();
    for (std::size_t n = 0; n < texts.size(); ++n) appendArticle(table, 1, "C" + std::to_string(n));
    table.Close();
  }
  std::string bytes = vekrano::testing::readFileBytes(f.dbf());
  const auto u16 = [&](std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
  };
  const std::size_t header = u16(8);
  const std::size_t length = u16(10);
  for (std::size_t n = 0; n < texts.size(); ++n) bytes.replace(header + n * length + 1, 5, texts[n]);
  vekrano::testing::writeFileBytes(f.dbf(), bytes);

  TTzDbf table("tarticle");
  configureArticleTable(table, f.folder());
  table.Open();
  const std::vector<std::pair<int, int>> walked = Numbers(table, false);
  ASSERT_EQ(walked.size(), texts.size());
  EXPECT_EQ(walked[0].second, 12);
  EXPECT_EQ(walked[1].second, -34);
  EXPECT_EQ(walked[5].second, 1500);
  EXPECT_EQ(Numbers(table, true), walked);

  // Between two visits another opener adds records, past the room the first visit's view kept
  // for growth, and changes one in place: the next visit sees both.
  TTzDbf writer("twriter");
  configureArticleTable(writer, f.folder());
  writer.Open();
  for (int n = 0; n < 4500; ++n) appendArticle(writer, 100000 + n, "W" + std::to_string(n));
  writer.First();
  writer.Edit();
  writer.FieldByName("num").setAsInteger(777);
  writer.Post();
  const std::vector<std::pair<int, int>> grown = Numbers(table, true);
  EXPECT_EQ(grown.size(), texts.size() + 4500);
  EXPECT_EQ(grown, Numbers(table, false));
  EXPECT_EQ(std::count_if(grown.begin(), grown.end(), [](const auto& entry) { return entry.second == 777; }), 1);
  writer.Close();
}

}  // namespace
}  // namespace vekrano::dbase::testing
