// Timings of the drawing window on a drawing of 100,000 mixed entities at 1600 x 1000: opening to
// the first complete paint, a full repaint after zoom all, and a repaint after zooming to a tenth.
// Run with QT_QPA_PLATFORM=offscreen; the peak resident memory is printed at the end.

#include "graphic_viewer/GvViewerControl.h"
#include "graphic_viewer/UnitX2D.h"
#include "platform/Application.h"
#include "platform/FileBytes.h"
#include "tools/x2d/X2dWriter.h"

#include <QDir>
#include <QMdiArea>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace vorlan {
namespace {

constexpr int EntityCount = 100000;
const QSize ControlSize(1600, 1000);

const std::string& DrawingFile() {
  static QTemporaryDir dir;
  static const std::string file = [] {
    const std::string name = QDir(dir.path()).filePath("mixed.x2d").toStdString();
    writeFileBytes(name, x2d::MixedDrawing(EntityCount, 8));
    return name;
  }();
  return file;
}

// A window on the drawing, its viewer at the benchmark's size.
struct OpenDrawing {
  OpenDrawing() {
    area.resize(ControlSize + QSize(100, 100));
    area.show();
    window = TFicheX2D::Open(&area, DrawingFile());
    window->SetViewerSize(ControlSize);
    window->Capture();
  }
  ~OpenDrawing() { delete window; }
  TGV_VIEWER& Viewer() { return window->v1->Viewer(); }

  QMdiArea area;
  TFicheX2D* window = nullptr;
};

void BM_OpenToFirstPaint(benchmark::State& state) {
  DrawingFile();
  for (auto _ : state) {
    OpenDrawing open;
    benchmark::DoNotOptimize(open.window->Capture().constBits());
  }
  state.counters["entities"] = EntityCount;
}
BENCHMARK(BM_OpenToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RepaintAfterZoomAll(benchmark::State& state) {
  OpenDrawing open;
  for (auto _ : state) {
    open.Viewer().ZoomAll();
    benchmark::DoNotOptimize(open.window->Capture().constBits());
  }
}
BENCHMARK(BM_RepaintAfterZoomAll)->Unit(benchmark::kMillisecond)->UseRealTime();

// A window a tenth of the drawing's width and height, in its middle.
void BM_RepaintZoomedToATenth(benchmark::State& state) {
  OpenDrawing open;
  open.Viewer().ZoomAll();
  const TGV_ViewPortRestore all = open.Viewer().Viewport();
  const double cx = (all.Xmin + all.Xmax) / 2, cy = (all.Ymin + all.Ymax) / 2;
  const double hw = (all.Xmax - all.Xmin) / 20, hh = (all.Ymax - all.Ymin) / 20;
  for (auto _ : state) {
    open.Viewer().SetView(cx - hw, cy - hh, cx + hw, cy + hh);
    benchmark::DoNotOptimize(open.window->Capture().constBits());
  }
  state.counters["drawn"] = static_cast<double>(open.Viewer().DisplayList().size());
}
BENCHMARK(BM_RepaintZoomedToATenth)->Unit(benchmark::kMillisecond)->UseRealTime();

std::string PeakResidentMemory() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return line;
  return "VmHWM: unknown";
}

} // namespace
} // namespace vorlan

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vorlan::VorlanApplication app(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("peak resident memory %s\n", vorlan::PeakResidentMemory().c_str());
  return 0;
}
