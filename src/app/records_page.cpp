// The records page's controls, laid out as criteria above the grid above the command buttons.
#include "app/records_page.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/named_controls.h"
#include "languages/qt_text.h"
#include "list/record_grid_delegate.h"
#include "list/record_grid_view.h"
#include "list/record_list_model.h"
#include "records/article_fields.h"

namespace vekrano::app {
namespace {

// Grid column and its title's text id.
constexpr std::pair<int, int> kColumnTitles[] = {{records::kCbIndex, 45},
                                                 {records::kLib1Index, 46},
                                                 {records::kLib2Index, 47},
                                                 {records::kQuantiteIndex, 122},
                                                 {records::kToppIndex, 121}};

// Tab stops at the checked button of a group of radio buttons only; the arrows move among them.
void tabToCheckedOnly(const QList<QRadioButton*>& group) {
  const auto follow = [group] {
    for (QRadioButton* button : group) button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
  };
  for (QRadioButton* button : group) QObject::connect(button, &QRadioButton::toggled, button, follow);
  follow();
}

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

RecordsPage::RecordsPage(dbase::TDataSource& list, QWidget* parent) : QWidget(parent) {
  setObjectName("Tabcompte");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(createCriteria());
  listModel_ = new list::RecordListModel(list, this);
  createGrid();
  layout->addWidget(grid_, 1);
  layout->addLayout(createButtons());
}

QLineEdit* RecordsPage::addCriterionEdit(QGridLayout* grid, int column, const char* name, const char* caption,
                                         int maxLength, QLabel*& label) {
  auto* edit = named(new QLineEdit(criteriaGroup_), name);
  edit->setMaxLength(maxLength);
  edit->installEventFilter(this);  // Enter re-displays the list
  // The label is named after the edit with "EditLabel".
  label = new QLabel(utf8(caption), criteriaGroup_);
  label->setObjectName(QString(name) + "EditLabel");
  label->setBuddy(edit);
  grid->addWidget(label, 0, column, Qt::AlignBottom);
  grid->addWidget(edit, 1, column, Qt::AlignTop);
  return edit;
}

QWidget* RecordsPage::createCriteria() {
  criteriaGroup_ = group(this, "gbcritere", "Restreindre l'affichage aux fiches correspondant aux criteres suivants");
  auto* grid = new QGridLayout(criteriaGroup_);
  grid->setVerticalSpacing(2);
  // The top flag group beside the edits is taller: each caption and its edit meet at the line
  // between the rows.
  texCb_ = addCriterionEdit(grid, 0, "TexCb", "Code Barre", 13, texCbLabel_);
  text1_ = addCriterionEdit(grid, 1, "text1", "Texte 1 ", 100, text1Label_);
  text2_ = addCriterionEdit(grid, 2, "text2", "Texte 2 ", 100, text2Label_);
  topGroup_ = group(criteriaGroup_, "gbtop", "Critere sur la zone top");
  auto* topLayout = new QVBoxLayout(topGroup_);
  ratop_ = choice<QRadioButton>(topGroup_, "Ratop", "Fiches topées", false);
  ranontop_ = choice<QRadioButton>(topGroup_, "ranontop", "Fiches non topées", false);
  ratoutes_ = choice<QRadioButton>(topGroup_, "Ratoutes", "Toutes les fiches", true);
  for (QRadioButton* top : {ratop_, ranontop_, ratoutes_}) topLayout->addWidget(top);
  tabToCheckedOnly({ratop_, ranontop_, ratoutes_});
  grid->addWidget(topGroup_, 0, 3, 2, 1);
  redisplay_ = toolButton(criteriaGroup_, "SpeedButton1", QStyle::SP_BrowserReload, nullptr,
                          "Réafficher la liste des fiches par rapport aux criteres");
  connect(redisplay_, &QToolButton::clicked, this, &RecordsPage::redisplayRequested);
  grid->addWidget(redisplay_, 1, 4, Qt::AlignTop);
  return criteriaGroup_;
}

void RecordsPage::createGrid() {
  grid_ = named(new QTableView(this), "s");
  const char* titles[records::kFieldCount] = {records::kNumField, "Code Barre", "Texte 1", "Texte 2", "Qtite", "Top"};
  for (int c = 0; c < records::kFieldCount; ++c) listModel_->setHeaderData(c, Qt::Horizontal, utf8(titles[c]));
  grid_->setModel(listModel_);
  grid_->setItemDelegate(new list::RecordGridDelegate(grid_));
  grid_->setColumnHidden(records::kNumIndex, true);
  for (int c = records::kCbIndex; c < records::kFieldCount; ++c) {
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
  grid_->installEventFilter(this);
  connect(grid_, &QTableView::doubleClicked, this, &RecordsPage::viewRequested);
  connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this, &RecordsPage::titleClicked);

  auto* menu = named(new QMenu(grid_), "popupcompte");
  menuAdd_ = named(menu->addAction(utf8("Ajouter")), "majoutcompte");
  menuView_ = named(menu->addAction(utf8("Voir/modifier")), "mvisumodifcompte");
  menuDelete_ = named(menu->addAction(utf8("Supprimer")), "msupprimecompte");
  menuTop_ = named(menu->addAction(utf8("Changer le top")), "Changerletop1");
  connect(menuAdd_, &QAction::triggered, this, &RecordsPage::addRequested);
  connect(menuView_, &QAction::triggered, this, &RecordsPage::viewRequested);
  connect(menuDelete_, &QAction::triggered, this, &RecordsPage::deleteRequested);
  connect(menuTop_, &QAction::triggered, this, &RecordsPage::changeTopRequested);
  grid_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid_, &QWidget::customContextMenuRequested, menu,
          [this, menu](const QPoint& at) { menu->popup(grid_->viewport()->mapToGlobal(at)); });
}

QLayout* RecordsPage::createButtons() {
  auto* buttons = new QHBoxLayout;
  add_ = button(this, "sAjout", "Ajouter", "Ajouter une fiche code barre");
  view_ = button(this, "smodif", "Voir/modifier", "Voir/modifier la fiche code barre selectionnée");
  delete_ = button(this, "ssupprime", "Supprimer", "Supprimer la fiche code barre sélectionné");
  import_ = button(this, "bimport", "Importation", "Importer à partir d'un fichier texte");
  export_ = button(this, "bexport", "Exporter la liste", "Écrire les fiches de la liste dans un fichier CSV");
  connect(add_, &QPushButton::clicked, this, &RecordsPage::addRequested);
  connect(view_, &QPushButton::clicked, this, &RecordsPage::viewRequested);
  connect(delete_, &QPushButton::clicked, this, &RecordsPage::deleteRequested);
  connect(import_, &QPushButton::clicked, this, &RecordsPage::importRequested);
  connect(export_, &QPushButton::clicked, this, &RecordsPage::exportRequested);
  for (QPushButton* command : {add_, view_, delete_}) buttons->addWidget(command);
  buttons->addStretch();
  for (QPushButton* command : {import_, export_}) buttons->addWidget(command);
  // Enter presses the button that has the focus, as Space does.
  for (QPushButton* command : {add_, view_, delete_, import_, export_}) command->setAutoDefault(true);
  return buttons;
}

list::ListCriteria RecordsPage::criteria() const {
  const auto typed = [](const QLineEdit* edit) { return list::typedCriterion(edit->text().toStdString()); };
  list::ListCriteria criteria{typed(texCb_), typed(text1_), typed(text2_)};
  if (ratop_->isChecked()) criteria.top = list::TopCriterion::Topped;
  if (ranontop_->isChecked()) criteria.top = list::TopCriterion::NotTopped;
  return criteria;
}

bool RecordsPage::eventFilter(QObject* watched, QEvent* event) {
  // The grid's selected row is repainted when the focus comes or goes, as its colour says where
  // the focus is.
  if (watched == grid_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
    grid_->viewport()->update();
  } else if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == grid_) {
      if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && gridKeyPressed(key->key())) return true;
    } else if (isEnter(key->key())) {
      emit redisplayRequested();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool RecordsPage::gridKeyPressed(int key) {
  if (isEnter(key)) {
    emit viewRequested();
    return true;
  }
  if (key == Qt::Key_Delete) {
    emit deleteRequested();
    return true;
  }
  return false;
}

void RecordsPage::applyTexts() {
  for (auto [column, id] : kColumnTitles) {
    listModel_->setHeaderData(column, Qt::Horizontal, languages::textOf(id));
  }
  setTitle(*criteriaGroup_, 11);
  texCbLabel_->setText(languages::textOf(12));
  text1Label_->setText(languages::textOf(13));
  text2Label_->setText(languages::textOf(14));
  setTitle(*topGroup_, 15);
  setTexts(*add_, 16, 17);
  setTexts(*view_, 18, 19);
  setTexts(*import_, 20, 21);
  setTexts(*export_, 300, 301);
  setTexts(*redisplay_, 0, 22);
  setTexts(*ratop_, 115);
  setTexts(*ranontop_, 116);
  setTexts(*ratoutes_, 117);
  setTexts(*menuAdd_, 16);
  setTexts(*menuView_, 18);
  setTexts(*menuDelete_, 118);
  setTexts(*delete_, 118, 119);
  setTexts(*menuTop_, 120);
}

}  // namespace vekrano::app
