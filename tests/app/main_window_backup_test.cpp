// The buttons spSauve and spCharge driven offscreen: the dialogs' titles and filter, a round
// trip that gives back the table byte for byte, and a cancelled restore that only redisplays.
#include <QToolButton>

#include "records/article_table.h"
#include "records/record_statements.h"
#include "shell_fixture.h"

namespace vekrano::app::testing {
namespace {

using vekrano::testing::readFileBytes;

class FileDesktop : public AnsweringDesktop {
 public:
  QString openFileName(QWidget*, const QString& title, const QString& filter) override {
    titles.push_back(title + "|" + filter);
    return chosen;
  }
  QString saveFileName(QWidget*, const QString& title, const QString& filter) override {
    titles.push_back(title + "|" + filter);
    return chosen;
  }
  QString chosen;
  QStringList titles;
};

class BackupButtons : public ShellTest {
 protected:
  TFprincip& startWith(FileDesktop& files) {
    window = std::make_unique<TFprincip>(dir(), files, data);
    window->FormShow();
    window->FormActivate();
    return *window;
  }
  void click(const char* name) { window->findChild<QToolButton*>(name)->click(); }
};

TEST_F(BackupButtons, RoundTripOfFiveThousandRecordsGivesBackTheTable) {
  FileDesktop files;
  startWith(files);
  data.openData();
  for (int n = 1; n <= 5000; ++n) {
    data.executeStatement("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(n) + ",\"C" +
                          std::to_string(n) + "\",\"L\", \"M\", 1, \"O\" )");
  }
  vekrano::testing::TempDir archives;
  files.chosen = QString::fromStdString(archives.file("copie"));  // no extension typed
  click("spSauve");
  ASSERT_TRUE(std::filesystem::exists(archives.file("copie.vkb")));
  EXPECT_EQ(files.titles.at(0), "Indiquez le fichier de sauvegarde|Vekrano (*.vkb)");
  data.closeData();
  const std::string saved = readFileBytes(dir() + "article.dbf");
  data.openData();
  data.executeStatement("delete from article where num>10");

  files.chosen = QString::fromStdString(archives.file("copie.vkb"));
  // The restore asks first, naming the records it would replace; No is the default and keeps them.
  prompts.answers = {common::PromptAnswer::No};
  click("spCharge");
  EXPECT_EQ(files.titles.at(1), QString::fromUtf8("Sélectionnez le fichier de sauvegarde|Vekrano (*.vkb)"));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].caption, "Demande de confirmation");
  EXPECT_EQ(prompts.shown[0].text, "Le chargement de la sauvegarde remplacera les 10 fiches actuelles. Continuer ?");
  EXPECT_TRUE(prompts.shown[0].noIsDefault);
  ASSERT_TRUE(data.sqlQuery1.Active());
  EXPECT_EQ(data.sqlQuery1.RecordCount(), 10);
  click("spCharge");
  ASSERT_EQ(prompts.shown.size(), 2u) << prompts.shown.back().text;
  // The list shows the restored records.
  EXPECT_TRUE(data.tarticle.Active());
  ASSERT_TRUE(data.sqlQuery1.Active());
  EXPECT_EQ(data.sqlQuery1.RecordCount(), 5000);
  data.closeData();
  EXPECT_EQ(readFileBytes(dir() + "article.dbf"), saved);
}

TEST_F(BackupButtons, ADamagedArchiveIsReportedAndACancelledDialogOnlyRedisplays) {
  FileDesktop files;
  startWith(files);
  data.openData();
  data.executeStatement(
      "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"A\",\"L\", \"M\", 1, \"O\" )");
  data.closeData();
  const std::string table = readFileBytes(dir() + "article.dbf");
  data.openData();
  vekrano::testing::TempDir archives;
  vekrano::testing::writeFileBytes(archives.file("bad.vkb"), std::string("\0\0\0\0\x10", 5));
  files.chosen = QString::fromStdString(archives.file("bad.vkb"));
  data.sqlQuery1.Close();
  click("spCharge");
  ASSERT_EQ(prompts.shown.size(), 2u);  // the question, then the failure
  EXPECT_EQ(prompts.shown[1].text,
            "Cannot read archive\nLa restauration n'a pas abouti : les donn\xE9"
            "es n'ont pas \xE9t\xE9 modifi\xE9"
            "es.");
  // The list is shown again over the table left as it was.
  ASSERT_TRUE(data.sqlQuery1.Active());
  EXPECT_EQ(data.sqlQuery1.RecordCount(), 1);
  files.chosen.clear();
  data.sqlQuery1.Close();
  click("spSauve");
  EXPECT_FALSE(data.sqlQuery1.Active());  // a cancelled backup does nothing
  click("spCharge");
  EXPECT_EQ(prompts.shown.size(), 2u);
  EXPECT_TRUE(data.sqlQuery1.Active());  // a cancelled restore re-displays the list
  data.closeData();
  EXPECT_EQ(readFileBytes(dir() + "article.dbf"), table);
}

// The table's own file as the archive, and a restore while another program has the table open:
// both refused with their reason, the table and the list as they were.
TEST_F(BackupButtons, TheTableAsArchiveAndATableOpenElsewhereAreRefused) {
  FileDesktop files;
  startWith(files);
  data.openData();
  for (int n = 1; n <= 3; ++n) {
    data.executeStatement("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(n) + ",\"C" +
                          std::to_string(n) + "\",\"L\", \"M\", 1, \"O\" )");
  }
  vekrano::testing::TempDir archives;
  files.chosen = QString::fromStdString(archives.file("copie.vkb"));
  click("spSauve");
  data.closeData();
  const std::string table = readFileBytes(dir() + "article.dbf");
  data.openData();

  files.chosen = QString::fromStdString(dir() + "article.dbf");
  click("spSauve");
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text,
            "L'archive ne peut pas remplacer un fichier de la table.\n"
            "La sauvegarde n'a pas abouti : aucune archive n'a \xE9t\xE9 laiss\xE9"
            "e.");

  dbase::TTzDbf elsewhere("elsewhere");
  records::configureArticleTable(elsewhere, dir());
  elsewhere.Open();
  files.chosen = QString::fromStdString(archives.file("copie.vkb"));
  data.executeStatement("delete from article where num=3");
  click("spCharge");  // the question of what the restore replaces is answered Yes, then refused
  ASSERT_EQ(prompts.shown.size(), 3u);
  EXPECT_EQ(prompts.shown[2].text,
            "Un autre programme a la table ouverte : fermez-le puis recommencez.\n"
            "La restauration n'a pas abouti : les donn\xE9"
            "es n'ont pas \xE9t\xE9 modifi\xE9"
            "es.");
  ASSERT_TRUE(data.sqlQuery1.Active());
  EXPECT_EQ(data.sqlQuery1.RecordCount(), 2);  // the list shows the table that stayed
  elsewhere.Close();
  click("spCharge");
  EXPECT_EQ(prompts.shown.size(), 4u);  // the question alone
  EXPECT_EQ(data.sqlQuery1.RecordCount(), 3);
  data.closeData();
  EXPECT_EQ(readFileBytes(dir() + "article.dbf"), table);
}

}  // namespace
}  // namespace vekrano::app::testing
