#include "SceneFixtures.h"

#include "scene3d/KX_OBJECTS.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace vorlan {
namespace {

using test::Ring;

const double kHalfRoot2 = std::sqrt(0.5);

void expectNear(const Vector3D& expected, const Vector3D& actual) {
  EXPECT_NEAR(expected.x, actual.x, 1e-12);
  EXPECT_NEAR(expected.y, actual.y, 1e-12);
  EXPECT_NEAR(expected.z, actual.z, 1e-12);
}

void expectUV(const TMem& corner, double u, double v) {
  EXPECT_NEAR(corner.U, u, 1e-12);
  EXPECT_NEAR(corner.V, v, 1e-12);
}

// The plane comes from the first outer contour; near-zero normal components become exactly zero.
TEST(Prepare, FacePlaneFollowsTheCornerOrder) {
  // clang-format off
  // rings: a single ring is a face without contours
  struct Case { const char* name; std::vector<Ring> rings; std::vector<bool> outer; Vector3D normal; double d; };
  const Ring triangle = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}};
  for (const auto& [name, rings, outer, normal, d] :
       {Case{"square counter-clockwise from +Z", {test::rectangle(2, 2)}, {}, {0, 0, 1}, 0},
        Case{"square clockwise from +Z, lifted", {{{0, 0, 5}, {0, 2, 5}, {2, 2, 5}, {2, 0, 5}}}, {}, {0, 0, -1}, 5},
        Case{"wall facing +X", {{{3, 0, 0}, {3, 2, 0}, {3, 2, 1}, {3, 0, 1}}}, {}, {1, 0, 0}, -3},
        Case{"floor facing -Y", {{{0, -1, 0}, {2, -1, 0}, {2, -1, 1}, {0, -1, 1}}}, {}, {0, -1, 0}, -1},
        Case{"slope", {{{0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 1}}}, {}, {0, -kHalfRoot2, kHalfRoot2}, 0},
        Case{"tilted 0.005 over 1: y snaps to 0", {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0.005}, {0, 1, 0.005}}}, {}, {0, 0, 1}, 0},
        Case{"collinear corners", {{{0, 0, 0}, {1, 1, 1}, {2, 2, 2}}}, {}, {0, 0, 0}, 0},
        Case{"no corners", {{}}, {}, {0, 0, 0}, 0},
        Case{"inner contour first", {triangle, test::rectangle(5, 5, 2)}, {false, true}, {0, 0, 1}, -2},
        Case{"no outer contour", {test::rectangle(1, 1)}, {false}, {0, 0, 0}, 0}}) {
    // clang-format on
    SCOPED_TRACE(name);
    TEntity entity;
    TFace& face =
        outer.empty() ? test::addPolygon(entity, rings[0]) : test::addContourFace(entity, rings, outer);
    entity.Prepare();
    EXPECT_NEAR(face.Normal.x, normal.x, 1e-4);
    EXPECT_EQ(face.Normal.y == 0, normal.y == 0);
    EXPECT_NEAR(face.Normal.y, normal.y, 1e-4);
    EXPECT_NEAR(face.Normal.z, normal.z, 1e-4);
    EXPECT_NEAR(face.D, d, 1e-4);
  }
}

TEST(Prepare, SharedPointsAverageTheNormalsOfTheirFaces) {
  TEntity entity;
  entity.Shading = TShading::Smooth;
  test::addPolygon(entity, test::rectangle(1, 1));                        // facing +Z
  test::addPolygon(entity, {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}}); // facing +X
  TFace& flat = test::addPolygon(entity, {{0, 0, 5}, {1, 0, 5}, {0, 1, 5}});
  flat.Shading = TShading::Flat;
  entity.Prepare();
  {
    SCOPED_TRACE("(1, 0, 0) is on both faces");
    expectNear({kHalfRoot2, 0, kHalfRoot2}, entity.Points[1].Normal());
  }
  expectNear({0, 0, 1}, entity.Points[0].Normal());
  expectNear({1, 0, 0}, entity.Points[5].Normal());
  EXPECT_EQ(entity.Points[6].Normal(), (Vector3D{0, 0, 0})) << "flat faces leave their points alone";
}

TEST(Prepare, ByAngleShadingSmoothsOnlyCornersCloseToTheFaceNormal) {
  TEntity entity; // by-angle shading is the default
  TFace& floor = test::addPolygon(entity, test::rectangle(1, 1));
  // A wall meeting the floor at 90 degrees, and a floor continuation tilted by about 5.7 degrees.
  test::addPolygon(entity, {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}});
  TFace& tilted = test::addPolygon(entity, {{0, 1, 0}, {1, 1, 0}, {1, 2, 0.1}, {0, 2, 0.1}});
  entity.Prepare();
  EXPECT_TRUE(floor.Refs[0].Smooth) << "(0, 0, 0) belongs to the floor alone";
  EXPECT_FALSE(floor.Refs[1].Smooth) << "(1, 0, 0) is bent 45 degrees by the wall";
  EXPECT_TRUE(floor.Refs[3].Smooth) << "(0, 1, 0) is bent about 3 degrees by the tilted floor";
  EXPECT_TRUE(tilted.Refs[0].Smooth);
  EXPECT_FALSE(tilted.Refs[1].Smooth) << "(1, 1, 0) is on the floor, the wall and the tilted floor";
}

// A mapping with tiles 100 wide and 50 high.
struct MappedEntity {
  TMappingTile tile{100, 50};
  TEntity entity;
  explicit MappedEntity(bool edgeAligned) {
    entity.Mapping = &tile;
    entity.EdgeAligned = edgeAligned;
    entity.TextureOrigin = 0;
  }
};

TEST(Prepare, MappingPhaseCarriesTheRestOfTheLastTileToTheNextFace) {
  // clang-format off
  // step: what each face adds to the phase: 1 - (edge - k * 100) / 100
  struct Case { double edge; double step; };
  for (auto [edge, step] : {Case{250, 0.5}, Case{200, 1.0}, Case{30, 1.7}, Case{100, 1.0}}) {
    // clang-format on
    SCOPED_TRACE("edge " + std::to_string(edge));
    MappedEntity m(true);
    TFace& first = test::addPolygon(m.entity, test::rectangle(edge, 100));
    TFace& second = test::addPolygon(m.entity, test::shifted(test::rectangle(edge, 100), {0, 0, 10}));
    m.entity.Prepare();
    expectUV(first.Refs[0], step, 0);
    expectUV(first.Refs[1], edge / 100 + step, 0);
    expectUV(first.Refs[2], edge / 100 + step, 2);
    expectUV(second.Refs[0], 2 * step, 0);
    expectUV(second.Refs[3], 2 * step, 2);
  }
}

// One corner's texture coordinates. Picture rows use a texture 100 wide and 200 high: U runs along the
// edge from the reference corner (TextureOrigin, reset to 0 when past the corners), V across it. Mapped rows
// use tiles 100 wide (W) and 50 high (H); not edge aligned, the coordinates come from the dominant axis of
// the normal and the entity's bounds.
TEST(Prepare, TextureCoordinatesOfOneCorner) {
  // clang-format off
  struct Case {
    const char* name; std::function<void(TEntity&, TMappingTile&)> setup; Ring corners; std::size_t probe; double u, v; };
  const auto aligned = [](TEntity&, TMappingTile&) {};
  // clang-format on
  const auto byAxis = [](TEntity& e, TMappingTile&) { e.EdgeAligned = false; };
  const auto picture = [](bool useTexture, bool faceTextured, std::int32_t origin = 0) {
    return [=](TEntity& e, TMappingTile&) {
      e.Mapping = nullptr;
      e.TextureOrigin = origin;
      e.LoadTexture(QImage(4, 4, QImage::Format_RGB32), 100, 200);
      e.UseTexture = useTexture;
      e.Faces[0]->Textured = faceTextured;
    };
  };
  const auto noTile = [](bool width) {
    return [=](TEntity&, TMappingTile& t) { (width ? t.TileWidth : t.TileHeight) = 0; };
  };
  const auto placed = [](TEntity& e, TMappingTile&) {
    e.EdgeAligned = false;
    e.Position = {-50, 0, 0};
  };
  const Ring square = test::rectangle(100, 100), wide = test::rectangle(200, 100);
  const Ring behind = {{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {-50, 100, 0}};
  const Ring merged = {{0, 0, 0}, {0.005, 0, 0}, {250, 0, 0}, {250, 100, 0}, {0, 100, 0}};
  // Facing -Z, -Y, +Y, +X, -X, and X and Z alike.
  const Ring mZ = {{0, 0, 0}, {0, 100, 0}, {200, 100, 0}, {200, 0, 0}};
  const Ring mY = {{0, 0, 0}, {200, 0, 0}, {200, 0, 100}, {0, 0, 100}};
  const Ring pY = {{0, 0, 0}, {0, 0, 100}, {200, 0, 100}, {200, 0, 0}};
  const Ring pX = {{0, 0, 0}, {0, 200, 0}, {0, 200, 100}, {0, 0, 100}};
  const Ring mX = {{0, 0, 0}, {0, 0, 100}, {0, 200, 100}, {0, 200, 0}};
  const Ring tie = {{0, 0, 0}, {0, 200, 0}, {100, 200, 100}, {100, 0, 100}};
  for (const auto& [name, setup, corners, probe, u, v] : {
           Case{"picture: negative behind the reference corner", picture(true, true), behind, 3, -0.5, 0.5},
           {"picture: origin 2 makes corner 2 the reference", picture(true, true, 2), square, 1, 0, 0.5},
           {"picture: origin -2 is reset to corner 0", picture(true, true, -2), square, 1, 1, 0},
           {"picture: origin 4 is reset to corner 0", picture(true, true, 4), square, 1, 1, 0},
           {"picture: untextured face", picture(true, false), square, 2, 0, 0},
           {"picture: entity not using its texture", picture(false, true), square, 2, 0, 0},
           {"mapping: the edge skips a corner on the same point", aligned, merged, 2, 3.0, 0},
           {"mapping: no tile width", noTile(true), square, 2, 0, 0},
           {"mapping: no tile height", noTile(false), square, 2, 0, 0},
           {"+Z: U = (y - MinY)/H, V = (MaxX - x)/W", byAxis, wide, 2, 2, 0},
           {"-Z: U = (y - MinY)/H, V = (x - MinX)/W", byAxis, mZ, 3, 0, 2},
           {"-Y: U = (x - MinX)/W, V = (z - MinZ)/H", byAxis, mY, 1, 2, 0},
           {"+Y: U = (MaxX - x)/W, V = (z - MinZ)/H", byAxis, pY, 2, 0, 2},
           {"+X: U = (y - MinY)/W, V = (z - MinZ)/H", byAxis, pX, 1, 2, 0},
           {"-X: U = (MaxY - y)/W, V = (z - MinZ)/H", byAxis, mX, 2, 0, 2},
           {"X and Z tie: the X row", byAxis, tie, 2, 2, 2},
           {"bounds include the placement, corners do not", placed, wide, 2, 2, -0.5},
       }) {
    SCOPED_TRACE(name);
    MappedEntity m(true);
    TFace& face = test::addPolygon(m.entity, corners);
    setup(m.entity, m.tile);
    m.entity.Prepare();
    expectUV(face.Refs[probe], u, v);
  }
}

TEST(GetBounds, PlacesPointsByPositionThenRotationsXYZ) {
  TEntity entity;
  test::addPolygon(entity, {{1, 0, 0}});
  entity.Position = {0, 1, 0};
  entity.Rotation = {90, 90, 90};
  // (1, 1, 0) -> about X -> (1, 0, 1) -> about Y -> (1, 0, -1) -> about Z -> (0, 1, -1)
  const TBounds b = entity.GetBounds();
  expectNear({0, 1, -1}, {b.MinX, b.MaxY, b.MinZ});
  EXPECT_NEAR(b.MaxZ, -1, 1e-12);
}

} // namespace
} // namespace vorlan
