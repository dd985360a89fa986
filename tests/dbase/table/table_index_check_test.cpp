// Tables changed behind their index by other programs (python3-dbf, byte edits), damaged index
// files, and the activation check that finds them: every statement afterwards answers as a freshly
// built index would, and the independent checker passes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "common/code_page.h"
#include "dbase/mdx/mdx_checker.h"
#include "dbase/dbf/python_dbf.h"
#include "sql/query/query.h"
#include "dbase/table/table_test_support.h"

namespace vekrano::dbase::testing {
namespace {

using vekrano::testing::checkMdxFile;
using vekrano::testing::readFileBytes;
using vekrano::testing::writeFileBytes;

constexpr std::size_t kHeader = 225;
constexpr std::size_t kRecord = 261;
constexpr std::size_t kCb = 6;

// One session over the folder's article table, opened as the programs open it.
struct Session {
  TTzDbf table{"tarticle"};
  sql::TSqlQuery query;
  int rebuilt = 0;
  std::string keptAs, fault;

  explicit Session(const std::string& folder, bool everyKey = false) {
    configureArticleTable(table, folder);
    table.CheckEveryKey = everyKey;
    table.OnIndexRebuilt = [this](const std::string&, const std::string& kept, const std::string& why) {
      ++rebuilt;
      keptAs = kept;
      fault = why;
    };
    table.Open();
    query.DataSets().Add("article", &table);
  }
  int run(const std::string& statement) {
    query.Close();
    query.SQL().Clear();
    query.SQL().Add(statement);
    query.ExecSQL();
    return query.ChangedRowCount();
  }
  std::vector<std::string> barcodes(const std::string& select) {
    query.Close();
    query.SQL().Clear();
    query.SQL().Add(select);
    query.Open();
    std::vector<std::string> cbs;
    for (query.First(); !query.Eof(); query.Next()) cbs.push_back(query.FieldByName("cb").AsString());
    query.Close();
    return cbs;
  }
};

// The table as the file holds it, read without any index: the live records' barcodes (ANSI,
// trimmed) in record order.
std::vector<std::string> liveBarcodes(const std::string& dbf) {
  DbfTable t;
  EXPECT_TRUE(t.OpenDbf(dbf, DbfOpenMode::ReadOnly, true));
  std::vector<std::string> cbs;
  for (int n = 1; n <= t.RecordCount(); ++n) {
    t.GetDbfRecord(n);
    std::string cb = t.getString(2);
    cb.erase(cb.find_last_not_of(' ') + 1);
    if (!t.isDeleted()) cbs.push_back(cb);
  }
  return cbs;
}

std::vector<std::string> sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

std::vector<std::string> withPrefix(const std::vector<std::string>& cbs, const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& cb : cbs)
    if (cb.rfind(prefix, 0) == 0) out.push_back(cb);
  return sorted(out);
}

// The checker passes and the index holds exactly one key per record, equal to its stored bytes.
void expectIndexIsTheTables(const std::string& folder) {
  const vekrano::testing::MdxCheck check = checkMdxFile(folder + "/article.mdx");
  ASSERT_EQ(check.fault, "");
  const std::string bytes = readFileBytes(folder + "/article.dbf");
  std::multiset<std::pair<std::string, std::uint32_t>> fromTable, fromIndex;
  for (std::size_t n = 1; kHeader + n * kRecord <= bytes.size(); ++n)
    fromTable.emplace(bytes.substr(kHeader + (n - 1) * kRecord + kCb, 50), static_cast<std::uint32_t>(n));
  for (const auto& entry : check.tags.at("CB")) fromIndex.insert(entry);
  EXPECT_EQ(fromIndex, fromTable);
}

// 41 records: X01..X20, Y01..Y20 and Z01, in a mixed record order, written through SQL.
void FillArticle(const std::string& folder) {
  Session s(folder);
  for (int i = 0; i < 41; ++i) {
    const int k = (i * 17) % 41;
    const std::string cb =
        k == 40 ? "Z01" : std::string(k < 20 ? "X" : "Y") + (k % 20 < 9 ? "0" : "") + std::to_string(k % 20 + 1);
    s.run("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(i + 1) + ",\"" + cb +
          "\",\"\",\"\",1,\"N\")");
  }
}

void setRecordBytes(std::string& bytes, int n, std::size_t offset, const std::string& value) {
  bytes.replace(kHeader + static_cast<std::size_t>(n - 1) * kRecord + offset, value.size(), value);
}

std::string Padded(const std::string& text, std::size_t width) { return text + std::string(width - text.size(), ' '); }

// A record of `article` as its bytes: live, the fields given, blanks elsewhere.
std::string recordBytes(int num, const std::string& cb) {
  std::string num5 = std::to_string(num);
  return " " + std::string(5 - num5.size(), ' ') + num5 + Padded(cb, 50) + std::string(200, ' ') + "  1" + "N ";
}

// Sets the table file's modification time `seconds` before the index file's.
void ageTable(const std::string& folder, int seconds) {
  namespace fs = std::filesystem;
  fs::last_write_time(folder + "/article.dbf",
                      fs::last_write_time(folder + "/article.mdx") - std::chrono::seconds(seconds));
}

struct BehindTheIndex {
  const char* what;
  bool rebuilds;
  std::function<void(const std::string& folder)> change;
};

TEST(TableIndexCheck, ATableChangedBehindItsIndexAnswersAsAFreshIndexWould) {
  const bool python = pythonHas("dbf");
  const std::vector<BehindTheIndex> changes = {
      {"python3-dbf appends two records and changes a barcode", true,
       [](const std::string& folder) {
         writeFileBytes(folder + "/edit.py",
                        "import dbf, sys\n"
                        "t = dbf.Table(sys.argv[1], codepage='cp850')\n"
                        "t.open(dbf.READ_WRITE)\n"
                        "t.append((901, 'X90', 'py', '', 1, 'N'))\n"
                        "t.append((902, 'X91', 'py', '', 1, 'N'))\n"
                        "with t[4] as r:\n"
                        "    r.cb = 'X55'\n"
                        "t.close()\n");
         runPython(folder + "/edit.py " + folder + "/article.dbf");
       }},
      {"a byte edit changes a barcode in place", true,
       [](const std::string& folder) {
         std::string bytes = readFileBytes(folder + "/article.dbf");
         setRecordBytes(bytes, 7, kCb, Padded("X77", 50));
         writeFileBytes(folder + "/article.dbf", bytes);
       }},
      {"a byte edit marks a record deleted", false,
       [](const std::string& folder) {
         std::string bytes = readFileBytes(folder + "/article.dbf");
         setRecordBytes(bytes, 9, 0, "*");
         writeFileBytes(folder + "/article.dbf", bytes);
       }},
      {"the production flag is cleared (and a barcode changed, the table dated before its index)", true,
       [](const std::string& folder) {
         std::string bytes = readFileBytes(folder + "/article.dbf");
         bytes[28] = 0;
         setRecordBytes(bytes, 11, kCb, Padded("X11b", 50));
         writeFileBytes(folder + "/article.dbf", bytes);
         ageTable(folder, 5);
       }},
      {"byte edits append two records and count them in the header", true,
       [](const std::string& folder) {
         std::string bytes = readFileBytes(folder + "/article.dbf");
         bytes.resize(bytes.size() - 1);  // the end-of-file mark
         bytes += recordBytes(901, "X90") + recordBytes(902, "Y90") + "\x1A";
         bytes[4] = 43;
         writeFileBytes(folder + "/article.dbf", bytes);
       }},
  };
  for (const BehindTheIndex& change : changes) {
    SCOPED_TRACE(change.what);
    if (change.what[0] == 'p' && !python) continue;
    TableFolder f;
    FillArticle(f.folder());
    const std::string oldIndex = readFileBytes(f.mdx());
    change.change(f.folder());
    const std::vector<std::string> live = liveBarcodes(f.dbf());
    {
      Session s(f.folder());
      EXPECT_EQ(s.rebuilt, change.rebuilds ? 1 : 0) << s.fault;
      if (change.rebuilds) {
        EXPECT_EQ(s.keptAs, f.mdx() + ".bad");
        EXPECT_EQ(readFileBytes(f.mdx() + ".bad"), oldIndex);
      }
      EXPECT_EQ(s.barcodes("select cb from article where cb like \"X%\""), withPrefix(live, "X"));
      EXPECT_EQ(s.barcodes("select cb from article where cb like \"X9%\" order by cb"), withPrefix(live, "X9"));
      EXPECT_EQ(s.barcodes("select * from article order by cb"), sorted(live));
      const std::string last = sorted(withPrefix(live, "X")).back();
      EXPECT_EQ(s.run("update article set lib1=\"changed\", cb=\"W" + last + "\" where cb=\"" + last + "\""), 1);
      EXPECT_EQ(s.run("delete from article where cb like \"Y%\""), static_cast<int>(withPrefix(live, "Y").size()));
      EXPECT_EQ(s.barcodes("select cb from article where cb like \"W%\""), std::vector<std::string>{"W" + last});
    }
    expectIndexIsTheTables(f.folder());
    Session again(f.folder());
    EXPECT_EQ(again.rebuilt, 0) << "told once: " << again.fault;
  }
}

// Without the start-up check a change that keeps the count and is dated before the index goes
// unseen at activation; a change of that record is then refused before anything is written.
TEST(TableIndexCheck, EveryKeyIsComparedAtStartAndAStaleIndexNeverHalfAppliesAChange) {
  TableFolder f;
  FillArticle(f.folder());
  std::string bytes = readFileBytes(f.dbf());
  setRecordBytes(bytes, 7, kCb, Padded("X77", 50));
  writeFileBytes(f.dbf(), bytes);
  ageTable(f.folder(), 5);
  {
    Session s(f.folder());
    EXPECT_EQ(s.rebuilt, 0);
    EXPECT_THROW(s.run("update article set topp=\"O\", lib1=\"half\" where num=7"), std::exception);
    EXPECT_EQ(readFileBytes(f.dbf()), bytes) << "nothing of the refused change is written";
  }
  ageTable(f.folder(), 5);
  Session s(f.folder(), true);
  EXPECT_EQ(s.rebuilt, 1);
  EXPECT_NE(s.fault.find("the key of record 7 differs from its value"), std::string::npos) << s.fault;
  EXPECT_EQ(s.run("update article set topp=\"O\", lib1=\"whole\" where num=7"), 1);
  EXPECT_EQ(s.barcodes("select cb from article where cb like \"X77%\""), std::vector<std::string>{"X77"});
}

TEST(TableIndexCheck, ADamagedIndexIsRebuiltAloneAndRefusedWhileAnotherProcessHasTheTable) {
  const std::map<std::string, std::function<std::string(const std::string&)>> damages = {
      {"zero-length", [](const std::string&) { return std::string(); }},
      {"truncated", [](const std::string& index) { return index.substr(0, 5000); }},
      {"foreign", [](const std::string&) { return std::string(8192, '\xAB'); }},
  };
  for (const auto& [what, damage] : damages) {
    SCOPED_TRACE(what);
    TableFolder f;
    FillArticle(f.folder());
    const std::string damaged = damage(readFileBytes(f.mdx()));
    writeFileBytes(f.mdx(), damaged);
    {
      LockHolder other(f.dbf(), 0, 0);
      ASSERT_TRUE(other.locked());
      try {
        Session s(f.folder());
        ADD_FAILURE() << "opened beside another process";
      } catch (const std::exception& error) {
        const std::string text = error.what();
        EXPECT_NE(text.find("Error # 222 (Corrupted index file)"), std::string::npos) << text;
        EXPECT_NE(text.find("another program has the table open: close every program that uses " + f.dbf() +
                            ", then open it again so that the index is rebuilt"),
                  std::string::npos)
            << text;
      }
      EXPECT_EQ(readFileBytes(f.mdx()), damaged);
      EXPECT_FALSE(std::filesystem::exists(f.mdx() + ".bad"));
    }
    const std::vector<std::string> live = liveBarcodes(f.dbf());
    Session s(f.folder());
    EXPECT_EQ(s.rebuilt, 1);
    EXPECT_EQ(readFileBytes(f.mdx() + ".bad"), damaged);
    EXPECT_EQ(s.barcodes("select cb from article where cb like \"Y1%\""), withPrefix(live, "Y1"));
    expectIndexIsTheTables(f.folder());
  }
}

// Every byte value, control characters and code page 850's box drawing included, survives an
// UPDATE that names another field.
TEST(TableIndexCheck, AnUpdateOfToppLeavesEveryOtherByteAsStored) {
  TableFolder f;
  FillArticle(f.folder());
  // The digits 1-8 stand in the two numbers, and q, r, s end the three text fields: a text's
  // trailing blanks and control characters are not part of its value.
  std::string rest;
  for (int b = 0; b < 256; ++b)
    if ((b < '1' || b > '8') && b != 'q' && b != 'r' && b != 's') rest += static_cast<char>(b);
  ASSERT_EQ(rest.size(), 245u);
  const std::string fields = rest.substr(0, 49) + "q" + rest.substr(49, 99) + "r" + rest.substr(148) + "ABs";
  const std::string record = " 12345" + fields.substr(0, 250) + "678" + "N ";
  ASSERT_EQ(record.size(), kRecord);
  std::string bytes = readFileBytes(f.dbf());
  setRecordBytes(bytes, 3, 0, record);
  writeFileBytes(f.dbf(), bytes);
  {
    Session s(f.folder());
    EXPECT_EQ(s.rebuilt, 1);
    EXPECT_EQ(s.run("update article set topp=\"O\" where num=12345"), 1);
  }
  const std::string after = readFileBytes(f.dbf()).substr(kHeader + 2 * kRecord, kRecord);
  EXPECT_EQ(after.substr(0, 259), record.substr(0, 259));
  EXPECT_EQ(after.substr(259), "O ");
  expectIndexIsTheTables(f.folder());
}

// Tables other programs wrote in the three code pages read with their characters; they stay
// readable by those programs after our inserts; ours open in dbfread without options.
TEST(TableIndexCheck, CodePagesOfTheLanguageByteReadAndWriteTheRightCharacters) {
  if (!pythonHas("dbf") || !pythonHas("dbfread")) GTEST_SKIP() << "python3 dbf and dbfread modules not installed";
  const std::string accented =
      "Cr\xE8me br\xFBl\xE9"
      "e \xC7"
      "a \xF1"
      "o \xFC";  // ANSI
  const std::string ours = "\xC9t\xE9 \xE0 No\xEBl";
  for (const char* codePage : {"cp437", "cp850", "cp1252"}) {
    SCOPED_TRACE(codePage);
    TableFolder f;
    writeFileBytes(f.dir.file("write.py"),
                   "import dbf, sys\n"
                   "t = dbf.Table(sys.argv[1], 'num N(5,0); cb C(50); lib1 C(100); lib2 C(100); quantite N(3,0); "
                   "topp C(2)', codepage=sys.argv[2])\n"
                   "t.open(dbf.READ_WRITE)\n"
                   "t.append((1, sys.argv[3], 'python', '', 2, 'N'))\n"
                   "t.close()\n");
    runPython(f.dir.file("write.py") + " " + f.dbf() + " " + codePage + " '" + common::ansiToUtf8(accented) + "'");
    ASSERT_EQ(readFileBytes(f.dbf())[29], std::string("cp437") == codePage   ? 1
                                          : std::string("cp850") == codePage ? 2
                                                                             : 3);
    {
      Session s(f.folder());
      EXPECT_EQ(s.barcodes("select cb from article"), std::vector<std::string>{accented});
      EXPECT_EQ(
          s.run("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (2,\"" + ours + "\",\"\",\"\",1,\"N\")"),
          1);
      EXPECT_EQ(s.barcodes("select cb from article where cb like \"Cr%\""), std::vector<std::string>{accented});
    }
    expectIndexIsTheTables(f.folder());
    writeFileBytes(f.dir.file("read.py"),
                   "import dbf, sys\n"
                   "t = dbf.Table(sys.argv[1])\n"
                   "t.open()\n"
                   "for r in t:\n"
                   "    print(r.cb.rstrip())\n");
    EXPECT_EQ(runPython(f.dir.file("read.py") + " " + f.dbf()),
              common::ansiToUtf8(accented) + "\n" + common::ansiToUtf8(ours) + "\n");
  }
  TableFolder f;
  {
    Session s(f.folder());
    s.run("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"" + ours + "\",\"" + accented +
          "\",\"\",1,\"N\")");
  }
  writeFileBytes(f.dir.file("read_plain.py"),
                 "import dbfread, sys\n"
                 "for r in dbfread.DBF(sys.argv[1]):\n"
                 "    print(r['CB'] + '|' + r['LIB1'])\n");
  EXPECT_EQ(runPython(f.dir.file("read_plain.py") + " " + f.dbf()),
            common::ansiToUtf8(ours) + "|" + common::ansiToUtf8(accented) + "\n");
}

TEST(TableIndexCheck, ACodePageTheEngineCannotConvertOpensTheTableReadOnly) {
  TableFolder f;
  FillArticle(f.folder());
  std::string bytes = readFileBytes(f.dbf());
  bytes[29] = 0x64;  // code page 852
  writeFileBytes(f.dbf(), bytes);
  Session s(f.folder());
  EXPECT_TRUE(s.table.ReadOnly());
  ASSERT_EQ(f.shownTexts().size(), 1u);
  EXPECT_EQ(f.shownTexts()[0], f.dbf() +
                                   " declares a code page (language byte 100) that this program cannot "
                                   "convert: the table is opened read-only.");
  EXPECT_EQ(s.barcodes("select cb from article where cb like \"Z%\""), std::vector<std::string>{"Z01"});
  EXPECT_ANY_THROW(s.run("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (99,\"Q\",\"\",\"\",1,\"N\")"));
  s.table.Close();
  EXPECT_EQ(readFileBytes(f.dbf()), bytes);
  EXPECT_FALSE(s.table.ReadOnly()) << "the property is the user's again once closed";
}

}  // namespace
}  // namespace vekrano::dbase::testing
