// The settings page's repair of a table cut inside a record: offered only for a damaged table,
// asked first, and the table then holds its whole records, writable, with the old file kept.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTableView>
#include <filesystem>

#include "records/article_table.h"
#include "records_page_fixture.h"

namespace vekrano::app::testing {
namespace {

using vekrano::testing::readFileBytes;
using vekrano::testing::writeFileBytes;

constexpr std::size_t kHeaderLength = 225;
constexpr std::size_t kRecordLength = 261;

class TableRepairPage : public RecordsPage {
 protected:
  void SetUp() override {
    list::sortState() = {};
    desktop.choice = 1;
  }
  // Three records, the file then cut 40 bytes into the third one; returns what is left.
  std::string cutInsideARecord() {
    data.openData();
    for (int i = 1; i <= 3; ++i)
      data.executeStatement("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(i) +
                            ",\"C" + std::to_string(i) + "\",\"\",\"\",1,\"N\")");
    data.closeData();
    const std::string cut =
        readFileBytes(directory.file("article.dbf")).substr(0, kHeaderLength + 2 * kRecordLength + 40);
    writeFileBytes(directory.file("article.dbf"), cut);
    return cut;
  }
  QPushButton& repairButton() { return *window->findChild<QPushButton*>("sreparertable"); }
  // The barcodes the grid shows, from the top.
  QStringList shownBarcodes() {
    QStringList shown;
    for (int row = 0; row < grid().model()->rowCount(); ++row) shown << cell(row, 1);
    return shown;
  }
};

TEST_F(TableRepairPage, ATableCutInsideARecordIsRepairedFromTheSettingsPage) {
  writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(2, 0, ""));
  const std::string cut = cutInsideARecord();

  start();
  ASSERT_EQ(prompts.shown.size(), 1u) << "the damage is said at start";
  EXPECT_EQ(prompts.shown[0].text, dir() + "/article.dbf" +
                                       " is damaged: it ends inside a record, after 2 whole ones. It is opened "
                                       "read-only and nothing is written until it is repaired (vekrano-sql DIR "
                                       ".repair).\n\nThe button \"Repair the record table\" on the Parameters page "
                                       "repairs it.");
  EXPECT_EQ(shownBarcodes(), (QStringList{"C1", "C2"}));
  EXPECT_TRUE(repairButton().isEnabled());
  EXPECT_EQ(repairButton().text(), "Repair the record table");

  // No, the default, leaves the file as it is.
  prompts.answers = {common::PromptAnswer::No};
  repairButton().click();
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[1].text,
            "The record table is damaged. Repair it? The whole records are kept, and the old "
            "table is kept beside it.");
  EXPECT_EQ(prompts.shown[1].caption, "Confirmation");
  EXPECT_TRUE(prompts.shown[1].noIsDefault);
  EXPECT_EQ(readFileBytes(directory.file("article.dbf")), cut);
  EXPECT_TRUE(repairButton().isEnabled());

  prompts.answers = {common::PromptAnswer::Yes, common::PromptAnswer::Ok};
  repairButton().click();
  ASSERT_EQ(prompts.shown.size(), 4u) << "the index built again is part of the repair, not a second message";
  EXPECT_EQ(prompts.shown[3].text,
            "Table repaired: 2 records kept. The old table is kept as:\n" + directory.file("article.dbf.bad"));
  EXPECT_EQ(readFileBytes(directory.file("article.dbf.bad")), cut);
  const std::string repaired = readFileBytes(directory.file("article.dbf"));
  EXPECT_EQ(repaired.substr(kHeaderLength, 2 * kRecordLength), cut.substr(kHeaderLength, 2 * kRecordLength));
  EXPECT_LE(repaired.size(), kHeaderLength + 2 * kRecordLength + 1) << "nothing of the cut record is kept";
  EXPECT_EQ(shownBarcodes(), (QStringList{"C1", "C2"}));
  EXPECT_FALSE(repairButton().isEnabled()) << "the table is sound again";

  // The table is writable again: a new record is stored and shown after the kept ones.
  add({"C9"});
  EXPECT_EQ(shownBarcodes(), (QStringList{"C1", "C2", "C9"}));
  stop();
  data.openData();
  EXPECT_EQ(data.storedRecordCount(), 3);
  EXPECT_FALSE(data.tarticle.ReadOnly());
  data.closeData();
}

TEST_F(TableRepairPage, NothingIsRepairedWhileAnotherProgramHasTheTableOpen) {
  writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(1, 0, ""));
  const std::string cut = cutInsideARecord();
  start();
  dbase::TTzDbf other("other");
  records::configureArticleTable(other, dir());
  other.Open();  // read-only too, and said so
  ASSERT_EQ(prompts.shown.size(), 2u);

  prompts.answers = {common::PromptAnswer::Yes};
  repairButton().click();
  ASSERT_EQ(prompts.shown.size(), 4u);
  EXPECT_EQ(prompts.shown[3].text,
            "Un autre programme a la table des fiches ouverte : fermez-le, puis r\xE9parez \xE0 nouveau.");
  EXPECT_EQ(readFileBytes(directory.file("article.dbf")), cut);
  EXPECT_FALSE(std::filesystem::exists(directory.file("article.dbf.bad")));
  EXPECT_EQ(shownBarcodes(), (QStringList{"C1", "C2"}));
  EXPECT_TRUE(repairButton().isEnabled());

  other.Close();
  prompts.answers = {common::PromptAnswer::Yes};
  repairButton().click();
  ASSERT_EQ(prompts.shown.size(), 6u);
  EXPECT_EQ(prompts.shown[5].text,
            "Table r\xE9par\xE9"
            "e : 2 fiches gard\xE9"
            "es. L'ancienne table est conserv\xE9"
            "e "
            "sous le nom :\n" +
                directory.file("article.dbf.bad"));
  EXPECT_FALSE(repairButton().isEnabled());
  stop();
}

TEST_F(TableRepairPage, ASoundTableOffersNoRepair) {
  start();
  add({"A1"});
  EXPECT_FALSE(repairButton().isEnabled());
  EXPECT_TRUE(prompts.shown.empty());
}

}  // namespace
}  // namespace vekrano::app::testing
