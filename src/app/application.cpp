#include "app/application.h"

#include <QFont>
#include <QGuiApplication>
#include <QLocale>

#include "common/format_settings.h"
#include "common/process_events.h"
#include "common/wait_cursor.h"
#include "languages/qt_text.h"

namespace vekrano::app {

VekranoApplication::VekranoApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Vekrano");
  setApplicationDisplayName("Vekrano");
  QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
  fillFormatSettingsFromLocale();
  common::setPrompts(&prompts_);
  common::setProcessEventsHook([] { QCoreApplication::processEvents(); });
  common::setWaitCursorHook({[] { QGuiApplication::setOverrideCursor(Qt::WaitCursor); },
                             [] { QGuiApplication::restoreOverrideCursor(); }});
}

VekranoApplication::~VekranoApplication() {
  common::setWaitCursorHook({});
  common::setProcessEventsHook({});
  common::setPrompts(nullptr);
}

bool VekranoApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
  return false;
}

void fillFormatSettingsFromLocale() {
  QLocale locale = QLocale::system();
  common::FormatSettings& settings = common::formatSettings();
  settings.shortDateFormat = languages::fromQt(locale.dateFormat(QLocale::ShortFormat));
  auto oneByte = [](const QString& text, char fallback) {
    std::string ansi = languages::fromQt(text);
    return ansi.size() == 1 ? ansi[0] : fallback;
  };
  settings.decimalSeparator = oneByte(locale.decimalPoint(), settings.decimalSeparator);
  settings.thousandSeparator = oneByte(locale.groupSeparator(), settings.thousandSeparator);
  QString date = locale.dateFormat(QLocale::ShortFormat);
  for (QChar c : date) {
    if (!c.isLetter()) {
      settings.dateSeparator = oneByte(QString(c), settings.dateSeparator);
      break;
    }
  }
}

}  // namespace vekrano::app
