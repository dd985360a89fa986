// The export window, laid out as a form above the OK and Cancel buttons.
#include "list/list_export_window.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/prompts.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"

namespace vekrano::list {
namespace {

constexpr int kTitleText = 300;
constexpr int kFileText = 302;
constexpr int kChooseText = 303;
constexpr int kEncodingText = 304;
constexpr int kFilterText = 305;
constexpr int kNoFileText = 308;
constexpr int kSeparatorText = 92;
constexpr int kCancelledCaption = 41;
constexpr int kCancelText = 197;

template <typename Widget>
Widget* named(Widget* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

}  // namespace

Tfexportliste::Tfexportliste(SaveFileName saveFileName, QWidget* parent)
    : QDialog(parent), saveFileName_(std::move(saveFileName)) {
  setObjectName("Tfexportliste");
  auto* form = new QFormLayout;
  // Captions end right before their fields, however long the longest one is.
  form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  auto* fileRow = new QHBoxLayout;
  editFichier_ = named(new QLineEdit(this), "EditFichier");
  editFichier_->setMinimumWidth(360);
  fileRow->addWidget(editFichier_, 1);
  bChoisir_ = named(new QPushButton(this), "bChoisir");
  fileRow->addWidget(bChoisir_);
  labFichier_ = named(new QLabel(this), "LabFichier");
  form->addRow(labFichier_, fileRow);
  combSepa_ = named(new QComboBox(this), "combSepa");
  combSepa_->addItems({",", ";"});
  labSeparateur_ = named(new QLabel(this), "LabSeparateur");
  form->addRow(labSeparateur_, combSepa_);
  combEncodage_ = named(new QComboBox(this), "combEncodage");
  combEncodage_->addItems({"UTF-8", "Windows-1252"});
  labEncodage_ = named(new QLabel(this), "LabEncodage");
  form->addRow(labEncodage_, combEncodage_);
  auto* buttons = new QDialogButtonBox(this);
  bExporter_ = named(new QPushButton(this), "bExporter");
  sretour_ = named(new QPushButton(this), "sretour");
  buttons->addButton(bExporter_, QDialogButtonBox::AcceptRole);
  buttons->addButton(sretour_, QDialogButtonBox::RejectRole);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);

  connect(bChoisir_, &QPushButton::clicked, this, &Tfexportliste::bChoisirClick);
  connect(buttons, &QDialogButtonBox::accepted, this, &Tfexportliste::bExporterClick);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  applyTexts();
}

void Tfexportliste::applyTexts() {
  setWindowTitle(languages::textOf(kTitleText));
  labFichier_->setText(languages::textOf(kFileText));
  bChoisir_->setText(languages::textOf(kChooseText));
  labSeparateur_->setText(languages::textOf(kSeparatorText));
  labEncodage_->setText(languages::textOf(kEncodingText));
  bExporter_->setText(languages::textOf(kTitleText));
  sretour_->setText(languages::textOf(kCancelText));
}

void Tfexportliste::bChoisirClick() {
  QString chosen = saveFileName_(this, languages::textOf(kTitleText), languages::textOf(kFilterText));
  if (chosen.isEmpty()) return;
  if (QFileInfo(chosen).suffix().isEmpty()) chosen += ".csv";
  editFichier_->setText(chosen);
}

void Tfexportliste::bExporterClick() {
  if (path().isEmpty()) {
    common::showMessage(languages::GetText(kNoFileText), languages::GetText(kCancelledCaption));
    return;
  }
  accept();
}

QString Tfexportliste::path() const { return editFichier_->text().trimmed(); }

CsvExportOptions Tfexportliste::options() const {
  CsvExportOptions options;
  options.separator = combSepa_->currentText() == ";" ? ';' : ',';
  options.encoding = combEncodage_->currentIndex() == 1 ? CsvEncoding::Windows1252 : CsvEncoding::Utf8;
  return options;
}

}  // namespace vekrano::list
