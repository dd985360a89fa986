// The records page driven as a user drives it, over a real table in a temporary directory.
#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

#include "dbase/dataset/field.h"
#include "languages/interface_texts.h"
#include "list/sort_state.h"
#include "records/record_editor.h"
#include "records/record_statements.h"
#include "records_page_fixture.h"

namespace vekrano::app::testing {
namespace {

TEST_F(RecordsPage, AddStoresTheTypedRecordAndRedisplays) {
  add({"abc-12", "one", "two"});
  ASSERT_EQ(rows(), 1);
  EXPECT_EQ(cell(0, 1), "ABC-12");
  EXPECT_EQ(cell(0, 4), "1");
  EXPECT_EQ(cell(0, 5), "X");
  EXPECT_EQ(data.sqlQuery1.FieldByName("num").AsInteger(), 1);
  add({"B", "", "", "-3", false});
  ASSERT_EQ(rows(), 2);
  EXPECT_EQ(cell(1, 0), "2");
  EXPECT_EQ(cell(1, 4), "-3");
  EXPECT_EQ(cell(1, 5), " ");
  add({"C", "", "", " 15 "});
  add({"D", "", "", "2,5"});
  ASSERT_EQ(rows(), 4);
  EXPECT_EQ(cell(2, 4), "15");
  EXPECT_EQ(cell(3, 4), "1");
}

TEST_F(RecordsPage, BlankBarcodeAndOutOfRangeQuantityKeepTheEditorOpen) {
  add({"  ", "kept"});
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].caption, "Op\xE9ration impossible");
  EXPECT_EQ(prompts.shown[0].text, "la saisie n'est pas valide");
  EXPECT_EQ(rows(), 0);
  EXPECT_EQ(window->recordEditor().findChild<QLineEdit*>("elib1")->text(), "kept");
  add({"A", "", "", "1000"});
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[1].text, "La quantit\xE9 doit \xEAtre comprise entre -99 et 999");
  add({"A", "", "", "-100"});
  add({"A", "", "", "123456789012345678901234567890"});
  ASSERT_EQ(prompts.shown.size(), 4u);
  EXPECT_EQ(prompts.shown[3].text, prompts.shown[1].text);
  EXPECT_EQ(rows(), 0);
}

TEST_F(RecordsPage, ANumberBeyondTheFieldIsRefused) {
  data.executeStatement(records::newRecordStatement({99999, "LAST", "", "", 1, "O"}));
  add({"A", "kept"});
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text,
            "Le nombre maximal de fiches (99999) est atteint : la fiche n'est pas enregistr\xE9"
            "e");
  window->redisplayList();
  EXPECT_EQ(rows(), 1);
  EXPECT_EQ(window->recordEditor().findChild<QLineEdit*>("elib1")->text(), "kept");
}

TEST_F(RecordsPage, CancelAndFrameCloseFollowTheOutcome) {
  add({"A"});
  desktop.whileShown = nullptr;  // closed through the frame: the outcome "OK" stands
  prompts.answers = {common::PromptAnswer::No};
  window->acajoutcompteExecute();
  EXPECT_EQ(window->recordEditor().outcome, "OK");
  desktop.whileShown = [](QDialog& dialog) { dialog.findChild<QPushButton*>("sretour")->click(); };
  prompts.answers = {common::PromptAnswer::No};
  window->acajoutcompteExecute();  // No: still open, then closed by the desktop
  EXPECT_EQ(window->recordEditor().outcome, "OK");
  prompts.answers = {common::PromptAnswer::Yes};
  window->acajoutcompteExecute();
  EXPECT_EQ(window->recordEditor().outcome, "");
  EXPECT_EQ(rows(), 1);
  desktop.whileShown = [](QDialog& dialog) {
    QTest::keyClick(&dialog, Qt::Key_Escape);  // no cancel: the window stays open
    EXPECT_EQ(dialog.result(), -1);
  };
  window->acajoutcompteExecute();
}

TEST_F(RecordsPage, ModifyUpdatesTheRowInPlace) {
  add({"B"});
  add({"C"});
  window->sTitleClick(1);  // by barcode
  grid().selectRow(0);
  typeAndConfirm({"Z", "x", "y", "7", false});
  window->acvisumodifcompteExecute();
  EXPECT_EQ(cell(0, 1), "Z");  // still first although it sorts last
  EXPECT_EQ(cell(0, 4), "7");
  EXPECT_EQ(cell(1, 1), "C");
  window->redisplayList();
  EXPECT_EQ(cell(0, 1), "C");
  EXPECT_EQ(cell(1, 1), "Z");
  EXPECT_EQ(cell(1, 2), "x");
  window->sTitleClick(1);
  EXPECT_EQ(cell(0, 1), "Z");  // descending
}

TEST_F(RecordsPage, ARepaintBehindTheEditorLeavesTheChangeOnItsRow) {
  add({"A"});
  add({"B"});
  add({"C"});
  grid().selectRow(0);
  typeAndConfirm({"Z", "x", "y"});
  auto confirm = desktop.whileShown;
  desktop.whileShown = [this, confirm](QDialog& dialog) {
    EXPECT_EQ(cell(2, 1), "C");  // the main window painted its last row meanwhile
    confirm(dialog);
  };
  window->acvisumodifcompteExecute();
  EXPECT_EQ(cell(0, 1), "Z");
  EXPECT_EQ(cell(2, 1), "C");
  EXPECT_EQ(cell(2, 2), "");
}

TEST_F(RecordsPage, BothQuoteCharactersRoundTripThroughAddModifyAndCriteria) {
  // Barcodes hold only Code 39's characters; the texts and their criteria take both quotes.
  add({"AB-C", "l'un \"deux\""});
  add({"ABX", "l'autre"});
  EXPECT_EQ(cell(0, 1), "AB-C");
  EXPECT_EQ(cell(0, 2), "l'un \"deux\"");
  grid().selectRow(0);
  typeAndConfirm({"AB-E", "l'un \"trois'", "'"});
  window->acvisumodifcompteExecute();
  window->findChild<QLineEdit*>("text1")->setText("l'un \"");
  window->redisplayList();
  ASSERT_EQ(rows(), 1);
  EXPECT_EQ(cell(0, 1), "AB-E");
  EXPECT_EQ(cell(0, 2), "l'un \"trois'");
  EXPECT_EQ(cell(0, 3), "'");
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(RecordsPage, DeleteAsksFirstInTheCurrentLanguage) {
  add({"A"});
  EXPECT_EQ(window->findChild<QLabel*>("LabNombreFiches")->text(), "1 fiche");
  prompts.answers = {common::PromptAnswer::No};
  window->acsupprimecompteExecute();
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].caption, "Demande de confirmation");
  EXPECT_EQ(prompts.shown[0].text, "Suppression de l article ");
  EXPECT_TRUE(prompts.shown[0].noIsDefault);
  EXPECT_EQ(rows(), 1);
  languages::setLanguageNumber(2);
  window->acsupprimecompteExecute();
  EXPECT_EQ(prompts.shown[1].caption, "Confirmation");
  EXPECT_EQ(prompts.shown[1].text, "Delete item :");
  EXPECT_EQ(rows(), 0);
  EXPECT_EQ(window->findChild<QLabel*>("LabNombreFiches")->text(), "0 records");
  EXPECT_EQ(data.NextRecordNumber(), 1);
  add({"B"});
  EXPECT_EQ(window->findChild<QLabel*>("LabNombreFiches")->text(), "1 record");
}

TEST_F(RecordsPage, TopFlagOnATopRestrictedListKeepsTheRowUntilRedisplay) {
  add({"A"});
  window->findChild<QRadioButton*>("Ratop")->setChecked(true);
  window->redisplayList();
  ASSERT_EQ(rows(), 1);
  window->acchangetopExecute();
  EXPECT_EQ(rows(), 1);
  EXPECT_EQ(cell(0, 5), " ");
  EXPECT_EQ(data.sqlqueryfonction.SQL().Text(), "UPDATE article  SET topp=\"N\" WHERE num=1");
  window->redisplayList();
  EXPECT_EQ(rows(), 0);
  EXPECT_EQ(cell(0, 1), "");  // an empty result paints one blank row
}

TEST_F(RecordsPage, FailedStatementsAreReportedAndKeepTheEntry) {
  add({"A"});
  data.sqlQuery1.Close();
  std::filesystem::remove(directory.file("article.dbf"));
  std::filesystem::create_directory(directory.file("article.dbf"));
  data.tarticle.Close();
  add({"B", "typed"});
  ASSERT_FALSE(prompts.shown.empty());
  EXPECT_EQ(prompts.shown.back().caption, "Vekrano");
  EXPECT_EQ(window->recordEditor().findChild<QLineEdit*>("ecb")->text(), "B");
  EXPECT_EQ(window->recordEditor().findChild<QLineEdit*>("elib1")->text(), "typed");
}

TEST_F(RecordsPage, EraseAllAsksThenEmptiesTheTable) {
  add({"A"});
  add({"B"});
  prompts.answers = {common::PromptAnswer::No};
  window->sdetruiretoutedonneeClick();
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].caption, "Demande de confirmation");
  EXPECT_EQ(prompts.shown[0].text, languages::GetText(36));
  EXPECT_TRUE(prompts.shown[0].noIsDefault);
  EXPECT_EQ(rows(), 2);
  window->sdetruiretoutedonneeClick();
  EXPECT_EQ(rows(), 0);
  EXPECT_TRUE(std::filesystem::exists(directory.file("article.mdx")));
  add({"C"});
  EXPECT_EQ(data.sqlQuery1.FieldByName("num").AsInteger(), 1);
}

TEST_F(RecordsPage, CriteriaApplyOnEnterOrTheSpeedButtonOnly) {
  for (const char* cb : {"ABC", "A1", "BA"}) add({cb});
  auto* texCb = window->findChild<QLineEdit*>("TexCb");
  texCb->setText("A");
  window->findChild<QRadioButton*>("ranontop")->setChecked(true);
  EXPECT_EQ(rows(), 3);
  QTest::keyClick(texCb, Qt::Key_Return);
  EXPECT_EQ(rows(), 0);  // all three are topped
  window->findChild<QRadioButton*>("Ratoutes")->setChecked(true);
  window->findChild<QAbstractButton*>("SpeedButton1")->click();
  ASSERT_EQ(rows(), 2);
  EXPECT_EQ(cell(0, 1), "ABC");
  EXPECT_EQ(cell(1, 1), "A1");
  EXPECT_EQ(data.sqlQuery1.SQL().Text(), "select *  from article  where  cb like \"A%\"order by num");
  emit grid().horizontalHeader()->sectionClicked(1);
  EXPECT_EQ(cell(0, 1), "A1");
  EXPECT_EQ(data.sqlQuery1.SQL().Text(), "select *  from article  where  cb like \"A%\" order by cb ");
}

}  // namespace
}  // namespace vekrano::app::testing
