// The controls of the main window's pages, each created with its object name (which the tests
// and the language file's tools know it by) and its French text of the layout.
#pragma once

#include <QStyle>

class QAbstractButton;
class QAction;
class QGroupBox;
class QPushButton;
class QToolButton;
class QWidget;

namespace vekrano::app {

template <typename T>
T* named(T* object, const char* name) {
  object->setObjectName(name);
  return object;
}

// Texts of the layout are written in UTF-8.
QString utf8(const char* text);

QToolButton* toolButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon, const char* text,
                        const char* hint);
QGroupBox* group(QWidget* parent, const char* name, const char* title);
QPushButton* button(QWidget* parent, const char* name, const char* text, const char* hint = "");

template <typename Button>
Button* choice(QWidget* parent, const char* name, const char* text, bool checked) {
  auto* b = named(new Button(utf8(text), parent), name);
  b->setChecked(checked);
  return b;
}

// The interface texts `captionId` and `hintId` (0: none) of a button or a menu item.
void setTexts(QAbstractButton& control, int captionId, int hintId = 0);
void setTexts(QAction& control, int captionId);
void setTitle(QGroupBox& box, int id);

}  // namespace vekrano::app
