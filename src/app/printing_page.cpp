// The printing page's controls in one group, and the print run they describe.
#include "app/printing_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/named_controls.h"
#include "languages/qt_text.h"
#include "printing/label_types.h"

namespace vekrano::app {
namespace {

// A calibration value with one decimal, in steps of 0.1.
QDoubleSpinBox* calibrationBox(QWidget* parent, const char* name, double low, double high, double value) {
  auto* box = named(new QDoubleSpinBox(parent), name);
  box->setDecimals(1);
  box->setSingleStep(0.1);
  box->setRange(low, high);
  box->setValue(value);
  return box;
}

}  // namespace

PrintingPage::PrintingPage(QWidget* parent) : QWidget(parent) {
  setObjectName("Tabimpression");
  auto* layout = new QVBoxLayout(this);
  gpImp_ = group(this, "gpImp", "Paramétrage de l'impression");
  auto* inside = new QVBoxLayout(gpImp_);
  labtypeeti_ = named(new QLabel(utf8("Type d'étiquettes"), gpImp_), "Labtypeeti");
  inside->addWidget(labtypeeti_);
  combListeEtiquette_ = named(new QComboBox(gpImp_), "CombListeEtiquette");
  combListeEtiquette_->setMaxVisibleItems(10);
  // As wide as the longest name, within reason: a language file may hold names of 100 letters.
  combListeEtiquette_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  combListeEtiquette_->setMaximumWidth(70 * combListeEtiquette_->fontMetrics().averageCharWidth());
  inside->addWidget(combListeEtiquette_, 0, Qt::AlignLeft);
  auto* firstRow = new QHBoxLayout;
  spinPremPos_ = named(new QSpinBox(gpImp_), "SpinPremPos");
  spinPremPos_->setRange(1, 1);
  labPremPos_ = named(new QLabel(utf8("Première position libre sur la première feuille"), gpImp_), "LabPremPos");
  labPremPos_->setBuddy(spinPremPos_);
  firstRow->addWidget(labPremPos_);
  firstRow->addWidget(spinPremPos_);
  firstRow->addStretch();
  inside->addLayout(firstRow);
  topimpTexte1_ = choice<QCheckBox>(gpImp_, "topimpTexte1", "Imprimer le texte1", true);
  topimpTexte2_ = choice<QCheckBox>(gpImp_, "topimpTexte2", "Imprimer le texte2", true);
  inside->addWidget(topimpTexte1_);
  inside->addWidget(topimpTexte2_);
  inside->addWidget(createRecordChoice(gpImp_));

  gimprimante_ = group(gpImp_, "Gimprimante", "Imprimante");
  auto* printerLayout = new QVBoxLayout(gimprimante_);
  combImprimante_ = named(new QComboBox(gimprimante_), "CombImprimante");
  printerLayout->addWidget(combImprimante_);
  inside->addWidget(gimprimante_);
  inside->addWidget(createCalibration(gpImp_));
  inside->addWidget(createPrintButtons(gpImp_));
  layout->addWidget(gpImp_);
  layout->addStretch();
}

QWidget* PrintingPage::createRecordChoice(QWidget* parent) {
  gbcritsup_ = group(parent, "gbcritsup", "Critère supplémentaire");
  auto* layout = new QVBoxLayout(gbcritsup_);
  // The picked records beside all of them, so that the page keeps within the window's height.
  auto* wholeOrPicked = new QHBoxLayout;
  ratoutefiche_ = choice<QRadioButton>(gbcritsup_, "Ratoutefiche", "Imprimer toutes les fiches", false);
  rafichesel_ = choice<QRadioButton>(gbcritsup_, "Rafichesel", "Seulement les fiches sélectionnées", false);
  wholeOrPicked->addWidget(ratoutefiche_);
  wholeOrPicked->addWidget(rafichesel_);
  wholeOrPicked->addStretch();
  layout->addLayout(wholeOrPicked);
  rafichem_ =
      choice<QRadioButton>(gbcritsup_, "Rafichem", "Imprimer seulement les fiches correspondant aux critères", true);
  layout->addWidget(rafichem_);
  return gbcritsup_;
}

QWidget* PrintingPage::createCalibration(QWidget* parent) {
  gbCalibration_ = group(parent, "gbCalibration", "Calibration de l'imprimante");
  // One row, so that the page keeps within the window's height; the test sheet button stands
  // with the other print buttons.
  auto* row = new QHBoxLayout(gbCalibration_);
  const auto addValue = [&](const char* labelName, const char* text, QDoubleSpinBox* box) {
    auto* label = named(new QLabel(utf8(text), gbCalibration_), labelName);
    label->setBuddy(box);
    row->addWidget(label);
    row->addWidget(box);
    connect(box, &QDoubleSpinBox::valueChanged, this, &PrintingPage::calibrationChanged);
    return label;
  };
  using printing::kMaxOffsetMm;
  spinDecalH_ = calibrationBox(gbCalibration_, "SpinDecalH", -kMaxOffsetMm, kMaxOffsetMm, 0);
  spinDecalV_ = calibrationBox(gbCalibration_, "SpinDecalV", -kMaxOffsetMm, kMaxOffsetMm, 0);
  spinEchelle_ = calibrationBox(gbCalibration_, "SpinEchelle", printing::kMinScalePercent, printing::kMaxScalePercent,
                                printing::kDefaultScalePercent);
  labDecalH_ = addValue("LabDecalH", "Décalage horizontal (mm)", spinDecalH_);
  labDecalV_ = addValue("LabDecalV", "Décalage vertical (mm)", spinDecalV_);
  labEchelle_ = addValue("LabEchelle", "Échelle (%)", spinEchelle_);
  row->addStretch();
  return gbCalibration_;
}

QWidget* PrintingPage::createPrintButtons(QWidget* parent) {
  gbpcodbar_ = group(parent, "gbpcodbar", "Imprimer les codes barres");
  auto* layout = new QHBoxLayout(gbpcodbar_);
  btimprime_ = button(gbpcodbar_, "btimprime", "Lancer l'impression");
  btimprimePdf_ = button(gbpcodbar_, "btimprimePdf", "Imprimer dans un fichier PDF");
  btApercu_ = button(gbpcodbar_, "btApercu", "Aperçu avant impression");
  btPageTest_ = button(gbpcodbar_, "btPageTest", "Imprimer une page de test");
  for (QPushButton* print : {btimprime_, btimprimePdf_, btApercu_, btPageTest_}) layout->addWidget(print);
  connect(btimprime_, &QPushButton::clicked, this, &PrintingPage::printRequested);
  connect(btimprimePdf_, &QPushButton::clicked, this, &PrintingPage::pdfRequested);
  connect(btApercu_, &QPushButton::clicked, this, &PrintingPage::previewRequested);
  connect(btPageTest_, &QPushButton::clicked, this, &PrintingPage::testSheetRequested);
  return gbpcodbar_;
}

printing::PrintRequest PrintingPage::printRequest() const {
  printing::PrintRequest request;
  const QComboBox& types = *combListeEtiquette_;
  if (types.currentData() == printing::kListedSheetEntry && printing::listedSheetLayout()) {
    request.labelTypeEntry = languages::fromQt(types.currentText());
    request.sheetName = printing::listedSheetLayout()->name;
  } else {
    request.labelTypeEntry = printing::labelTypeEntryAt(types, types.currentIndex());
  }
  if (combImprimante_->currentIndex() >= 0) request.printerName = languages::fromQt(combImprimante_->currentText());
  request.text.printText1 = topimpTexte1_->isChecked();
  request.text.printText2 = topimpTexte2_->isChecked();
  request.firstPosition = spinPremPos_->value();
  request.printEveryRecord = ratoutefiche_->isChecked();
  return request;
}

bool PrintingPage::printsPickedRecords() const { return rafichesel_->isChecked(); }

void PrintingPage::offerPickedRecords(bool picked) {
  if (!picked && rafichesel_->isChecked()) rafichem_->setChecked(true);
  rafichesel_->setEnabled(picked);
}

printing::PrinterCalibration PrintingPage::calibration() const {
  return printing::clampCalibration({spinDecalH_->value(), spinDecalV_->value(), spinEchelle_->value()});
}

void PrintingPage::showCalibration(const printing::PrinterCalibration& calibration, bool enabled) {
  for (auto [box, number] :
       {std::pair{spinDecalH_, calibration.offsetXMm}, std::pair{spinDecalV_, calibration.offsetYMm},
        std::pair{spinEchelle_, calibration.scalePercent}}) {
    const QSignalBlocker quiet(box);
    box->setValue(number);
    box->setEnabled(enabled);
  }
}

void PrintingPage::applyTexts() {
  setTitle(*gpImp_, 23);
  labtypeeti_->setText(languages::textOf(24));
  setTexts(*topimpTexte1_, 25);
  setTexts(*topimpTexte2_, 26);
  setTitle(*gbcritsup_, 27);
  setTexts(*ratoutefiche_, 28);
  setTexts(*rafichem_, 29);
  setTexts(*rafichesel_, 311);
  setTitle(*gbpcodbar_, 30);
  setTexts(*btimprime_, 31);
  setTexts(*btimprimePdf_, 155);
  labPremPos_->setText(languages::textOf(158));
  setTexts(*btApercu_, 159);
  setTitle(*gbCalibration_, 166);
  labDecalH_->setText(languages::textOf(167));
  labDecalV_->setText(languages::textOf(168));
  labEchelle_->setText(languages::textOf(169));
  setTexts(*btPageTest_, 170);
  setTitle(*gimprimante_, 134);
}

}  // namespace vekrano::app
