#include "languages/language_choice_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "languages/interface_texts.h"

namespace vekrano::languages {

Tfchoixlangue::Tfchoixlangue(QWidget* parent) : QDialog(parent) {
  setObjectName("fchoixlangue");
  setWindowTitle("Langue / Language selection");
  auto* group = new QGroupBox(this);
  auto* grid = new QGridLayout(group);
  languages_ = LanguageButtons::create(group, grid, {QString::fromUtf8("Français"), "English", "Portugais", "Espanol"});
  boutok_ = new QPushButton("OK", this);
  boutok_->setObjectName("boutok");
  boutok_->setDefault(true);
  connect(boutok_, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(boutok_, 0, Qt::AlignHCenter);
  // Not resizable; sized to the texts of its buttons in the font they are shown in.
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Tfchoixlangue::done(int result) {
  setLanguageNumber(languages_.chosen());
  QDialog::done(result);
}

}  // namespace vekrano::languages
