// The import wizard's controls and handlers.
#include "import/import_wizard.h"

#include <cstring>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "common/process_events.h"
#include "common/progress_pace.h"
#include "common/prompts.h"
#include "import/import_run.h"
#include "import/import_texts.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "languages/text_file.h"

namespace vekrano::import {

namespace {

using languages::textOf;

constexpr int kFieldListCount = kUsedFieldCount;
constexpr int kNoFieldIndex = kFieldListCount;  // the eleventh entry
// The opening size; the window may be made larger for the preview, or smaller down to what its
// texts need.
constexpr int kOpeningWidthPx = 760;
constexpr int kOpeningHeightPx = 440;
// The preview's columns are sized to the fields of this many lines, and none is wider than
// kWidestColumnChars average characters.
constexpr int kSizedPreviewLines = 100;
constexpr int kWidestColumnChars = 30;

// The captions the wizard applies at each activation, by control name.
struct NamedText {
  const char* name;
  int id;
};
// clang-format off
constexpr NamedText kCaptions[] = {
    {"gparametre", kParametersGroupId}, {"Labseparateur", kSeparatorLabelId},
    {"labligne", kHeaderLinesLabelId},  {"labinfo", kTenFieldsNoteId},
    {"labLabchemFic", kPathLabelId},    {"Souvrir", kOpenFileId},
    {"gparchamp", kFieldsGroupId},      {"labcodebarre", kBarcodeLabelId},
    {"labtext1", kText1LabelId},        {"Labtext2", kText2LabelId},
    {"labquantite", kQuantityLabelId},  {"bprecedent", kPreviousId},
    {"bsuivant", kNextId},              {"bimport", kStartImportId},
    {"quotedFields", kQuotedFieldsId},
};
// clang-format on

void setCaption(QObject* control, const QString& text) {
  if (auto* label = qobject_cast<QLabel*>(control)) label->setText(text);
  if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setText(text);
  if (auto* group = qobject_cast<QGroupBox*>(control)) group->setTitle(text);
}

int fieldNumberOf(const QComboBox* list, bool mayBeNone) {
  const int number = list->currentIndex() + 1;
  return mayBeNone && list->currentIndex() == kNoFieldIndex ? kNoField : number;
}

}  // namespace

template <typename Widget>
Widget* Tfimportcsv::named(Widget* widget, const char* name) {
  widget->setObjectName(name);
  for (const NamedText& caption : kCaptions) {
    if (std::strcmp(caption.name, name) == 0) captions_.emplace_back(widget, caption.id);
  }
  return widget;
}

Tfimportcsv::Tfimportcsv(records::ArticleData& data, WizardServices services, QWidget* parent)
    : QDialog(parent), data_(data), services_(std::move(services)) {
  setObjectName("fimportcsv");
  createControls();
  setSizeGripEnabled(true);
  resize(kOpeningWidthPx, kOpeningHeightPx);
}

void Tfimportcsv::createControls() {
  pageControl1_ = named(new QStackedWidget(this), "PageControl1");
  pageControl1_->addWidget(createFileStep());
  pageControl1_->addWidget(createFieldsStep());

  labetatimport_ = named(new QLabel(this), "Labetatimport");
  labetatimport_->setStyleSheet("color: red");
  bprecedent_ = named(new QPushButton(this), "bprecedent");
  bsuivant_ = named(new QPushButton(this), "bsuivant");
  bimport_ = named(new QPushButton(this), "bimport");
  auto* sretour = named(new QPushButton(this), "sretour");
  sretour->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  connect(bprecedent_, &QPushButton::clicked, this, &Tfimportcsv::bprecedentClick);
  connect(bsuivant_, &QPushButton::clicked, this, &Tfimportcsv::bsuivantClick);
  connect(bimport_, &QPushButton::clicked, this, &Tfimportcsv::bimportClick);
  connect(sretour, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(labetatimport_, 1);
  for (QPushButton* button : {bprecedent_, bsuivant_, bimport_, sretour}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pageControl1_, 1);
  layout->addLayout(buttons);
}

QWidget* Tfimportcsv::createFileStep() {
  auto* tabSheet1 = named(new QWidget, "TabSheet1");
  auto* gparametre = named(new QGroupBox(tabSheet1), "gparametre");
  auto* grid = new QGridLayout(gparametre);
  auto* separatorLabel = named(new QLabel(gparametre), "Labseparateur");
  combSepa_ = named(new QComboBox(gparametre), "combSepa");
  combSepa_->addItems({",", ";"});
  separatorLabel->setBuddy(combSepa_);
  // Both captions end right before their lists, whichever is the longer.
  separatorLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->addWidget(separatorLabel, 0, 0);
  grid->addWidget(combSepa_, 0, 1, Qt::AlignLeft);
  auto* headerLabel = named(new QLabel(gparametre), "labligne");
  combnbLentete_ = named(new QComboBox(gparametre), "CombnbLentete");
  for (int n = 0; n <= 6; ++n) combnbLentete_->addItem(QString::number(n));
  headerLabel->setBuddy(combnbLentete_);
  headerLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->addWidget(headerLabel, 1, 0);
  grid->addWidget(combnbLentete_, 1, 1, Qt::AlignLeft);
  quotedFields_ = named(new QCheckBox(gparametre), "quotedFields");
  grid->addWidget(quotedFields_, 2, 0, 1, 3);
  grid->addWidget(named(new QLabel(gparametre), "labinfo"), 3, 0, 1, 3);
  // The path's caption stands right above it, the button that fills it beside it.
  auto* pathLabel = named(new QLabel(gparametre), "labLabchemFic");
  labchemFic_ = named(new QLineEdit(gparametre), "LabchemFic");
  labchemFic_->setReadOnly(true);
  labchemFic_->setMinimumWidth(labchemFic_->fontMetrics().averageCharWidth() * 40);
  pathLabel->setBuddy(labchemFic_);
  grid->addWidget(pathLabel, 4, 0, 1, 3);
  grid->addWidget(labchemFic_, 5, 0, 1, 2);
  auto* souvrir = named(new QPushButton(gparametre), "Souvrir");
  connect(souvrir, &QPushButton::clicked, this, &Tfimportcsv::SouvrirClick);
  grid->addWidget(souvrir, 5, 2);
  grid->setColumnStretch(1, 1);
  auto* page1 = new QVBoxLayout(tabSheet1);
  page1->addWidget(gparametre);
  page1->addStretch(1);
  return tabSheet1;
}

QWidget* Tfimportcsv::createFieldsStep() {
  auto* tabSheet2 = named(new QWidget, "TabSheet2");
  auto* page2 = new QVBoxLayout(tabSheet2);
  page2->setContentsMargins(0, 0, 0, 0);
  sgrille1_ = named(new QTableWidget(tabSheet2), "sgrille1");
  sgrille1_->horizontalHeader()->hide();
  sgrille1_->verticalHeader()->hide();
  sgrille1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgrille1_->setWordWrap(false);
  // Column widths follow the first lines only, so that a long file opens at once.
  sgrille1_->horizontalHeader()->setResizeContentsPrecision(kSizedPreviewLines);
  page2->addWidget(sgrille1_, 1);
  // The field choices stand in one row under the preview, each caption above its list, so that
  // the preview keeps the window's whole width.
  auto* gparchamp = named(new QGroupBox(tabSheet2), "gparchamp");
  auto* fields = new QGridLayout(gparchamp);
  int column = 0;
  auto addList = [&](const char* label, const char* list) {
    auto* caption = named(new QLabel(gparchamp), label);
    auto* combo = named(new QComboBox(gparchamp), list);
    caption->setBuddy(combo);
    fields->addWidget(caption, 0, column);
    fields->addWidget(combo, 1, column);
    fields->setColumnStretch(column++, 1);
    return combo;
  };
  combcb_ = addList("labcodebarre", "combcb");
  combt1_ = addList("labtext1", "combt1");
  combt2_ = addList("Labtext2", "combt2");
  combQuantite_ = addList("labquantite", "combQuantite");
  page2->addWidget(gparchamp);
  return tabSheet2;
}

void Tfimportcsv::showEvent(QShowEvent* event) {
  FormActivate();
  QDialog::showEvent(event);
}

void Tfimportcsv::FormActivate() {
  setWindowTitle(textOf(kWindowCaptionId));
  for (const auto& [control, id] : captions_) setCaption(control, textOf(id));
  fillFieldLists();
  combnbLentete_->setCurrentIndex(0);
  combSepa_->setCurrentIndex(0);
  quotedFields_->setChecked(false);
  combcb_->setCurrentIndex(0);
  combt1_->setCurrentIndex(1);
  combt2_->setCurrentIndex(2);
  combQuantite_->setCurrentIndex(kNoFieldIndex);
  resetGrid();
  showStep(1);
}

void Tfimportcsv::fillFieldLists() {
  for (QComboBox* list : {combcb_, combt1_, combt2_, combQuantite_}) {
    list->clear();
    for (int n = 1; n <= kFieldListCount; ++n) list->addItem(textOf(kFieldEntryPrefixId) + QString::number(n));
  }
  combt2_->addItem(textOf(kNoFieldEntryId));
  combQuantite_->addItem(textOf(kNoFieldEntryId));
}

void Tfimportcsv::resetGrid() {
  sgrille1_->clear();
  sgrille1_->setColumnCount(kUsedFieldCount + 1);
  sgrille1_->setRowCount(2);
  // The fixed row and column of the grid are its first row and column, drawn as titles.
  for (int n = 1; n <= kUsedFieldCount; ++n) {
    auto* title = new QTableWidgetItem(textOf(kColumnPrefixId) + QString::number(n));
    title->setFlags(Qt::ItemIsEnabled);
    title->setBackground(palette().button());
    sgrille1_->setItem(0, n, title);
  }
  sizePreviewColumns();
}

void Tfimportcsv::sizePreviewColumns() {
  sgrille1_->resizeColumnsToContents();
  const int widest = sgrille1_->fontMetrics().averageCharWidth() * kWidestColumnChars;
  for (int n = 1; n <= kUsedFieldCount; ++n) {
    sgrille1_->setColumnWidth(n, std::min(sgrille1_->columnWidth(n), widest));
  }
  sgrille1_->setColumnWidth(0, sgrille1_->fontMetrics().averageCharWidth() * 2);
}

void Tfimportcsv::showStep(int step) {
  step_ = step;
  pageControl1_->setCurrentIndex(step - 1);
  bprecedent_->setEnabled(step == 2);
  bsuivant_->setEnabled(step == 1);
  bimport_->setVisible(step == 2);
}

void Tfimportcsv::SouvrirClick() {
  const QString path = services_.openFileName(this, QString::fromUtf8(kFileDialogTitle), kFileDialogFilter);
  if (!path.isEmpty()) labchemFic_->setText(path);
}

void Tfimportcsv::bsuivantClick() {
  if (step_ != 1) return;
  if (labchemFic_->text().isEmpty()) {
    common::showMessage(languages::GetText(kNoPathId), languages::GetText(kAbandonCaptionId));
    return;
  }
  const std::string path = labchemFic_->text().toStdString();
  std::error_code ignored;
  if (std::filesystem::exists(path, ignored)) {
    try {
      fillPreview(path);
    } catch (const std::exception& error) {
      services_.showError(error);
    }
  }
  showStep(2);
}

void Tfimportcsv::fillPreview(const std::string& path) {
  CsvFile file(path, options());
  CsvRecord record;
  resetGrid();
  for (int r = 1; file.Next(record); ++r) {
    sgrille1_->setRowCount(r + 2);
    for (std::size_t n = 0; n < record.fields.size(); ++n) {
      sgrille1_->setItem(r, static_cast<int>(n) + 1, new QTableWidgetItem(QString::fromStdString(record.fields[n])));
    }
  }
  sizePreviewColumns();
}

void Tfimportcsv::bprecedentClick() {
  if (step_ == 2) showStep(1);
}

void Tfimportcsv::reject() {
  if (!importing_) QDialog::reject();
}

void Tfimportcsv::bimportClick() {
  if (importing_) return;
  importing_ = true;
  bimport_->setEnabled(false);
  bprecedent_->setEnabled(false);
  try {
    CsvFile file(labchemFic_->text().toStdString(), options());
    // Painting and processing events at every line would cost more than importing it.
    common::ProgressPace pace;
    const ImportResult result = runImport(file, mapping(), options().quoted, data_, [this, &pace](int k) {
      if (!pace.Due()) return;
      if (k >= 2) labetatimport_->setText(languages::toQt(importedCountText(k)));
      common::processEvents();
    });
    common::showMessage(importEndMessage(result), languages::GetText(kImportEndCaptionId));
    labetatimport_->clear();
    accept();
  } catch (const std::exception& error) {
    services_.showError(error);
  }
  importing_ = false;
  bimport_->setEnabled(true);
  bprecedent_->setEnabled(true);
}

CsvOptions Tfimportcsv::options() const {
  return {combSepa_->currentText().toLatin1().at(0), combnbLentete_->currentIndex(), quotedFields_->isChecked()};
}

FieldMapping Tfimportcsv::mapping() const {
  return {fieldNumberOf(combcb_, false), fieldNumberOf(combt1_, false), fieldNumberOf(combt2_, true),
          fieldNumberOf(combQuantite_, true)};
}

}  // namespace vekrano::import
