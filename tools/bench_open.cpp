// The stages of opening a big .x3d model without OpenGL: getting the bytes (read or mapped), reading
// the record (parse and point merging, with the geometry prepared), merging the corners into shared
// points alone and preparing the geometry on one thread or on every core. The model is the 1000 x 500 quad
// sheet of scripts/bench-open.
//   bench_open [--benchmark_filter=...]
#include "platform/BinaryWriter.h"
#include "platform/FileBytes.h"
#include "platform/MappedFile.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cmath>
#include <memory>
#include <thread>

namespace vorlan {
namespace {

constexpr int kColumns = 1000;
constexpr int kRows = 500;

std::unique_ptr<TEntity> wavySheet() {
  auto entity = std::make_unique<TEntity>();
  const double step = 1000.0 / kColumns;
  for (int i = 0; i < kColumns; ++i)
    for (int j = 0; j < kRows; ++j) {
      TFace& face = TFace::Create(*entity);
      const double x0 = -500 + i * step, y0 = -500 + j * step, x1 = x0 + step, y1 = y0 + step;
      for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})
        face.AddPoint(nullptr, x, y, 40 * std::sin(x / 60) * std::cos(y / 80), 1.0);
    }
  return entity;
}

// Written once into a folder of its own, removed at exit.
const std::string& modelFile() {
  static QTemporaryDir dir;
  static const std::string name = [] {
    TSuperObject model;
    model.Entities.push_back(wavySheet());
    BinaryWriter F;
    model.SaveToFile(F);
    const std::string path = dir.filePath("sheet.x3d").toStdString();
    writeFileBytes(path, F.bytes());
    return path;
  }();
  return name;
}

// Every page is touched, as a reader does.
std::uint64_t touchPages(std::span<const std::uint8_t> bytes) {
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 4096)
    sum += bytes[i];
  return sum;
}

void BM_ReadFileBytes(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    const std::vector<std::uint8_t> bytes = readFileBytes(modelFile());
    benchmark::DoNotOptimize(touchPages(bytes));
    size = bytes.size();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MapFile(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    const MappedFile file(modelFile());
    benchmark::DoNotOptimize(touchPages(file.bytes()));
    size = file.bytes().size();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_MapFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole read of the file without a rendering context: mapping, parsing, merging the 2,000,000
// corners and preparing the geometry. Bytes per second are the file's.
void BM_ReadX3D(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    TSuperObject model;
    ReadX3D(modelFile(), model);
    size = MappedFile(modelFile()).bytes().size();
    benchmark::DoNotOptimize(model.Entities.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_ReadX3D)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The sheet's 2,000,000 corners, in file order, merged into shared points as the reader merges them.
// Items are corners.
void BM_MergeCorners(benchmark::State& state) {
  const std::unique_ptr<TEntity> sheet = wavySheet();
  std::vector<Vector3D> corners;
  for (const auto& face : sheet->Faces)
    for (const TMem& corner : face->Refs)
      corners.push_back(sheet->PointOf(corner));
  for (auto _ : state) {
    TEntity entity;
    for (const Vector3D& c : corners)
      benchmark::DoNotOptimize(entity.SharePoint(c.x, c.y, c.z, 1.0));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * corners.size()));
}
BENCHMARK(BM_MergeCorners)->Unit(benchmark::kMillisecond)->UseRealTime();

// Planes, vertex normals and smooth marks of the sheet's 500,000 faces by `range(0)` threads.
void BM_PrepareGeometry(benchmark::State& state) {
  const std::unique_ptr<TEntity> sheet = wavySheet();
  for (auto _ : state) {
    state.PauseTiming();
    for (TPoint3D& point : sheet->Points)
      point.SetNormal({});
    state.ResumeTiming();
    sheet->PrepareGeometry(static_cast<unsigned>(state.range(0)));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * sheet->Faces.size()));
}
BENCHMARK(BM_PrepareGeometry)
    ->Arg(1)
    ->Arg(std::max(2u, std::thread::hardware_concurrency()))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
} // namespace vorlan

BENCHMARK_MAIN();
