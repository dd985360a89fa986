// The import loop over a real table: what each line gives, what fails, and the final message.
#include "import/import_run.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "common/exception.h"
#include "dbase/dbase_error.h"
#include "import_fixture.h"
#include "languages/interface_texts.h"
#include "languages/text_file.h"

namespace vekrano::import::testing {
namespace {

using Rows = std::vector<std::string>;

ImportResult importFile(records::ArticleData& data, const std::string& path, CsvOptions options, FieldMapping mapping,
                        std::vector<int>* calls = nullptr) {
  CsvFile file(path, options);
  return runImport(file, mapping, options.quoted, data, [calls](int k) {
    if (calls) calls->push_back(k);
  });
}

class Import : public ImportTest {};

TEST_F(Import, TheThreeLineFileWithEitherSeparator) {
  const std::string path = csvFile("A1,red,blue,2\nA2;x\n \n");
  std::vector<int> calls;
  ImportResult result = importFile(data, path, {',', 0, false}, {1, 2, 3, 4}, &calls);
  EXPECT_EQ(calls, (std::vector<int>{1, 2}));
  // "A2;X" is no Code 39 barcode: the line is refused and named, not printed as "A2X" later.
  EXPECT_EQ(result.stored, 1);
  EXPECT_EQ(result.failed, 1);
  EXPECT_EQ(storedRecords(), (Rows{"1|A1|red|blue|2|O"}));
  EXPECT_EQ(importEndMessage(result),
            "Nombre de fiches import\xE9"
            "es: 1\n"
            "Lignes non import\xE9"
            "es: 1\n"
            "Premi\xE8res lignes du fichier en \xE9"
            "chec: 2\n"
            "Lignes refus\xE9"
            "es pour un caract\xE8"
            "re :\n"
            "ligne 2 - Code Barre : le caract\xE8re \xAB ; \xBB (U+003B) (position 3) n'existe pas en "
            "Code 39. Un code barre ne peut contenir que les chiffres, les lettres A \xE0 Z, "
            "l'espace et - . $ / + %");

  result = importFile(data, path, {';', 0, false}, {1, 2, 3, 4});
  EXPECT_EQ(result.stored, 1);
  EXPECT_EQ(storedRecords()[1], "2|A2|x||1|O");
}

TEST_F(Import, BarcodesInCapitalsTextsConvertedAndRefusalsNamed) {
  const std::string path = csvFile(
      "low-abc1,Lot 868 \xE2\x80\x93 Stra\xC3\x9F"
      "e,l\xE2\x80\x99\xC3\xA9t\xC3\xA9\n"
      "SP\xC3\x89#CIAL@1,x\n"
      "ok1,5 \xE2\x82\xAC,c\xC5\x93ur \xE2\x80\x9C"
      "chaud\xE2\x80\x9D\n"
      "A2,snow \xE2\x98\x83,x\n"
      "a3,\xE2\x80\xA6,\xC5\x92\n");
  const ImportResult result = importFile(data, path, {}, {1, 2, 3, 0});
  EXPECT_EQ(result.stored, 3);
  EXPECT_EQ(result.failed, 2);
  EXPECT_EQ(storedRecords(), (Rows{"1|LOW-ABC1|Lot 868 - Stra\xDF"
                                   "e|l'\xE9t\xE9|1|O",
                                   "2|OK1|5 EUR|coeur \"chaud\"|1|O", "3|A3|...|OE|1|O"}));
  EXPECT_EQ(result.converted, 3);
  EXPECT_EQ(result.firstConvertedLines, (std::vector<int>{1, 3, 5}));
  ASSERT_EQ(result.firstRefusals.size(), 2u);
  EXPECT_EQ(
      result.firstRefusals[0].rfind("ligne 2 - Code Barre : le caract\xE8re \xAB \xC9 \xBB (U+00C9) (position 3)", 0),
      0u)
      << result.firstRefusals[0];
  EXPECT_EQ(result.firstRefusals[1],
            "ligne 4 - Texte 1 : le caract\xE8re U+2603 (position 6) ne peut pas \xEAtre enregistr\xE9.");
  EXPECT_NE(importEndMessage(result).find("\nLignes dont des caract\xE8res ont \xE9t\xE9 \xE9"
                                          "crits autrement : 3 (1, 3, 5)"),
            std::string::npos);

  languages::setLanguageNumber(languages::kEnglish);
  const ImportResult again = importFile(data, csvFile("A#,x\n", "b.csv"), {}, {1, 2, 0, 0});
  EXPECT_EQ(again.firstRefusals.at(0),
            "line 1 - Barcod: the character \xAB # \xBB (U+0023) (position 2) does not exist in Code 39. "
            "A barcode may hold only digits, the letters A to Z, the blank and - . $ / + %");
  languages::setLanguageNumber(languages::kFrench);
}

TEST_F(Import, FieldsQuotesAndQuantities) {
  const std::string path = csvFile(
      "\"a,b\",x\n"
      "1\"2,t,3,4,5,6,7,8,9,ten,eleven\n"
      "q,t,,12\nq,t,,12 \nq,t,,abc\nq,t\nq,t,, -3\n");
  importFile(data, path, {',', 0, false}, {1, 2, 10, 4});
  EXPECT_EQ(storedRecords(), (Rows{"1|A|b||1|O", "2|12|t|ten|4|O", "3|Q|t||12|O", "4|Q|t||1|O", "5|Q|t||1|O",
                                   "6|Q|t||1|O", "7|Q|t||-3|O"}));
  // No field for text 2 leaves it empty even with eleven fields.
  importFile(data, csvFile("c,d,3,4,5,6,7,8,9,10,11\n", "b.csv"), {}, {1, 2, kNoField, kNoField});
  EXPECT_EQ(storedRecords().back(), "8|C|d||1|O");
}

TEST_F(Import, QuantitiesBeyondTheFieldAndFailedLinesAreReported) {
  const std::string path = csvFile("ok,1,,5\n\nbig,2,,1000\nlow,3,,-100\nhuge,4,,99999999999\nfine,5,,-99\n");
  const ImportResult result = importFile(data, path, {}, {1, 2, 3, 4});
  EXPECT_EQ(result.read, 5);
  EXPECT_EQ(result.stored, 2);
  EXPECT_EQ(result.failed, 3);
  EXPECT_EQ(result.firstFailedLines, (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(storedRecords(), (Rows{"1|OK|1||5|O", "2|FINE|5||-99|O"}));
  EXPECT_EQ(importEndMessage(result),
            "Nombre de fiches import\xE9"
            "es: 2\n"
            "Lignes non import\xE9"
            "es: 3\n"
            "Premi\xE8res lignes du fichier en \xE9"
            "chec: 3, 4, 5");
}

TEST_F(Import, StopsAtTheFirstNumberAbove99999) {
  data.executeStatement(
      "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (99998,\"x\",\"\", \"\", 1, \"N\" )");
  const ImportResult result = importFile(data, csvFile("a\nb\nc\n"), {}, {});
  EXPECT_EQ(result.stored, 1);
  EXPECT_EQ(result.failed, 1);
  EXPECT_TRUE(result.numbersExhausted);
  EXPECT_EQ(storedRecords(), (Rows{"99998|x|||1|N", "99999|A|||1|O"}));
  EXPECT_NE(importEndMessage(result).find("\nImportation arr\xEAt\xE9"
                                          "e: num\xE9ro de fiche au-del\xE0 de 99999"),
            std::string::npos);
}

// The table's files may not grow past a size, as on a disk that fills up: the import stops at the
// first line the table cannot store instead of trying every later one, and says why.
TEST_F(Import, StopsAtTheFirstLineTheFullDiskRefused) {
  std::string lines;
  for (int i = 1; i <= 60; ++i) lines += "D" + std::to_string(i) + "\n";
  const std::string path = csvFile(lines);
  ASSERT_TRUE(storedRecords().empty());  // the table and its index exist before the disk fills
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit full = before;
  full.rlim_cur = 6000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
  const ImportResult result = [&] {
    const dbase::SuspendAutoErrorReporting quiet;  // as the application runs
    return importFile(data, path, {}, {});
  }();
  setrlimit(RLIMIT_FSIZE, &before);
  ASSERT_GT(result.stoppedAtLine, 1);
  EXPECT_EQ(result.read, result.stoppedAtLine) << "no line after it was tried";
  EXPECT_EQ(result.stored, result.stoppedAtLine - 1);
  EXPECT_EQ(result.failed, 1);
  Rows expected;
  for (int i = 1; i <= result.stored; ++i) expected.push_back(std::to_string(i) + "|D" + std::to_string(i) + "|||1|O");
  EXPECT_EQ(storedRecords(), expected);
  const std::string message = importEndMessage(result);
  EXPECT_NE(message.find("\nImportation arr\xEAt\xE9"
                         "e: la table ne peut plus \xE9"
                         "crire. Ligne du fichier refus\xE9"
                         "e: " +
                         std::to_string(result.stoppedAtLine) + "\n"),
            std::string::npos)
      << message;
  EXPECT_NE(message.find("(Disk write error (probable cause: Disk Full).)"), std::string::npos) << message;
}

TEST_F(Import, QuotedValuesAreStoredExactlyAndCannotBreakTheStatement) {
  data.executeStatement(
      "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"keep\",\"\", \"\", 1, \"N\" )");
  const std::string path = csvFile(
      "\"SAY HI\",\"it's \"\"x\"\"\",\"a,b\"\n"
      "Z9,\"\"\"),(9,\"\"z\",\"\"\",\"\"\"\n");
  const ImportResult result = importFile(data, path, {',', 0, true}, {1, 2, 3, 0});
  EXPECT_EQ(result.stored, 2);
  EXPECT_EQ(storedRecords(), (Rows{"1|keep|||1|N", "2|SAY HI|it's \"x\"|a,b|1|O", "3|Z9|\"),(9,\"z|\",\"|1|O"}));
}

// Gives two lines, then fails as a file that cannot be read any further.
class FailingSource : public CsvSource {
 public:
  bool Next(CsvRecord& record) override {
    if (++calls_ > 2)
      throw languages::ETextFileError(languages::readErrorMessage("in.csv", languages::TextReadError::Other));
    record = {{"r" + std::to_string(calls_)}, calls_};
    return true;
  }

 private:
  int calls_ = 0;
};

TEST_F(Import, AReadErrorPartWayKeepsTheRecordsBeforeIt) {
  FailingSource source;
  EXPECT_THROW(runImport(source, {}, false, data), languages::ETextFileError);
  EXPECT_EQ(storedRecords(), (Rows{"1|R1|||1|O", "2|R2|||1|O"}));
}

TEST_F(Import, TheProgressTextFollowsTheLanguage) {
  languages::setLanguageNumber(languages::kEnglish);
  EXPECT_EQ(importedCountText(7), "Number of barcods imported: 7");
  languages::setLanguageNumber(languages::kSpanish);
  EXPECT_EQ(importedCountText(2), "N\xFAmero de los codigos de barra importados 2");
}

}  // namespace
}  // namespace vekrano::import::testing
