// The one crossing between the engines' Windows-1252 texts and the widgets' Unicode.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vekrano::languages {

// An ANSI (Windows-1252) text as a widget text.
QString toQt(std::string_view ansi);
// A widget text as ANSI; characters Windows-1252 cannot hold become "?".
std::string fromQt(const QString& text);
// GetText(id) as a widget text.
QString textOf(int id);

}  // namespace vekrano::languages
