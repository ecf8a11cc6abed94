#include "SceneFixtures.h"
#include "gl/FeedbackCapture.h"

#include "gl/GlTestContext.h"
#include "scene3d/KX_OBJECTS.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

namespace vorlan {
namespace {

using test::FeedbackItem;
using test::feedbackOf;
using test::FeedbackVertex;
using test::Ring;

constexpr int kSide = 200;

std::vector<FeedbackItem> only(const std::vector<FeedbackItem>& items, GLenum token) {
  std::vector<FeedbackItem> kept;
  std::copy_if(items.begin(), items.end(), std::back_inserter(kept),
               [&](const FeedbackItem& item) { return item.Token == token; });
  return kept;
}

double triangleArea(const FeedbackItem& t) {
  const auto& a = t.Vertices[0].P;
  const auto& b = t.Vertices[1].P;
  const auto& c = t.Vertices[2].P;
  return std::fabs((b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1])) / 2;
}

// Even-odd test of (x, y) against the rings in the XY plane.
bool inside(const std::vector<Ring>& rings, double x, double y) {
  bool in = false;
  for (const Ring& ring : rings)
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
      if ((ring[i].y > y) != (ring[j].y > y) &&
          x < (ring[j].x - ring[i].x) * (y - ring[i].y) / (ring[j].y - ring[i].y) + ring[i].x)
        in = !in;
  return in;
}

// A tile whose Bind binds a checker texture, standing in for a super-object's mapping.
struct CheckerTile : TMappingTile {
  CheckerTile() : TMappingTile(10, 10) {
    const std::uint8_t pixels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  }
  ~CheckerTile() override { glDeleteTextures(1, &name); }
  void Bind() const override { glBindTexture(GL_TEXTURE_2D, name); }
  GLuint name = 0;
};

// Window coordinates equal world X and Y: one unit is one pixel, depth runs along Z.
class EntityDraw : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(context_.valid());
    setCurrentRenderContext(context_);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, kSide, 0, kSide, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
  }

  void draw(TEntity& entity) { entity.Draw(true, false, true, true, true, false, 0); }
  void drawMoving(TEntity& entity) { entity.Draw(false, false, false, false, true, false, 0); }

  test::GlTestContext context_{QSize(kSide, kSide)};
};

// Window positions in thousandths of a pixel, so that rounding in the transformation does not count.
std::array<long, 2> pixelOf(const FeedbackVertex& v) {
  return {std::lround(v.P[0] * 1000), std::lround(v.P[1] * 1000)};
}

std::set<std::array<long, 2>> distinctPoints(const std::vector<FeedbackItem>& items) {
  std::set<std::array<long, 2>> points;
  for (const FeedbackItem& item : items)
    for (const FeedbackVertex& v : item.Vertices)
      points.insert(pixelOf(v));
  return points;
}

TEST_F(EntityDraw, UntessellatedFacesAreQuadStripsOrOnePolygon) {
  // clang-format off
  struct Case { const char* name; Ring corners; int strips; std::size_t triangles, points; };
  const Ring quad = test::rectangle(40, 20);
  const Ring pentagon = {{0, 0, 0}, {40, 0, 0}, {50, 20, 0}, {20, 40, 0}, {-10, 20, 0}};
  // clang-format on
  for (const Case& c :
       {Case{"2 strips: 6 vertices", quad, 2, 4, 6}, Case{"0 strips: the first pair only", quad, 0, 0, 0},
        Case{"1 strip: a plain polygon", quad, 1, 2, 4}, Case{"pentagon: one polygon", pentagon, 2, 3, 5}}) {
    SCOPED_TRACE(c.name);
    TEntity entity;
    entity.StripCount = c.strips;
    entity.Position = {60, 60, 0};
    test::addPolygon(entity, c.corners).Tessellate = false;
    entity.Prepare();
    const auto triangles = only(feedbackOf([&] { draw(entity); }), GL_POLYGON_TOKEN);
    ASSERT_EQ(triangles.size(), c.triangles);
    const auto points = distinctPoints(triangles);
    EXPECT_EQ(points.size(), c.points);
    if (c.strips == 2 && c.corners.size() == 4) {
      EXPECT_TRUE(points.contains({60'000, 70'000})) << "the middle of edge 0-3";
      EXPECT_TRUE(points.contains({100'000, 70'000})) << "the middle of edge 1-2";
    }
    double area = 0;
    for (const FeedbackItem& t : triangles) {
      area += triangleArea(t);
      const bool fromFirstCorner = distinctPoints({t}).contains({60'000, 60'000});
      EXPECT_TRUE(c.corners.size() != 5 || fromFirstCorner) << "a polygon fans out from its first corner";
    }
    EXPECT_NEAR(area, c.strips == 0 ? 0 : c.corners.size() == 4 ? 800 : 1600, 1e-3);
  }
}

// The paper fill draws the same triangles, white and untextured.
TEST_F(EntityDraw, TessellatedFacesCoverTheirRingsByTheOddRule) {
  // clang-format off
  struct Case { const char* name; std::vector<Ring> rings; bool contours, paper; double area; };
  const Ring square = test::rectangle(100, 100);
  const Ring hole = test::shifted(test::rectangle(40, 40), {30, 30, 0});
  const Ring concave = {{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {50, 30, 0}, {0, 100, 0}};
  // clang-format on
  const Ring crossing = {{0, 0, 0}, {100, 100, 0}, {100, 0, 0}, {0, 100, 0}};
  Ring circle;
  for (int i = 0; i < 101; ++i)
    circle.push_back({100 + 60 * std::cos(2 * std::numbers::pi * i / 101),
                      100 + 60 * std::sin(2 * std::numbers::pi * i / 101), 0});
  const double circleArea = 101 / 2.0 * std::sin(2 * std::numbers::pi / 101) * 60 * 60;
  for (const Case& c :
       {Case{"outline and hole", {square, hole}, true, false, 8400},
        {"paper fill of an outline and hole", {square, hole}, true, true, 8400},
        {"concave, which a fan from corner 0 would spill over", {concave}, false, false, 6500},
        {"crossing itself", {crossing}, false, false, 5000},
        {"101 corners, past the tessellator's fan", {circle}, false, false, circleArea}}) {
    SCOPED_TRACE(c.name);
    TEntity entity;
    if (c.paper) entity.LoadTexture(QImage(2, 2, QImage::Format_RGB32), 10, 10);
    TFace& face = c.contours ? test::addContourFace(entity, c.rings) : test::addPolygon(entity, c.rings[0]);
    // Faces with contours go through the tessellator whatever Tessellate says.
    face.Tessellate = !c.contours;
    face.Color = {10, 20, 30, 255};
    entity.Prepare();
    glEnable(GL_TEXTURE_2D);
    const auto triangles = only(feedbackOf([&] {
                                  glTexCoord2f(7, 7);
                                  c.paper ? entity.DrawPaperFill() : draw(entity);
                                }),
                                GL_POLYGON_TOKEN);
    ASSERT_FALSE(triangles.empty());
    EXPECT_FALSE(c.paper && glIsEnabled(GL_TEXTURE_2D));
    glDisable(GL_TEXTURE_2D);
    double area = 0;
    for (const FeedbackItem& t : triangles) {
      area += triangleArea(t);
      const double x = (t.Vertices[0].P[0] + t.Vertices[1].P[0] + t.Vertices[2].P[0]) / 3;
      const double y = (t.Vertices[0].P[1] + t.Vertices[1].P[1] + t.Vertices[2].P[1]) / 3;
      EXPECT_TRUE(inside(c.rings, x, y))
          << "triangle centred at " << x << ", " << y << " lies outside or in a hole";
      EXPECT_TRUE(c.paper ? (t.Vertices[0].C == std::array<float, 4>{1, 1, 1, 1}) : t.Vertices[0].T[0] != 7)
          << "paper is white; tessellated corners send their own texture coordinates";
    }
    EXPECT_NEAR(area, c.area, 1e-2);
  }
}

TEST_F(EntityDraw, VisibleEdgesAreOutlinedJustInFrontOfTheFace) {
  for (bool hideEdges : {true, false}) {
    SCOPED_TRACE(hideEdges ? "edges hidden" : "edges shown");
    TEntity entity;
    // Facing +X; turned so that the lift along the normal moves the outline on the screen.
    const Ring wall = {{50, 10, 10}, {50, 60, 10}, {50, 60, 60}, {50, 10, 60}};
    TFace& face = test::addPolygon(entity, wall);
    face.HideEdges = hideEdges;
    entity.Prepare();
    ASSERT_EQ(face.Normal, (Vector3D{1, 0, 0}));
    glRotated(30, 0, 1, 0);
    const auto items = feedbackOf([&] { draw(entity); });
    const auto lines = only(items, GL_LINE_TOKEN);
    ASSERT_EQ(lines.size(), hideEdges ? 0u : 4u);
    if (hideEdges) continue;
    EXPECT_EQ(items.back().Token, GL_LINE_TOKEN) << "the outline comes after the face";
    std::array<GLdouble, 16> modelview, projection;
    std::array<GLint, 4> viewport;
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    for (std::size_t i = 0; i < 4; ++i) {
      GLdouble x, y, z;
      gluProject(wall[i].x + 0.1, wall[i].y, wall[i].z, modelview.data(), projection.data(), viewport.data(),
                 &x, &y, &z);
      EXPECT_NEAR(lines[i].Vertices[0].P[0], x, 1e-3);
      EXPECT_NEAR(lines[i].Vertices[0].P[2], z, 1e-6);
    }
  }
}

// What one display list per face would draw: Draw's steps with each face's calls made directly,
// followed by its lifted outline when its edges show.
void drawFaceByFace(TEntity& entity) {
  glPushMatrix();
  ApplyPlacement(entity);
  const bool textured = entity.UseTexture && entity.Filled;
  const bool mapped = textured && !entity.Texture && entity.Mapping;
  if (textured && entity.Texture)
    entity.Texture->Bind();
  else if (mapped) {
    glEnable(GL_TEXTURE_2D);
    entity.Mapping->Bind();
  } else
    glDisable(GL_TEXTURE_2D);
  for (const auto& face : entity.Faces) {
    if (mapped) face->Textured ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
    face->Compile();
    if (!face->HideEdges) face->DrawLiftedOutline();
  }
  if (textured && entity.Texture)
    entity.Texture->Bind();
  else if (mapped)
    glDisable(GL_TEXTURE_2D);
  glPopMatrix();
}

// Faces of every kind in a grid of 4-pixel cells, with varying texturing, shading and edges.
void addMixedFaces(TEntity& entity, int count) {
  for (int i = 0; i < count; ++i) {
    const Vector3D at{4.0 * (i % 50), 4.0 * (i / 50 % 50), i * 0.001};
    const Ring square = test::shifted(test::rectangle(3, 3), at);
    const Ring concave = test::shifted({{0, 0, 0}, {3, 0, 0}, {3, 3, 0}, {1.5, 1, 0}, {0, 3, 0}}, at);
    TFace& face = i % 7 == 3   ? test::addContourFace(entity, {square, test::shifted(test::rectangle(1, 1),
                                                                                     at + Vector3D{1, 1, 0})})
                  : i % 5 == 1 ? test::addPolygon(entity, concave)
                               : test::addPolygon(entity, square);
    face.Tessellate = i % 3 == 0;
    face.Textured = i % 4 != 0; // the first face of each run is untextured
    face.HideEdges = i % 11 != 5;
    face.Shading = static_cast<TShading>(i % 3);
    face.Color = {static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(i * 11), 90, 255};
  }
}

TEST_F(EntityDraw, BatchedListsDrawExactlyWhatTheFacesDrawOneByOne) {
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_COLOR_MATERIAL);
  const GLfloat light[] = {0.3f, 0.5f, 1, 0};
  glLightfv(GL_LIGHT0, GL_POSITION, light);
  CheckerTile tile;
  QImage picture(2, 2, QImage::Format_RGB32);
  picture.fill(Qt::cyan);
  picture.setPixelColor(0, 0, Qt::magenta);
  for (const char* source : {"mapping", "picture"}) {
    SCOPED_TRACE(source);
    TEntity entity;
    addMixedFaces(entity, 2500);
    entity.Position = {0.5, 0.5, 0}; // inside the window: Mesa's feedback colours clipped corners at random
    if (source == std::string("mapping")) entity.Mapping = &tile;
    if (source == std::string("picture")) entity.LoadTexture(picture, 8, 8);
    entity.Prepare();
    EXPECT_EQ(entity.FaceLists().Count(), 3u) << "2500 faces in runs of 1000";
    glClear(GL_COLOR_BUFFER_BIT);
    draw(entity);
    const QImage batchedPicture = context_.grab();
    glClear(GL_COLOR_BUFFER_BIT);
    drawFaceByFace(entity);
    EXPECT_TRUE(batchedPicture == context_.grab()) << "texturing differs between the two";
  }
}

TEST_F(EntityDraw, PaperLinesMarkOnlyFacesLookingTowardTheViewerInTheirPlacement) {
  // clang-format off
  // outlinedX: where the one outlined face starts on the screen
  struct Case { const char* name; Vector3D rotation; float outlinedX; };
  // Looking down -Z: face A at x 10 faces +Z, face B at x 110 faces -Z; turning the entity half
  // round X swaps which one looks at the viewer.
  for (const Case& c : {Case{"as placed", {0, 0, 0}, 10}, Case{"turned about X", {180, 0, 0}, 110}}) {
    // clang-format on
    SCOPED_TRACE(c.name);
    TEntity entity;
    entity.Position = {0, 100, 0};
    entity.Rotation = c.rotation;
    test::addPolygon(entity, test::shifted(test::rectangle(50, 50), {10, 0, 0}));
    const Ring b = test::shifted(test::rectangle(50, 50), {110, 0, 0});
    test::addPolygon(entity, {b[0], b[3], b[2], b[1]});
    entity.Prepare();
    const auto items = feedbackOf([&] { entity.DrawPaperLine(); });
    ASSERT_EQ(only(items, GL_PASS_THROUGH_TOKEN).size(), 1u);
    ASSERT_EQ(items.size(), 5u) << "the token, then the outline of the facing face";
    EXPECT_EQ(items[0].Vertices[0].P[0], 1.0f);
    EXPECT_NEAR(items[1].Vertices[0].P[0], c.outlinedX, 1e-3);
  }
}

TEST_F(EntityDraw, ListsAreCompiledWhenAContextIsThereAndFreedWithTheEntity) {
  auto entity = std::make_unique<TEntity>();
  for (int i = 0; i < 2001; ++i)
    test::addPolygon(*entity, test::rectangle(1, 1, i));
  withdrawRenderContext(context_);
  context_.releaseContext();
  entity->Prepare();
  EXPECT_FALSE(entity->FaceLists().Compiled()) << "no context: nothing to compile in";
  setCurrentRenderContext(context_);
  entity->Prepare();
  EXPECT_TRUE(entity->FaceLists().Compiled()) << "the guard made the registered context current";
  EXPECT_FALSE(context_.isCurrent()) << "and released it";
  entity->ReleaseGlNames();
  EXPECT_FALSE(entity->FaceLists().Compiled());
  ASSERT_TRUE(context_.makeContextCurrent());
  draw(*entity);
  ASSERT_TRUE(entity->FaceLists().Compiled()) << "the first Draw compiles what is missing";
  EXPECT_EQ(entity->FaceLists().Count(), 3u);
  EXPECT_FALSE(entity->OutlineLists().Compiled()) << "outlines wait for the first moving pass";
  drawMoving(*entity);
  const GLuint faces = entity->FaceLists().First(), outlines = entity->OutlineLists().First();
  const auto listed = [&] {
    int count = 0;
    for (GLuint k = 0; k < 3; ++k)
      count += glIsList(faces + k) + glIsList(outlines + k);
    return count;
  };
  EXPECT_EQ(listed(), 6);
  context_.releaseContext();
  entity.reset();
  ASSERT_TRUE(context_.makeContextCurrent());
  EXPECT_EQ(listed(), 0);
}

} // namespace
} // namespace vorlan
