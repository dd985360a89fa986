// The main window's printing page "Impression": the label type, the first free position, the
// texts and records to print, the printer and its calibration, and the print buttons. The main
// window runs the print commands.
#pragma once

#include <QWidget>

#include "printing/label_print_run.h"
#include "printing/printer_calibration.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace vekrano::app {

class PrintingPage : public QWidget {
  Q_OBJECT

 public:
  explicit PrintingPage(QWidget* parent = nullptr);

  // The run as the page stands now: label type (none when no entry with a type is selected),
  // printer, texts, first position and whether every record prints. The criteria, the picked
  // records and the order are the records page's.
  printing::PrintRequest printRequest() const;
  // "Seulement les fiches sélectionnées" is checked.
  bool printsPickedRecords() const;
  // Offers the picked records or not; without them a checked "only the selected records" goes
  // back to the criteria.
  void offerPickedRecords(bool picked);

  QComboBox& labelTypes() const { return *combListeEtiquette_; }
  QComboBox& printers() const { return *combImprimante_; }
  QSpinBox& firstPosition() const { return *spinPremPos_; }

  // The calibration in the boxes, within its limits.
  printing::PrinterCalibration calibration() const;
  // Shows `calibration` without taking it for a change of the user's.
  void showCalibration(const printing::PrinterCalibration& calibration, bool enabled);

  // Sets the captions from the interface texts.
  void applyTexts();

 signals:
  void printRequested();
  void pdfRequested();
  void previewRequested();
  void testSheetRequested();
  // The user changed a calibration box.
  void calibrationChanged();

 private:
  QWidget* createRecordChoice(QWidget* parent);
  QWidget* createCalibration(QWidget* parent);
  QWidget* createPrintButtons(QWidget* parent);

  QGroupBox* gpImp_ = nullptr;
  QLabel* labtypeeti_ = nullptr;
  QComboBox* combListeEtiquette_ = nullptr;
  QLabel* labPremPos_ = nullptr;
  QSpinBox* spinPremPos_ = nullptr;
  QCheckBox* topimpTexte1_ = nullptr;
  QCheckBox* topimpTexte2_ = nullptr;
  QGroupBox* gbcritsup_ = nullptr;
  QRadioButton* ratoutefiche_ = nullptr;
  QRadioButton* rafichesel_ = nullptr;
  QRadioButton* rafichem_ = nullptr;
  QGroupBox* gimprimante_ = nullptr;
  QComboBox* combImprimante_ = nullptr;
  QGroupBox* gbCalibration_ = nullptr;
  QLabel* labDecalH_ = nullptr;
  QLabel* labDecalV_ = nullptr;
  QLabel* labEchelle_ = nullptr;
  QDoubleSpinBox* spinDecalH_ = nullptr;
  QDoubleSpinBox* spinDecalV_ = nullptr;
  QDoubleSpinBox* spinEchelle_ = nullptr;
  QGroupBox* gbpcodbar_ = nullptr;
  QPushButton* btimprime_ = nullptr;
  QPushButton* btimprimePdf_ = nullptr;
  QPushButton* btApercu_ = nullptr;
  QPushButton* btPageTest_ = nullptr;
};

}  // namespace vekrano::app
