// Reading a drawing of 100,000 mixed entities (lines, arcs, circles, polylines, texts, polygons)
// on 8 layers into a new document, extents included. Reports the file's MB/s, the time per read
// and the peak resident memory of the process.
#include "graphic_viewer/KX_GRAPHIC_VIEWER.h"
#include "tools/x2d/X2dWriter.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

constexpr int EntityCount = 100000;
constexpr int LayerCount = 8;

const std::vector<std::uint8_t>& MixedFile() {
  static const std::vector<std::uint8_t> bytes = vorlan::x2d::MixedDrawing(EntityCount, LayerCount);
  return bytes;
}

double PeakResidentMB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

void BM_ReadMixedDrawing(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = MixedFile();
  const double residentBefore = PeakResidentMB();
  for (auto _ : state) {
    vorlan::TGV_DOCUMENT document;
    vorlan::LoadX2d(bytes, "mixed.x2d", document);
    benchmark::DoNotOptimize(document.Entities().front()->XMax);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / (1 << 20);
  state.counters["peak_RSS_MB"] = PeakResidentMB();
  state.counters["peak_RSS_before_MB"] = residentBefore;
}
BENCHMARK(BM_ReadMixedDrawing)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
