#include "app/app_pictures.h"

#include <QPainter>

namespace vekrano::app {

QPixmap barcodePicture(int size) {
  QPixmap picture(size, size);
  picture.fill(Qt::white);
  QPainter p(&picture);
  // Narrow and wide bars in a fixed pattern, with a quiet zone at each side.
  static constexpr int kWidths[] = {1, 1, 3, 1, 1, 3, 3, 1, 1, 1, 3, 1, 1, 3};
  const int unit = std::max(1, size / 32);
  int x = 2 * unit;
  bool bar = true;
  for (int w : kWidths) {
    if (bar) p.fillRect(x, size / 6, w * unit, size * 2 / 3, Qt::black);
    x += w * unit;
    bar = !bar;
    if (x >= size - 2 * unit) break;
  }
  return picture;
}

}  // namespace vekrano::app
