// What the main window tests share: a desktop that answers without a screen, a program
// directory of its own, and readers of the controls' captions.
#pragma once

#include <QDialog>
#include <gtest/gtest.h>
#include <QString>
#include <QStringList>
#include <functional>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

#include "app/desktop.h"
#include "app/main_window.h"
#include "common/prompts.h"
#include "records/article_data.h"
#include "support/temp_dir.h"

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace vekrano::app::testing {

// Answers every modal window at once; the language choice window closes with `choice`
// checked (0 leaves its default).
class AnsweringDesktop : public Desktop {
 public:
  int runModal(QDialog& dialog) override;
  QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
  QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
  void openDocument(const QString& path) override { opened.push_back(path); }
  bool canOpen(const QStringList&) override { return opensHelpFiles; }
  QStringList printerNames() override { return printers; }
  QString defaultPrinterName() override { return defaultPrinter; }

  QStringList printers;
  QString defaultPrinter;
  int choice = 0;
  std::vector<QString> modalTitles;
  QStringList opened;
  bool opensHelpFiles = false;  // a viewer of vkb.chm is installed
  // Acts on a modal window before it closes (the record editor in the tests); the window's
  // own result stands when it closed itself.
  std::function<void(QDialog&)> whileShown;
};

// Answers the save dialog with `path` and keeps the title it was asked with.
class SavingDesktop : public AnsweringDesktop {
 public:
  QString saveFileName(QWidget*, const QString& title, const QString&) override {
    titles << title;
    return path;
  }
  QString path;
  QStringList titles;
};

class ShellTest : public ::testing::Test {
 protected:
  // The program directory, ending with "/".
  std::string dir() const { return directory.path().string() + "/"; }
  // Creates the window (creation handler), shows it and runs the first activation.
  TFprincip& start();
  // Closes the window (settings saved) and forgets it.
  void stop();

  vekrano::testing::TempDir directory;
  AnsweringDesktop desktop;
  records::ArticleData data{dir()};
  common::ScopedScriptedPrompts prompts;
  std::unique_ptr<TFprincip> window;
};

// The caption of a named control: button, check or radio text, group title, label text, menu
// item text, a page's tab text, or "s:<n>" for the title of column n of the grid.
QString captionOf(const QObject& window, const QString& name);
// The hint (tool tip) of a named control.
QString hintOf(const QObject& window, const QString& name);

// The settings record for these values, as the file holds it.
std::string settingsBytes(int language, int labelIndex, const std::string& printer);

}  // namespace vekrano::app::testing
