#include "app/desktop.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QUrl>

namespace vekrano::app {

int QtDesktop::runModal(QDialog& dialog) { return dialog.exec(); }

QString QtDesktop::openFileName(QWidget* parent, const QString& title, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString QtDesktop::saveFileName(QWidget* parent, const QString& title, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, title, QString(), filter);
}

void QtDesktop::openDocument(const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

namespace {

// True when the associations file at `path` gives an application for one of `mimeTypes`: a
// line "type=application.desktop;" in a section that adds applications, not one that removes.
bool associatesAny(const QString& path, const QStringList& mimeTypes) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
  bool adding = false;
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.startsWith('[')) {
      adding = line == "[Default Applications]" || line == "[Added Associations]" || line == "[MIME Cache]";
      continue;
    }
    const qsizetype equals = line.indexOf('=');
    if (!adding || equals < 0 || !mimeTypes.contains(line.left(equals).trimmed())) continue;
    const QString applications = line.mid(equals + 1);
    for (const QString& application : applications.split(';')) {
      if (!application.trimmed().isEmpty()) return true;
    }
  }
  return false;
}

}  // namespace

bool QtDesktop::canOpen(const QStringList& mimeTypes) {
  QStringList files = QStandardPaths::locateAll(QStandardPaths::GenericConfigLocation, "mimeapps.list");
  for (const char* name : {"mimeapps.list", "mimeinfo.cache"}) {
    files += QStandardPaths::locateAll(QStandardPaths::ApplicationsLocation, name);
  }
  for (const QString& file : files) {
    if (associatesAny(file, mimeTypes)) return true;
  }
  return false;
}

QStringList QtDesktop::printerNames() { return QPrinterInfo::availablePrinterNames(); }

QString QtDesktop::defaultPrinterName() { return QPrinterInfo::defaultPrinterName(); }

QString withDefaultExtension(const QString& path, const QString& extension) {
  const qsizetype nameStart = path.lastIndexOf('/') + 1;
  return path.indexOf('.', nameStart) < 0 ? path + extension : path;
}

}  // namespace vekrano::app
