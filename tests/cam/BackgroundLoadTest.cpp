#include "CamTestSupport.h"

#include "cam/UnitCamOGL.h"
#include "platform/BackgroundWork.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <QProgressBar>

namespace vorlan {
namespace {

// A flat grid of `columns` x `rows` unit quads in one entity, as an .x3d file's bytes.
std::vector<std::uint8_t> gridModelBytes(int columns, int rows) {
  auto entity = std::make_unique<TEntity>();
  for (int i = 0; i < columns; ++i)
    for (int j = 0; j < rows; ++j) {
      TFace& face = TFace::Create(*entity);
      face.Color = {255, 0, 0, 255};
      for (auto [x, y] : {std::pair{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j + 1}})
        face.AddPoint(nullptr, 4.0 * x - 240, 4.0 * y - 200, 0, 1.0);
    }
  TSuperObject model;
  model.Entities.push_back(std::move(entity));
  BinaryWriter bytes;
  model.SaveToFile(bytes);
  return bytes.bytes();
}

// The model is read on another thread while the frame's event loop runs: each move of the bar is
// painted before the read has ended, and the lists are compiled in the window's own context.
TEST(BackgroundLoad, TheBarMovesWhileTheModelIsReadAndTheModelIsDrawnAfter) {
  test::ScratchDir dir;
  const std::string fileName = dir.path("grid.x3d");
  test::writeBytes(fileName, gridModelBytes(120, 100));
  test::ShownFrame shown;
  std::vector<std::pair<int, bool>> moves; // value, during the read; the bar starts at 0
  QObject::connect(shown.frame.MainBar(), &QProgressBar::valueChanged, [&moves](int value) {
    if (value > 0) moves.emplace_back(value, BackgroundWork::Waiting());
  });
  shown.frame.OpenFile(fileName);

  ASSERT_GE(moves.size(), 3u);
  for (std::size_t i = 0; i < moves.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(moves[i].second) << "moved to " << moves[i].first << " only after the read";
    if (i > 0) {
      EXPECT_GT(moves[i].first, moves[i - 1].first);
    }
  }
  EXPECT_EQ(moves.back().first, 100);
  auto* window = qobject_cast<TFicheCamOGL*>(shown.children().last()->widget());
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(window->SceneEntities().size(), 1u);
  EXPECT_TRUE(window->SceneEntities()[0]->FaceLists().Compiled());
  const QImage picture = window->Capture();
  const QColor middle = picture.pixelColor(picture.width() / 2, picture.height() / 2);
  EXPECT_TRUE(middle.red() > 150 && middle.green() < 100 && middle.blue() < 100) << "the grid is drawn";
}

// What the job threw reaches the waiting thread as it was thrown.
TEST(BackgroundLoad, WaitGivesBackTheJobsError) {
  BackgroundWork work([] { throw ReadError("cut.x3d", 17, "face record"); });
  try {
    work.Wait();
    FAIL() << "no error";
  } catch (const ReadError& error) {
    EXPECT_STREQ(error.what(), ReadError("cut.x3d", 17, "face record").what());
  }
}

} // namespace
} // namespace vorlan
