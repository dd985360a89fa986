// Closing work at the end of a scope: when it runs, and which failure leaves the scope.
#include "common/scope_exit.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace vekrano::common {
namespace {

// The message of the exception `action` lets out; empty when none.
template <typename Action>
std::string failureOf(Action&& action) {
  try {
    action();
  } catch (const std::exception& error) {
    return error.what();
  }
  return {};
}

TEST(ScopeExit, RunsOnEveryExitAndRaisesItsFailureOnlyWhenNothingElseLeaves) {
  int runs = 0;
  {
    const ScopeExit counted([&] { ++runs; });
  }
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(failureOf([&] {
              const ScopeExit counted([&] { ++runs; });
              throw std::runtime_error("first");
            }),
            "first");
  EXPECT_EQ(runs, 2);
  // Left normally, the closing work's failure is the scope's.
  EXPECT_EQ(failureOf([] { const ScopeExit failing([] { throw std::runtime_error("closing"); }); }), "closing");
  // Left by an exception, that exception is reported, not the closing work's.
  EXPECT_EQ(failureOf([] {
              const ScopeExit failing([] { throw std::runtime_error("closing"); });
              throw std::runtime_error("first");
            }),
            "first");
}

TEST(ScopeExit, OnUnwindUndoesOnlyWorkThatDidNotComplete) {
  std::string log;
  {
    const OnUnwind undone([&] { log += "undone"; });
    log += "done;";
  }
  EXPECT_EQ(log, "done;");
  EXPECT_EQ(failureOf([&] {
              const OnUnwind undone([&] { log += "undone"; });
              throw std::runtime_error("first");
            }),
            "first");
  EXPECT_EQ(log, "done;undone");
  EXPECT_EQ(failureOf([] {
              const OnUnwind failing([] { throw std::runtime_error("undo"); });
              throw std::runtime_error("first");
            }),
            "first");
}

// A scope begun inside a destructor run by another exception counts only the exceptions that
// come after it: left normally, its closing work's failure is still its own.
struct ClosesDuringUnwinding {
  std::string& seen;
  ~ClosesDuringUnwinding() {
    seen = failureOf([] { const ScopeExit failing([] { throw std::runtime_error("inner closing"); }); });
  }
};

TEST(ScopeExit, ScopeBegunWhileUnwindingCountsFromItsStart) {
  std::string seen;
  EXPECT_EQ(failureOf([&] {
              const ClosesDuringUnwinding closes{seen};
              throw std::runtime_error("outer");
            }),
            "outer");
  EXPECT_EQ(seen, "inner closing");
}

}  // namespace
}  // namespace vekrano::common
