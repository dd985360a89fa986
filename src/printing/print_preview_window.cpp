// The preview window. Pages are painted when shown, at the size they are shown at, and only a
// few images are kept, so a run of any length opens at once and holds little memory.
#include "printing/print_preview_window.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <functional>

#include "languages/qt_text.h"
#include "printing/device_scale.h"

namespace vekrano::printing {
namespace {

constexpr int kTitleText = 160;
constexpr int kPageText = 161;
constexpr int kPrintText = 162;
constexpr int kCloseText = 163;
constexpr int kPreviousText = 164;
constexpr int kNextText = 165;
constexpr int kMarginPx = 8;
constexpr int kLowestDotsPerInch = 10;
constexpr int kOpeningWidthPx = 640;
constexpr int kOpeningHeightPx = 860;
constexpr double kScreenShare = 0.9;  // the rest for the window's frame and the desktop's panels

// Paints the page image that fits it, centred on a grey background.
class PageView : public QWidget {
 public:
  using ImageOf = std::function<const QImage&(QSize)>;
  PageView(ImageOf imageOf, QWidget* parent) : QWidget(parent), imageOf_(std::move(imageOf)) {
    setObjectName("PageApercu");
    setMinimumSize(200, 260);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::gray);
    const QImage& image = imageOf_(size() * devicePixelRatioF());
    const QSizeF shown = QSizeF(image.size()) / devicePixelRatioF();
    const QPointF corner((width() - shown.width()) / 2, (height() - shown.height()) / 2);
    painter.drawImage(QRectF(corner, shown), image);
    painter.setPen(Qt::darkGray);
    painter.drawRect(QRectF(corner, shown));
  }

 private:
  ImageOf imageOf_;
};

}  // namespace

LabelPreviewWindow::LabelPreviewWindow(const std::vector<KeptPage>& pages, PrinterCalibrations calibrations,
                                       QWidget* parent, const std::string& notice)
    : QDialog(parent), pages_(pages), calibrations_(std::move(calibrations)) {
  setObjectName("fapercu");
  setWindowTitle(languages::textOf(kTitleText));
  view_ = new PageView([this](QSize size) -> const QImage& { return pageImage(size); }, this);

  auto* bar = new QHBoxLayout;
  previous_ = new QPushButton(QStringLiteral("<"), this);
  previous_->setObjectName("btPagePrec");
  previous_->setToolTip(languages::textOf(kPreviousText));
  next_ = new QPushButton(QStringLiteral(">"), this);
  next_->setObjectName("btPageSuiv");
  next_->setToolTip(languages::textOf(kNextText));
  pageNumber_ = new QSpinBox(this);
  pageNumber_->setObjectName("SpinPage");
  pageNumber_->setRange(1, static_cast<int>(pages_.size()));
  auto* pageLabel = new QLabel(languages::textOf(kPageText), this);
  pageLabel->setObjectName("LabPage");
  pageLabel->setBuddy(pageNumber_);
  auto* count = new QLabel(QStringLiteral("/ %1").arg(pages_.size()), this);
  count->setObjectName("LabPageCount");
  auto* print = new QPushButton(languages::textOf(kPrintText), this);
  print->setObjectName("btApercuImprime");
  auto* close = new QPushButton(languages::textOf(kCloseText), this);
  close->setObjectName("btApercuFermer");
  bar->addWidget(previous_);
  bar->addWidget(pageLabel);
  bar->addWidget(pageNumber_);
  bar->addWidget(count);
  bar->addWidget(next_);
  bar->addStretch();
  bar->addWidget(print);
  bar->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  if (!notice.empty()) {
    auto* unprintable = new QLabel(languages::toQt(notice), this);
    unprintable->setObjectName("LabNonImprimables");
    unprintable->setWordWrap(true);
    layout->addWidget(unprintable);
  }
  layout->addWidget(view_, 1);
  layout->addLayout(bar);
  openAtPageSize();

  connect(previous_, &QPushButton::clicked, this, [this] { showPage(current_ - 1); });
  connect(next_, &QPushButton::clicked, this, [this] { showPage(current_ + 1); });
  connect(pageNumber_, &QSpinBox::valueChanged, this, [this](int page) { showPage(page - 1); });
  connect(print, &QPushButton::clicked, this, &QDialog::accept);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  showPage(0);
}

void LabelPreviewWindow::openAtPageSize() {
  // A page's height on most screens, never more than the screen holds with its window frame.
  QSize size(kOpeningWidthPx, kOpeningHeightPx);
  if (const QScreen* shown = screen()) {
    const QSize room = shown->availableGeometry().size() * kScreenShare;
    size = size.boundedTo(room).expandedTo(minimumSizeHint());
  }
  resize(size);
}

void LabelPreviewWindow::showPage(int index) {
  current_ = std::clamp(index, 0, static_cast<int>(pages_.size()) - 1);
  if (pageNumber_->value() != current_ + 1) pageNumber_->setValue(current_ + 1);
  previous_->setEnabled(current_ > 0);
  next_->setEnabled(current_ + 1 < static_cast<int>(pages_.size()));
  view_->update();
}

const QImage& LabelPreviewWindow::pageImage(QSize size) {
  const TLabelLayout& layout = *pages_[current_].layout;
  const double fit = std::min((size.width() - 2 * kMarginPx) / (layout.pageWidthMm() / kMmPerInch),
                              (size.height() - 2 * kMarginPx) / (layout.pageHeightMm() / kMmPerInch));
  const int dotsPerInch = std::max(kLowestDotsPerInch, static_cast<int>(std::floor(fit)));
  const auto held = std::find_if(held_.begin(), held_.end(), [&](const HeldImage& image) {
    return image.page == current_ && image.dotsPerInch == dotsPerInch;
  });
  if (held != held_.end()) return held->image;
  if (held_.size() == kHeldImages) held_.pop_front();
  held_.push_back({current_, dotsPerInch, renderKeptPage(pages_[current_], calibrations_, dotsPerInch)});
  return held_.back().image;
}

void LabelPreviewWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_PageUp: showPage(current_ - 1); return;
    case Qt::Key_PageDown: showPage(current_ + 1); return;
    case Qt::Key_Home: showPage(0); return;
    case Qt::Key_End: showPage(static_cast<int>(pages_.size()) - 1); return;
    default: QDialog::keyPressEvent(event);
  }
}

}  // namespace vekrano::printing
