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
  // True when the desktop has an application for documents of any of these MIME types.
  virtual bool canOpen(const QStringList& mimeTypes) = 0;
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
  // Looks the types up in the desktop's associations: the mimeapps.list files of the user and
  // of the system, and the mimeinfo.cache of the installed applications.
  bool canOpen(const QStringList& mimeTypes) override;
  QStringList printerNames() override;
  QString defaultPrinterName() override;
};

// `path` followed by `extension` (".pdf") when its file name has no extension; unchanged
// otherwise.
QString withDefaultExtension(const QString& path, const QString& extension);

}  // namespace vekrano::app
