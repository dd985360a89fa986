// The import loop over a real table: what each line gives, what fails, and the final message.
#include "import/import_run.h"

#include <gtest/gtest.h>

#include "common/exception.h"
#include "import_fixture.h"
#include "languages/interface_texts.h"
#include "languages/text_file.h"

namespace vekrano::import::testing {
namespace {

using Rows = std::vector<std::string>;

ImportResult importFile(records::ArticleData& data, const std::string& path,
                        CsvOptions options, FieldMapping mapping, std::vector<int>* calls = nullptr) {
  CsvFile file(path, options);
  return RunImport(file, mapping, options.quoted, data, [calls](int k) {
    if (calls) calls->push_back(k);
  });
}

class Import : public ImportTest {};

TEST_F(Import, TheThreeLineFileWithEitherSeparator) {
  const std::string path = csvFile("A1,red,blue,2\nA2;x\n \n");
  std::vector<int> calls;
  ImportResult result = importFile(data, path, {',', 0, false}, {1, 2, 3, 4}, &calls);
  EXPECT_EQ(result.stored, 2);
  EXPECT_EQ(result.failed, 0);
  EXPECT_EQ(calls, (std::vector<int>{1, 2}));
  EXPECT_EQ(storedRecords(), (Rows{"1|A1|red|blue|2|O", "2|A2;x|||1|O"}));
  EXPECT_EQ(ImportEndMessage(result), "Nombre de fiches import\xE9" "es: 2");

  importFile(data, path, {';', 0, false}, {1, 2, 3, 4});
  EXPECT_EQ(storedRecords()[3], "4|A2|x||1|O");
}

TEST_F(Import, FieldsQuotesAndQuantities) {
  const std::string path = csvFile(
      "\"a,b\",x\n"
      "1\"2,t,3,4,5,6,7,8,9,ten,eleven\n"
      "q,t,,12\nq,t,,12 \nq,t,,abc\nq,t\nq,t,, -3\n");
  importFile(data, path, {',', 0, false}, {1, 2, 10, 4});
  EXPECT_EQ(storedRecords(),
            (Rows{"1|a|b||1|O", "2|12|t|ten|4|O", "3|q|t||12|O", "4|q|t||1|O", "5|q|t||1|O",
                  "6|q|t||1|O", "7|q|t||-3|O"}));
  // No field for text 2 leaves it empty even with eleven fields.
  importFile(data, csvFile("c,d,3,4,5,6,7,8,9,10,11\n", "b.csv"), {}, {1, 2, kNoField, kNoField});
  EXPECT_EQ(storedRecords().back(), "8|c|d||1|O");
}

TEST_F(Import, QuantitiesBeyondTheFieldAndFailedLinesAreReported) {
  const std::string path = csvFile("ok,1,,5\n\nbig,2,,1000\nlow,3,,-100\nhuge,4,,99999999999\nfine,5,,-99\n");
  const ImportResult result = importFile(data, path, {}, {1, 2, 3, 4});
  EXPECT_EQ(result.read, 5);
  EXPECT_EQ(result.stored, 2);
  EXPECT_EQ(result.failed, 3);
  EXPECT_EQ(result.firstFailedLines, (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(storedRecords(), (Rows{"1|ok|1||5|O", "2|fine|5||-99|O"}));
  EXPECT_EQ(ImportEndMessage(result),
            "Nombre de fiches import\xE9" "es: 2\n"
            "Lignes non import\xE9" "es: 3\n"
            "Premi\xE8res lignes du fichier en \xE9" "chec: 3, 4, 5");
}

TEST_F(Import, StopsAtTheFirstNumberAbove99999) {
  data.ExecuteStatement(
      "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (99998,\"x\",\"\", \"\", 1, \"N\" )");
  const ImportResult result = importFile(data, csvFile("a\nb\nc\n"), {}, {});
  EXPECT_EQ(result.stored, 1);
  EXPECT_EQ(result.failed, 1);
  EXPECT_TRUE(result.numbersExhausted);
  EXPECT_EQ(storedRecords(), (Rows{"99998|x|||1|N", "99999|a|||1|O"}));
  EXPECT_NE(ImportEndMessage(result).find("\nImportation arr\xEAt\xE9" "e: num\xE9ro de fiche au-del\xE0 de 99999"),
            std::string::npos);
}

TEST_F(Import, QuotedValuesAreStoredExactlyAndCannotBreakTheStatement) {
  data.ExecuteStatement(
      "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"keep\",\"\", \"\", 1, \"N\" )");
  const std::string path = csvFile(
      "\"say \"\"hi\"\"\",\"it's \"\"x\"\"\",\"a,b\"\n"
      "\"\"\"),(9,\"\"z\",\"\"\",\"\"\n");
  const ImportResult result = importFile(data, path, {',', 0, true}, {1, 2, 3, 0});
  EXPECT_EQ(result.stored, 2);
  EXPECT_EQ(storedRecords(), (Rows{"1|keep|||1|N", "2|say \"hi\"|it's \"x\"|a,b|1|O",
                                   "3|\"),(9,\"z|\",\"||1|O"}));
}

// Gives two lines, then fails as a file that cannot be read any further.
class FailingSource : public CsvSource {
 public:
  bool Next(CsvRecord& record) override {
    if (++calls_ > 2) throw languages::ETextFileError(languages::readErrorMessage("in.csv", languages::TextReadError::Other));
    record = {{"r" + std::to_string(calls_)}, calls_};
    return true;
  }

 private:
  int calls_ = 0;
};

TEST_F(Import, AReadErrorPartWayKeepsTheRecordsBeforeIt) {
  FailingSource source;
  EXPECT_THROW(RunImport(source, {}, false, data), languages::ETextFileError);
  EXPECT_EQ(storedRecords(), (Rows{"1|r1|||1|O", "2|r2|||1|O"}));
}

TEST_F(Import, TheProgressTextFollowsTheLanguage) {
  languages::setLanguageNumber(languages::kEnglish);
  EXPECT_EQ(ImportedCountText(7), "Number of barcods imported: 7");
  languages::setLanguageNumber(languages::kSpanish);
  EXPECT_EQ(ImportedCountText(2), "N\xFAmero de los codigos de barra importados 2");
}

}  // namespace
}  // namespace vekrano::import::testing
