// Millimetres on a paint device: the layouts are measured in millimetres from the page's corner,
// and every page is drawn in the device's own units so that fonts keep their point sizes.
#pragma once

#include <QPaintDevice>
#include <QPainter>
#include <QPointF>

namespace vekrano::printing {

inline constexpr double kMmPerInch = 25.4;

// Device units per millimetre of one painter's device.
struct DeviceScale {
  double x;
  double y;
  explicit DeviceScale(const QPainter& painter)
      : x(painter.device()->logicalDpiX() / kMmPerInch), y(painter.device()->logicalDpiY() / kMmPerInch) {}
  // The point (xMm, yMm) from the page's corner, in device units.
  QPointF at(double xMm, double yMm) const { return {xMm * x, yMm * y}; }
};

}  // namespace vekrano::printing
