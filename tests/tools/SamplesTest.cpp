#include "support/TestSupport.h"

#include "cam/KX_CAMOBJET.h"
#include "platform/FileBytes.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace vorlan {
namespace {

// The samples are written once, by the program itself, into a folder that lives as long as the tests.
class Samples : public testing::Test {
protected:
  static void SetUpTestSuite() {
    dir_ = new test::ScratchDir;
    const QString tool = QCoreApplication::applicationDirPath() + "/../tools/make_samples";
    QProcess run;
    run.start(tool, {QString::fromStdString(dir_->path(""))});
    ASSERT_TRUE(run.waitForFinished(60000)) << tool.toStdString() << " did not finish";
    exitCode_ = run.exitCode();
    errors_ = run.readAllStandardError().toStdString();
  }
  static void TearDownTestSuite() { delete dir_; }

  static std::string path(const std::string& name) { return dir_->path(name); }

  static inline test::ScratchDir* dir_ = nullptr;
  static inline int exitCode_ = -1;
  static inline std::string errors_;
};

// A sample that reaches past this would leave the view of the camera orbiting the origin.
constexpr double SceneReach = 500;

void expectWithinReach(const TBounds& b, const Vector3D& shift) {
  for (double v : {b.MinX + shift.x, b.MinY + shift.y, b.MinZ + shift.z, b.MaxX + shift.x, b.MaxY + shift.y,
                   b.MaxZ + shift.z})
    EXPECT_LE(std::abs(v), SceneReach);
}

std::vector<std::uint8_t> mappingKinds(const TSuperObject& superObject) {
  std::vector<std::uint8_t> kinds;
  for (const auto& mapping : superObject.Mappings)
    kinds.push_back(mapping->Kind);
  return kinds;
}

// -1 for an entity without mapping, as the super-object record stores it.
std::vector<int> mappingIndices(const TSuperObject& superObject) {
  std::vector<int> indices;
  for (const auto& entity : superObject.Entities) {
    const auto found = std::find_if(superObject.Mappings.begin(), superObject.Mappings.end(),
                                    [&](const auto& m) { return m.get() == entity->Mapping; });
    indices.push_back(
        found == superObject.Mappings.end() ? -1 : static_cast<int>(found - superObject.Mappings.begin()));
  }
  return indices;
}

bool nearColor(std::uint32_t rgb, std::uint32_t expected) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((rgb >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF)) > 4)
      return false;
  return true;
}

bool anyFaceWithHole(const TEntity& entity) {
  return std::any_of(entity.Faces.begin(), entity.Faces.end(), [](const auto& face) {
    return face->Contours.size() == 2 && face->Contours[0].Outer && !face->Contours[1].Outer;
  });
}

TEST_F(Samples, TheProgramWritesEveryFileAndSucceeds) {
  EXPECT_EQ(exitCode_, 0) << errors_;
  std::uintmax_t total = 0;
  for (const char* name : {"scene.cam", "checker.bmp", "model.x3d", "pair.cam"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(fileExists(path(name)));
    total += static_cast<std::uintmax_t>(QFileInfo(QString::fromStdString(path(name))).size());
  }
  EXPECT_LT(total, 1u << 20) << "the samples are built at every build and must stay small";
}

TEST_F(Samples, SceneLoadsEveryEntityWithItsShadingAndFaces) {
  TCamObject cam;
  ASSERT_EQ(cam.ReadKind(path("scene.cam")), kCamScene);
  ASSERT_NO_THROW(cam.Load(path("scene.cam")));
  ASSERT_EQ(cam.Items.size(), 7u);
  struct Row {
    const char* name;
    TShading shading;
    std::size_t faces;
  };
  const Row rows[] = {{"box", TShading::Flat, 6},         {"column", TShading::ByAngle, 24},
                      {"column caps", TShading::Flat, 2}, {"ball", TShading::Smooth, 180},
                      {"frame", TShading::Flat, 10},      {"checker cube", TShading::Flat, 6}};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].name);
    const auto* entity = dynamic_cast<const TEntity*>(cam.Items[i].get());
    ASSERT_NE(entity, nullptr);
    EXPECT_EQ(entity->Name, rows[i].name);
    EXPECT_EQ(entity->Shading, rows[i].shading);
    ASSERT_EQ(entity->Faces.size(), rows[i].faces);
    for (const auto& face : entity->Faces)
      EXPECT_EQ(face->Shading, rows[i].shading);
    expectWithinReach(entity->GetBounds(), {});
  }
}

// By-angle shading is only worth showing when the column's wall is actually smoothed.
TEST_F(Samples, ColumnWallCornersAreSmoothedByAngle) {
  TCamObject cam;
  cam.Load(path("scene.cam"));
  auto& column = dynamic_cast<TEntity&>(*cam.Items.at(1));
  for (const auto& face : column.Faces)
    face->ForEachCorner([](const TMem& corner) { EXPECT_TRUE(corner.Smooth); });
}

TEST_F(Samples, FrameHasAFaceWithAHole) {
  TCamObject cam;
  cam.Load(path("scene.cam"));
  EXPECT_TRUE(anyFaceWithHole(dynamic_cast<const TEntity&>(*cam.Items.at(4))));
}

// The picture is named relative to the scene, so it must be found beside it wherever the folder is.
TEST_F(Samples, CheckerCubeFindsItsPictureBesideTheScene) {
  TCamObject cam;
  cam.Load(path("scene.cam"));
  const auto& cube = dynamic_cast<const TEntity&>(*cam.Items.at(5));
  ASSERT_NE(cube.Texture, nullptr);
  EXPECT_EQ(cube.Texture->FileName, "checker.bmp");
  EXPECT_EQ(QFileInfo(QString::fromStdString(cube.Texture->Path)).canonicalFilePath(),
            QFileInfo(QString::fromStdString(path("checker.bmp"))).canonicalFilePath());
  EXPECT_FALSE(cube.Texture->Picture.isNull());
}

TEST_F(Samples, CourtyardUsesTilesBricksAndStripes) {
  TCamObject cam;
  cam.Load(path("scene.cam"));
  const auto* yard = dynamic_cast<const TSuperObject*>(cam.Items.at(6).get());
  ASSERT_NE(yard, nullptr);
  EXPECT_EQ(mappingKinds(*yard), (std::vector<std::uint8_t>{2, 3, 4}));
  EXPECT_EQ(mappingIndices(*yard), (std::vector<int>{0, 1, 2}));
  for (const auto& entity : yard->Entities)
    expectWithinReach(entity->GetBounds(), yard->Position);
}

TEST_F(Samples, HouseModelHasBrickWallsAndATiledRoof) {
  std::unique_ptr<TSuperObject> house;
  ASSERT_NO_THROW(house = LoadX3D(path("model.x3d")));
  EXPECT_EQ(mappingKinds(*house), (std::vector<std::uint8_t>{3, 2}));
  EXPECT_EQ(mappingIndices(*house), (std::vector<int>{0, 1, -1}));
  struct Row {
    const char* name;
    std::size_t faces;
  };
  const Row rows[] = {{"walls", 4}, {"roof", 12}, {"chimney", 6}};
  ASSERT_EQ(house->Entities.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(house->Entities[i]->Name, rows[i].name);
    EXPECT_EQ(house->Entities[i]->Faces.size(), rows[i].faces);
    expectWithinReach(house->Entities[i]->GetBounds(), house->Position);
  }
}

TEST_F(Samples, PairHoldsTwoColouringsOfOnePicture) {
  TCamObject cam;
  ASSERT_EQ(cam.ReadKind(path("pair.cam")), kCamBitmapPair);
  ASSERT_NO_THROW(cam.Load(path("pair.cam")));
  ASSERT_TRUE(cam.IsBitmapPair);
  for (const QImage* picture : {&cam.Bitmap1, &cam.Bitmap2})
    EXPECT_EQ(picture->size(), QSize(320, 240));
  // The sky at the top edge, within the gradient's first step: blue by day, a dark violet at dusk.
  EXPECT_TRUE(nearColor(test::rgbAt(cam.Bitmap1, 10, 0), 0x3C78D2));
  EXPECT_TRUE(nearColor(test::rgbAt(cam.Bitmap2, 10, 0), 0x281E5A));
}

} // namespace
} // namespace vorlan
