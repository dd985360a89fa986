// The controls of the main window, with the French texts of the layout; the interface texts
// replace them at the first activation.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/app_pictures.h"
#include "app/main_window.h"
#include "list/record_grid_delegate.h"
#include "list/record_grid_view.h"
#include "list/record_list_model.h"
#include "printing/printer_calibration.h"
#include "records/article_data.h"

namespace vekrano::app {

namespace {

template <typename T>
T* named(T* object, const char* name) {
  object->setObjectName(name);
  return object;
}

QString utf8(const char* text) { return QString::fromUtf8(text); }

// A calibration value with one decimal, in steps of 0.1.
QDoubleSpinBox* calibrationBox(QWidget* parent, const char* name, double low, double high,
                               double value) {
  auto* box = named(new QDoubleSpinBox(parent), name);
  box->setDecimals(1);
  box->setSingleStep(0.1);
  box->setRange(low, high);
  box->setValue(value);
  return box;
}

QToolButton* toolButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                        const char* text, const char* hint) {
  auto* button = named(new QToolButton(parent), name);
  button->setIcon(parent->style()->standardIcon(icon));
  button->setToolTip(utf8(hint));
  if (text != nullptr) {
    button->setText(utf8(text));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  }
  return button;
}

QGroupBox* group(QWidget* parent, const char* name, const char* title) {
  return named(new QGroupBox(utf8(title), parent), name);
}

QPushButton* button(QWidget* parent, const char* name, const char* text, const char* hint = "") {
  auto* b = named(new QPushButton(utf8(text), parent), name);
  b->setToolTip(utf8(hint));
  return b;
}

template <typename Button>
Button* choice(QWidget* parent, const char* name, const char* text, bool checked) {
  auto* b = named(new Button(utf8(text), parent), name);
  b->setChecked(checked);
  return b;
}

// An edit with its label right above it; the label is named after the edit with "EditLabel".
// The top flag group beside them is taller: the pair meets at the line between the rows.
QLineEdit* labeledEdit(QWidget* parent, QGridLayout* grid, int column, const char* name,
                       const char* label, int maxLength) {
  auto* edit = named(new QLineEdit(parent), name);
  edit->setMaxLength(maxLength);
  auto* caption = new QLabel(utf8(label), parent);
  caption->setObjectName(QString(name) + "EditLabel");
  caption->setBuddy(edit);
  grid->addWidget(caption, 0, column, Qt::AlignBottom);
  grid->addWidget(edit, 1, column, Qt::AlignTop);
  return edit;
}

}  // namespace

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
  pagePrincipal_->addTab(createAccountsPage(), utf8("Gestion des fiches"));
  pagePrincipal_->addTab(createPrintingPage(), utf8("Impression"));
  pagePrincipal_->addTab(createParametersPage(), utf8("Parametres"));
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
  row->addWidget(toolButton(bar, "spCharge", QStyle::SP_DialogOpenButton, nullptr,
                            "Charger une sauvegarde"));
  row->addWidget(toolButton(bar, "spSauve", QStyle::SP_DialogSaveButton, nullptr,
                            "Faire une sauvegarde"));
  QToolButton* infos = toolButton(bar, "sbinfos", QStyle::SP_MessageBoxInformation, "Infos",
                                  "Informations sur le logiciel");
  connect(infos, &QToolButton::clicked, this, &TFprincip::sbinfosClick);
  row->addWidget(infos);
  QToolButton* help = toolButton(bar, "spAide", QStyle::SP_DialogHelpButton, "Aide", "Voir l aide");
  connect(help, &QToolButton::clicked, this, &TFprincip::spAideClick);
  row->addWidget(help);
  row->addStretch();
  return bar;
}

QWidget* TFprincip::createAccountsPage() {
  auto* page = named(new QWidget, "Tabcompte");
  auto* layout = new QVBoxLayout(page);

  QGroupBox* criteria = group(page, "gbcritere",
                              "Restreindre l'affichage aux fiches correspondant aux criteres suivants");
  auto* criteriaGrid = new QGridLayout(criteria);
  criteriaGrid->setVerticalSpacing(2);
  labeledEdit(criteria, criteriaGrid, 0, "TexCb", "Code Barre", 13);
  labeledEdit(criteria, criteriaGrid, 1, "text1", "Texte 1 ", 100);
  labeledEdit(criteria, criteriaGrid, 2, "text2", "Texte 2 ", 100);
  QGroupBox* top = group(criteria, "gbtop", "Critere sur la zone top");
  auto* topLayout = new QVBoxLayout(top);
  topLayout->addWidget(choice<QRadioButton>(top, "Ratop", "Fiches topées", false));
  topLayout->addWidget(choice<QRadioButton>(top, "ranontop", "Fiches non topées", false));
  topLayout->addWidget(choice<QRadioButton>(top, "Ratoutes", "Toutes les fiches", true));
  criteriaGrid->addWidget(top, 0, 3, 2, 1);
  criteriaGrid->addWidget(toolButton(criteria, "SpeedButton1", QStyle::SP_BrowserReload, nullptr,
                                     "Réafficher la liste des fiches par rapport aux criteres"),
                          1, 4, Qt::AlignTop);
  layout->addWidget(criteria);

  grid_ = named(new QTableView(page), "s");
  listModel_ = new list::RecordListModel(data_.DataSource1, grid_);
  const char* titles[] = {"num", "Code Barre", "Texte 1", "Texte 2", "Qtite", "Top"};
  for (int c = 0; c < 6; ++c) listModel_->setHeaderData(c, Qt::Horizontal, utf8(titles[c]));
  grid_->setModel(listModel_);
  grid_->setItemDelegate(new list::RecordGridDelegate(grid_));
  grid_->setColumnHidden(0, true);
  for (int c = 1; c < 6; ++c) {
    if (list::kGridColumns[c].width > 0) grid_->setColumnWidth(c, list::kGridColumns[c].width);
  }
  QPalette gridColours = grid_->palette();
  gridColours.setColor(QPalette::Base, Qt::white);
  grid_->setPalette(gridColours);
  grid_->setFrameShape(QFrame::NoFrame);
  // Several rows may be picked for printing; the current row stays the one commands act on.
  grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  QFont titleFont("MS Sans Serif");
  titleFont.setPixelSize(13);
  titleFont.setBold(true);
  grid_->horizontalHeader()->setFont(titleFont);
  QFont gridFont("Times New Roman");
  gridFont.setPixelSize(13);
  gridFont.setBold(true);
  grid_->setFont(gridFont);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setTabKeyNavigation(false);  // Tab leaves the grid for the next control
  list::arrangeRecordGrid(*grid_);
  auto* menu = named(new QMenu(grid_), "popupcompte");
  named(menu->addAction(utf8("Ajouter")), "majoutcompte");
  named(menu->addAction(utf8("Voir/modifier")), "mvisumodifcompte");
  named(menu->addAction(utf8("Supprimer")), "msupprimecompte");
  named(menu->addAction(utf8("Changer le top")), "Changerletop1");
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid_, &QWidget::customContextMenuRequested, menu,
          [this, menu](const QPoint& at) { menu->popup(grid_->viewport()->mapToGlobal(at)); });
  layout->addWidget(grid_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(button(page, "sAjout", "Ajouter", "Ajouter une fiche code barre"));
  buttons->addWidget(button(page, "smodif", "Voir/modifier",
                            "Voir/modifier la fiche code barre selectionnée"));
  buttons->addWidget(button(page, "ssupprime", "Supprimer",
                            "Supprimer la fiche code barre sélectionné"));
  buttons->addStretch();
  buttons->addWidget(button(page, "bimport", "Importation",
                            "Importer à partir d'un fichier texte"));
  buttons->addWidget(button(page, "bexport", "Exporter la liste",
                            "Écrire les fiches de la liste dans un fichier CSV"));
  // Enter presses the button that has the focus, as Space does.
  for (int i = 0; i < buttons->count(); ++i) {
    if (auto* pushButton = qobject_cast<QPushButton*>(buttons->itemAt(i)->widget())) pushButton->setAutoDefault(true);
  }
  layout->addLayout(buttons);
  return page;
}

QWidget* TFprincip::createPrintingPage() {
  auto* page = named(new QWidget, "Tabimpression");
  auto* layout = new QVBoxLayout(page);
  QGroupBox* settings = group(page, "gpImp", "Paramétrage de l'impression");
  auto* inside = new QVBoxLayout(settings);
  inside->addWidget(named(new QLabel(utf8("Type d'étiquettes"), settings), "Labtypeeti"));
  combListeEtiquette_ = named(new QComboBox(settings), "CombListeEtiquette");
  combListeEtiquette_->setMaxVisibleItems(10);
  // As wide as the longest name, within reason: a language file may hold names of 100 letters.
  combListeEtiquette_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  combListeEtiquette_->setMaximumWidth(70 * combListeEtiquette_->fontMetrics().averageCharWidth());
  inside->addWidget(combListeEtiquette_, 0, Qt::AlignLeft);
  auto* firstRow = new QHBoxLayout;
  spinPremPos_ = named(new QSpinBox(settings), "SpinPremPos");
  spinPremPos_->setRange(1, 1);
  auto* firstLabel = named(new QLabel(utf8("Première position libre sur la première feuille"), settings),
                           "LabPremPos");
  firstLabel->setBuddy(spinPremPos_);
  firstRow->addWidget(firstLabel);
  firstRow->addWidget(spinPremPos_);
  firstRow->addStretch();
  inside->addLayout(firstRow);
  inside->addWidget(choice<QCheckBox>(settings, "topimpTexte1", "Imprimer le texte1", true));
  inside->addWidget(choice<QCheckBox>(settings, "topimpTexte2", "Imprimer le texte2", true));

  QGroupBox* extra = group(settings, "gbcritsup", "Critère supplémentaire");
  auto* extraLayout = new QVBoxLayout(extra);
  // The picked records beside all of them, so that the page keeps within the window's height.
  auto* wholeOrPicked = new QHBoxLayout;
  wholeOrPicked->addWidget(
      choice<QRadioButton>(extra, "Ratoutefiche", "Imprimer toutes les fiches", false));
  wholeOrPicked->addWidget(
      choice<QRadioButton>(extra, "Rafichesel", "Seulement les fiches sélectionnées", false));
  wholeOrPicked->addStretch();
  extraLayout->addLayout(wholeOrPicked);
  extraLayout->addWidget(choice<QRadioButton>(
      extra, "Rafichem", "Imprimer seulement les fiches correspondant aux critères", true));
  inside->addWidget(extra);

  QGroupBox* printer = group(settings, "Gimprimante", "Imprimante");
  auto* printerLayout = new QVBoxLayout(printer);
  combImprimante_ = named(new QComboBox(printer), "CombImprimante");
  printerLayout->addWidget(combImprimante_);
  inside->addWidget(printer);

  QGroupBox* calibration = group(settings, "gbCalibration", "Calibration de l'imprimante");
  // One row, so that the page keeps within the window's height; the test sheet button stands
  // with the other print buttons.
  auto* calibrationRow = new QHBoxLayout(calibration);
  const auto addValue = [&](const char* labelName, const char* text, QDoubleSpinBox* box) {
    auto* label = named(new QLabel(utf8(text), calibration), labelName);
    label->setBuddy(box);
    calibrationRow->addWidget(label);
    calibrationRow->addWidget(box);
  };
  using printing::kMaxOffsetMm;
  addValue("LabDecalH", "Décalage horizontal (mm)",
           calibrationBox(calibration, "SpinDecalH", -kMaxOffsetMm, kMaxOffsetMm, 0));
  addValue("LabDecalV", "Décalage vertical (mm)",
           calibrationBox(calibration, "SpinDecalV", -kMaxOffsetMm, kMaxOffsetMm, 0));
  addValue("LabEchelle", "Échelle (%)",
           calibrationBox(calibration, "SpinEchelle", printing::kMinScalePercent,
                          printing::kMaxScalePercent, printing::kDefaultScalePercent));
  calibrationRow->addStretch();
  inside->addWidget(calibration);

  QGroupBox* print = group(settings, "gbpcodbar", "Imprimer les codes barres");
  auto* printLayout = new QHBoxLayout(print);
  printLayout->addWidget(button(print, "btimprime", "Lancer l'impression"));
  printLayout->addWidget(button(print, "btimprimePdf", "Imprimer dans un fichier PDF"));
  printLayout->addWidget(button(print, "btApercu", "Aperçu avant impression"));
  printLayout->addWidget(button(print, "btPageTest", "Imprimer une page de test"));
  inside->addWidget(print);
  layout->addWidget(settings);
  layout->addStretch();
  return page;
}

QWidget* TFprincip::createParametersPage() {
  auto* page = named(new QWidget, "tabpara");
  auto* layout = new QVBoxLayout(page);
  auto* inner = named(new QTabWidget(page), "PageParametres");
  auto* operations = named(new QWidget, "tabopdiv");
  auto* opLayout = new QVBoxLayout(operations);

  QGroupBox* language = group(operations, "GLangue", "Langue");
  gLangue_ = language;
  auto* languageGrid = new QGridLayout(language);
  languageButtons_ = languages::LanguageButtons::create(
      language, languageGrid, {utf8("Français"), "English", "Portugues", "Espanol"});
  QPushButton* apply = button(language, "btappliquer", "Appliquer");
  connect(apply, &QPushButton::clicked, this, &TFprincip::btappliquerClick);
  languageGrid->addWidget(apply, 4, 1);
  opLayout->addWidget(language);

  QGroupBox* exceptional = group(operations, "gpopexe", "Opérations exceptionnelles");
  auto* exceptionalLayout = new QHBoxLayout(exceptional);
  exceptionalLayout->addWidget(
      button(exceptional, "sdetruiretoutedonnee", "Reinitialiser toutes les données"));
  opLayout->addWidget(exceptional);
  opLayout->addStretch();

  inner->addTab(operations, utf8("Opérations diverses"));
  layout->addWidget(inner);
  return page;
}

QWidget* TFprincip::createBottomRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch();
  QToolButton* quit =
      toolButton(row, "Squitter", QStyle::SP_DialogCloseButton, nullptr, "Quitter le Logiciel");
  connect(quit, &QToolButton::clicked, this, &QWidget::close);
  layout->addWidget(quit);
  return row;
}

}  // namespace vekrano::app
