// The root of every exception the engines raise; each subclass carries the system's text.
#pragma once

#include <stdexcept>
#include <string>

namespace vekrano::common {

// Message texts are ANSI (Windows-1252), exactly as the system words them.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string message() const { return what(); }
};

}  // namespace vekrano::common
