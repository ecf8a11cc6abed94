#include <QOpenGLContext>

#include "gl/GlContext.h"

#include <gtest/gtest.h>

#include <memory>

namespace vorlan {
namespace {

// Counts the calls a guard makes; the counters live outside so that they survive the owner.
struct CallCounts {
  int made = 0, released = 0;
};

struct CountingContext : GlRenderContext {
  CountingContext(CallCounts& counts, bool succeeds = true) : counts(counts), succeeds(succeeds) {}
  bool makeContextCurrent() override { return ++counts.made, succeeds; }
  void releaseContext() override { ++counts.released; }
  CallCounts& counts;
  bool succeeds;
};

TEST(CurrentRenderContext, GuardReleasesOnlyWhatItMadeCurrent) {
  EXPECT_FALSE(CurrentContextGuard().active()) << "no context at all";
  for (const bool succeeds : {true, false}) {
    SCOPED_TRACE(succeeds ? "context made current" : "context refused");
    CallCounts counts;
    CountingContext context(counts, succeeds);
    setCurrentRenderContext(context);
    {
      CurrentContextGuard guard;
      EXPECT_EQ(std::tuple(guard.active(), counts.made, counts.released), std::tuple(succeeds, 1, 0));
    }
    EXPECT_EQ(counts.released, succeeds ? 1 : 0);
  }
}

TEST(CurrentRenderContext, LastRegisteredLiveOwnerIsCurrentAndADestroyedOneIsNeverUsed) {
  CallCounts counts;
  auto first = std::make_unique<CountingContext>(counts);
  auto second = std::make_unique<CountingContext>(counts);
  setCurrentRenderContext(*first);
  setCurrentRenderContext(*second);
  setCurrentRenderContext(*first);
  EXPECT_EQ(currentRenderContext(), first.get()) << "registering again moves an owner to the front";
  {
    CurrentContextGuard guard;
    first.reset();
  }
  EXPECT_EQ(std::pair(counts.made, counts.released), std::pair(1, 0))
      << "an owner destroyed inside the guard is not released afterwards";
  EXPECT_EQ(currentRenderContext(), second.get()) << "a destroyed owner hands over to the one before it";
  withdrawRenderContext(*second);
  withdrawRenderContext(*second);
  EXPECT_EQ(currentRenderContext(), nullptr) << "withdrawing twice is harmless";
}

} // namespace
} // namespace vorlan
