// The status window of the label report.
#include "printing/report_status_window.h"

#include <QLabel>
#include <QVBoxLayout>

namespace vekrano::printing {
namespace {

const char* const kTitle = "Report Status";
const char* const kPageText = "Printing page %p";

}  // namespace

ReportStatusWindow::ReportStatusWindow(QWidget* parent) : QWidget(parent, Qt::Dialog), text_(new QLabel(this)) {
  setWindowTitle(QString::fromLatin1(kTitle));
  text_->setMinimumWidth(200);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
}

void ReportStatusWindow::pageStarted(int page) {
  text_->setText(QString::fromLatin1(kPageText).replace(QLatin1String("%p"), QString::number(page)));
  show();
  raise();
  repaint();
}

void ReportStatusWindow::jobEnded() { hide(); }

QString ReportStatusWindow::statusText() const { return text_->text(); }

}  // namespace vekrano::printing
