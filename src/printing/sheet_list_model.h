// The rows of the sheet chooser: the user's own sheets, then the catalog's, with the search
// that narrows them by brand, part, description and size.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <vector>

#include "printing/chosen_sheet.h"

namespace vekrano::printing {

class SheetListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { Name, Description, Labels, LabelSize, Page, ColumnCount };

  // `catalog` is borrowed and must outlive the model.
  explicit SheetListModel(const SheetCatalog& catalog, QObject* parent = nullptr);

  // Shows `own` (copied) before the catalog's sheets.
  void setOwnSheets(const OwnSheets& own);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  // Display texts; Qt::UserRole gives the number the Labels and LabelSize columns sort by.
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The sheet of a row and where it comes from.
  const LabelSheetSpec& sheet(int row) const;
  ChosenSheet choiceOf(int row) const;
  // The row of a choice; -1 when it is not listed.
  int rowOf(const ChosenSheet& chosen) const;
  // Everything a search looks through, in lower case.
  QString searchText(int row) const;

 private:
  const SheetCatalog& catalog_;
  std::vector<LabelSheetSpec> own_;
};

// Keeps the rows whose search text holds every word of the search, letter case ignored and
// "," read as a decimal point ("63,5" finds 63.5 mm labels).
class SheetSearchModel : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  explicit SheetSearchModel(QObject* parent = nullptr);
  void setSearch(const QString& search);

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

 private:
  QStringList words_;
};

}  // namespace vekrano::printing
