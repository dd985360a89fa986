// The frame of the main window: the tool bar, the three pages, the quit button and the status
// bar, with the French texts of the layout; the interface texts replace them at the first
// activation.
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/app_pictures.h"
#include "app/main_window.h"
#include "app/named_controls.h"
#include "app/printing_page.h"
#include "app/records_page.h"
#include "app/settings_page.h"
#include "languages/qt_text.h"
#include "records/article_data.h"

namespace vekrano::app {

void TFprincip::createControls() {
  setWindowTitle("Vekrano");
  setWindowIcon(barcodePicture(32));
  setFont(QFont("MS Sans Serif", 8));
  resize(762, 611);
  if (QScreen* shownOn = screen()) move(shownOn->availableGeometry().center() - rect().center());

  auto* toolBar = named(new QToolBar(this), "ToolBar1");
  toolBar->setMovable(false);
  toolBar->addWidget(createToolBar());
  addToolBar(toolBar);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  pagePrincipal_ = named(new QTabWidget(central), "PagePrincipal");
  recordsPage_ = new RecordsPage(data_.DataSource1);
  printingPage_ = new PrintingPage;
  settingsPage_ = new SettingsPage;
  pagePrincipal_->addTab(recordsPage_, utf8("Gestion des fiches"));
  pagePrincipal_->addTab(printingPage_, utf8("Impression"));
  pagePrincipal_->addTab(settingsPage_, utf8("Parametres"));
  grid_ = &recordsPage_->grid();
  listModel_ = &recordsPage_->listModel();
  combListeEtiquette_ = &printingPage_->labelTypes();
  combImprimante_ = &printingPage_->printers();
  layout->addWidget(pagePrincipal_);
  layout->addWidget(createBottomRow());
  setCentralWidget(central);

  auto* status = named(new QStatusBar(this), "StatusBar1");
  status->addWidget(new QLabel("Vekrano", status));
  recordCount_ = named(new QLabel(status), "LabNombreFiches");
  status->addPermanentWidget(recordCount_);
  setStatusBar(status);
}

QWidget* TFprincip::createToolBar() {
  auto* bar = new QWidget(this);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  spCharge_ = toolButton(bar, "spCharge", QStyle::SP_DialogOpenButton, nullptr, "Charger une sauvegarde");
  spSauve_ = toolButton(bar, "spSauve", QStyle::SP_DialogSaveButton, nullptr, "Faire une sauvegarde");
  sbinfos_ = toolButton(bar, "sbinfos", QStyle::SP_MessageBoxInformation, "Infos", "Informations sur le logiciel");
  spAide_ = toolButton(bar, "spAide", QStyle::SP_DialogHelpButton, "Aide", "Voir l aide");
  connect(spCharge_, &QToolButton::clicked, this, &TFprincip::spChargeClick);
  connect(spSauve_, &QToolButton::clicked, this, &TFprincip::spSauveClick);
  connect(sbinfos_, &QToolButton::clicked, this, &TFprincip::sbinfosClick);
  connect(spAide_, &QToolButton::clicked, this, &TFprincip::spAideClick);
  for (QToolButton* command : {spCharge_, spSauve_, sbinfos_, spAide_}) row->addWidget(command);
  row->addStretch();
  return bar;
}

QWidget* TFprincip::createBottomRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch();
  squitter_ = toolButton(row, "Squitter", QStyle::SP_DialogCloseButton, nullptr, "Quitter le Logiciel");
  connect(squitter_, &QToolButton::clicked, this, &QWidget::close);
  layout->addWidget(squitter_);
  return row;
}

}  // namespace vekrano::app
