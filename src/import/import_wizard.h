// The CSV import wizard: step 1 chooses the file, the separator, the header lines and the
// quoting; step 2 previews the file and maps its fields, then imports.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <exception>
#include <utility>
#include <vector>

#include "import/csv_source.h"
#include "import/import_mapping.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;

namespace vekrano::records {
class ArticleData;
}  // namespace vekrano::records

namespace vekrano::import {

// What the wizard asks of the application around it.
struct WizardServices {
  // The open-file dialog: the chosen path, empty when cancelled (parent, title, filter).
  std::function<QString(QWidget*, const QString&, const QString&)> openFileName;
  // The application's general error display.
  std::function<void(const std::exception&)> showError;
};

// The file dialog's title and filter, French in every language.
inline constexpr const char* kFileDialogTitle = "S\xC3\xA9lectionnez le fichier csv";
inline constexpr const char* kFileDialogFilter = "fichier csv (*.csv)";

class Tfimportcsv : public QDialog {
  Q_OBJECT

 public:
  // `data` and the services are borrowed for the window's life.
  Tfimportcsv(records::ArticleData& data, WizardServices services, QWidget* parent = nullptr);

  // Texts, field lists, defaults, grid reset, step 1; the path stays.
  void FormActivate();
  void showStep(int step);
  int step() const { return step_; }

  void SouvrirClick();
  void bsuivantClick();
  void bprecedentClick();
  void bimportClick();

  // The options and mapping as the controls hold them now.
  CsvOptions options() const;
  FieldMapping mapping() const;

  // Closing is refused while an import runs: its pending events are processed line by line.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void createControls();
  QWidget* createFileStep();
  QWidget* createFieldsStep();
  // Columns as wide as their first fields, within a bound; the empty fixed column narrow.
  void sizePreviewColumns();
  void fillFieldLists();
  void resetGrid();
  void fillPreview(const std::string& path);
  // Gives `widget` its control name and, when that name has a caption, keeps it for the captions
  // set at each activation.
  template <typename Widget>
  Widget* named(Widget* widget, const char* name);

  records::ArticleData& data_;
  WizardServices services_;
  int step_ = 1;
  bool importing_ = false;

  QStackedWidget* pageControl1_ = nullptr;  // step 1, step 2
  QComboBox* combSepa_ = nullptr;
  QComboBox* combnbLentete_ = nullptr;
  QCheckBox* quotedFields_ = nullptr;
  QLineEdit* labchemFic_ = nullptr;
  QTableWidget* sgrille1_ = nullptr;
  QComboBox* combcb_ = nullptr;
  QComboBox* combt1_ = nullptr;
  QComboBox* combt2_ = nullptr;
  QComboBox* combQuantite_ = nullptr;
  QLabel* labetatimport_ = nullptr;
  QPushButton* bprecedent_ = nullptr;
  QPushButton* bsuivant_ = nullptr;
  QPushButton* bimport_ = nullptr;
  std::vector<std::pair<QObject*, int>> captions_;  // control, text id
};

}  // namespace vekrano::import
