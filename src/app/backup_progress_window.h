// The small window shown while a backup or a restore runs: the file being handled, the
// percentage the component reports, and a button that stops the run.
#pragma once

#include <QDialog>

#include "backup/backup_file.h"

class QLabel;
class QProgressBar;

namespace vekrano::app {

class BackupProgressWindow : public QDialog {
  Q_OBJECT

 public:
  // `captionId`: the text id of the window's caption.
  BackupProgressWindow(int captionId, QWidget* parent);

  // Shows the window and makes it follow the progress of `component` until it closes.
  void follow(backup::TBackupFile& component);

  bool stopped() const { return stopped_; }

 private:
  // The file being handled, shortened in the middle to the label's width; whole in its hint.
  void showFile(const QString& path);

  QLabel* file_;
  QProgressBar* bar_;
  bool stopped_ = false;
};

}  // namespace vekrano::app
