// The main window's start, activation and close handlers and its tool bar commands.
#include "app/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QTableView>
#include <QTimer>

#include "app/about_window.h"
#include "app/desktop.h"
#include "app/index_repair_notice.h"
#include "app/printer_list.h"
#include "app/program_directory.h"
#include "app/qt_prompts.h"
#include "app/settings_page.h"
#include "app/user_manual.h"
#include "common/prompts.h"
#include "dbase/dbase_error.h"
#include "import/import_wizard.h"
#include "languages/interface_font.h"
#include "languages/interface_texts.h"
#include "languages/language_choice_window.h"
#include "languages/language_manager.h"
#include "languages/qt_text.h"
#include "printing/label_types.h"
#include "records/article_data.h"
#include "records/record_editor.h"

namespace vekrano::app {

namespace {

// The save failure is reported in French whatever the language.
constexpr const char* kSaveFailedText = "Il y a eu un probl\xE8me";
constexpr const char* kSaveFailedCaption = "Fichier non sauvegard\xE9 !!";

}  // namespace

TFprincip::TFprincip(std::string programDirectory, Desktop& desktop, records::ArticleData& data, QWidget* parent)
    : QMainWindow(parent), programDirectory_(std::move(programDirectory)), desktop_(desktop), data_(data) {
  setObjectName("Fprincip");
  createControls();
  FormCreate();
  connectRecordsPage();
  connectPrintingPage();
  connectSettingsPage();
  connectImportCommand();
  cremodcpte_ = new records::Tfcremodcpte(
      data_, [](const std::exception& error) { showApplicationError(error); }, this);
  apropos_ = new Tfapropos(this);
  choixlangue_ = new languages::Tfchoixlangue(this);
}

TFprincip::~TFprincip() {
  if (languages::languageManager() == languageManager_.get()) languages::setLanguageManager(nullptr);
}

void TFprincip::FormCreate() {
  // Table failures must reach the user as exceptions, never end the program with a halt box.
  dbase::setAutoErrorReporting(false);
  firstActivation_ = true;
  languageManager_ = std::make_unique<languages::Tgerelanguage>();
  languageManager_->setFileName(findProgramFile(programDirectory_, languages::kLanguageFileName));
  languageManager_->Load();
  languages::setLanguageManager(languageManager_.get());
  if (languageManager_->Loaded()) settingsPage_->hideLanguageChoice();
  printing::BuildLabelTypeList(*combListeEtiquette_);
  combImprimante_->addItems(desktop_.printerNames());
}

void TFprincip::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FormShow();
  // Without a window manager no activation may ever arrive; the guard makes this harmless.
  QTimer::singleShot(0, this, &TFprincip::FormActivate);
}

void TFprincip::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TFprincip::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TFprincip::FormShow() {
  if (shown_) return;
  shown_ = true;
  grid_->setFocus(Qt::OtherFocusReason);  // the list is where a keyboard user starts
  // A table or list that cannot be opened leaves the list empty; later commands report it.
  try {
    checkIndexAtStart(data_.tarticle);
    data_.openData();
    openList();
  } catch (...) {
  }
}

void TFprincip::FormActivate() {
  if (!firstActivation_) return;
  firstActivation_ = false;
  languages::ApplyInterfaceFont(languageManager_.get(), {this, cremodcpte_, importWizard_});
  bool existed = loadSettings(programDirectory_, settings_);
  languages::setLanguageNumber(settings_.languageNumber);
  if (!existed && !languages::languageFileInForce()) desktop_.runModal(*choixlangue_);
  ApplyMainTexts();
  showRecordCount();
  settingsPage_->languageButtons().check(languages::languageNumber());
  if (settings_.labelTypeIndex >= 0 && settings_.labelTypeIndex < combListeEtiquette_->count()) {
    combListeEtiquette_->setCurrentIndex(settings_.labelTypeIndex);
  }
  // At the very first start no printer was chosen yet: the system's default one is.
  const QString printer = existed ? languages::toQt(settings_.printerName) : desktop_.defaultPrinterName();
  selectPrinterByName(*combImprimante_, printer);
}

void TFprincip::FormClose() {
  if (closed_) return;
  closed_ = true;
  settings_.languageNumber = languages::languageNumber();
  settings_.labelTypeIndex = combListeEtiquette_->currentIndex();
  settings_.printerName = languages::fromQt(combImprimante_->currentText()).substr(0, kPrinterNameLength);
  if (!saveSettings(programDirectory_, settings_)) {
    common::prompts().beep();
    common::showMessage(kSaveFailedText, kSaveFailedCaption);
  }
  data_.closeData();
  languages::setLanguageManager(nullptr);
  languageManager_.reset();
}

void TFprincip::sbinfosClick() { desktop_.runModal(*apropos_); }

void TFprincip::spAideClick() {
  openHelp(desktop_, programDirectory_, executableDirectory(), languages::languageNumber());
}

void TFprincip::btappliquerClick() {
  // The label type list is rebuilt in the new language and sorted anew: the chosen type is found
  // again by its number, so that nothing is printed on another sheet.
  const std::optional<int> type = printing::labelTypeAt(*combListeEtiquette_, combListeEtiquette_->currentIndex());
  languages::setLanguageNumber(settingsPage_->languageButtons().chosen());
  ApplyMainTexts();
  for (int i = 0; type && i < combListeEtiquette_->count(); ++i) {
    if (printing::labelTypeAt(*combListeEtiquette_, i) == type) {
      combListeEtiquette_->setCurrentIndex(i);
    }
  }
  showRecordCount();
}

}  // namespace vekrano::app
