#include "cam/KX_CAMOBJET.h"
#include "scene3d/KX_SUPEROBJECT.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <cmath>

namespace vorlan {
namespace {

// Every sample the program writes opens through the viewer's own readers, stays small (it is written
// at every build) and lies within the reach of the camera orbiting the origin.
TEST(Samples, TheProgramWritesSmallSamplesThatTheReadersOpen) {
  test::ScratchDir dir;
  QProcess run;
  run.start(QCoreApplication::applicationDirPath() + "/../tools/make_samples",
            {QString::fromStdString(dir.path(""))});
  ASSERT_TRUE(run.waitForFinished(60000));
  ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
  qint64 total = 0;
  for (const char* name : {"scene.cam", "checker.bmp", "model.x3d", "pair.cam"})
    total += QFileInfo(QString::fromStdString(dir.path(name))).size();
  EXPECT_LT(total, 1 << 20);

  const auto expectWithinReach = [](const TBounds& b, const Vector3D& shift) {
    for (double v : {b.MinX + shift.x, b.MinY + shift.y, b.MinZ + shift.z, b.MaxX + shift.x, b.MaxY + shift.y,
                     b.MaxZ + shift.z})
      EXPECT_LE(std::abs(v), 500);
  };
  TCamObject scene;
  ASSERT_NO_THROW(scene.Load(dir.path("scene.cam")));
  ASSERT_FALSE(scene.Items.empty());
  for (const auto& item : scene.Items) {
    if (const auto* entity = dynamic_cast<const TEntity*>(item.get())) {
      expectWithinReach(entity->GetBounds(), {});
      EXPECT_TRUE(!entity->Texture || !entity->Texture->Picture.isNull()) << "found beside the scene";
    }
  }
  std::unique_ptr<TSuperObject> house;
  ASSERT_NO_THROW(house = LoadX3D(dir.path("model.x3d")));
  for (const auto& entity : house->Entities)
    expectWithinReach(entity->GetBounds(), house->Position);

  TCamObject pair;
  ASSERT_NO_THROW(pair.Load(dir.path("pair.cam")));
  ASSERT_TRUE(pair.IsBitmapPair);
  EXPECT_EQ(pair.Bitmap1.size(), pair.Bitmap2.size());
  EXPECT_NE(pair.Bitmap1, pair.Bitmap2);
}

} // namespace
} // namespace vorlan
