#include "GroundTestHost.h"

#include "gl/KX_OpenGL_BACKGROUND.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlan {
namespace {

// A 256-pixel view in the state the drawing pass leaves for the flare, with the streaks pinned.
class LensFlare : public test::GroundScene {
protected:
  LensFlare() : GroundScene(QSize(size, size)), background_(host_) {}

  void SetUp() override {
    GroundScene::SetUp();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    background_.SetRandomSource([] { return 0.5; });
    placeSun(50000, 0, 0);
  }

  void placeSun(double x, double y, double z) {
    background_.SetSunX(x);
    background_.SetSunY(y);
    background_.SetSunZ(z);
  }

  // A square of the model just in front of a sun straight ahead.
  static void coverSun() {
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_CULL_FACE);
    glBegin(GL_QUADS);
    glVertex3d(40000, -2000, -2000);
    glVertex3d(40000, 2000, -2000);
    glVertex3d(40000, 2000, 2000);
    glVertex3d(40000, -2000, 2000);
    glEnd();
    glPopAttrib();
  }

  QImage flareOverCleared() {
    clear();
    background_.DrawLensFlare();
    return context_.grab();
  }

  static constexpr int size = 256;
  TGL_BACKGROUND background_;
};

TEST_F(LensFlare, ShowsOnlyForASunInViewThatNothingCovers) {
  struct Case {
    std::string where;
    double x, y, z;
    double farPlane;
    bool covered;
    bool shown;
  };
  // Straight ahead the sun is at the centre; +y is to the left. The margin past the edge is W/4.
  for (const auto& [where, x, y, z, farPlane, covered, shown] :
       {Case{"ahead", 50000, 0, 0, 200000, false, true},
        {"ahead behind the model", 50000, 0, 0, 200000, true, false},
        {"past the far plane", 50000, 0, 0, 40000, false, false},
        {"behind the eye", -50000, 0, 0, 200000, false, false},
        {"off the right edge within the margin", 50000, -34641, 0, 200000, false, true},
        {"off the right edge past the margin", 50000, -60000, 0, 200000, false, false},
        {"off the top edge within the margin", 50000, 0, 34641, 200000, false, true}}) {
    SCOPED_TRACE(where);
    lookAlongX(farPlane);
    placeSun(x, y, z);
    clear();
    if (covered) coverSun();
    const QImage before = context_.grab();
    background_.DrawLensFlare();
    EXPECT_EQ(context_.grab() != before, shown);

    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE) && glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint destination = 0;
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA) << "the pass's own state comes back";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

TEST_F(LensFlare, StreakLengthsComeFromTheRandomSource) {
  lookAlongX();
  background_.SetRandomSource([] { return 0.0; });
  const QImage none = flareOverCleared();
  background_.SetRandomSource([] { return 0.99; });
  const QImage full = flareOverCleared();
  EXPECT_NE(none, full);
  EXPECT_EQ(flareOverCleared(), full) << "a pinned source draws the same flare every time";
}

TEST_F(LensFlare, RingFadesOutwardsUnderFaceCulling) {
  lookAlongX();
  background_.SetRandomSource([] { return 0.0; });
  flareOverCleared();
  // On the diagonal, pixels 45 and 46 lie just outside the ring radius W/4 = 64, where only the outer
  // band of the ring reaches; it fades outwards.
  auto red = [&](int d) { return static_cast<int>(pixel(size / 2 + d, size / 2 + d) >> 16); };
  EXPECT_GT(red(46), 15);
  EXPECT_GT(red(45), red(46));
}

} // namespace
} // namespace vorlan
