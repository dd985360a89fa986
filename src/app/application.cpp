#include "app/application.h"

#include <QFont>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <vector>

#include "common/format_settings.h"
#include "common/process_events.h"
#include "common/wait_cursor.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"

namespace vekrano::app {

VekranoApplication::VekranoApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName("Vekrano");
  setApplicationDisplayName("Vekrano");
  QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
  fillFormatSettingsFromLocale();
  common::setPrompts(&prompts_);
  common::setProcessEventsHook([] { QCoreApplication::processEvents(); });
  common::setWaitCursorHook(
      {[] { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }, [] { QGuiApplication::restoreOverrideCursor(); }});
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

namespace {

// Qt's catalogues for a language, the one consulted first first. Qt ships no European
// Portuguese catalogue of its current texts: the older European one is read before the
// Brazilian one, which fills what it lacks.
std::vector<const char*> qtCatalogues(int languageNumber) {
  switch (languageNumber) {
    case languages::kFrench: return {"qtbase_fr"};
    case languages::kPortuguese: return {"qt_pt_PT", "qtbase_pt_BR"};
    case languages::kSpanish: return {"qtbase_es"};
    default: return {};
  }
}

}  // namespace

void useQtTexts(int languageNumber) {
  static std::vector<QPointer<QTranslator>> installed;
  for (const QPointer<QTranslator>& translator : installed) delete translator.data();
  installed.clear();
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  const std::vector<const char*> catalogues = qtCatalogues(languageNumber);
  // The translator installed last is consulted first.
  for (auto name = catalogues.rbegin(); name != catalogues.rend(); ++name) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QString::fromLatin1(*name), folder)) {
      QCoreApplication::installTranslator(translator);
      installed.emplace_back(translator);
    } else {
      delete translator;
    }
  }
}

}  // namespace vekrano::app
