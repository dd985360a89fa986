// The record editor `Tfcremodcpte`: the modal window in which a new barcode record is typed
// or the selected one is changed. Created once, it keeps its outcome between uses.
#pragma once

#include <QDialog>
#include <exception>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vekrano::dbase {
class TDataSet;
}  // namespace vekrano::dbase

namespace vekrano::records {

class ArticleData;
struct BarcodeRecord;

// What the editor is opened for: a new record, or a change of the list's current one.
enum class EditorMode { Create, Modify };

class Tfcremodcpte : public QDialog {
  Q_OBJECT

 public:
  // `data` is borrowed for the window's life; failures of a save go to `reportError`.
  Tfcremodcpte(ArticleData& data, std::function<void(const std::exception&)> reportError, QWidget* parent = nullptr);

  // The opening: the texts of the current language, then empty inputs (Create) or the values
  // of the list data set's current row (Modify).
  void FormShow();
  // Refuses a blank barcode; otherwise saves and closes. A refused or failed save keeps the
  // window open with the entry as typed.
  void boutokClick();
  // Asks first; on Yes empties the outcome and closes without saving.
  void sretourClick();

  EditorMode mode = EditorMode::Create;
  int recordNumber = 0;
  std::string outcome;
  dbase::TDataSet* listDataSet = nullptr;

 protected:
  // Escape is no cancel here: it would drop the entry without the cancel question.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The entry as it would be stored; false with a message when a value does not fit the table.
  bool readEntry(BarcodeRecord& record) const;
  bool Save();
  void putIntoListRow(const BarcodeRecord& record);
  void applyTexts();

  ArticleData& data_;
  std::function<void(const std::exception&)> reportError_;
  QLineEdit* ecb_ = nullptr;
  QLineEdit* elib1_ = nullptr;
  QLineEdit* elib2_ = nullptr;
  QComboBox* combQuantite_ = nullptr;
  QComboBox* combTop_ = nullptr;
  QPushButton* boutok_ = nullptr;
  QPushButton* sretour_ = nullptr;
  QLabel* labels_[5] = {};
};

}  // namespace vekrano::records
