// Pictures of our own drawing: the program's icon, a small barcode.
#pragma once

#include <QPixmap>

namespace vekrano::app {

// A barcode of black bars on white, `size` pixels square.
QPixmap barcodePicture(int size);

}  // namespace vekrano::app
