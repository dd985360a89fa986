// The export window of the records page: the CSV file to write, its field separator and its
// encoding. It keeps its choices between uses; the export itself is list_export's.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "list/list_export.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vekrano::list {

class Tfexportliste : public QDialog {
  Q_OBJECT

 public:
  // The save-file dialog: the chosen path, empty when cancelled (parent, title, filter).
  using SaveFileName = std::function<QString(QWidget*, const QString&, const QString&)>;

  explicit Tfexportliste(SaveFileName saveFileName, QWidget* parent = nullptr);

  // Sets the captions in the current language; the choices stay as they were.
  void applyTexts();
  // "Choose...": the save dialog; a chosen name without extension gets ".csv".
  void bChoisirClick();
  // OK: accepted when a file is given, otherwise a message and the window stays.
  void bExporterClick();

  QString path() const;
  CsvExportOptions options() const;

 private:
  SaveFileName saveFileName_;
  QLabel* labFichier_ = nullptr;
  QLineEdit* editFichier_ = nullptr;
  QPushButton* bChoisir_ = nullptr;
  QLabel* labSeparateur_ = nullptr;
  QComboBox* combSepa_ = nullptr;
  QLabel* labEncodage_ = nullptr;
  QComboBox* combEncodage_ = nullptr;
  QPushButton* bExporter_ = nullptr;
  QPushButton* sretour_ = nullptr;
};

}  // namespace vekrano::list
