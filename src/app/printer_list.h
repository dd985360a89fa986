// The printer list of the Printing page.
#pragma once

#include <QString>

class QComboBox;

namespace vekrano::app {

// Clears the selection, then, for a non-empty name, selects every entry whose text equals it
// exactly (letter case counts): the last equal entry stays selected.
void selectPrinterByName(QComboBox& list, const QString& name);

}  // namespace vekrano::app
