#include "app/printer_list.h"

#include <QComboBox>

namespace vekrano::app {

void selectPrinterByName(QComboBox& list, const QString& name) {
  list.setCurrentIndex(-1);
  if (name.isEmpty()) return;
  for (int i = 0; i < list.count(); ++i) {
    if (list.itemText(i) == name) list.setCurrentIndex(i);
  }
}

}  // namespace vekrano::app
