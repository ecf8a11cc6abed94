// Frames per second of the 3D view drawing a simple scene in an 800 x 600 window: gradient
// background, lens flare, grid ground and a few hundred lit quads, each frame drawn and presented.
// With VORLAN_BENCH_MODEL naming an .x3d file (make_big_scene sheet.x3d 1000 500), also the frames
// of that model as a scene window opens it: still, and while the camera is being dragged.
//   xvfb-run -a -s "-screen 0 1600x1200x24" bench_view [--benchmark_filter=...]
#include "cam/SceneView.h"
#include "gl/KX_OpenGL_VIEW.h"
#include "platform/Application.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cmath>

namespace vorlan {
namespace {

// A wavy sheet of side x side quads, 60 units each, above the ground.
void drawLitQuads(int side) {
  const auto height = [](int i, int j) { return 200 + 60 * std::sin(i * 0.7) * std::cos(j * 0.5); };
  const auto vertex = [&](int i, int j) {
    glVertex3d((i - side / 2) * 60.0, (j - side / 2) * 60.0, height(i, j));
  };
  glColor3d(0.8, 0.5, 0.2);
  glBegin(GL_QUADS);
  for (int j = 0; j < side; ++j)
    for (int i = 0; i < side; ++i) {
      const double nx = height(i, j) - height(i + 1, j), ny = height(i, j) - height(i, j + 1);
      const double length = std::sqrt(nx * nx + ny * ny + 60 * 60);
      glNormal3d(nx / length, ny / length, 60 / length);
      vertex(i, j);
      vertex(i + 1, j);
      vertex(i + 1, j + 1);
      vertex(i, j + 1);
    }
  glEnd();
}

void waitUntilExposed(const QWidget& widget) {
  while (!widget.windowHandle() || !widget.windowHandle()->isExposed())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Arguments: quads per side; 1 to present every frame on screen, 0 to time the drawing pass alone.
void BM_DrawSimpleScene(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  const bool present = state.range(1) != 0;
  TGL_CAMERA camera;
  TGL_VIEW view;
  view.resize(800, 600);
  view.BackGround().SetStyle(CBackGroundStyle::GradualColors);
  view.BackGround().SetShowLensFlare(true);
  // The sun just above the horizon in front of the camera, so that the flare is drawn in every frame.
  view.BackGround().SetSunX(60000);
  view.BackGround().SetSunY(60000);
  view.BackGround().SetSunZ(5000);
  view.Ground().SetStyle(CGroundStyle::GridLines);
  view.Ground().SetActive(true);
  camera.Params().SetElevation(80);
  camera.Params().SetPan_v(0);
  view.OnRedraw = [side](TGL_VIEW&) { drawLitQuads(side); };
  view.SetCamera(&camera);
  view.show();
  waitUntilExposed(view);
  view.Initialisation();
  for (auto _ : state) {
    view.Redraw();
    // The frame reaches the window with the composition that follows.
    if (present) QCoreApplication::processEvents();
  }
  state.counters["quads"] = side * side;
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawSimpleScene)
    ->ArgNames({"side", "present"})
    ->Args({20, 1})
    ->Args({20, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Argument: 1 to draw the frames of a dragged camera (outlines only), 0 for still frames.
void BM_DrawModel(benchmark::State& state) {
  const QString model = qEnvironmentVariable("VORLAN_BENCH_MODEL");
  if (model.isEmpty()) return state.SkipWithError("VORLAN_BENCH_MODEL names no .x3d file");
  TGL_CAMERA camera;
  SetUpSceneCamera(camera);
  TScene scene;
  TGL_VIEW view;
  SetUpSceneView(view, camera);
  scene.Attach(view);
  view.resize(800, 600);
  view.show();
  waitUntilExposed(view);
  view.Initialisation();
  scene.Load(view, model.toStdString());
  view.SetProjection();
  view.Redraw();
  if (state.range(0) != 0) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(400, 300), QPointF(400, 300), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &press);
    view.Redraw(); // the outlines compile on the first moving frame
  }
  for (auto _ : state) {
    view.Redraw();
    // The frame reaches the window with the composition that follows, as the user sees it.
    QCoreApplication::processEvents();
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  scene.Free(view);
}
BENCHMARK(BM_DrawModel)->ArgName("moving")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace vorlan

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vorlan::VorlanApplication app(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
