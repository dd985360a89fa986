// Named controls of the main window's pages and their interface texts.
#include "app/named_controls.h"

#include <QAction>
#include <QGroupBox>
#include <QPushButton>
#include <QToolButton>

#include "languages/qt_text.h"

namespace vekrano::app {

QString utf8(const char* text) { return QString::fromUtf8(text); }

QToolButton* toolButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon, const char* text,
                        const char* hint) {
  auto* button = named(new QToolButton(parent), name);
  button->setIcon(parent->style()->standardIcon(icon));
  button->setToolTip(utf8(hint));
  if (text != nullptr) {
    button->setText(utf8(text));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  }
  return button;
}

QGroupBox* group(QWidget* parent, const char* name, const char* title) {
  return named(new QGroupBox(utf8(title), parent), name);
}

QPushButton* button(QWidget* parent, const char* name, const char* text, const char* hint) {
  auto* b = named(new QPushButton(utf8(text), parent), name);
  b->setToolTip(utf8(hint));
  return b;
}

void setTexts(QAbstractButton& control, int captionId, int hintId) {
  if (captionId != 0) control.setText(languages::textOf(captionId));
  if (hintId != 0) control.setToolTip(languages::textOf(hintId));
}

void setTexts(QAction& control, int captionId) { control.setText(languages::textOf(captionId)); }

void setTitle(QGroupBox& box, int id) { box.setTitle(languages::textOf(id)); }

}  // namespace vekrano::app
