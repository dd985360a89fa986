// The small "Report Status" window shown while a label page is generated and printed.
#pragma once

#include <QWidget>

#include "printing/label_report.h"

class QLabel;

namespace vekrano::printing {

class ReportStatusWindow : public QWidget, public ReportStatus {
  Q_OBJECT

 public:
  explicit ReportStatusWindow(QWidget* parent = nullptr);

  // Shows the window with "Printing page <page>" and paints it at once, since the page is
  // generated on this same thread.
  void pageStarted(int page) override;
  void jobEnded() override;
  QString statusText() const;

 private:
  QLabel* text_;
};

}  // namespace vekrano::printing
