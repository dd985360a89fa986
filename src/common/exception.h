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

// The silent exception: an operation ended on purpose (an event handler's abort, a syntax error
// handed to the query's own handler). The application's error display never shows it.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

}  // namespace vekrano::common
