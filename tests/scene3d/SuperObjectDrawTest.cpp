#include "SceneFixtures.h"
#include "gl/FeedbackCapture.h"

#include "gl/GlTestContext.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <set>

namespace vorlan {
namespace {

// What an entity saw when the super-object called it: the pass, the entity, blending, the flags and mode.
using Visit = std::tuple<std::string, int, bool, std::array<bool, 6>, std::int32_t>;

class ProbeEntity : public TEntity {
public:
  ProbeEntity(std::vector<Visit>& log, int id) : log_(log), id_(id) {}

  void Draw(bool a, bool b, bool c, bool d, bool e, bool f, std::int32_t mode) override {
    record("Draw", {a, b, c, d, e, f}, mode);
  }
  void DrawPaperLine() override { record("PaperLine", {}, 0); }
  void DrawPaperFill() override { record("PaperFill", {}, 0); }

private:
  void record(const char* pass, std::array<bool, 6> flags, std::int32_t mode) {
    log_.emplace_back(pass, id_, glIsEnabled(GL_BLEND) == GL_TRUE, flags, mode);
  }

  std::vector<Visit>& log_;
  int id_;
};

// Counter-clockwise rotations seen from the positive end of the axis.
Vector3D turned(const Vector3D& p, int axis, double degrees) {
  const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
  if (axis == 0) return {p.x, p.y * c - p.z * s, p.y * s + p.z * c};
  if (axis == 1) return {p.x * c + p.z * s, p.y, -p.x * s + p.z * c};
  return {p.x * c - p.y * s, p.x * s + p.y * c, p.z};
}

// Rotated about Z, then Y, then X, then translated: what a placement does to a point.
Vector3D placedByHand(const Vector3D& p, const Vector3D& position, const Vector3D& rotation) {
  return turned(turned(turned(p, 2, rotation.z), 1, rotation.y), 0, rotation.x) + position;
}

using Corners = std::set<std::pair<long, long>>;

// The window X, Y of every vertex drawn, rounded; one world unit is one pixel.
Corners cornersDrawn(const std::function<void()>& draw) {
  Corners corners;
  for (const test::FeedbackItem& item : test::feedbackOf(draw))
    if (item.Token != GL_PASS_THROUGH_TOKEN)
      for (const test::FeedbackVertex& v : item.Vertices)
        corners.emplace(std::lround(v.P[0]), std::lround(v.P[1]));
  return corners;
}

GLint stackDepth() {
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  return depth;
}

class SuperObjectDraw : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(context_.valid());
    setCurrentRenderContext(context_);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 200, 0, 200, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
  }

  void addProbes(int count) {
    for (int i = 0; i < count; ++i)
      object_.Entities.push_back(std::make_unique<ProbeEntity>(log_, i));
  }

  test::GlTestContext context_{QSize(200, 200)};
  TSuperObject object_;
  std::vector<Visit> log_;
};

// Real entities, drawn in their own placement inside the super-object's: rotated about Z, then Y, then X,
// then translated.
TEST_F(SuperObjectDraw, EntityPlacementComposesInsideTheSuperObjects) {
  // clang-format off
  struct Case { const char* name; Vector3D superPosition, superRotation, entityPosition, entityRotation; };
  const Case cases[] = {
      // clang-format on
      {"both translated", {50, 50, 0}, {}, {20, 0, 0}, {}},
      {"super-object turned", {50, 50, 0}, {0, 0, 90}, {20, 0, 0}, {}},
      {"entity turned", {100, 20, 0}, {}, {0, 0, 0}, {0, 0, 180}},
      {"both turned", {120, 100, 0}, {0, 0, 90}, {-30, 10, 0}, {0, 0, -45}},
      {"super-object turned about X, then Y, then Z", {100, 100, 0}, {30, 45, 60}, {20, 0, 0}, {}},
  };
  const test::Ring square = test::rectangle(10, 10);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSuperObject object;
    object.Position = c.superPosition;
    object.Rotation = c.superRotation;
    auto entity = std::make_unique<TEntity>();
    entity->Position = c.entityPosition;
    entity->Rotation = c.entityRotation;
    test::addPolygon(*entity, square);
    entity->Prepare();
    object.Entities.push_back(std::move(entity));
    glLoadIdentity();
    const test::Matrix before = test::readMatrix(GL_MODELVIEW_MATRIX);

    Corners expected;
    for (const Vector3D& p : square) {
      const Vector3D w =
          placedByHand(placedByHand(p, c.entityPosition, c.entityRotation), c.superPosition, c.superRotation);
      expected.emplace(std::lround(w.x), std::lround(w.y));
    }
    EXPECT_EQ(cornersDrawn([&] { object.Draw(false, false, false, false, true, false, 0); }), expected);
    EXPECT_EQ(cornersDrawn([&] { object.DrawPaperFill(); }), expected);
    EXPECT_EQ(test::readMatrix(GL_MODELVIEW_MATRIX), before) << "the placement leaked out";
  }
}

TEST_F(SuperObjectDraw, DrawBlendsAroundItsEntitiesPassesItsArgumentsOnAndRestoresTheState) {
  for (const int entities : {2, 0}) {
    SCOPED_TRACE(entities);
    log_.clear();
    object_.Entities.clear();
    addProbes(entities);
    object_.Position = {5, 5, 5};
    const GLint depth = stackDepth();
    const test::Matrix before = test::readMatrix(GL_MODELVIEW_MATRIX);
    object_.Draw(false, true, false, true, false, true, 3);
    object_.Draw(true, false, true, true, true, false, 0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    object_.DrawPaperLine();
    object_.DrawPaperFill();
    EXPECT_EQ(std::pair(stackDepth(), test::readMatrix(GL_MODELVIEW_MATRIX)), std::pair(depth, before));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    std::vector<Visit> expected;
    const std::array<bool, 6> moving{false, true, false, true, false, true},
        normal{true, false, true, true, true, false};
    for (const auto& [pass, blend, flags, mode] : {std::tuple{"Draw", true, moving, 3},
                                                   {"Draw", true, normal, 0},
                                                   {"PaperLine", false, std::array<bool, 6>{}, 0},
                                                   {"PaperFill", false, std::array<bool, 6>{}, 0}})
      for (int entity = 0; entity < entities; ++entity)
        expected.emplace_back(pass, entity, blend, flags, mode);
    EXPECT_EQ(log_, expected);
  }
}

} // namespace
} // namespace vorlan
