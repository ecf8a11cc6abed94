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

TEST_F(CurrentRenderContext, GuardIsInactiveWhenThereIsNoContextAtAll) {
  CurrentContextGuard guard;
  EXPECT_FALSE(guard.active());
}

TEST_F(CurrentRenderContext, GuardMakesTheRegisteredContextCurrentAndReleasesIt) {
  CallCounts counts;
  CountingContext context(counts);
  setCurrentRenderContext(context);
  {
    CurrentContextGuard guard;
    EXPECT_TRUE(guard.active());
    EXPECT_EQ(counts.made, 1);
    EXPECT_EQ(counts.released, 0);
  }
  EXPECT_EQ(counts.released, 1);
}

TEST_F(CurrentRenderContext, ContextThatCannotBeMadeCurrentLeavesTheGuardInactive) {
  CallCounts counts;
  CountingContext context(counts, false);
  setCurrentRenderContext(context);
  {
    CurrentContextGuard guard;
    EXPECT_FALSE(guard.active());
  }
  EXPECT_EQ(counts.released, 0);
}

TEST_F(CurrentRenderContext, LastRegisteredLiveOwnerIsCurrent) {
  CallCounts counts;
  auto first = std::make_unique<CountingContext>(counts);
  auto second = std::make_unique<CountingContext>(counts);
  setCurrentRenderContext(*first);
  setCurrentRenderContext(*second);
  EXPECT_EQ(currentRenderContext(), second.get());

  setCurrentRenderContext(*first);
  EXPECT_EQ(currentRenderContext(), first.get()) << "registering again moves an owner to the front";

  first.reset();
  EXPECT_EQ(currentRenderContext(), second.get()) << "a destroyed owner hands over to the one before it";

  withdrawRenderContext(*second);
  EXPECT_EQ(currentRenderContext(), nullptr);
  withdrawRenderContext(*second);
  EXPECT_EQ(currentRenderContext(), nullptr) << "withdrawing twice is harmless";
}

TEST_F(CurrentRenderContext, DestroyedOwnerIsNeverUsed) {
  CallCounts counts;
  auto owner = std::make_unique<CountingContext>(counts);
  setCurrentRenderContext(*owner);
  owner.reset();
  EXPECT_EQ(currentRenderContext(), nullptr);
  CurrentContextGuard guard;
  EXPECT_FALSE(guard.active());
  EXPECT_EQ(counts.made, 0);
}

TEST_F(CurrentRenderContext, OwnerDestroyedInsideTheGuardIsNotReleasedAfterwards) {
  CallCounts counts;
  auto owner = std::make_unique<CountingContext>(counts);
  setCurrentRenderContext(*owner);
  {
    CurrentContextGuard guard;
    owner.reset();
  }
  EXPECT_EQ(counts.made, 1);
  EXPECT_EQ(counts.released, 0);
}

TEST_F(CurrentRenderContext, GuardMakesARealContextCurrentOnlyForItsScope) {
  test::GlTestContext context;
  ASSERT_TRUE(context.valid());
  context.releaseContext();
  setCurrentRenderContext(context);
  {
    CurrentContextGuard guard;
    EXPECT_TRUE(guard.active());
    EXPECT_TRUE(context.isCurrent());
    GLint drawFramebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &drawFramebuffer);
    EXPECT_NE(drawFramebuffer, 0) << "making current also binds the context's own framebuffer";
  }
  EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
}

TEST_F(CurrentRenderContext, GuardLeavesAnAlreadyCurrentContextAlone) {
  // A drawing pass, or an enclosing guard, has a context current: nested work must not release it.
  test::GlTestContext drawing;
  ASSERT_TRUE(drawing.valid());
  CallCounts counts;
  CountingContext registered(counts);
  setCurrentRenderContext(registered);
  {
    CurrentContextGuard outer;
    {
      CurrentContextGuard inner;
      EXPECT_TRUE(inner.active());
    }
    EXPECT_TRUE(drawing.isCurrent());
  }
  EXPECT_TRUE(drawing.isCurrent());
  EXPECT_EQ(counts.made, 0);
  EXPECT_EQ(counts.released, 0);
  withdrawRenderContext(registered);
}

} // namespace
} // namespace vorlan
