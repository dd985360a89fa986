// The one notice of a run whose program directory cannot be written.
#pragma once

#include <string>

namespace vekrano::app {

// The language of notices shown before the settings are read: the system locale's, English for
// a language the program lacks.
int localeLanguageNumber();

// Shows, through the prompts, that neither `executableDirectory` nor `dataDirectory` can be
// written and that nothing will be saved. Before the settings are read the language number is
// 0: the system locale's language is used then (English for a language the program lacks).
void showUnwritableDirectoryNotice(const std::string& executableDirectory, const std::string& dataDirectory);

// The notice above, for this process, when its program directory cannot be written.
void noticeIfProgramDirectoryUnwritable();

}  // namespace vekrano::app
