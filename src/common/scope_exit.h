// Work bound to the end of a scope: putting back what a block changed, leaving a section it
// entered. One rule for failures there: a scope left normally raises the failure of its closing
// work; a scope left by an exception drops it, so that the first error is the one reported (a
// second exception leaving a destructor would end the process).
#pragma once

#include <exception>
#include <utility>

namespace vekrano::common {

// Taken where a scope begins (as a member, where an object is the scope); tells at its end whether
// an exception is leaving it, and runs the closing work by the rule above.
class ScopeEnd {
 public:
  bool unwinding() const { return std::uncaught_exceptions() > pending_; }

  template <typename Action>
  void close(Action&& action) const {
    if (!unwinding()) {
      action();
      return;
    }
    try {
      action();
    } catch (...) {
      // The exception already leaving the scope is the one to report.
    }
  }

 private:
  int pending_ = std::uncaught_exceptions();
};

// Runs `action` when the scope ends, by return or by exception.
template <typename Action>
class ScopeExit {
 public:
  explicit ScopeExit(Action action) : action_(std::move(action)) {}
  ~ScopeExit() noexcept(false) { end_.close(action_); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Action action_;
  ScopeEnd end_;
};

// Runs `action` only when the scope is left by an exception: the undoing of work that did not
// complete.
template <typename Action>
class OnUnwind {
 public:
  explicit OnUnwind(Action action) : action_(std::move(action)) {}
  ~OnUnwind() {
    if (end_.unwinding()) end_.close(action_);
  }
  OnUnwind(const OnUnwind&) = delete;
  OnUnwind& operator=(const OnUnwind&) = delete;

 private:
  Action action_;
  ScopeEnd end_;
};

}  // namespace vekrano::common
