// The record editor's controls, opening, OK, cancel and save.
#include "records/record_editor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QValidator>
#include <QVBoxLayout>
#include <limits>

#include "common/prompts.h"
#include "dbase/dataset/dataset.h"
#include "dbase/dataset/field.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "records/article_data.h"
#include "records/entry_check.h"
#include "records/record_statements.h"

namespace vekrano::records {

namespace {

constexpr int kOpeningWidthPx = 522;
constexpr int kLabelTexts[] = {45, 46, 47, 48, 49};
constexpr int kCaptionText = 82;
constexpr int kOkHintText = 50;
constexpr int kCancelText = 51;
constexpr int kConfirmCaption = 38;
constexpr int kRefusedCaption = 52;
constexpr int kEmptyBarcodeText = 53;
constexpr int kNumberTooLargeText = 135;
constexpr int kQuantityRangeText = 136;

// Every letter typed into the barcode is shown and kept in upper case.
class UpperCaseValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

QLineEdit* edit(QWidget* parent, const char* name, const char* hint) {
  auto* line = new QLineEdit(parent);
  line->setObjectName(name);
  line->setMaxLength(100);
  line->setToolTip(hint);
  return line;
}

// The quantity a text gives: the integer it holds (blanks around it allowed), else 1. An integer
// too wide for any number is kept out of range, so that it is refused rather than taken for 1.
long long quantityOf(const QString& text) {
  bool isInteger = false;
  const long long value = text.toLongLong(&isInteger);
  if (isInteger) return value;
  static const QRegularExpression digits(R"(^\s*[+-]?\d+\s*$)");
  return digits.match(text).hasMatch() ? std::numeric_limits<long long>::max() : 1;
}

}  // namespace

Tfcremodcpte::Tfcremodcpte(ArticleData& data, std::function<void(const std::exception&)> reportError, QWidget* parent)
    : QDialog(parent), data_(data), reportError_(std::move(reportError)) {
  setObjectName("fcremodcpte");
  auto* layout = new QVBoxLayout(this);
  auto* panel = new QWidget(this);
  auto* grid = new QGridLayout(panel);
  ecb_ = edit(panel, "ecb", "Numero code barres");
  ecb_->setValidator(new UpperCaseValidator(ecb_));
  elib1_ = edit(panel, "elib1", "ligne de commentaire 1");
  elib2_ = edit(panel, "elib2", "Ligne de commentaire 2");
  QFont lineFont("Times New Roman");
  lineFont.setPixelSize(12);
  elib1_->setFont(lineFont);
  elib2_->setFont(lineFont);
  combQuantite_ = new QComboBox(panel);
  combQuantite_->setObjectName("CombQuantite");
  combQuantite_->setEditable(true);
  for (int n = 1; n <= 10; ++n) combQuantite_->addItem(QString::number(n));
  for (int n = 15; n <= 50; n += 5) combQuantite_->addItem(QString::number(n));
  combTop_ = new QComboBox(panel);
  combTop_->setObjectName("CombTop");
  combTop_->addItems({"X", ""});
  for (int i = 0; i < 5; ++i) labels_[i] = new QLabel(panel);
  QWidget* inputs[] = {ecb_, elib1_, elib2_};
  for (int row = 0; row < 3; ++row) {
    labels_[row]->setBuddy(inputs[row]);
    grid->addWidget(labels_[row], row, 0);
    grid->addWidget(inputs[row], row, 1, 1, 3);
  }
  labels_[3]->setBuddy(combQuantite_);
  labels_[4]->setBuddy(combTop_);
  // Captions end right before their inputs; the inputs take the spare width.
  for (QLabel* caption : labels_) caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  grid->addWidget(labels_[3], 3, 0);
  grid->addWidget(combQuantite_, 3, 1);
  grid->addWidget(labels_[4], 3, 2);
  grid->addWidget(combTop_, 3, 3);
  layout->addWidget(panel);
  // Spare height, when the window is made taller, goes below the inputs.
  layout->addStretch(1);

  auto* buttons = new QHBoxLayout;
  boutok_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "", this);
  boutok_->setObjectName("boutok");
  boutok_->setDefault(true);
  sretour_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), "", this);
  sretour_->setObjectName("sretour");
  sretour_->setAutoDefault(false);
  buttons->addWidget(boutok_);
  buttons->addStretch();
  buttons->addWidget(sretour_);
  layout->addLayout(buttons);
  connect(boutok_, &QPushButton::clicked, this, &Tfcremodcpte::boutokClick);
  connect(sretour_, &QPushButton::clicked, this, &Tfcremodcpte::sretourClick);
  applyTexts();
  // Wide enough for a line of text, as tall as the inputs need.
  resize(kOpeningWidthPx, sizeHint().height());
}

void Tfcremodcpte::applyTexts() {
  setWindowTitle(languages::textOf(kCaptionText));
  for (int i = 0; i < 5; ++i) labels_[i]->setText(languages::textOf(kLabelTexts[i]));
  boutok_->setToolTip(languages::textOf(kOkHintText));
  sretour_->setToolTip(languages::textOf(kCancelText));
}

void Tfcremodcpte::FormShow() {
  applyTexts();
  if (mode == EditorMode::Create) {
    ecb_->clear();
    elib1_->clear();
    elib2_->clear();
    combQuantite_->setEditText("1");
    combTop_->setCurrentIndex(0);
  } else if (listDataSet != nullptr) {
    const dbase::TDataSet& row = *listDataSet;
    recordNumber = row.FieldByName(kNumField).AsInteger();
    ecb_->setText(languages::toQt(row.FieldByName(kCbField).AsString()));
    elib1_->setText(languages::toQt(row.FieldByName(kLib1Field).AsString()));
    elib2_->setText(languages::toQt(row.FieldByName(kLib2Field).AsString()));
    combQuantite_->setEditText(QString::number(row.FieldByName(kQuantiteField).AsInteger()));
    combTop_->setCurrentIndex(row.FieldByName(kToppField).AsString() == kTopped ? 0 : 1);
  }
  for (QWidget* input : std::initializer_list<QWidget*>{ecb_, elib1_, elib2_, combQuantite_, combTop_}) {
    input->setEnabled(true);
  }
  boutok_->show();
  sretour_->show();
  ecb_->setFocus();
}

void Tfcremodcpte::boutokClick() {
  if (ecb_->text().trimmed().isEmpty()) {
    common::showMessage(languages::GetText(kEmptyBarcodeText), languages::GetText(kRefusedCaption));
    return;
  }
  if (!acceptTypedTexts(*ecb_, *elib1_, *elib2_)) return;
  outcome = "OK";
  if (Save()) accept();
}

void Tfcremodcpte::sretourClick() {
  if (!common::askYesNo(languages::GetText(kCancelText), languages::GetText(kConfirmCaption))) return;
  outcome.clear();
  reject();
}

void Tfcremodcpte::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool Tfcremodcpte::readEntry(BarcodeRecord& record) const {
  record.cb = languages::fromQt(ecb_->text());
  record.lib1 = languages::fromQt(elib1_->text());
  record.lib2 = languages::fromQt(elib2_->text());
  record.topp = combTop_->currentText() == "X" ? kTopped : kNotTopped;
  // The table's three-digit field would store asterisks for anything wider.
  const long long quantity = quantityOf(combQuantite_->currentText());
  if (quantity < kMinQuantity || quantity > kMaxQuantity) {
    common::showMessage(languages::GetText(kQuantityRangeText), languages::GetText(kRefusedCaption));
    return false;
  }
  record.quantite = static_cast<int>(quantity);
  return true;
}

bool Tfcremodcpte::Save() {
  BarcodeRecord record;
  if (!readEntry(record)) return false;
  try {
    if (mode == EditorMode::Create) {
      const int next = data_.NextRecordNumber();
      if (next > kMaxRecordNumber) {
        common::showMessage(languages::GetText(kNumberTooLargeText), languages::GetText(kRefusedCaption));
        return false;
      }
      record.num = next;
      data_.executeStatement(newRecordStatement(record));
      recordNumber = next;
    } else {
      record.num = recordNumber;
      data_.executeStatement(changeRecordStatement(record));
      putIntoListRow(record);
    }
  } catch (const std::exception& error) {
    reportError_(error);
    return false;
  }
  return true;
}

void Tfcremodcpte::putIntoListRow(const BarcodeRecord& record) {
  if (listDataSet == nullptr || listDataSet->RecordCount() == 0) return;
  dbase::TDataSet& row = *listDataSet;
  row.Edit();
  row.FieldByName(kNumField).setAsInteger(record.num);
  row.FieldByName(kCbField).setAsString(record.cb);
  row.FieldByName(kLib1Field).setAsString(record.lib1);
  row.FieldByName(kLib2Field).setAsString(record.lib2);
  row.FieldByName(kQuantiteField).setAsInteger(record.quantite);
  row.FieldByName(kToppField).setAsString(record.topp);
  row.Post();
}

}  // namespace vekrano::records
