// --info on every kind of file the viewer opens: what it reports against what the test wrote.

#include "app/AppTestSupport.h"
#include "app/Inspector.h"
#include "cam/CamTestSupport.h"
#include "platform/Dib.h"
#include "platform/Jpeg.h"
#include "platform/ReadError.h"
#include "scene3d/KX_SUPEROBJECT.h"
#include "tools/x2d/X2dWriter.h"

#include <QJsonArray>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

using namespace test;

QJsonArray Numbers(std::initializer_list<double> values) {
  QJsonArray array;
  for (double value : values)
    array.append(value);
  return array;
}

TEST(Inspect, ASceneCountsItsItemsBoundsAndEveryTextureFoundOrNot) {
  ScratchDir dir;
  const std::string folder = dir.path("");
  auto plain = wall("plain");
  plain->Position = {-200, 0, 0};
  TSuperObject group;
  group.Name = "pair of walls";
  group.Position = {10, 20, 30};
  group.Entities.push_back(TexturedWall("brick wall", gradient(8, 8, 0), "brick.bmp", folder));
  group.Entities.push_back(wall("second"));
  group.Entities.back()->Position = {0, 0, 500};
  TCamSceneWriter scene;
  scene.AddEntity(*plain);
  scene.AddEntity(*TexturedWall("lost wall", gradient(8, 8, 0), "gone.bmp", folder));
  scene.AddSuperObject(group);
  writeBytes(dir.path("scene.cam"), scene.Bytes());
  // The picture goes after the scene names it: a user moved it away.
  ASSERT_TRUE(QFile::remove(QString::fromStdString(dir.path("gone.bmp"))));

  const QJsonObject info = DescribeFile(dir.path("scene.cam"));
  EXPECT_EQ(info["format"], "cam");
  EXPECT_EQ(info["kind"], "scene");
  // clang-format off
  EXPECT_EQ(info["counts"].toObject(), (QJsonObject{{"entities", 4}, {"super_objects", 1}, {"points", 16},
                                                    {"faces", 4}, {"contours", 0}, {"mappings", 0}}));
  // clang-format on
  // From x -200 (the plain wall) to 110 (the group's walls moved by 10); z up to 500 + 50 + 30.
  EXPECT_EQ(info["bounds"].toArray(), Numbers({-200, 0, 0, 110, 20, 580}));

  const QJsonArray items = info["items"].toArray();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(items[0].toObject()["name"], "plain");
  EXPECT_FALSE(items[0].toObject().contains("texture"));
  EXPECT_EQ(items[2].toObject()["type"], "super_object");
  EXPECT_EQ(items[2].toObject()["entities"].toArray().size(), 2);

  EXPECT_EQ(info["textures"].toArray(),
            (QJsonArray{QJsonObject{{"name", "gone.bmp"}, {"resolved", false}, {"path", QJsonValue()}},
                        QJsonObject{{"name", "brick.bmp"},
                                    {"resolved", true},
                                    {"path", QString::fromStdString(folder + "/brick.bmp")}}}));
}

TEST(Inspect, AModelFileIsOneSuperObjectWithItsVersionAndPlacement) {
  ScratchDir dir;
  TSuperObject model;
  model.Name = "model";
  model.Position = {0, 0, 100};
  model.Entities.push_back(wall("only"));
  BinaryWriter bytes;
  model.SaveToFile(bytes);
  bytes.writeInt32(0); // the trailing word the window reads first
  writeBytes(dir.path("model.x3d"), bytes.bytes());

  const QJsonObject info = DescribeFile(dir.path("model.x3d"));
  EXPECT_EQ(info["format"], "x3d");
  EXPECT_EQ(info["version"].toInt(), 2);
  EXPECT_EQ(info["counts"].toObject()["points"].toInt(), 4);
  EXPECT_EQ(info["bounds"].toArray(), Numbers({0, 0, 100, 100, 0, 150}));
  EXPECT_EQ(info["items"].toArray()[0].toObject()["entities"].toArray()[0].toObject()["mapping"].toInt(), -1);
}

TEST(Inspect, PicturesAndBitmapPairsReportSizeDepthAndCompression) {
  ScratchDir dir;
  writeBytes(dir.path("pair.cam"),
             CamBitmapPairBytes(DibBlockOf(gradient(101, 75, 0), 24), DibBlockOf(gradient(7, 3, 0), 32)));
  writeBytes(dir.path("wide.bmp"), encodeBmp(gradient(33, 17, 0)));
  writeBytes(dir.path("photo.jpg"), encodeJpeg(gradient(40, 30, 0)));

  const QJsonArray pictures = DescribeFile(dir.path("pair.cam"))["pictures"].toArray();
  ASSERT_EQ(pictures.size(), 2);
  EXPECT_EQ(pictures[0].toObject(),
            (QJsonObject{{"width", 101}, {"height", 75}, {"bits_per_pixel", 24}, {"compression", "BI_RGB"}}));
  EXPECT_EQ(pictures[1].toObject(),
            (QJsonObject{{"width", 7}, {"height", 3}, {"bits_per_pixel", 32}, {"compression", "BI_RGB"}}));
  QJsonObject bmp = DescribeFile(dir.path("wide.bmp")), jpeg = DescribeFile(dir.path("photo.jpg"));
  bmp.remove("file"), jpeg.remove("file");
  // clang-format off
  EXPECT_EQ(bmp, (QJsonObject{{"format", "bmp"}, {"width", 33}, {"height", 17}, {"bits_per_pixel", 24},
                              {"compression", "BI_RGB"}}));
  EXPECT_EQ(jpeg, (QJsonObject{{"format", "jpeg"}, {"width", 40}, {"height", 30}, {"bits_per_pixel", 24},
                               {"components", 3}, {"compression", "baseline"}}));
  // clang-format on
}

// Every cut of a valid file either fails with a ReadError or, for a JPEG whose frame header is whole,
// describes the same frame; none may crash or read past the end.
TEST(Inspect, EveryTruncationFailsCleanly) {
  ScratchDir dir;
  const QImage picture = gradient(9, 5, 0);
  const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
      {"cut.bmp", encodeBmp(picture)},
      {"cut.jpg", encodeJpeg(picture)},
      {"cut.cam", CamBitmapPairBytes(DibBlockOf(picture), DibBlockOf(picture))}};
  for (const auto& [name, bytes] : cases) {
    // Every cut through the headers, then every thirteenth through the pixels.
    for (std::size_t length = 0; length < bytes.size(); length += length < 96 ? 1 : 13) {
      SCOPED_TRACE(std::string(name) + " cut at " + std::to_string(length));
      writeBytes(dir.path(name), {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)});
      try {
        const QJsonObject info = DescribeFile(dir.path(name));
        EXPECT_EQ(info["format"], "jpeg");
        EXPECT_EQ(info["width"].toInt(), 9);
      } catch (const ReadError&) {
      }
    }
  }
}

TEST(Inspect, DescribesTheFloorPlan) {
  ScratchDir dir;
  const QString floor = QString::fromStdString(dir.path("floor.x2d"));
  writeBytes(floor.toStdString(), x2d::FloorPlanDrawing());
  const QJsonObject info = DescribeFile(floor.toStdString());
  EXPECT_EQ(info["file"].toString(), floor);
  EXPECT_EQ(info["format"].toString(), "x2d");
  EXPECT_EQ(info["version"].toDouble(), 1.2);

  const QJsonArray layers = info["layers"].toArray();
  ASSERT_EQ(layers.size(), 6);
  const QJsonObject walls = layers[1].toObject(), dimensions = layers[3].toObject();
  EXPECT_EQ(layers[0].toObject()["name"].toString(), "-- 0 --");
  EXPECT_EQ(layers[4].toObject()["name"].toString(), QString::fromUtf8("Notes – 1:50"));
  EXPECT_EQ(walls["id"].toInt(), 1);
  EXPECT_EQ(walls["brush_style"].toString(), "backward_diagonal");
  EXPECT_EQ(dimensions["pen_color"].toString(), "#c80000");
  EXPECT_EQ(dimensions["pen_style"].toString(), "solid");
  EXPECT_TRUE(dimensions["selectable"].toBool());

  // Counted by hand from the plan: outline and partition lines, the door leaf, the rectangle's and
  // the hexagon's sides; the series holds two of the three dimensions.
  // clang-format off
  const QJsonObject expected{{"line", 17}, {"dimension", 3}, {"text", 3}, {"polygon", 2}, {"bitmap", 1},
                             {"arc", 2}, {"polyline", 3}, {"axis", 1}, {"rectangle", 1}, {"circle", 1},
                             {"regular_polygon", 1}, {"angular_dimension", 1}, {"point", 1}, {"arrow", 1},
                             {"dimension_series", 1}, {"report_cell", 1}, {"sequenced_polygon", 1},
                             {"sequenced_polyline", 1}};
  // clang-format on
  EXPECT_EQ(info["entities"].toObject(), expected);
  EXPECT_EQ(info["extents"].toArray(), (QJsonArray{-500, -600, 10500, 8000}));
}

} // namespace
} // namespace vorlan
