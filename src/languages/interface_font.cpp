#include "languages/interface_font.h"

#include <QFontDatabase>
#include <QWidget>

#include "languages/language_manager.h"
#include "languages/qt_text.h"

namespace vekrano::languages {

namespace {

void setFace(QWidget* widget, const QString& face) {
  QFont font = widget->font();
  font.setFamily(face);
  widget->setFont(font);
}

}  // namespace

QString interfaceFontFace(const Tgerelanguage* manager) {
  if (manager != nullptr && manager->Loaded() && !manager->Slot(kFontNameSlot).empty()) {
    return toQt(manager->Slot(kFontNameSlot));
  }
  return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

void ApplyInterfaceFont(const Tgerelanguage* manager, const std::vector<QWidget*>& windows) {
  const QString face = interfaceFontFace(manager);
  for (QWidget* window : windows) {
    if (window == nullptr) continue;
    // Controls with a font of their own keep it apart from the window's: collect them first,
    // since setting the window's font marks nothing on its children.
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    setFace(window, face);
    for (QWidget* child : children) {
      if (child->testAttribute(Qt::WA_SetFont)) setFace(child, face);
    }
  }
}

}  // namespace vekrano::languages
