#include "app/desktop.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QPrinterInfo>
#include <QUrl>

namespace vekrano::app {

int QtDesktop::runModal(QDialog& dialog) { return dialog.exec(); }

QString QtDesktop::openFileName(QWidget* parent, const QString& title, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString QtDesktop::saveFileName(QWidget* parent, const QString& title, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, title, QString(), filter);
}

void QtDesktop::openDocument(const QString& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QStringList QtDesktop::printerNames() { return QPrinterInfo::availablePrinterNames(); }

QString QtDesktop::defaultPrinterName() { return QPrinterInfo::defaultPrinterName(); }

}  // namespace vekrano::app
