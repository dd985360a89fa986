#include "languages/flag_pictures.h"

#include <QPainter>

#include "languages/interface_texts.h"

namespace vekrano::languages {

namespace {

constexpr int kWidth = 24;
constexpr int kHeight = 16;

void drawVerticalBands(QPainter& p, std::initializer_list<std::pair<int, QColor>> bands) {
  int x = 0;
  for (const auto& [width, colour] : bands) {
    p.fillRect(x, 0, width, kHeight, colour);
    x += width;
  }
}

}  // namespace

QPixmap flagPicture(int language) {
  QPixmap picture(kWidth, kHeight);
  picture.fill(Qt::white);
  QPainter p(&picture);
  switch (language) {
    case kFrench: drawVerticalBands(p, {{8, QColor(0, 85, 164)}, {8, Qt::white}, {8, QColor(239, 65, 53)}}); break;
    case kEnglish:
      p.fillRect(picture.rect(), QColor(1, 33, 105));
      p.setPen(QPen(Qt::white, 4));
      p.drawLine(0, 0, kWidth, kHeight);
      p.drawLine(0, kHeight, kWidth, 0);
      p.fillRect(9, 0, 6, kHeight, Qt::white);
      p.fillRect(0, 5, kWidth, 6, Qt::white);
      p.fillRect(10, 0, 4, kHeight, QColor(200, 16, 46));
      p.fillRect(0, 6, kWidth, 4, QColor(200, 16, 46));
      break;
    case kPortuguese:
      drawVerticalBands(p, {{10, QColor(0, 102, 0)}, {14, QColor(255, 0, 0)}});
      p.setBrush(QColor(255, 204, 0));
      p.setPen(Qt::NoPen);
      p.drawEllipse(QPoint(10, 8), 4, 4);
      break;
    case kSpanish:
      p.fillRect(picture.rect(), QColor(170, 21, 27));
      p.fillRect(0, 4, kWidth, 8, QColor(241, 191, 0));
      break;
    default: break;
  }
  p.setPen(Qt::gray);
  p.setBrush(Qt::NoBrush);
  p.drawRect(0, 0, kWidth - 1, kHeight - 1);
  return picture;
}

}  // namespace vekrano::languages
