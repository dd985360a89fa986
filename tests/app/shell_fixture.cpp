#include "shell_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

#include "languages/language_choice_window.h"

namespace vekrano::app::testing {

int AnsweringDesktop::runModal(QDialog& dialog) {
  modalTitles.push_back(dialog.windowTitle());
  if (auto* choice = qobject_cast<languages::Tfchoixlangue*>(&dialog); choice && this->choice > 0) {
    choice->languages().buttons[static_cast<std::size_t>(this->choice - 1)]->setChecked(true);
  }
  if (whileShown) {
    dialog.setResult(-1);
    whileShown(dialog);
    if (dialog.result() != -1) return dialog.result();
  }
  dialog.done(QDialog::Accepted);
  return QDialog::Accepted;
}

TFprincip& ShellTest::start() {
  window = std::make_unique<TFprincip>(dir(), desktop, data);
  window->FormShow();
  window->FormActivate();
  return *window;
}

void ShellTest::stop() {
  window->close();
  window.reset();
}

QString captionOf(const QObject& window, const QString& name) {
  if (name.startsWith("s:")) {
    auto* grid = window.findChild<QTableView*>("s");
    return grid->model()->headerData(name.mid(2).toInt(), Qt::Horizontal).toString();
  }
  QObject* control = window.findChild<QObject*>(name);
  if (control == nullptr) return "<no control " + name + ">";
  if (auto* action = qobject_cast<QAction*>(control)) return action->text();
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
  if (auto* box = qobject_cast<QGroupBox*>(control)) return box->title();
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  auto* page = qobject_cast<QWidget*>(control);
  for (QWidget* up = page->parentWidget(); up != nullptr; up = up->parentWidget()) {
    if (auto* pages = qobject_cast<QTabWidget*>(up)) return pages->tabText(pages->indexOf(page));
  }
  return "<no caption>";
}

QString hintOf(const QObject& window, const QString& name) {
  QObject* control = window.findChild<QObject*>(name);
  if (auto* action = qobject_cast<QAction*>(control)) return action->toolTip();
  if (auto* widget = qobject_cast<QWidget*>(control)) return widget->toolTip();
  return "<no control " + name + ">";
}

std::string settingsBytes(int language, int labelIndex, const std::string& printer) {
  std::string bytes(116, '\0');
  bytes.replace(0, 4, "\x03VKP");
  for (int i = 0; i < 4; ++i) {
    bytes[4 + i] = static_cast<char>((static_cast<unsigned>(language) >> (8 * i)) & 0xFF);
    bytes[8 + i] = static_cast<char>((static_cast<unsigned>(labelIndex) >> (8 * i)) & 0xFF);
  }
  bytes[12] = static_cast<char>(printer.size());
  bytes.replace(13, printer.size(), printer);
  return bytes;
}

}  // namespace vekrano::app::testing
