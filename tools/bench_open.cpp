// The stages of opening a big .x3d model without OpenGL: getting the bytes (read or mapped), reading
// the record (parse and point merging, with the geometry prepared), merging the corners into shared
// points alone and preparing the geometry on one thread or on every core. The model is the 1000 x 500
// quad sheet of scripts/bench-open. Then a picture appearing in its window: decoded as the window
// holds it and the first screenful painted, for the .bmp and .jpg files named on the command line (by
// default 6000 x 4000 pictures written here), and the .bmp that --render writes of it.
//   bench_open [--benchmark_filter=...] [PICTURE.bmp PICTURE.jpg]
#include "platform/BinaryWriter.h"
#include "platform/Dib.h"
#include "platform/FileBytes.h"
#include "platform/Jpeg.h"
#include "platform/MappedFile.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QPainter>
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

QTemporaryDir& benchFolder() {
  static QTemporaryDir dir;
  return dir;
}

// Written once into a folder of its own, removed at exit.
const std::string& modelFile() {
  static QTemporaryDir& dir = benchFolder();
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

// Rings that twist with the radius, so that no 8 x 8 block of the JPEG is flat.
QImage detailedPicture() {
  QImage picture(6000, 4000, QImage::Format_RGB888);
  for (int y = 0; y < picture.height(); ++y) {
    std::uint8_t* p = picture.scanLine(y);
    for (int x = 0; x < picture.width(); ++x, p += 3) {
      const double dx = x - 3000.0, dy = y - 2000.0, r = std::hypot(dx, dy);
      const double turn = std::atan2(dy, dx) + r / 400;
      p[0] = static_cast<std::uint8_t>(127.5 + 127.5 * std::sin(turn * 3));
      p[1] = static_cast<std::uint8_t>(r / 3606 * 255);
      p[2] = static_cast<std::uint8_t>(127.5 + 127.5 * std::cos(turn * 5));
    }
  }
  return picture;
}

std::vector<std::string> writeDefaultPictures() {
  const QImage picture = detailedPicture();
  const std::string bmp = benchFolder().filePath("picture.bmp").toStdString();
  const std::string jpg = benchFolder().filePath("picture.jpg").toStdString();
  writeFileBytes(bmp, encodeBmp(picture));
  writeFileBytes(jpg, encodeJpeg(picture));
  return {bmp, jpg};
}

// As the picture window decodes it.
QImage shownPicture(const std::string& fileName) {
  if (upperExtension(fileName) == ".BMP") return loadBmpFile(fileName, kShownPictureFormat);
  return loadJpegFile(fileName, kShownPictureFormat);
}

// What a 1600 x 1200 screen shows of the picture window's first paint, at 1:1.
void paintFirstScreen(const QImage& picture, QImage& screen) {
  QPainter painter(&screen);
  painter.drawImage(QRect(QPoint(0, 0), picture.size()), picture);
}

// Bytes per second are the file's.
void showPicture(benchmark::State& state, const std::string& fileName) {
  QImage screen(1600, 1200, QImage::Format_RGB32);
  for (auto _ : state) {
    const QImage picture = shownPicture(fileName);
    paintFirstScreen(picture, screen);
    benchmark::DoNotOptimize(screen.constBits());
  }
  const std::int64_t size = static_cast<std::int64_t>(MappedFile(fileName).bytes().size());
  state.SetBytesProcessed(state.iterations() * size);
}

void encodeShownPicture(benchmark::State& state, const std::string& fileName) {
  const QImage picture = shownPicture(fileName);
  for (auto _ : state)
    benchmark::DoNotOptimize(encodeBmp(picture).data());
}

// Written on first use only, so that a run of the other stages does not wait for them.
const std::string& writtenPicture(std::size_t index) {
  static const std::vector<std::string> files = writeDefaultPictures();
  return files[index];
}

void registerPictureStages(const std::vector<std::string>& named) {
  const std::vector<std::string> names =
      named.empty() ? std::vector<std::string>{"picture.bmp", "picture.jpg"} : named;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const auto file = [named, i] { return named.empty() ? writtenPicture(i) : named[i]; };
    const std::string name = QFileInfo(QString::fromStdString(names[i])).fileName().toStdString();
    benchmark::RegisterBenchmark(("BM_ShowPicture/" + name).c_str(),
                                 [file](benchmark::State& state) { showPicture(state, file()); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("BM_EncodeBmp/" + name).c_str(),
                                 [file](benchmark::State& state) { encodeShownPicture(state, file()); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
}

} // namespace
} // namespace vorlan

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  vorlan::registerPictureStages(std::vector<std::string>(argv + 1, argv + argc));
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
