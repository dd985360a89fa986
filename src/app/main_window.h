// The main window: tool bar, the three pages, the quit button and the status bar; it drives the
// start, the first activation and the close of the application.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "app/settings_file.h"
#include "printing/printer_calibration.h"

class QComboBox;
class QLabel;
class QTabWidget;
class QTableView;
class QToolButton;

namespace vekrano::list {
struct ListCriteria;
class RecordListModel;
class Tfexportliste;
}  // namespace vekrano::list

namespace vekrano::import {
class Tfimportcsv;
}  // namespace vekrano::import

namespace vekrano::records {
class ArticleData;
class Tfcremodcpte;
}  // namespace vekrano::records

namespace vekrano::languages {
class Tgerelanguage;
class Tfchoixlangue;
}  // namespace vekrano::languages

namespace vekrano::app {

class Desktop;
class PrintingPage;
class RecordsPage;
class SettingsPage;
class Tfapropos;

class TFprincip : public QMainWindow {
  Q_OBJECT

 public:
  // `programDirectory` ends with "/"; `desktop` and `data` (the table and its queries, over the
  // same directory) are borrowed for the window's life. Runs the creation
  // handler: loads the language file, builds the label type list and fills the printer list.
  TFprincip(std::string programDirectory, Desktop& desktop, records::ArticleData& data, QWidget* parent = nullptr);
  ~TFprincip() override;

  // Once per run, when first shown: opens the data and displays the list, failures ignored.
  void FormShow();
  // The first call applies the font, reads the settings, asks for the language on a first run,
  // applies the texts and restores the label type and printer; later calls do nothing.
  void FormActivate();
  // Saves the settings (beep and message on failure), closes the data, releases the language
  // manager. Runs once.
  void FormClose();
  // Rebuilds the label type list and sets every caption, hint and column title of the window
  // from the interface texts, in a fixed order.
  void ApplyMainTexts();

  void sbinfosClick();
  void spAideClick();
  void btappliquerClick();
  // Backup and restore (main_window_backup.cpp).
  void spSauveClick();
  void spChargeClick();

  // Re-displays the record list from the criteria controls and the sort state; a failure
  // reaches the general error display.
  void redisplayList();
  // The list criteria as the criteria controls hold them now.
  list::ListCriteria criteria() const;
  // The numbers of the records of the rows selected in the grid, in the list's order.
  std::vector<int> selectedRecordNumbers() const;

  // The records page's commands (buttons, the grid's pop-up menu, its double click).
  void acajoutcompteExecute();
  void acvisumodifcompteExecute();
  void acsupprimecompteExecute();
  void acchangetopExecute();
  void sdetruiretoutedonneeClick();
  // A damaged table (opened read-only): asks first, then keeps its whole records, sets the old
  // file aside, opens the table writable again and says what was kept (main_window_settings.cpp).
  void sreparertableClick();
  // Before a restore replaces the stored records: asks, naming how many there are (No is the
  // default). True when the restore may go on; an empty table asks nothing.
  bool restoreConfirmed();
  // A click on the title of grid column `column`: orders the list by it and re-displays.
  void sTitleClick(int column);

  const std::string& programDirectory() const { return programDirectory_; }
  records::ArticleData& data() { return data_; }
  Desktop& desktop() { return desktop_; }
  const ShellSettings& settings() const { return settings_; }
  languages::Tfchoixlangue& languageChoiceWindow() { return *choixlangue_; }
  Tfapropos& aboutWindow() { return *apropos_; }
  records::Tfcremodcpte& recordEditor() { return *cremodcpte_; }
  RecordsPage& recordsPage() const { return *recordsPage_; }
  PrintingPage& printingPage() const { return *printingPage_; }
  SettingsPage& settingsPage() const { return *settingsPage_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void createControls();
  QWidget* createToolBar();
  QWidget* createBottomRow();
  // The commands of each page, one file each: main_window_records.cpp,
  // main_window_printing.cpp, main_window_settings.cpp, main_window_import.cpp.
  void connectRecordsPage();
  void connectPrintingPage();
  void connectSettingsPage();
  void connectImportCommand();
  // "Only the selected records" is offered while the list shows selected records.
  void offerSelectedRecords();
  // "Export the list" (main_window_records.cpp).
  void exportList();
  // Builds the list statement and opens it in `sqlQuery1`; raises the engine's error.
  void openList();
  // The status bar's "N fiches": how many records the list shows (empty while it is closed).
  void showRecordCount();
  // The repair is offered only while the table is open read-only for its damage.
  void offerTableRepair();
  // True when the list has a current row; its number is then in `num`.
  bool currentRecordNumber(int& num);

  std::string programDirectory_;
  Desktop& desktop_;
  records::ArticleData& data_;
  std::unique_ptr<languages::Tgerelanguage> languageManager_;
  ShellSettings settings_;
  bool firstActivation_ = true;
  bool shown_ = false;
  bool closed_ = false;

  QToolButton* spCharge_ = nullptr;
  QToolButton* spSauve_ = nullptr;
  QToolButton* sbinfos_ = nullptr;
  QToolButton* spAide_ = nullptr;
  QToolButton* squitter_ = nullptr;
  QTabWidget* pagePrincipal_ = nullptr;
  RecordsPage* recordsPage_ = nullptr;
  PrintingPage* printingPage_ = nullptr;
  SettingsPage* settingsPage_ = nullptr;
  QLabel* recordCount_ = nullptr;
  // The records and printing pages' controls the commands use most.
  QTableView* grid_ = nullptr;
  list::RecordListModel* listModel_ = nullptr;
  QComboBox* combListeEtiquette_ = nullptr;
  QComboBox* combImprimante_ = nullptr;
  records::Tfcremodcpte* cremodcpte_ = nullptr;
  import::Tfimportcsv* importWizard_ = nullptr;
  list::Tfexportliste* exportChoices_ = nullptr;
  // The printer calibrations of the Printing page, as kept in the calibration file.
  printing::PrinterCalibrations calibrations_;
  bool calibrationWriteFailed_ = false;  // reported once until a write succeeds
  Tfapropos* apropos_ = nullptr;
  languages::Tfchoixlangue* choixlangue_ = nullptr;
};

}  // namespace vekrano::app
