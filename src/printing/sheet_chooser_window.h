// The chooser behind "Other sheets…" in the label type list: the sheets of the vendors' catalog
// and the user's own, searchable, with the own sheets created, changed and deleted from here.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "printing/chosen_sheet.h"
#include "printing/sheet_list_model.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace vekrano::printing {

class SheetChooserWindow : public QDialog {
  Q_OBJECT

 public:
  // Shows a window modally and returns its result (the desktop's, or a test's answer).
  using RunModal = std::function<int(QDialog&)>;

  // `catalog` is borrowed; when `catalogInstalled` is false the window names the package that
  // brings it. Own sheets are read from and written to `ownSheetsFile`.
  SheetChooserWindow(const SheetCatalog& catalog, bool catalogInstalled, std::string ownSheetsFile, RunModal runModal,
                     QWidget* parent = nullptr);

  // Selects the row of `chosen` when it is listed.
  void select(const ChosenSheet& chosen);
  // The selected sheet (a copy) and where it comes from; nothing when no row is selected.
  std::optional<ChosenSheet> chosen() const;
  std::optional<LabelSheetSpec> chosenSheet() const;
  // Narrows the list as typing in the search field does.
  void search(const QString& text);

  // Opens the editor for a new sheet (a copy of the selected one when there is one) or for the
  // selected own sheet, and keeps what it gives; deletes the selected own sheet when the user
  // agrees. Saving failures are shown and change nothing.
  void newSheet();
  void changeSheet();
  void deleteSheet();

 private:
  int selectedRow() const;  // in the list model; -1 when none
  bool selectedIsOwn() const;
  // Writes `own` to the file and shows it; false (after a message) when it cannot be written.
  bool keep(const OwnSheets& own);
  void selectionChanged();

  std::string ownSheetsFile_;
  RunModal runModal_;
  OwnSheets own_;
  SheetListModel* sheets_;
  SheetSearchModel* found_;
  QLineEdit* searchEdit_;
  QTableView* grid_;
  QPushButton* change_;
  QPushButton* delete_;
  QPushButton* ok_;
};

}  // namespace vekrano::printing
