// What the windows ask of the desktop: modal windows, file dialogs, opening a document and the
// installed printers. The program uses QtDesktop; tests answer through their own Desktop.
#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace vekrano::app {

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Shows `dialog` modally and returns its result code.
  virtual int runModal(QDialog& dialog) = 0;
  // The chosen file's path, or an empty text when the user cancels.
  virtual QString openFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
  virtual QString saveFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
  // Opens a document with the desktop's default application; failures are the desktop's.
  virtual void openDocument(const QString& path) = 0;
  // Names of the installed printers in the order the system gives them; may be empty.
  virtual QStringList printerNames() = 0;
  // The name of the system's default printer; empty when there is none.
  virtual QString defaultPrinterName() = 0;
};

class QtDesktop : public Desktop {
 public:
  int runModal(QDialog& dialog) override;
  QString openFileName(QWidget* parent, const QString& title, const QString& filter) override;
  QString saveFileName(QWidget* parent, const QString& title, const QString& filter) override;
  void openDocument(const QString& path) override;
  QStringList printerNames() override;
  QString defaultPrinterName() override;
};

}  // namespace vekrano::app
