// Qt's own texts in the interface language: the buttons of the delete question as the user sees
// them in a real message box, in each language, switched by "Appliquer".
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "app/application.h"
#include "app/qt_prompts.h"
#include "records/record_statements.h"
#include "shell_fixture.h"

namespace vekrano::app::testing {
namespace {

class QtTexts : public ShellTest {
 protected:
  // Presses "Supprimer" on the first record and answers the real question with its second
  // button ("No"); returns the texts of its buttons, mnemonics removed.
  QStringList deleteQuestionButtons() {
    QStringList texts;
    QTimer::singleShot(0, [&texts] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      for (QAbstractButton* button : box->buttons()) texts << button->text().remove('&');
      box->button(QMessageBox::No)->click();
    });
    window->findChild<QAbstractButton*>("ssupprime")->click();
    return texts;
  }
  void apply(const char* languageButton) {
    window->findChild<QAbstractButton*>(languageButton)->click();
    window->findChild<QAbstractButton*>("btappliquer")->click();
  }
};

TEST_F(QtTexts, TheDeleteQuestionAnswersInTheInterfaceLanguage) {
  vekrano::testing::writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(1, 0, ""));
  start();
  data.executeStatement(records::newRecordStatement({1, "A1", "t1", "t2", 1, "O"}));
  window->redisplayList();
  // Real message boxes for this test, the scripted answers again after it.
  struct RealBoxes {
    QtPrompts boxes;
    common::Prompts* scripted = common::setPrompts(&boxes);
    ~RealBoxes() {
      common::setPrompts(scripted);
      useQtTexts(0);
    }
  } real{QtPrompts(window.get())};

  EXPECT_EQ(deleteQuestionButtons(), (QStringList{"Oui", "Non"}));
  apply("lespagnol");
  EXPECT_EQ(deleteQuestionButtons(), (QStringList{QString::fromUtf8("Sí"), "No"}));
  apply("lportugais");
  EXPECT_EQ(deleteQuestionButtons(), (QStringList{"Sim", QString::fromUtf8("Não")}));
  apply("langlais");
  EXPECT_EQ(deleteQuestionButtons(), (QStringList{"Yes", "No"}));
  apply("lfrancais");
  EXPECT_EQ(deleteQuestionButtons(), (QStringList{"Oui", "Non"}));

  // Every answer was "No": the record is still there.
  EXPECT_EQ(data.sqlQuery1.RecordCount(), 1);
}

TEST(QtDialogTexts, FollowTheLanguageAndEnglishNeedsNoCatalogue) {
  useQtTexts(1);
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), "Enregistrer sous");
  useQtTexts(4);
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancelar");
  useQtTexts(2);
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
  useQtTexts(0);
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), "Save As");
}

}  // namespace
}  // namespace vekrano::app::testing
