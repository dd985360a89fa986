#include "app/backup_progress_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "languages/qt_text.h"

namespace vekrano::app {

constexpr int kBackupCancelText = 197;

BackupProgressWindow::BackupProgressWindow(int captionId, QWidget* parent) : QDialog(parent) {
  setObjectName("BackupProgress");
  setWindowTitle(languages::textOf(captionId));
  setWindowModality(Qt::WindowModal);
  auto* layout = new QVBoxLayout(this);
  file_ = new QLabel(this);
  file_->setObjectName("lfichier");
  file_->setMinimumWidth(360);
  bar_ = new QProgressBar(this);
  bar_->setObjectName("progression");
  bar_->setRange(0, 100);
  auto* stop = new QPushButton(languages::textOf(kBackupCancelText), this);
  stop->setObjectName("bannuler");
  connect(stop, &QPushButton::clicked, this, [this] { stopped_ = true; });
  layout->addWidget(file_);
  layout->addWidget(bar_);
  layout->addWidget(stop, 0, Qt::AlignRight);
}

void BackupProgressWindow::follow(backup::TBackupFile& component) {
  component.OnProgress = [this](backup::TBackupFile&, const std::string& filename, int percent,
                                bool& goOn) {
    if (!filename.empty()) file_->setText(languages::toQt(filename));
    bar_->setValue(percent);
    goOn = !stopped_;
  };
  show();
}

}  // namespace vekrano::app
