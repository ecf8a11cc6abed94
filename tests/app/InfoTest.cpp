#include "support/TestSupport.h"
#include "tools/x2d/X2dWriter.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

struct InfoRun {
  int exitCode;
  QByteArray out, err;
};

// Without any display: --info must not need one.
InfoRun Info(const QStringList& arguments) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("DISPLAY");
  environment.remove("QT_QPA_PLATFORM");
  process.setProcessEnvironment(environment);
  process.start(QCoreApplication::applicationDirPath() + "/../vorlancam", QStringList{"--info"} + arguments);
  EXPECT_TRUE(process.waitForFinished(60000));
  return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

TEST(Info, DescribesTheFloorPlanAsJson) {
  test::ScratchDir dir;
  const QString floor = QString::fromStdString(dir.path("floor.x2d"));
  test::writeBytes(floor.toStdString(), x2d::FloorPlanDrawing());
  const InfoRun run = Info({floor, "--json"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const QJsonObject info = QJsonDocument::fromJson(run.out).object();
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

TEST(Info, ReadableLinesFailuresAndMisuse) {
  test::ScratchDir dir;
  std::vector<std::uint8_t> bytes = x2d::FloorPlanDrawing();
  test::writeBytes(dir.path("floor.x2d"), bytes);
  bytes.resize(bytes.size() - 10);
  test::writeBytes(dir.path("cut.x2d"), bytes);
  bytes[0] = 'Y';
  test::writeBytes(dir.path("other.x2d"), bytes);
  const QString floor = QString::fromStdString(dir.path("floor.x2d"));
  struct Case {
    QStringList arguments;
    int exitCode;
    const char* outHas;
    const char* errHas;
  };
  const Case cases[] = {
      {{floor}, 0, "extents: -500 -600 10500 8000", ""},
      {{QString::fromStdString(dir.path("cut.x2d"))}, 1, "", "cut.x2d: offset "},
      {{QString::fromStdString(dir.path("other.x2d"))}, 1, "", "other.x2d: offset 0: "},
      {{QString::fromStdString(dir.path("missing.x2d"))}, 1, "", "missing.x2d: offset 0"},
      {{QString::fromStdString(dir.path("scene.cam"))}, 1, "", "scene.cam: offset 0"},
      {{}, 2, "", "usage"},
      {{floor, floor}, 2, "", "usage"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const InfoRun run = Info(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_TRUE(run.out.contains(c.outHas)) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(c.errHas)) << run.err.toStdString();
    EXPECT_LE(run.err.count('\n'), 1) << "one line";
  }
}

} // namespace
} // namespace vorlan
