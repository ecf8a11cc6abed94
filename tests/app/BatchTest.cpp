#include "app/Batch.h"

#include "cam/CamTestSupport.h"
#include "cam/UnitCamOGL.h"
#include "gl/KX_OpenGL_VIEW.h"
#include "platform/Dib.h"
#include "platform/FileBytes.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

using namespace test;

TEST(BatchJob, OptionsAndUsageErrors) {
  // clang-format off
  struct Case { QStringList arguments; bool usageError; TBatchJob::Kind what; };
  const Case cases[] = {
      {{"vorlancam", "a.cam"}, false, TBatchJob::Kind::None},
      {{"vorlancam", "--render", "a.cam", "-o", "a.png"}, false, TBatchJob::Kind::Render},
      {{"vorlancam", "--export-dxf", "a.x3d", "-o", "a.dxf"}, false, TBatchJob::Kind::ExportDxf},
      {{"vorlancam", "--render", "a.cam"}, true, TBatchJob::Kind::Render},
      {{"vorlancam", "--render", "a.cam", "--export-dxf", "b.cam", "-o", "x"}, true, TBatchJob::Kind::None},
      {{"vorlancam", "--render", "a.cam", "-o", "a.png", "--size", "0x10"}, true, TBatchJob::Kind::Render},
      {{"vorlancam", "--render", "a.cam", "-o", "a.png", "--view", "iso"}, true, TBatchJob::Kind::Render},
      {{"vorlancam", "--render", "a.cam", "-o", "a.png", "b.cam"}, true, TBatchJob::Kind::None},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    TBatchJob job;
    EXPECT_EQ(ParseBatchJob(c.arguments, job).empty(), !c.usageError);
    if (!c.usageError) {
      EXPECT_EQ(job.What, c.what);
    }
  }
  TBatchJob job;
  ASSERT_EQ(ParseBatchJob({"vorlancam", "--render", "m.x3d", "-o", "m.jpg", "--size", "640x480", "--view",
                           "side", "--paper", "--white"},
                          job),
            "");
  EXPECT_EQ(job.Size, QSize(640, 480));
  EXPECT_EQ(job.View, "side");
  EXPECT_TRUE(job.Paper && job.White);
}

// The batch render is the 3D window itself: its picture is the window's own capture at that size.
TEST(BatchJob, ASceneRendersWhatItsWindowShowsAndExportsItsFaces) {
  test::ScratchDir dir;
  TCamSceneWriter scene;
  scene.AddEntity(*wall("wall"));
  writeBytes(dir.path("wall.cam"), scene.Bytes());

  TBatchJob job;
  ASSERT_EQ(
      ParseBatchJob({"vorlancam", "--render", QString::fromStdString(dir.path("wall.cam")), "-o",
                     QString::fromStdString(dir.path("wall.bmp")), "--size", "320x240", "--view", "front"},
                    job),
      "");
  RunBatchJob(job);
  const QImage rendered = loadBmpFile(dir.path("wall.bmp"));
  ASSERT_EQ(rendered.size(), QSize(320, 240));

  ShownFrame shown;
  TFicheCamOGL* window = TFicheCamOGL::OpenCam(shown.frame.ClientArea(), dir.path("wall.cam"));
  window->SubWindow()->resize(window->SubWindow()->size() + QSize(320, 240) - window->View().size());
  window->SpeedButton11Click();
  const QImage captured = window->Capture().convertToFormat(QImage::Format_RGB888);
  ASSERT_EQ(captured.size(), rendered.size());
  int differing = 0;
  for (int y = 0; y < captured.height(); ++y)
    for (int x = 0; x < captured.width(); ++x)
      differing += captured.pixel(x, y) != rendered.pixel(x, y);
  EXPECT_LT(differing, captured.width() * captured.height() / 100)
      << "only the flare's random streaks may differ";

  ASSERT_EQ(ParseBatchJob({"vorlancam", "--export-dxf", QString::fromStdString(dir.path("wall.cam")), "-o",
                           QString::fromStdString(dir.path("wall.dxf"))},
                          job),
            "");
  RunBatchJob(job);
  const auto dxf = readFileBytes(dir.path("wall.dxf"));
  EXPECT_NE(std::string(dxf.begin(), dxf.end()).find("3DFACE"), std::string::npos);
}

} // namespace
} // namespace vorlan
