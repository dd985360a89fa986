#include "app/program/dot_command_words.h"

#include <charconv>

#include "app/program/sql_shell.h"

namespace vekrano::app {

DotCommandWords::DotCommandWords(std::string command, std::string usageLine, const std::vector<std::string>& words)
    : command_(std::move(command)), usageLine_(std::move(usageLine)), words_(words) {}

std::string DotCommandWords::fileAndOptions(const std::function<bool(const std::string& option)>& option) {
  std::string path;
  for (at_ = 0; at_ < words_.size(); ++at_) {
    const std::string& word = words_[at_];
    if (word.rfind("--", 0) == 0) {
      if (!option(word)) usage("unknown option " + word);
    } else if (path.empty()) {
      path = word;
    } else {
      usage("one FILE only");
    }
  }
  if (path.empty()) usage("FILE is missing");
  return path;
}

const std::string& DotCommandWords::value() {
  if (at_ + 1 >= words_.size()) usage(words_[at_] + " needs a value");
  return words_[++at_];
}

char DotCommandWords::separator() {
  const std::string& separator = value();
  if (separator != "," && separator != ";") usage("--separator is \",\" or \";\", not \"" + separator + "\"");
  return separator[0];
}

int DotCommandWords::number(int low, int high) {
  const std::string& option = words_[at_];
  return number(option, value(), low, high);
}

int DotCommandWords::number(const std::string& option, const std::string& text, int low, int high) const {
  int value = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    usage(option + " takes a number from " + std::to_string(low) + " to " + std::to_string(high) + ", not \"" + text +
          "\"");
  }
  return value;
}

void DotCommandWords::usage(const std::string& problem) const {
  throw EShellUsage(command_ + ": " + problem + "\nusage: " + usageLine_);
}

}  // namespace vekrano::app
