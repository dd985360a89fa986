// The list's CSV export: the exact bytes of a file, a round trip of 1,000 awkward records through
// the import in both encodings and separators, the file read by Python's csv module, and writes
// that fail without leaving a half file.
#include "list/list_export.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/code_page.h"
#include "common/safe_file_writer.h"
#include "import/csv_source.h"
#include "import/import_run.h"
#include "records/article_data.h"
#include "records/entry_check.h"
#include "records/record_statements.h"
#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace vekrano::list {
namespace {

using vekrano::testing::readFileBytes;
using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;

constexpr const char* kAllByNumber = "select *  from article order by num";

TEST(CsvField, QuotedOnlyWhenAValueNeedsIt) {
  EXPECT_EQ(csvField("plain text", ','), "plain text");
  EXPECT_EQ(csvField("", ','), "");
  EXPECT_EQ(csvField("a;b", ','), "a;b");
  EXPECT_EQ(csvField("a;b", ';'), "\"a;b\"");
  EXPECT_EQ(csvField("a,b", ','), "\"a,b\"");
  EXPECT_EQ(csvField("say \"hi\"", ';'), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(csvField("\"", ','), "\"\"\"\"");
  EXPECT_EQ(csvField("two\r\nlines", ','), "\"two\r\nlines\"");
  EXPECT_EQ(csvField("line\nfeed", ';'), "\"line\nfeed\"");
  EXPECT_EQ(csvField("  blanks kept ", ','), "  blanks kept ");
  EXPECT_EQ(csvField("caf\xe9 12 EUR", ','), "caf\xe9 12 EUR");
}

class ListExport : public ::testing::Test {
 protected:
  ListExport() { data.openData(); }

  void add(const records::BarcodeRecord& record) { data.executeStatement(records::newRecordStatement(record)); }
  // Every record of `from` by number as "num|cb|lib1|lib2|quantite".
  static std::vector<std::string> stored(records::ArticleData& from) {
    sql::TSqlQuery& query = from.sqlqueryfonction;
    query.Close();
    query.SQL().Clear();
    query.SQL().Add(kAllByNumber);
    query.Open();
    std::vector<std::string> rows;
    for (query.First(); !query.Eof(); query.Next()) {
      std::string row = query.FieldByName("num").AsString();
      for (const char* name : {"cb", "lib1", "lib2", "quantite"}) row += "|" + query.FieldByName(name).AsString();
      rows.push_back(row);
    }
    query.Close();
    return rows;
  }
  int exportAll(const std::string& path, CsvExportOptions options, const ExportProgress& progress = {}) {
    return exportStatement(data.sqlqueryfonction, kAllByNumber, path, options, progress);
  }

  TempDir directory;
  records::ArticleData data{directory.path().string() + "/"};
};

TEST_F(ListExport, FileBytesInEitherEncodingAndSeparator) {
  add({1, "A-1", "caf\xe9; \"noir\"", "", 2, "O"});
  add({2, "B,2", "two\nlines", "x", -3, "N"});
  const std::string path = directory.file("list.csv");
  EXPECT_EQ(exportAll(path, {';', CsvEncoding::Windows1252}), 2);
  EXPECT_EQ(readFileBytes(path),
            "cb;lib1;lib2;quantite;topp\r\n"
            "A-1;\"caf\xe9; \"\"noir\"\"\";;2;O\r\n"
            "B,2;\"two\nlines\";x;-3;N\r\n");
  EXPECT_EQ(exportAll(path, {',', CsvEncoding::Utf8}), 2);
  EXPECT_EQ(readFileBytes(path),
            "\xef\xbb\xbf"
            "cb,lib1,lib2,quantite,topp\r\n"
            "A-1,\"caf\xc3\xa9; \"\"noir\"\"\",,2,O\r\n"
            "\"B,2\",\"two\nlines\",x,-3,N\r\n");
  // An empty list still gives its header line.
  data.executeStatement("delete from article");
  EXPECT_EQ(exportAll(path, {',', CsvEncoding::Windows1252}), 0);
  EXPECT_EQ(readFileBytes(path), "cb,lib1,lib2,quantite,topp\r\n");
}

// A text of up to `length` characters drawn from pieces that CSV, the statements and the table
// find awkward; never ending with a blank, which the table's fixed-width fields cannot keep.
std::string awkwardText(std::mt19937& random, std::size_t length) {
  static const std::vector<std::string> pieces = {"\"",   "'",      ",",    ";",    "\r\n", "\n",   " ",    "\xe9",
                                                  "\xe8", "\xe0",   "\xe7", "\xf1", "\xd1", "\xe3", "\xf5", "\xfc",
                                                  "\xdf", "12 EUR", "abc",  "XYZ",  "0",    "-",    "%",    "\t"};
  std::string text;
  while (text.size() < length) {
    const std::string& piece = pieces[random() % pieces.size()];
    if (text.size() + piece.size() > length) break;
    text += piece;
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
  return text;
}

// The fields of each line of a CSV file as Python's csv module reads them, each field as the hex
// of its UTF-8 bytes, fields separated by blanks.
std::string readByPython(const std::string& path, const CsvExportOptions& options) {
  const std::string script =
      "import csv, sys\n"
      "with open(sys.argv[1], newline='', encoding=sys.argv[2]) as f:\n"
      "    for row in csv.reader(f, delimiter=sys.argv[3]):\n"
      "        print(' '.join(field.encode('utf-8').hex() for field in row))\n";
  const std::string scriptPath = path + ".py";
  writeFileBytes(scriptPath, script);
  const std::string encoding = options.encoding == CsvEncoding::Utf8 ? "utf-8-sig" : "cp1252";
  const vekrano::testing::Outcome outcome = vekrano::testing::runShell(
      "/usr/bin/python3 " + scriptPath + " " + path + " " + encoding + " '" + std::string(1, options.separator) + "'");
  EXPECT_EQ(outcome.status, 0);
  return outcome.out;
}

std::string hexLine(const std::vector<std::string>& ansiFields) {
  static const char* digits = "0123456789abcdef";
  std::string line;
  for (const std::string& field : ansiFields) {
    if (&field != &ansiFields.front()) line += ' ';
    for (const unsigned char c : common::ansiToUtf8(field)) {
      line += digits[c >> 4];
      line += digits[c & 15];
    }
  }
  return line + "\n";
}

TEST_F(ListExport, ThousandAwkwardRecordsComeBackThroughTheImportAndPython) {
  std::mt19937 random(32);
  std::string expectedByPython = hexLine({"cb", "lib1", "lib2", "quantite", "topp"});
  for (int num = 1; num <= 1000; ++num) {
    // Barcodes hold only Code 39's characters: the import refuses any other.
    std::string barcode;
    for (int length = 1 + random() % 50; length > 0; --length) {
      barcode += records::kCode39Characters[random() % records::kCode39Characters.size()];
    }
    const records::BarcodeRecord record{num,
                                        barcode,
                                        awkwardText(random, random() % 100),
                                        awkwardText(random, random() % 100),
                                        static_cast<int>(random() % 1099) - 99,
                                        random() % 2 ? "O" : "N"};
    add(record);
  }
  const std::vector<std::string> original = stored(data);
  ASSERT_EQ(original.size(), 1000u);
  {
    sql::TSqlQuery& query = data.sqlqueryfonction;
    query.SQL().Clear();
    query.SQL().Add(kAllByNumber);
    query.Open();
    for (query.First(); !query.Eof(); query.Next()) {
      std::vector<std::string> fields;
      for (const char* name : kExportColumns) fields.push_back(query.FieldByName(name).AsString());
      expectedByPython += hexLine(fields);
    }
    query.Close();
  }
  // The records do hold what the file must quote, and the euro sign's stored form.
  const std::string all = [&] {
    std::string joined;
    for (const std::string& row : original) joined += row;
    return joined;
  }();
  // (A statement's text keeps no carriage return before a line feed: line breaks are stored
  // as line feeds.)
  for (const char* awkward : {"\"", "'", ";", ",", "\n", "\xe9", "EUR"}) {
    EXPECT_NE(all.find(awkward), std::string::npos) << awkward;
  }

  std::vector<std::pair<CsvExportOptions, std::string>> files;
  for (const char separator : {';', ','}) {
    for (const CsvEncoding encoding : {CsvEncoding::Utf8, CsvEncoding::Windows1252}) {
      const CsvExportOptions options{separator, encoding};
      const std::string path = directory.file("round" + std::to_string(files.size()) + ".csv");
      std::vector<std::pair<int, int>> progress;
      EXPECT_EQ(exportAll(path, options, [&](int done, int total) { progress.emplace_back(done, total); }), 1000);
      ASSERT_FALSE(progress.empty());
      EXPECT_EQ(progress.back(), std::make_pair(1000, 1000));
      EXPECT_GT(progress.size(), 1u);  // shown along the way, not only at the end
      EXPECT_EQ(readByPython(path, options), expectedByPython) << separator;
      files.emplace_back(options, path);
    }
  }
  // Each file re-imported into an empty table through the wizard's import, quoted fields on.
  data.closeData();
  for (const auto& [options, path] : files) {
    TempDir other;
    records::ArticleData copy(other.path().string() + "/");
    copy.openData();
    import::CsvFile file(path, {options.separator, 1, true});
    const import::ImportResult result = import::runImport(file, {1, 2, 3, 4}, true, copy);
    EXPECT_EQ(result.stored, 1000);
    EXPECT_EQ(result.failed, 0);
    EXPECT_EQ(stored(copy), original) << path;
    copy.closeData();
  }
}

TEST_F(ListExport, FailedWriteLeavesNoHalfFileUnderTheName) {
  for (int num = 1; num <= 1000; ++num) add({num, "CODE" + std::to_string(num), std::string(90, 'x'), "", 1, "O"});
  const std::string path = directory.file("kept.csv");
  writeFileBytes(path, "the file as it was\n");
  // The disk refuses more than 16 KiB: the export fails midway, the old file stays whole.
  struct rlimit before {};
  ::getrlimit(RLIMIT_FSIZE, &before);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = before;
  small.rlim_cur = 16 * 1024;
  ::setrlimit(RLIMIT_FSIZE, &small);
  std::string message;
  sql::TSqlQuery& query = data.sqlqueryfonction;
  query.SQL().Clear();
  query.SQL().Add(kAllByNumber);
  query.Open();  // before the limit: the engine may spill a large result to a temporary file
  try {
    exportRows(query, path, {});
  } catch (const common::EFileWriteError& error) {
    message = error.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, previousHandler);
  query.Close();
  EXPECT_EQ(message.rfind("Cannot write the file " + path + ": ", 0), 0u) << message;
  EXPECT_EQ(readFileBytes(path), "the file as it was\n");
  // Into a folder that does not exist: the message names the file.
  EXPECT_THROW(exportAll(directory.file("no/such/folder.csv"), {}), common::EFileWriteError);
  // Only the old file is there: no fresh file left beside it.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory.path())) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(
      std::count_if(names.begin(), names.end(),
                    [](const std::string& name) { return name.starts_with("kept.csv") || name.starts_with("folder"); }),
      1);
  // With room on the disk the same export replaces the old file.
  EXPECT_EQ(exportAll(path, {}), 1000);
  EXPECT_EQ(readFileBytes(path).substr(0, 31),
            "\xef\xbb\xbf"
            "cb,lib1,lib2,quantite,topp\r\n");
}

}  // namespace
}  // namespace vekrano::list
