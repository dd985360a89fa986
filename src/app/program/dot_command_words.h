// The words after a file dot command (.import, .export): "--name value" options, flags and one
// FILE, read the same way by each, with the same messages for what is wrong.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace vekrano::app {

class DotCommandWords {
 public:
  // `command` is the dot command as typed (".import"); `usageLine` its usage text.
  DotCommandWords(std::string command, std::string usageLine, const std::vector<std::string>& words);

  // Reads every word: each "--" word goes to `option`, which takes its value with value() and
  // returns false for an option it does not know. Returns the FILE. Raises EShellUsage for an
  // unknown option, a missing value, a second FILE or none.
  std::string fileAndOptions(const std::function<bool(const std::string& option)>& option);

  // The value of the option being read: the next word.
  const std::string& value();
  // The value of --separator: "," or ";".
  char separator();
  // The value of the option being read as a number from `low` to `high`.
  int number(int low, int high);
  // `text` read as a number from `low` to `high`, for an option or a part of its value.
  int number(const std::string& option, const std::string& text, int low, int high) const;

  [[noreturn]] void usage(const std::string& problem) const;

 private:
  std::string command_;
  std::string usageLine_;
  const std::vector<std::string>& words_;
  std::size_t at_ = 0;
};

}  // namespace vekrano::app
