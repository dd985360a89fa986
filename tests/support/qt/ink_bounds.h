// Where a painted image holds anything but its background: what the window tests read to see
// where a text or an arrow was drawn.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

namespace vekrano::testing {

// The smallest rectangle holding every pixel of `image` other than `background`; empty if none.
QRect inkBounds(const QImage& image, const QColor& background);

}  // namespace vekrano::testing
