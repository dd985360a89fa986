#include "languages/qt_text.h"

#include "common/code_page.h"
#include "languages/interface_texts.h"

namespace vekrano::languages {

QString toQt(std::string_view ansi) { return QString::fromStdString(common::ansiToUtf8(ansi)); }

std::string fromQt(const QString& text) { return common::utf8ToAnsi(text.toStdString()); }

QString textOf(int id) { return toQt(GetText(id)); }

}  // namespace vekrano::languages
