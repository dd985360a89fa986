// The chooser's rows and their search.
#include "printing/sheet_list_model.h"

#include "languages/qt_text.h"

namespace vekrano::printing {
namespace {

constexpr int kTextSheet = 318;
constexpr int kTextDescription = 319;
constexpr int kTextLabels = 320;
constexpr int kTextLabelSize = 321;
constexpr int kTextPage = 322;
constexpr int kTextOwnSheet = 323;

QString sizeOf(double width, double height) { return QString::fromStdString(sizeText(width, height)); }

QString pageText(const LabelSheetSpec& sheet) {
  return sheet.pageName.empty() ? sizeOf(sheet.pageWidthMm, sheet.pageHeightMm)
                                : QString::fromStdString(sheet.pageName);
}

QString labelsText(const LabelSheetSpec& sheet) {
  QString text = QString::number(sheet.labelCount());
  if (sheet.grids.size() == 1) {
    text += QStringLiteral(" (%1 x %2)").arg(sheet.grids[0].columns).arg(sheet.grids[0].rows);
  }
  return text;
}

}  // namespace

SheetListModel::SheetListModel(const SheetCatalog& catalog, QObject* parent)
    : QAbstractTableModel(parent), catalog_(catalog) {}

void SheetListModel::setOwnSheets(const OwnSheets& own) {
  beginResetModel();
  own_ = own.sheets;
  endResetModel();
}

int SheetListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(own_.size() + catalog_.sheets.size());
}

int SheetListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

const LabelSheetSpec& SheetListModel::sheet(int row) const {
  const auto ownCount = static_cast<int>(own_.size());
  return row < ownCount ? own_[row] : catalog_.sheets[row - ownCount];
}

ChosenSheet SheetListModel::choiceOf(int row) const {
  return {row < static_cast<int>(own_.size()) ? SheetSource::Own : SheetSource::Catalog, sheet(row).name};
}

int SheetListModel::rowOf(const ChosenSheet& chosen) const {
  for (int row = 0; row < rowCount(); ++row) {
    const ChosenSheet candidate = choiceOf(row);
    if (candidate.source == chosen.source && sameSheetName(candidate.name, chosen.name)) {
      return row;
    }
  }
  return -1;
}

QVariant SheetListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount) return {};
  const LabelSheetSpec& shown = sheet(index.row());
  const bool own = index.row() < static_cast<int>(own_.size());
  if (role == Qt::UserRole) {
    switch (index.column()) {
      case Labels: return shown.labelCount();
      case LabelSize: return shown.labelWidthMm * 10000 + shown.labelHeightMm;
      default: return data(index, Qt::DisplayRole).toString().toLower();
    }
  }
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case Name: return QString::fromStdString(shown.name);
    case Description: return own ? languages::textOf(kTextOwnSheet) : QString::fromStdString(shown.description);
    case Labels: return labelsText(shown);
    case LabelSize: return sizeOf(shown.labelWidthMm, shown.labelHeightMm);
    case Page: return pageText(shown);
    default: return {};
  }
}

QVariant SheetListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  static constexpr int kTexts[ColumnCount] = {kTextSheet, kTextDescription, kTextLabels, kTextLabelSize, kTextPage};
  return section >= 0 && section < ColumnCount ? languages::textOf(kTexts[section]) : QVariant();
}

QString SheetListModel::searchText(int row) const {
  QStringList parts;
  for (int column = 0; column < ColumnCount; ++column) {
    parts << data(index(row, column), Qt::DisplayRole).toString();
  }
  return parts.join(QLatin1Char(' ')).toLower();
}

SheetSearchModel::SheetSearchModel(QObject* parent) : QSortFilterProxyModel(parent) { setSortRole(Qt::UserRole); }

void SheetSearchModel::setSearch(const QString& search) {
  words_ = search.toLower().replace(QLatin1Char(','), QLatin1Char('.')).split(QLatin1Char(' '), Qt::SkipEmptyParts);
  invalidateFilter();
}

bool SheetSearchModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
  const auto* sheets = static_cast<const SheetListModel*>(sourceModel());
  const QString text = sheets->searchText(sourceRow);
  for (const QString& word : words_) {
    if (!text.contains(word)) return false;
  }
  return true;
}

}  // namespace vekrano::printing
