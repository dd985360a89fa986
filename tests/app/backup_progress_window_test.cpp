// The backup and restore progress window: the file being handled, its percentage and the stop
// button, in a window that keeps its width whatever the path.
#include "app/backup_progress_window.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

#include "languages/interface_texts.h"
#include "layout_findings.h"

namespace vekrano::app::testing {
namespace {

TEST(BackupProgress, ALongPathIsShortenedInItsMiddleAndTheStopButtonStops) {
  languages::setLanguageNumber(languages::kFrench);
  QWidget parent;
  BackupProgressWindow window(195, &parent);
  backup::TBackupFile component;
  window.follow(component);
  QApplication::processEvents();
  const int width = window.width();
  auto* file = window.findChild<QLabel*>("lfichier");

  const std::string path = "/home/utilisatrice/.local/share/vekrano/" + std::string(200, 'd') + "/article.dbf";
  bool goOn = true;
  component.OnProgress(component, path, 40, goOn);
  QApplication::processEvents();
  EXPECT_TRUE(goOn);
  EXPECT_EQ(window.findChild<QProgressBar*>("progression")->value(), 40);
  EXPECT_EQ(window.width(), width);
  EXPECT_TRUE(file->text().startsWith("/home/utilisatrice")) << file->text().toStdString();
  EXPECT_TRUE(file->text().endsWith("/article.dbf")) << file->text().toStdString();
  EXPECT_TRUE(file->text().contains(QChar(0x2026)));
  EXPECT_EQ(file->toolTip().toStdString(), path);
  EXPECT_EQ(layoutFindings(window), QStringList());

  // A short name shows whole.
  component.OnProgress(component, "article.mdx", 90, goOn);
  EXPECT_EQ(file->text(), "article.mdx");

  window.findChild<QPushButton*>("bannuler")->click();
  component.OnProgress(component, "", 95, goOn);
  EXPECT_FALSE(goOn);
  EXPECT_TRUE(window.stopped());
}

}  // namespace
}  // namespace vekrano::app::testing
