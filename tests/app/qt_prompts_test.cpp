// The message boxes of the program: Enter presses the default button, which is No for a question
// whose Yes erases or replaces data.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/qt_prompts.h"
#include "languages/qt_text.h"

namespace vekrano::app {
namespace {

// Shows `prompt` as the program does and presses Enter in the box.
common::PromptAnswer answeredWithEnter(const common::Prompt& prompt, QString* defaultText) {
  QTimer::singleShot(0, [defaultText] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    *defaultText = box->defaultButton() != nullptr ? box->defaultButton()->text() : QString();
    QTest::keyClick(box, Qt::Key_Return);
  });
  QtPrompts boxes;
  return boxes.show(prompt);
}

TEST(QtPrompts, EnterAnswersNoToAQuestionBeforeALossAndYesOtherwise) {
  QString defaultText;
  common::Prompt question{"Demande de confirmation", "Suppression de l article ", common::PromptKind::Question,
                          common::PromptButtons::YesNo, true};
  EXPECT_EQ(answeredWithEnter(question, &defaultText), common::PromptAnswer::No);
  EXPECT_TRUE(defaultText.contains("No"));
  question.noIsDefault = false;
  EXPECT_EQ(answeredWithEnter(question, &defaultText), common::PromptAnswer::Yes);
}

TEST(QtPrompts, ASmallBoxIsWideEnoughForItsTitle) {
  const QString title = QString::fromUtf8("Opération de sauvegarde de Vekrano en cours d'écriture");
  for (const char* text : {"OK", "Fichier introuvable : a.csv"}) {
    SCOPED_TRACE(text);
    int shownWidth = 0;
    QTimer::singleShot(0, [&shownWidth] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      shownWidth = box->width();
      QTest::keyClick(box, Qt::Key_Return);
    });
    QtPrompts boxes;
    boxes.show({languages::fromQt(title), text, common::PromptKind::Information, common::PromptButtons::Ok});
    EXPECT_GE(shownWidth, titleRoom(title));
    EXPECT_GT(titleRoom(title), QFontMetrics(QApplication::font()).horizontalAdvance(title));
  }
}

}  // namespace
}  // namespace vekrano::app
