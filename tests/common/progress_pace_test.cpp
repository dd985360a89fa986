#include "common/progress_pace.h"

#include <gtest/gtest.h>

#include <thread>

namespace vekrano::common {
namespace {

TEST(ProgressPace, DueAtOnceThenOncePerInterval) {
  ProgressPace slow(std::chrono::seconds(60));
  EXPECT_TRUE(slow.Due());
  EXPECT_FALSE(slow.Due());
  EXPECT_FALSE(slow.Due());

  ProgressPace quick(std::chrono::milliseconds(2));
  EXPECT_TRUE(quick.Due());
  std::this_thread::sleep_for(std::chrono::milliseconds(3));
  EXPECT_TRUE(quick.Due());
}

}  // namespace
}  // namespace vekrano::common
