#include "GlTestContext.h"

#include "gl/GlContext.h"

#include <gtest/gtest.h>

#include <memory>

namespace vorlan {
namespace {

// Counts the calls a guard makes; the counters live outside so that they survive the owner.
struct CallCounts {
  int made = 0;
  int released = 0;
};

class CountingContext : public GlRenderContext {
public:
  explicit CountingContext(CallCounts& counts, bool succeeds = true) : counts_(counts), succeeds_(succeeds) {}
  bool makeContextCurrent() override {
    ++counts_.made;
    return succeeds_;
  }
  void releaseContext() override { ++counts_.released; }

private:
  CallCounts& counts_;
  bool succeeds_;
};

class CurrentRenderContext : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(QOpenGLContext::currentContext(), nullptr) << "an earlier test left a context current";
    ASSERT_EQ(currentRenderContext(), nullptr) << "an earlier test left a context registered";
  }
};

TEST_F(CurrentRenderContext, GuardReleasesOnlyWhatItMadeCurrent) {
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

TEST_F(CurrentRenderContext, LastRegisteredLiveOwnerIsCurrentAndADestroyedOneIsNeverUsed) {
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

TEST_F(CurrentRenderContext, GuardMakesARealContextCurrentOnlyForItsScopeAndNestsInsideADrawingPass) {
  test::GlTestContext context;
  ASSERT_TRUE(context.valid());
  context.releaseContext();
  setCurrentRenderContext(context);
  {
    CurrentContextGuard guard;
    EXPECT_TRUE(guard.active() && context.isCurrent());
    GLint drawFramebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &drawFramebuffer);
    EXPECT_NE(drawFramebuffer, 0) << "making current also binds the context's own framebuffer";
    {
      CurrentContextGuard inner;
      EXPECT_TRUE(inner.active());
    }
    EXPECT_TRUE(context.isCurrent()) << "nested work must not release the pass's context";
  }
  EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
}

} // namespace
} // namespace vorlan
