// The own sheet editor. The drawing is painted from sheet() on every change, so what it shows is
// exactly what would be kept.
#include "printing/own_sheet_editor.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>
#include <functional>

#include "common/prompts.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"

namespace vekrano::printing {
namespace {

constexpr int kTextCaption = 323;
constexpr int kTextName = 327;
constexpr int kTextPage = 322;
constexpr int kTextOtherSize = 328;
constexpr int kTextColumnsRows = 329;
constexpr int kTextLabelSize = 321;
constexpr int kTextFirstLabel = 330;
constexpr int kTextPitch = 331;
constexpr int kPageA4 = 0;
constexpr int kPageLetter = 1;
constexpr int kPageOther = 2;
constexpr double kLargestMm = 1000;

// The page and its labels scaled to the widget, labels red while the sheet cannot be kept.
class SheetDrawing : public QWidget {
 public:
  SheetDrawing(std::function<LabelSheetSpec()> sheet, QWidget* parent) : QWidget(parent), sheet_(std::move(sheet)) {
    setObjectName("VuePlanche");
    setMinimumSize(180, 240);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const LabelSheetSpec sheet = sheet_();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double scale = std::min((width() - 8) / sheet.pageWidthMm, (height() - 8) / sheet.pageHeightMm);
    painter.translate((width() - sheet.pageWidthMm * scale) / 2, (height() - sheet.pageHeightMm * scale) / 2);
    painter.setPen(Qt::darkGray);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(0, 0, sheet.pageWidthMm * scale, sheet.pageHeightMm * scale));
    painter.setPen(sheetFault(sheet) ? Qt::red : Qt::black);
    painter.setBrush(Qt::NoBrush);
    for (const LabelRect& label : sheet.labelRects()) {
      painter.drawRect(QRectF(label.left * scale, label.top * scale, label.width * scale, label.height * scale));
    }
  }

 private:
  std::function<LabelSheetSpec()> sheet_;
};

QDoubleSpinBox* lengthBox(const char* name, double minimum) {
  auto* box = new QDoubleSpinBox;
  box->setObjectName(name);
  box->setDecimals(2);
  box->setRange(minimum, kLargestMm);
  box->setSingleStep(0.1);
  return box;
}

QSpinBox* countBox(const char* name) {
  auto* box = new QSpinBox;
  box->setObjectName(name);
  box->setRange(1, kMaxGridCount);
  return box;
}

// Two fields side by side, as "width x height".
QWidget* pair(QWidget* first, QWidget* second) {
  auto* both = new QWidget;
  auto* row = new QHBoxLayout(both);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(first);
  row->addWidget(new QLabel(QStringLiteral("×")));
  row->addWidget(second);
  // Each pair keeps its natural width, so that the pairs stand in one column.
  row->addStretch(1);
  return both;
}

}  // namespace

OwnSheetEditor::OwnSheetEditor(QWidget* parent)
    : QDialog(parent),
      name_(new QLineEdit),
      page_(new QComboBox),
      pageWidth_(lengthBox("SpinLargeurPage", 10)),
      pageHeight_(lengthBox("SpinHauteurPage", 10)),
      columns_(countBox("SpinColonnes")),
      rows_(countBox("SpinLignes")),
      labelWidth_(lengthBox("SpinLargeurEtiquette", 1)),
      labelHeight_(lengthBox("SpinHauteurEtiquette", 1)),
      left_(lengthBox("SpinGauche", 0)),
      top_(lengthBox("SpinHaut", 0)),
      pitchX_(lengthBox("SpinPasHorizontal", 0)),
      pitchY_(lengthBox("SpinPasVertical", 0)),
      problem_(new QLabel),
      drawing_(new SheetDrawing([this] { return sheet(); }, this)) {
  setObjectName("Tfplanchepersonnelle");
  setWindowTitle(languages::textOf(kTextCaption));
  name_->setObjectName("EditNom");
  name_->setMaxLength(100);
  page_->setObjectName("CombPage");
  page_->addItems({QStringLiteral("A4"), QStringLiteral("US Letter"), languages::textOf(kTextOtherSize)});
  problem_->setObjectName("LabProbleme");
  problem_->setStyleSheet(QStringLiteral("color: #b00000"));

  auto* form = new QFormLayout;
  // Captions end right before their fields, however long the longest one is.
  form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  form->addRow(languages::textOf(kTextName), name_);
  form->addRow(languages::textOf(kTextPage), page_);
  form->addRow(languages::textOf(kTextOtherSize), pair(pageWidth_, pageHeight_));
  form->addRow(languages::textOf(kTextColumnsRows), pair(columns_, rows_));
  form->addRow(languages::textOf(kTextLabelSize), pair(labelWidth_, labelHeight_));
  form->addRow(languages::textOf(kTextFirstLabel), pair(left_, top_));
  form->addRow(languages::textOf(kTextPitch), pair(pitchX_, pitchY_));
  form->addRow(problem_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &OwnSheetEditor::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &OwnSheetEditor::reject);
  form->addRow(buttons);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(drawing_, 1);

  setSheet(ownSheet("", "A4", 0, 0, {3, 7, 7.2, 15.15, 66.0, 38.1}, 63.5, 38.1));
  connect(page_, &QComboBox::currentIndexChanged, this, [this] { pageChosen(); });
  connect(name_, &QLineEdit::textChanged, this, [this] { changed(); });
  for (QSpinBox* box : {columns_, rows_}) {
    connect(box, &QSpinBox::valueChanged, this, [this] { changed(); });
  }
  for (QDoubleSpinBox* box : {pageWidth_, pageHeight_, labelWidth_, labelHeight_, left_, top_, pitchX_, pitchY_}) {
    connect(box, &QDoubleSpinBox::valueChanged, this, [this] { changed(); });
  }
}

void OwnSheetEditor::setSheet(const LabelSheetSpec& sheet) {
  const SheetGrid& grid = sheet.grids.at(0);
  name_->setText(QString::fromStdString(sheet.name));
  {
    const QSignalBlocker quiet(page_);
    page_->setCurrentIndex(sheet.pageName == "A4" ? kPageA4 : sheet.pageName == "US Letter" ? kPageLetter : kPageOther);
  }
  const std::pair<QDoubleSpinBox*, double> lengths[] = {{pageWidth_, sheet.pageWidthMm},
                                                        {pageHeight_, sheet.pageHeightMm},
                                                        {labelWidth_, sheet.labelWidthMm},
                                                        {labelHeight_, sheet.labelHeightMm},
                                                        {left_, grid.left},
                                                        {top_, grid.top},
                                                        {pitchX_, grid.pitchX},
                                                        {pitchY_, grid.pitchY}};
  for (const auto& [box, value] : lengths) box->setValue(value);
  columns_->setValue(grid.columns);
  rows_->setValue(grid.rows);
  pageChosen();
}

LabelSheetSpec OwnSheetEditor::sheet() const {
  const QString pageName = page_->currentIndex() == kPageA4       ? QStringLiteral("A4")
                           : page_->currentIndex() == kPageLetter ? QStringLiteral("US Letter")
                                                                  : QString();
  QString name = name_->text();
  name.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  name.replace(QLatin1Char('\r'), QLatin1Char(' '));
  name = name.trimmed();
  while (name.startsWith(QLatin1Char('#'))) name = name.mid(1).trimmed();
  if (name.isEmpty()) {
    name = QStringLiteral("%1X%2 - %3 x %4 mm")
               .arg(columns_->value())
               .arg(rows_->value())
               .arg(labelWidth_->value())
               .arg(labelHeight_->value());
  }
  return ownSheet(
      name.toStdString(), pageName.toStdString(), pageWidth_->value(), pageHeight_->value(),
      {columns_->value(), rows_->value(), left_->value(), top_->value(), pitchX_->value(), pitchY_->value()},
      labelWidth_->value(), labelHeight_->value());
}

void OwnSheetEditor::pageChosen() {
  const bool other = page_->currentIndex() == kPageOther;
  pageWidth_->setEnabled(other);
  pageHeight_->setEnabled(other);
  if (!other) {
    const LabelSheetSpec standard = sheet();
    const QSignalBlocker quietWidth(pageWidth_);
    const QSignalBlocker quietHeight(pageHeight_);
    pageWidth_->setValue(standard.pageWidthMm);
    pageHeight_->setValue(standard.pageHeightMm);
  }
  changed();
}

void OwnSheetEditor::changed() {
  const std::optional<SheetFault> problem = fault();
  problem_->setText(problem ? languages::toQt(sheetFaultText(*problem)) : QString());
  drawing_->update();
}

void OwnSheetEditor::accept() {
  if (const std::optional<SheetFault> problem = fault()) {
    common::showMessage(sheetFaultText(*problem), languages::GetText(kTextCaption), common::PromptKind::Warning);
    return;
  }
  QDialog::accept();
}

}  // namespace vekrano::printing
