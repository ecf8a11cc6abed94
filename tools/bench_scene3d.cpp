// Reading and merging speed of the 3D scene records, measured from memory.
//   bench_scene3d [--benchmark_filter=...]
#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
#include "scene3d/KX_OBJECTS.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace vorlan {
namespace {

// A side x side grid of unit quads: every inner point is shared by four faces.
void addQuadGrid(TEntity& entity, int side) {
  for (int j = 0; j < side; ++j)
    for (int i = 0; i < side; ++i) {
      TFace& face = TFace::Create(entity);
      const double x = i, y = j, z = std::sin(i * 0.01) * std::cos(j * 0.01);
      face.AddPoint(nullptr, x, y, z, 1);
      face.AddPoint(nullptr, x + 1, y, z, 1);
      face.AddPoint(nullptr, x + 1, y + 1, z, 1);
      face.AddPoint(nullptr, x, y + 1, z, 1);
    }
}

std::vector<std::uint8_t> quadGridBytes(int side) {
  TEntity entity;
  addQuadGrid(entity, side);
  BinaryWriter w;
  entity.SaveToFile(w);
  return w.bytes();
}

void loadEntity(const std::vector<std::uint8_t>& bytes, TEntity& entity) {
  BinaryCursor cursor(bytes, "bench.cam");
  cursor.skip(256, "class name");
  entity.LoadFromFile(cursor, ReadPlace("entity 0"));
}

void BM_ParsePointRecords(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  BinaryWriter w;
  for (std::size_t i = 0; i < count; ++i)
    TPoint3D(i * 0.5, i * 0.25, -1.0 * i, 1).SaveToFile(w);
  const ReadPlace where("points");
  for (auto _ : state) {
    BinaryCursor cursor(w.bytes(), "bench.cam");
    TPoint3D p;
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
      p.LoadFromFile(cursor, where);
      sum += p.X;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * w.size()));
}
BENCHMARK(BM_ParsePointRecords)->Arg(1 << 20);

void BM_ParseObjectRecords(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  BinaryWriter w;
  const TEntity source;
  for (std::size_t i = 0; i < count; ++i)
    source.TObjects::SaveToFile(w);
  const ReadPlace where("objects");
  for (auto _ : state) {
    BinaryCursor cursor(w.bytes(), "bench.cam");
    TEntity entity;
    for (std::size_t i = 0; i < count; ++i)
      entity.TObjects::LoadFromFile(cursor, where);
    benchmark::DoNotOptimize(entity.Name.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * w.size()));
}
BENCHMARK(BM_ParseObjectRecords)->Arg(1 << 16);

// Whole entity records: faces, corner records and the merging of their points.
void BM_ParseEntity(benchmark::State& state) {
  const auto bytes = quadGridBytes(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TEntity entity;
    loadEntity(bytes, entity);
    benchmark::DoNotOptimize(entity.Points.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
  state.SetItemsProcessed(
      static_cast<std::int64_t>(state.iterations() * state.range(0) * state.range(0) * 4));
}
BENCHMARK(BM_ParseEntity)->Arg(250)->Unit(benchmark::kMillisecond);

// AddPoint alone: the corners of the quad grid, in face order, go into one face whose corner list is
// reserved as the reader reserves it. Items are corners.
void BM_AddPointMerge(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  for (auto _ : state) {
    TEntity entity;
    TFace& face = TFace::Create(entity);
    face.Refs.reserve(static_cast<std::size_t>(side) * side * 4);
    for (int j = 0; j < side; ++j)
      for (int i = 0; i < side; ++i) {
        const double x = i, y = j, z = std::sin(i * 0.01) * std::cos(j * 0.01);
        face.AddPoint(nullptr, x, y, z, 1);
        face.AddPoint(nullptr, x + 1, y, z, 1);
        face.AddPoint(nullptr, x + 1, y + 1, z, 1);
        face.AddPoint(nullptr, x, y + 1, z, 1);
      }
    benchmark::DoNotOptimize(entity.Points.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * side * side * 4));
}
BENCHMARK(BM_AddPointMerge)->Arg(250)->Arg(707)->Unit(benchmark::kMillisecond);

// Corners that all fall within a few cells: the grid's worst ordinary case.
void BM_AddPointDenseCloud(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    TEntity entity;
    TFace& face = TFace::Create(entity);
    for (std::size_t i = 0; i < count; ++i)
      face.AddPoint(nullptr, (i % 97) * 0.011, (i % 89) * 0.011, (i % 83) * 0.011, 1);
    benchmark::DoNotOptimize(entity.Points.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * count));
}
BENCHMARK(BM_AddPointDenseCloud)->Arg(1 << 18)->Unit(benchmark::kMillisecond);

// One face of 30,000 corners on a circle centred at the given distance from the origin: far
// coordinates must cost what near ones do.
void BM_AddPointFarCircle(benchmark::State& state) {
  constexpr int kCorners = 30000;
  const double offset = static_cast<double>(state.range(0));
  for (auto _ : state) {
    TEntity entity;
    TFace& face = TFace::Create(entity);
    for (int i = 0; i < kCorners; ++i) {
      const double angle = 2 * 3.141592653589793 * i / kCorners;
      face.AddPoint(nullptr, offset + 1000 * std::cos(angle), offset + 1000 * std::sin(angle), 0, 1);
    }
    benchmark::DoNotOptimize(entity.Points.data());
  }
  state.SetItemsProcessed(state.iterations() * kCorners);
}
BENCHMARK(BM_AddPointFarCircle)->Arg(0)->Arg(200000000)->Unit(benchmark::kMillisecond);

// 500,000 quads (2,000,000 corners, about 165 MB) read and prepared with a procedural mapping.
void BM_LoadAndPrepareHalfMillionQuads(benchmark::State& state) {
  const auto bytes = quadGridBytes(707);
  TMappingTile tile{100, 100};
  for (auto _ : state) {
    TEntity entity;
    loadEntity(bytes, entity);
    entity.Mapping = &tile;
    entity.Prepare();
    benchmark::DoNotOptimize(entity.Points.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LoadAndPrepareHalfMillionQuads)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace vorlan

BENCHMARK_MAIN();
