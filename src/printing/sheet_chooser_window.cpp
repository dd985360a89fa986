// The sheet chooser. Own sheets come first in the list, so a new sheet is found at once.
#include "printing/sheet_chooser_window.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "common/prompts.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"
#include "printing/own_sheet_editor.h"

namespace vekrano::printing {
namespace {

constexpr int kTextCaption = 316;
constexpr int kTextSearch = 317;
constexpr int kTextCatalogMissing = 324;
constexpr int kTextNew = 325;
constexpr int kTextChange = 326;
constexpr int kTextNotSaved = 332;
constexpr int kTextDelete = 118;
constexpr int kTextConfirmation = 38;

// A name no other own sheet bears, letter case ignored: "Name", else "Name (2)", "Name (3)" ...
std::string freeName(const OwnSheets& own, const std::string& name) {
  std::string candidate = name;
  for (int n = 2; own.find(candidate) != nullptr; ++n) candidate = name + " (" + std::to_string(n) + ")";
  return candidate;
}

}  // namespace

SheetChooserWindow::SheetChooserWindow(const SheetCatalog& catalog, bool catalogInstalled, std::string ownSheetsFile,
                                       RunModal runModal, QWidget* parent)
    : QDialog(parent),
      ownSheetsFile_(std::move(ownSheetsFile)),
      runModal_(std::move(runModal)),
      own_(readOwnSheetsFile(ownSheetsFile_)),
      sheets_(new SheetListModel(catalog, this)),
      found_(new SheetSearchModel(this)),
      searchEdit_(new QLineEdit),
      grid_(new QTableView),
      change_(new QPushButton(languages::textOf(kTextChange))),
      delete_(new QPushButton(languages::textOf(kTextDelete))),
      ok_(nullptr) {
  setObjectName("Tfchoixplanche");
  setWindowTitle(languages::textOf(kTextCaption));
  resize(760, 480);
  sheets_->setOwnSheets(own_);
  found_->setSourceModel(sheets_);

  auto* layout = new QVBoxLayout(this);
  if (!catalogInstalled) {
    auto* missing = new QLabel(languages::textOf(kTextCatalogMissing));
    missing->setObjectName("LabCatalogueAbsent");
    missing->setWordWrap(true);
    layout->addWidget(missing);
  }
  auto* searchRow = new QHBoxLayout;
  auto* searchCaption = new QLabel(languages::textOf(kTextSearch));
  searchCaption->setBuddy(searchEdit_);
  searchEdit_->setObjectName("EditRecherche");
  searchEdit_->setClearButtonEnabled(true);
  searchRow->addWidget(searchCaption);
  searchRow->addWidget(searchEdit_, 1);
  layout->addLayout(searchRow);

  grid_->setObjectName("GrillePlanches");
  grid_->setModel(found_);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSortingEnabled(true);
  grid_->sortByColumn(-1, Qt::AscendingOrder);  // own sheets first, then the catalog's order
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setColumnWidth(SheetListModel::Name, 220);
  grid_->setColumnWidth(SheetListModel::Description, 200);
  layout->addWidget(grid_, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* create = buttons->addButton(languages::textOf(kTextNew), QDialogButtonBox::ActionRole);
  create->setObjectName("btNouvellePlanche");
  change_->setObjectName("btModifierPlanche");
  delete_->setObjectName("btSupprimerPlanche");
  buttons->addButton(change_, QDialogButtonBox::ActionRole);
  buttons->addButton(delete_, QDialogButtonBox::ActionRole);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  layout->addWidget(buttons);

  connect(searchEdit_, &QLineEdit::textChanged, this, &SheetChooserWindow::search);
  connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { selectionChanged(); });
  connect(grid_, &QTableView::doubleClicked, this, [this] { accept(); });
  connect(create, &QPushButton::clicked, this, &SheetChooserWindow::newSheet);
  connect(change_, &QPushButton::clicked, this, &SheetChooserWindow::changeSheet);
  connect(delete_, &QPushButton::clicked, this, &SheetChooserWindow::deleteSheet);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  selectionChanged();
}

void SheetChooserWindow::search(const QString& text) {
  if (searchEdit_->text() != text) searchEdit_->setText(text);  // comes back here through the signal
  found_->setSearch(text);
  selectionChanged();
}

void SheetChooserWindow::select(const ChosenSheet& chosen) {
  const int row = sheets_->rowOf(chosen);
  if (row < 0) return;
  const QModelIndex shown = found_->mapFromSource(sheets_->index(row, 0));
  if (!shown.isValid()) return;
  grid_->selectRow(shown.row());
  grid_->scrollTo(shown);
}

int SheetChooserWindow::selectedRow() const {
  const QModelIndexList rows = grid_->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : found_->mapToSource(rows.front()).row();
}

bool SheetChooserWindow::selectedIsOwn() const {
  const int row = selectedRow();
  return row >= 0 && sheets_->choiceOf(row).source == SheetSource::Own;
}

std::optional<ChosenSheet> SheetChooserWindow::chosen() const {
  const int row = selectedRow();
  if (row < 0) return std::nullopt;
  return sheets_->choiceOf(row);
}

std::optional<LabelSheetSpec> SheetChooserWindow::chosenSheet() const {
  const int row = selectedRow();
  if (row < 0) return std::nullopt;
  return sheets_->sheet(row);
}

void SheetChooserWindow::selectionChanged() {
  const bool any = selectedRow() >= 0;
  ok_->setEnabled(any);
  change_->setEnabled(selectedIsOwn());
  delete_->setEnabled(selectedIsOwn());
}

bool SheetChooserWindow::keep(const OwnSheets& own) {
  try {
    writeOwnSheetsFile(ownSheetsFile_, own);
  } catch (const std::exception& error) {
    common::showMessage(languages::GetText(kTextNotSaved) + error.what(), languages::GetText(kTextCaption),
                        common::PromptKind::Error);
    return false;
  }
  own_ = own;
  sheets_->setOwnSheets(own_);
  return true;
}

void SheetChooserWindow::newSheet() {
  OwnSheetEditor editor(this);
  if (const std::optional<LabelSheetSpec> selected = chosenSheet(); selected && selected->grids.size() == 1) {
    editor.setSheet(ownSheet(selected->name, selected->pageName, selected->pageWidthMm, selected->pageHeightMm,
                             selected->grids[0], selected->labelWidthMm, selected->labelHeightMm));
  }
  if (runModal_(editor) != QDialog::Accepted) return;
  LabelSheetSpec sheet = editor.sheet();
  sheet.name = freeName(own_, sheet.name);
  OwnSheets own = own_;
  own.sheets.push_back(sheet);
  if (!keep(own)) return;
  search({});
  select({SheetSource::Own, sheet.name});
}

void SheetChooserWindow::changeSheet() {
  if (!selectedIsOwn()) return;
  const int row = selectedRow();
  OwnSheetEditor editor(this);
  editor.setSheet(own_.sheets[row]);
  if (runModal_(editor) != QDialog::Accepted) return;
  OwnSheets own = own_;
  own.sheets.erase(own.sheets.begin() + row);
  LabelSheetSpec sheet = editor.sheet();
  sheet.name = freeName(own, sheet.name);
  own.sheets.insert(own.sheets.begin() + row, sheet);
  if (!keep(own)) return;
  select({SheetSource::Own, sheet.name});
}

void SheetChooserWindow::deleteSheet() {
  if (!selectedIsOwn()) return;
  const int row = selectedRow();
  const std::string question =
      languages::GetText(kTextDelete) + " " + languages::fromQt(QString::fromStdString(own_.sheets[row].name)) + " ?";
  if (!common::askYesNo(question, languages::GetText(kTextConfirmation))) return;
  OwnSheets own = own_;
  own.sheets.erase(own.sheets.begin() + row);
  keep(own);
}

}  // namespace vekrano::printing
