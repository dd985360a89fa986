#include "support/qt/ink_bounds.h"

namespace vekrano::testing {

QRect inkBounds(const QImage& image, const QColor& background) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) != background) bounds |= QRect(x, y, 1, 1);
    }
  }
  return bounds;
}

}  // namespace vekrano::testing
