// The preview window: the sheets of a run page by page, as they will print, with the way to
// print them from there.
#pragma once

#include <QDialog>
#include <deque>
#include <vector>

#include "printing/print_preview.h"

class QLabel;
class QPushButton;
class QSpinBox;

namespace vekrano::printing {

class LabelPreviewWindow : public QDialog {
  Q_OBJECT

 public:
  // Pages painted at most this many at a time are held as images.
  static constexpr std::size_t kHeldImages = 3;

  // Shows `pages` (borrowed, at least one) painted with their printer's calibration among
  // `calibrations`, and `notice` (ANSI; the unprintable records, none when empty) above them.
  // "Imprimer" closes the window accepted, "Fermer" rejected: the caller prints.
  LabelPreviewWindow(const std::vector<KeptPage>& pages, PrinterCalibrations calibrations, QWidget* parent = nullptr,
                     const std::string& notice = {});

  // The page shown, from 0.
  int currentPage() const { return current_; }
  // Shows page `index`, kept within the pages.
  void showPage(int index);
  // The shown page at the resolution that fits `size` (device pixels), painted when it is not
  // held yet.
  const QImage& pageImage(QSize size);
  std::size_t imagesHeld() const { return held_.size(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void openAtPageSize();

  struct HeldImage {
    int page;
    int dotsPerInch;
    QImage image;
  };

  const std::vector<KeptPage>& pages_;
  PrinterCalibrations calibrations_;
  int current_ = 0;
  std::deque<HeldImage> held_;  // the most recently painted last
  QWidget* view_;
  QSpinBox* pageNumber_;
  QPushButton* previous_;
  QPushButton* next_;
};

}  // namespace vekrano::printing
