// The editor of an own sheet: page, grid and label sizes, with a drawing of the labels' outlines
// that follows every change and the reason when the labels leave the page or overlap.
#pragma once

#include <QDialog>
#include <optional>

#include "printing/own_sheets.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace vekrano::printing {

class OwnSheetEditor : public QDialog {
  Q_OBJECT

 public:
  explicit OwnSheetEditor(QWidget* parent = nullptr);

  // Shows `sheet`. REQUIRES: it has one grid.
  void setSheet(const LabelSheetSpec& sheet);
  // The sheet as the fields stand. A blank name becomes one made of the grid and label size;
  // tabs and line breaks in the name become blanks, and a leading "#" (which marks comments in
  // the own sheets file) is dropped.
  LabelSheetSpec sheet() const;
  // The reason shown under the drawing; nothing when the sheet can be kept.
  std::optional<SheetFault> fault() const { return sheetFault(sheet()); }

  // Closes the window accepted only when the sheet can be kept; otherwise shows the reason in
  // a message box and stays open.
  void accept() override;

 private:
  void pageChosen();
  void changed();

  QLineEdit* name_;
  QComboBox* page_;
  QDoubleSpinBox* pageWidth_;
  QDoubleSpinBox* pageHeight_;
  QSpinBox* columns_;
  QSpinBox* rows_;
  QDoubleSpinBox* labelWidth_;
  QDoubleSpinBox* labelHeight_;
  QDoubleSpinBox* left_;
  QDoubleSpinBox* top_;
  QDoubleSpinBox* pitchX_;
  QDoubleSpinBox* pitchY_;
  QLabel* problem_;
  QWidget* drawing_;
};

}  // namespace vekrano::printing
