// The settings page's controls: the language group and the exceptional operations.
#include "app/settings_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/named_controls.h"
#include "languages/qt_text.h"

namespace vekrano::app {

SettingsPage::SettingsPage(QWidget* parent) : QWidget(parent) {
  setObjectName("tabpara");
  auto* layout = new QVBoxLayout(this);
  inner_ = named(new QTabWidget(this), "PageParametres");
  operations_ = named(new QWidget, "tabopdiv");
  auto* opLayout = new QVBoxLayout(operations_);

  gLangue_ = group(operations_, "GLangue", "Langue");
  auto* languageGrid = new QGridLayout(gLangue_);
  languageButtons_ =
      languages::LanguageButtons::create(gLangue_, languageGrid, {utf8("Français"), "English", "Portugues", "Espanol"});
  btappliquer_ = button(gLangue_, "btappliquer", "Appliquer");
  connect(btappliquer_, &QPushButton::clicked, this, &SettingsPage::applyLanguageRequested);
  languageGrid->addWidget(btappliquer_, 4, 1);
  opLayout->addWidget(gLangue_);

  gpopexe_ = group(operations_, "gpopexe", "Opérations exceptionnelles");
  auto* exceptionalLayout = new QHBoxLayout(gpopexe_);
  sdetruiretoutedonnee_ = button(gpopexe_, "sdetruiretoutedonnee", "Reinitialiser toutes les données");
  connect(sdetruiretoutedonnee_, &QPushButton::clicked, this, &SettingsPage::eraseRequested);
  exceptionalLayout->addWidget(sdetruiretoutedonnee_);
  sreparertable_ = button(gpopexe_, "sreparertable", "Réparer la table des fiches");
  sreparertable_->setEnabled(false);
  connect(sreparertable_, &QPushButton::clicked, this, &SettingsPage::repairRequested);
  exceptionalLayout->addWidget(sreparertable_);
  opLayout->addWidget(gpopexe_);
  opLayout->addStretch();

  inner_->addTab(operations_, utf8("Opérations diverses"));
  layout->addWidget(inner_);
}

void SettingsPage::hideLanguageChoice() { gLangue_->hide(); }

void SettingsPage::offerRepair(bool damaged) { sreparertable_->setEnabled(damaged); }

bool SettingsPage::repairOffered() const { return sreparertable_->isEnabled(); }

void SettingsPage::applyTexts() {
  inner_->setTabText(inner_->indexOf(operations_), languages::textOf(33));
  setTexts(*btappliquer_, 34);
  setTitle(*gpopexe_, 35);
  setTexts(*sdetruiretoutedonnee_, 36);
  setTexts(*sreparertable_, 238);
}

}  // namespace vekrano::app
