// The about window: which program and version is running.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace vekrano::app {

// The version the window shows, in every language.
constexpr const char* kVersionText = "1.11";

class Tfapropos : public QDialog {
  Q_OBJECT

 public:
  explicit Tfapropos(QWidget* parent = nullptr);

 protected:
  // Sets lversion each time the window is shown.
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* lversion_;
  QPushButton* okButton_;
};

}  // namespace vekrano::app
