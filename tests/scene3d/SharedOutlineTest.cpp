#include "SceneFixtures.h"

#include "gl/GlTestContext.h"
#include "scene3d/KX_OBJECTS.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace vorlan {
namespace {

bool blackNear(const QImage& image, int x, int y) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) {
      const QPoint p(x + dx, y + dy);
      if ((dx != 0 || dy != 0) && image.rect().contains(p) && qGray(image.pixel(p)) == 0) return true;
    }
  return false;
}

// The moving pass's lists draw an edge two faces share only once; the picture must be the one the
// faces' own line loops draw, for edges walked both ways and the same way, around a point with more
// faces than repeats are looked for at, across contours and faces of two corners. A line walked the
// other way may be stepped a pixel differently by the software rasteriser: such pixels are few and
// each lies next to a line in both pictures. The pass draws whether the camera moves or the entity is
// not filled, black and flat, with the entity's texture off.
TEST(SharedOutline, MovingPassDrawsThePictureOfEveryFaceOutline) {
  test::GlTestContext context{QSize(240, 240)};
  ASSERT_TRUE(context.valid());
  setCurrentRenderContext(context);
  TEntity entity;
  test::addSheet(entity, 12, 12);
  test::addSheet(entity, 12, 12, {}, 9, true);
  test::addSheet(entity, 10, 10, {90, 90, 5}, 9, true);
  for (int k = 0; k < 150; ++k) {
    const double a = 2 * M_PI * k / 150, b = 2 * M_PI * (k + 1) / 150;
    const Vector3D centre{120, 120, 0};
    test::addPolygon(entity, {centre, centre + Vector3D{30 * std::cos(a), 30 * std::sin(a), 0},
                              centre + Vector3D{30 * std::cos(b), 30 * std::sin(b), 0}});
  }
  test::addContourFace(entity,
                       {test::rectangle(60, 60), test::shifted(test::rectangle(20, 20), {20, 20, 0})});
  test::addPolygon(entity, test::shifted(test::rectangle(20, 20), {20, 20, 0}));
  test::addPolygon(entity, {{0, 100, 0}, {50, 150, 0}});
  test::addPolygon(entity, {{50, 150, 0}, {0, 100, 0}});
  test::addPolygon(entity, {{200, 10, 0}});
  entity.LoadTexture(QImage(4, 4, QImage::Format_RGB32), 100, 100);
  entity.Prepare();
  for (const auto& [turn, solid] : {std::pair{0.0, false}, {17.0, true}, {62.0, false}}) {
    SCOPED_TRACE(turn);
    entity.Filled = !solid;
    const auto frame = [&](const std::function<void()>& draw) {
      glClearColor(1, 1, 1, 1);
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      glEnable(GL_DEPTH_TEST);
      glMatrixMode(GL_PROJECTION);
      glLoadIdentity();
      gluPerspective(50, 1, 10, 2000);
      glMatrixMode(GL_MODELVIEW);
      glLoadIdentity();
      gluLookAt(100, -120, 260, 100, 100, 0, 0, 0, 1);
      glRotated(turn, 0, 0, 1);
      draw();
      return context.grab();
    };
    const QImage lists = frame([&] {
      glEnable(GL_TEXTURE_2D);
      glShadeModel(GL_SMOOTH);
      entity.Draw(false, false, solid, false, true, false, 0);
      GLint shade = 0;
      glGetIntegerv(GL_SHADE_MODEL, &shade);
      EXPECT_EQ(std::pair(glIsEnabled(GL_TEXTURE_2D), shade), std::pair(GLboolean(GL_FALSE), GL_FLAT));
    });
    const QImage loops = frame([&] {
      for (const auto& face : entity.Faces)
        face->DrawOutline();
    });
    int black = 0, differing = 0;
    for (int y = 0; y < loops.height(); ++y)
      for (int x = 0; x < loops.width(); ++x) {
        black += qGray(loops.pixel(x, y)) == 0;
        if (lists.pixel(x, y) == loops.pixel(x, y)) continue;
        ++differing;
        EXPECT_TRUE(blackNear(lists, x, y) && blackNear(loops, x, y)) << "pixel " << x << ", " << y;
      }
    EXPECT_GT(black, 500) << "the outlines were drawn";
    EXPECT_LE(differing, black / 500) << "of " << black << " line pixels";
  }
  withdrawRenderContext(context);
}

} // namespace
} // namespace vorlan
