#include "app/qt_prompts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include "app/database_error_text.h"
#include "common/exception.h"
#include "languages/qt_text.h"

namespace vekrano::app {

namespace {

QMessageBox::Icon iconOf(common::PromptKind kind) {
  switch (kind) {
    case common::PromptKind::Warning: return QMessageBox::Warning;
    case common::PromptKind::Error: return QMessageBox::Critical;
    case common::PromptKind::Question: return QMessageBox::Question;
    case common::PromptKind::Information: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsOf(common::PromptButtons buttons) {
  switch (buttons) {
    case common::PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case common::PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case common::PromptButtons::Ok: break;
  }
  return QMessageBox::Ok;
}

common::PromptAnswer answerOf(int button) {
  switch (button) {
    case QMessageBox::Cancel: return common::PromptAnswer::Cancel;
    case QMessageBox::Yes: return common::PromptAnswer::Yes;
    case QMessageBox::No: return common::PromptAnswer::No;
    default: return common::PromptAnswer::Ok;
  }
}

}  // namespace

int titleRoom(const QString& title) {
  // The window manager draws the title in about the application's font, beside an icon and
  // three frame buttons of about the title bar's height.
  const QFontMetrics metrics(QApplication::font());
  return metrics.horizontalAdvance(title) + 6 * metrics.height();
}

void keepTitleReadable(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) return;
  grid->addItem(new QSpacerItem(titleRoom(box.windowTitle()), 0, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                grid->columnCount());
}

common::PromptAnswer QtPrompts::show(const common::Prompt& prompt) {
  QMessageBox box(iconOf(prompt.kind), languages::toQt(prompt.caption), languages::toQt(prompt.text),
                  buttonsOf(prompt.buttons), parent_);
  if (prompt.noIsDefault) box.setDefaultButton(QMessageBox::No);
  keepTitleReadable(box);
  return answerOf(box.exec());
}

void QtPrompts::beep() { QApplication::beep(); }

void showApplicationError(const std::exception& error) {
  // An abort ends an operation on purpose; whoever raised it has told the user already.
  if (dynamic_cast<const common::EAbort*>(&error) != nullptr) return;
  common::showMessage(interfaceText(error), "Vekrano", common::PromptKind::Error);
}

}  // namespace vekrano::app
