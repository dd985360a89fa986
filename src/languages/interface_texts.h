// The language number of the process and the text lookup every window goes through.
#pragma once

#include <string>

namespace vekrano::languages {

class Tgerelanguage;

// Language numbers; 0 until the settings are read.
constexpr int kFrench = 1;
constexpr int kEnglish = 2;
constexpr int kPortuguese = 3;
constexpr int kSpanish = 4;

int languageNumber();
void setLanguageNumber(int language);

// The language manager whose loaded texts replace the built-in table (borrowed; the main
// window owns it). nullptr leaves the built-in table in force.
void setLanguageManager(const Tgerelanguage* manager);
const Tgerelanguage* languageManager();
// True when a language manager is installed and its file was loaded.
bool languageFileInForce();

// The text of `id` (ANSI): slot `id` of a loaded language manager, otherwise the built-in text
// for the language number; for an added text (id above 134) the built-in one also when the
// loaded file has no line for it. Empty for an id outside 1..kTextIdCount, and for a language
// number outside 1..4 when the built-in table is used.
std::string GetText(int id);

// The built-in text of `id` in `language` (ANSI); empty outside the table.
const std::string& builtInText(int id, int language);

}  // namespace vekrano::languages
