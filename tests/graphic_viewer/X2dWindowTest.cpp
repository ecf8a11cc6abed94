#include "graphic_viewer/UnitX2D.h"

#include "graphic_viewer/GvViewerControl.h"
#include "graphic_viewer/ReaderTestSupport.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"
#include "tools/x2d/X2dWriter.h"

#include <QApplication>
#include <QDialog>
#include <QMdiArea>
#include <QTimer>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

// What a person would see of the window at each change of its caption or state.
struct Step {
  QString caption;
  bool minimised;
  std::size_t entities;
  bool firstSelectable;
};

class StepRecorder : public QObject {
public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* window = qobject_cast<TFicheX2D*>(watched);
    if (window &&
        (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::WindowStateChange)) {
      const auto& entities = window->GV_DOCUMENT1().Entities();
      steps.push_back({window->windowTitle(), window->isMinimized(), entities.size(),
                       entities.empty() || entities.front()->Selectable});
    }
    return false;
  }
  std::vector<Step> steps;
};

std::string WriteFloorPlan(const test::ScratchDir& dir) {
  const std::string file = dir.path("floor.x2d");
  test::writeBytes(file, x2d::FloorPlanDrawing());
  return file;
}

TEST(X2dWindow, OpensMinimisedWhileLoadingThenRestoresUnderTheFileName) {
  test::ScratchDir dir;
  const std::string file = WriteFloorPlan(dir);
  QMdiArea area;
  area.resize(900, 700);
  area.show();
  StepRecorder recorder;
  qApp->installEventFilter(&recorder);
  TFicheX2D* window = TFicheX2D::Open(&area, file);
  qApp->removeEventFilter(&recorder);

  const auto loading = std::find_if(recorder.steps.begin(), recorder.steps.end(),
                                    [](const Step& s) { return s.caption == "LOADING ...."; });
  ASSERT_NE(loading, recorder.steps.end());
  EXPECT_TRUE(loading->minimised);
  EXPECT_EQ(loading->entities, 0u) << "the caption shows before the load";
  const auto restored =
      std::find_if(loading, recorder.steps.end(), [](const Step& s) { return !s.minimised; });
  ASSERT_NE(restored, recorder.steps.end());
  EXPECT_EQ(restored->entities, 1u);
  EXPECT_FALSE(restored->firstSelectable) << "the drawing is unselectable before the window comes back";
  EXPECT_EQ(recorder.steps.back().caption, "floor.x2d");
  EXPECT_FALSE(window->isMinimized());
  window->close();
}

TEST(X2dWindow, ResizingRefitsTheWholeDrawing) {
  test::ScratchDir dir;
  QMdiArea area;
  area.resize(900, 700);
  area.show();
  TFicheX2D* window = TFicheX2D::Open(&area, WriteFloorPlan(dir));
  TGV_VIEWER& viewer = window->v1->Viewer();
  const TGV_ViewPortRestore fitted = viewer.Viewport();
  viewer.SetView(0, 0, 100, 100);
  window->SetViewerSize({500, 300});
  EXPECT_EQ(window->v1->size(), QSize(500, 300));
  EXPECT_EQ(viewer.Viewport(), fitted);
  EXPECT_EQ(window->Capture().size(), QSize(500, 300));
  window->close();
}

// On a small or scaled screen the window stays inside the client area, its tool bar in reach.
TEST(X2dWindow, OpensInsideASmallClientArea) {
  test::ScratchDir dir;
  QMdiArea area;
  area.resize(500, 400);
  area.show();
  TFicheX2D* window = TFicheX2D::Open(&area, WriteFloorPlan(dir));
  EXPECT_TRUE(QRect(QPoint(), area.viewport()->size()).contains(window->geometry()));
  window->close();
}

TEST(X2dWindow, CancellingThePrintDialogChangesNothing) {
  test::ScratchDir dir;
  QMdiArea area;
  area.show();
  TFicheX2D* window = TFicheX2D::Open(&area, WriteFloorPlan(dir));
  TGV_VIEWER& viewer = window->v1->Viewer();
  QApplication::processEvents();
  window->Capture(); // the first paint zooms all
  viewer.SetView(100, 100, 2000, 1500);
  const TGV_ViewPortRestore view = viewer.Viewport();
  const double scalePaper = viewer.ScalePaper();
  bool dialogShown = false;
  QTimer::singleShot(0, [&] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      dialogShown = true;
      dialog->reject();
    }
  });
  window->imprime();
  EXPECT_TRUE(dialogShown);
  EXPECT_EQ(viewer.Viewport(), view);
  EXPECT_EQ(viewer.ScalePaper(), scalePaper);
  EXPECT_EQ(viewer.SpaceView(), CST_SPACE::ModelSpace);
}

// A file that is not a drawing leaves an empty window and says why (or raises, when asked to); a
// damaged body is an error that leaves the handler. Either way the window is back and named.
TEST(X2dWindow, AFileThatIsNotADrawingOrIsCutLeavesTheWindowRestoredAndNamed) {
  std::vector<std::uint8_t> cut = x2d::FloorPlanDrawing();
  cut.resize(cut.size() - 40);
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::string message; // empty: a ReadError out of the body
  };
  const Case cases[] = {{"text.x2d", std::vector<std::uint8_t>(400, 'a'), "offset 0"},
                        {"recent.x2d", test::StartedDrawing(0, 1.2000001).Bytes(),
                         "This X2D file is more recent than the program !"},
                        {"cut.x2d", cut, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::ScratchDir dir;
    const std::string file = dir.path(c.name);
    test::writeBytes(file, c.bytes);
    QMdiArea area;
    area.show();
    MessageRecorder messages;
    if (c.message.empty()) {
      EXPECT_THROW(TFicheX2D::Open(&area, file), ReadError);
    } else {
      EXPECT_TRUE(TFicheX2D::Open(&area, file)->GV_DOCUMENT1().Entities().empty());
      ASSERT_EQ(messages.texts().size(), 1u);
      EXPECT_NE(messages.texts()[0].find(c.message), std::string::npos) << messages.texts()[0];
      EXPECT_THROW(TFicheX2D::Open(&area, file, TFicheX2D::HeaderErrors::Raise), ReadError);
    }
    ASSERT_FALSE(area.subWindowList().isEmpty());
    EXPECT_EQ(area.subWindowList()[0]->windowFilePath(), QString::fromStdString(file));
    EXPECT_FALSE(area.subWindowList()[0]->isMinimized());
  }
}

} // namespace
} // namespace vorlan
