// Reads a shown window as a user sees it: every label, button, radio button, check box, group
// title and tab whose text does not fit its widget in its font, every two visible controls that
// overlap or stand outside the window, and every caption that stands away from its control (its
// buddy) instead of right before it or right above it.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace vekrano::app::testing {

// One line per finding, naming the controls by object name (or class and text); empty when the
// window reads well. REQUIRES: `window` is shown and laid out.
QStringList layoutFindings(const QWidget& window);

}  // namespace vekrano::app::testing
