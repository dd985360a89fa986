// Setting the main window's captions, hints and column titles from the interface texts.
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>

#include "app/application.h"
#include "app/main_window.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "printing/label_types.h"

namespace vekrano::app {

namespace {

enum class Part { Caption, Hint };

struct TextStep {
  const char* control;
  Part part;
  int id;
};

// The order in which the texts are set.
constexpr TextStep kSteps[] = {
    {"spCharge", Part::Hint, 1},        {"spSauve", Part::Hint, 2},
    {"sbinfos", Part::Caption, 4},      {"sbinfos", Part::Hint, 5},
    {"spAide", Part::Caption, 6},       {"spAide", Part::Hint, 7},
    {"Tabcompte", Part::Caption, 8},    {"Tabimpression", Part::Caption, 9},
    {"tabpara", Part::Caption, 10},     {"gbcritere", Part::Caption, 11},
    {"TexCbEditLabel", Part::Caption, 12}, {"text1EditLabel", Part::Caption, 13},
    {"text2EditLabel", Part::Caption, 14}, {"gbtop", Part::Caption, 15},
    {"sAjout", Part::Caption, 16},      {"sAjout", Part::Hint, 17},
    {"smodif", Part::Caption, 18},      {"smodif", Part::Hint, 19},
    {"bimport", Part::Caption, 20},     {"bimport", Part::Hint, 21},
    {"bexport", Part::Caption, 300},    {"bexport", Part::Hint, 301},
    {"SpeedButton1", Part::Hint, 22},   {"gpImp", Part::Caption, 23},
    {"Labtypeeti", Part::Caption, 24},  {"topimpTexte1", Part::Caption, 25},
    {"topimpTexte2", Part::Caption, 26}, {"gbcritsup", Part::Caption, 27},
    {"Ratoutefiche", Part::Caption, 28}, {"Rafichem", Part::Caption, 29},
    {"Rafichesel", Part::Caption, 311},
    {"gbpcodbar", Part::Caption, 30},   {"btimprime", Part::Caption, 31},
    {"btimprimePdf", Part::Caption, 155},
    {"LabPremPos", Part::Caption, 158}, {"btApercu", Part::Caption, 159},
    {"gbCalibration", Part::Caption, 166}, {"LabDecalH", Part::Caption, 167},
    {"LabDecalV", Part::Caption, 168},  {"LabEchelle", Part::Caption, 169},
    {"btPageTest", Part::Caption, 170},
    {"Squitter", Part::Hint, 32},       {"tabopdiv", Part::Caption, 33},
    {"btappliquer", Part::Caption, 34}, {"gpopexe", Part::Caption, 35},
    {"sdetruiretoutedonnee", Part::Caption, 36},
    {"Ratop", Part::Caption, 115},      {"ranontop", Part::Caption, 116},
    {"Ratoutes", Part::Caption, 117},   {"majoutcompte", Part::Caption, 16},
    {"mvisumodifcompte", Part::Caption, 18}, {"msupprimecompte", Part::Caption, 118},
    {"ssupprime", Part::Caption, 118},  {"ssupprime", Part::Hint, 119},
    {"Changerletop1", Part::Caption, 120}, {"Gimprimante", Part::Caption, 134},
};

// Grid column and its title's text id.
constexpr std::pair<int, int> kColumnTitles[] = {{1, 45}, {2, 46}, {3, 47}, {4, 122}, {5, 121}};

// A page's caption is its tab's text in the page control that holds it.
bool setPageCaption(QWidget* page, const QString& text) {
  for (QWidget* up = page->parentWidget(); up != nullptr; up = up->parentWidget()) {
    if (auto* pages = qobject_cast<QTabWidget*>(up)) {
      int index = pages->indexOf(page);
      if (index < 0) return false;
      pages->setTabText(index, text);
      return true;
    }
  }
  return false;
}

void setCaption(QObject* control, const QString& text) {
  if (auto* action = qobject_cast<QAction*>(control)) {
    action->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(text);
  } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
    box->setTitle(text);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
  } else if (auto* widget = qobject_cast<QWidget*>(control)) {
    setPageCaption(widget, text);
  }
}

void setHint(QObject* control, const QString& text) {
  if (auto* action = qobject_cast<QAction*>(control)) {
    action->setToolTip(text);
  } else if (auto* widget = qobject_cast<QWidget*>(control)) {
    widget->setToolTip(text);
  }
}

}  // namespace

void TFprincip::ApplyMainTexts() {
  useQtTexts(languages::languageNumber());
  printing::BuildLabelTypeList(*combListeEtiquette_);
  for (auto [column, id] : kColumnTitles) {
    grid_->model()->setHeaderData(column, Qt::Horizontal, languages::textOf(id));
  }
  for (const TextStep& step : kSteps) {
    QObject* control = findChild<QObject*>(step.control);
    if (control == nullptr) continue;
    QString text = languages::textOf(step.id);
    step.part == Part::Caption ? setCaption(control, text) : setHint(control, text);
  }
}

}  // namespace vekrano::app
