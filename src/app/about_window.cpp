#include "app/about_window.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_pictures.h"

namespace vekrano::app {

namespace {

constexpr int kPanelWidthPx = 400;

QLabel* addLabel(QWidget* parent, QVBoxLayout* layout, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignHCenter);
  layout->addWidget(label);
  return label;
}

}  // namespace

Tfapropos::Tfapropos(QWidget* parent) : QDialog(parent) {
  setObjectName("fapropos");
  setWindowTitle("A propos");
  QFont font("System");
  font.setPixelSize(13);
  setFont(font);

  auto* panel = new QFrame(this);
  panel->setObjectName("Panel1");
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* inside = new QVBoxLayout(panel);
  QLabel* product = addLabel(panel, inside, "ProductName", "Vekrano");
  QFont big = product->font();
  big.setPixelSize(24);
  big.setBold(true);
  product->setFont(big);
  lversion_ = addLabel(panel, inside, "lversion", "V 1.01");
  QLabel* image = addLabel(panel, inside, "Image1", QString());
  image->setPixmap(barcodePicture(96));
  addLabel(panel, inside, "Maker1", "Vekrano");
  addLabel(panel, inside, "Maker2", "Code 39 barcode labels from your own list of records");
  addLabel(panel, inside, "Maker3", "Printed on sheets of self-adhesive labels");

  okButton_ = new QPushButton("OK", this);
  okButton_->setObjectName("OKButton");
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel);
  layout->addWidget(okButton_, 0, Qt::AlignHCenter);
  // Not resizable, but as large as its texts need in whatever font they are shown.
  panel->setMinimumWidth(kPanelWidthPx);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Tfapropos::showEvent(QShowEvent* event) {
  lversion_->setText(kVersionText);
  okButton_->setFocus();
  QDialog::showEvent(event);
}

}  // namespace vekrano::app
