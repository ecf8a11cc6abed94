#include "SceneFixtures.h"

#include "scene3d/KX_OBJECTS.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstring>
#include <functional>

namespace vorlan {
namespace {

using test::Ring;

bool sameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameBits(const Vector3D& a, const Vector3D& b) {
  return sameBits(a.x, b.x) && sameBits(a.y, b.y) && sameBits(a.z, b.z);
}

// Faces whose order matters: a ring shorter than the texture origin resets it for the faces after
// it, contours with and without an outer ring, a face without corners, collinear corners, a corner
// listed twice, and every shading.
void addOddFaces(TEntity& entity) {
  test::addPolygon(entity, test::rectangle(4, 3, 1));
  test::addPolygon(entity, {{0, 0, 0}, {4, 0, 0}, {2, 0, 2}});
  test::addContourFace(entity,
                       {test::rectangle(10, 10, 2), test::shifted(test::rectangle(2, 2, 2), {3, 3, 0})},
                       {true, false});
  test::addContourFace(entity, {test::rectangle(5, 5, 3)}, {false});
  TFace::Create(entity);
  test::addPolygon(entity, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}});
  test::addPolygon(entity, {{0, 0, 1}, {4, 0, 1}, {4, 0, 1}, {4, 3, 1}, {0, 3, 2}});
  for (std::size_t i = 0; i < entity.Faces.size(); ++i)
    entity.Faces[i]->Shading = static_cast<TShading>(i % 3);
}

const TMappingTile kTile{70, 40};

// Each builder runs on a fresh entity: sheets of quads, four to a point, odd faces among them,
// a picture texture, and mappings along edges and on the dominant axis.
const std::pair<const char*, std::function<void(TEntity&)>> kMeshes[] = {
    {"sheet, smooth by angle", [](TEntity& e) { test::addSheet(e, 40, 40, {}, 3); }},
    {"odd faces among a sheet, all smooth, origin 3",
     [](TEntity& e) {
       e.Shading = TShading::Smooth;
       e.TextureOrigin = 3;
       test::addSheet(e, 12, 12, {}, 2);
       addOddFaces(e);
       test::addSheet(e, 12, 12, {}, 5);
     }},
    {"picture texture",
     [](TEntity& e) {
       test::addSheet(e, 20, 20, {}, 4);
       addOddFaces(e);
       e.LoadTexture(QImage(8, 8, QImage::Format_RGB32), 500, 500);
     }},
    {"mapping along edges",
     [](TEntity& e) {
       addOddFaces(e);
       test::addSheet(e, 30, 30, {}, 6);
       e.Mapping = const_cast<TMappingTile*>(&kTile);
     }},
    {"mapping on the dominant axis",
     [](TEntity& e) {
       test::addSheet(e, 20, 20, {}, 9);
       addOddFaces(e);
       e.EdgeAligned = false;
       e.Mapping = const_cast<TMappingTile*>(&kTile);
     }},
};

void expectSamePreparation(const TEntity& serial, const TEntity& parallel) {
  EXPECT_EQ(serial.TextureOrigin, parallel.TextureOrigin);
  ASSERT_EQ(serial.Points.size(), parallel.Points.size());
  for (std::size_t p = 0; p < serial.Points.size(); ++p)
    ASSERT_TRUE(sameBits(serial.Points[p].Normal(), parallel.Points[p].Normal())) << "point " << p;
  ASSERT_EQ(serial.Faces.size(), parallel.Faces.size());
  for (std::size_t f = 0; f < serial.Faces.size(); ++f) {
    const TFace& a = *serial.Faces[f];
    const TFace& b = *parallel.Faces[f];
    ASSERT_TRUE(sameBits(a.Normal, b.Normal) && sameBits(a.D, b.D)) << "face " << f;
    ASSERT_EQ(a.Refs.size(), b.Refs.size());
    for (std::size_t k = 0; k < a.Refs.size(); ++k) {
      ASSERT_TRUE(sameBits(a.Refs[k].U, b.Refs[k].U) && sameBits(a.Refs[k].V, b.Refs[k].V))
          << "face " << f << " corner " << k;
      ASSERT_EQ(a.Refs[k].Smooth, b.Refs[k].Smooth) << "face " << f << " corner " << k;
    }
  }
}

// Shared points gather their faces' normals in face order whatever thread takes them, and what
// carries from face to face (texture origin, mapping phase) is the same as one thread's.
TEST(ParallelPrepare, GivesTheSameNumbersAsOneThread) {
  for (const auto& [name, build] : kMeshes) {
    SCOPED_TRACE(name);
    TEntity serial;
    build(serial);
    serial.PrepareGeometry(1);
    for (unsigned workers : {2u, 3u, 7u}) {
      SCOPED_TRACE(workers);
      TEntity parallel;
      build(parallel);
      parallel.PrepareGeometry(workers);
      expectSamePreparation(serial, parallel);
    }
  }
}

} // namespace
} // namespace vorlan
