#include "app/backup_progress_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "languages/qt_text.h"

namespace vekrano::app {

constexpr int kBackupCancelText = 197;
constexpr int kFileWidthPx = 360;

BackupProgressWindow::BackupProgressWindow(int captionId, QWidget* parent) : QDialog(parent) {
  setObjectName("BackupProgress");
  setWindowTitle(languages::textOf(captionId));
  setWindowModality(Qt::WindowModal);
  auto* layout = new QVBoxLayout(this);
  file_ = new QLabel(this);
  file_->setObjectName("lfichier");
  // A long path is shortened in its middle rather than widening the window past the screen.
  file_->setMinimumWidth(kFileWidthPx);
  file_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
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
  component.OnProgress = [this](backup::TBackupFile&, const std::string& filename, int percent, bool& goOn) {
    if (!filename.empty()) showFile(languages::toQt(filename));
    bar_->setValue(percent);
    goOn = !stopped_;
  };
  show();
}

void BackupProgressWindow::showFile(const QString& path) {
  file_->setToolTip(path);
  file_->setText(file_->fontMetrics().elidedText(path, Qt::ElideMiddle, file_->contentsRect().width()));
}

}  // namespace vekrano::app
