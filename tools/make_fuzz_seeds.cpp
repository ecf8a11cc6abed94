// Writes the fuzzing harnesses' seed corpora, one small input per kind of record, by our own writers:
//   make_fuzz_seeds FOLDER   (FOLDER/<harness>/<seed>)
#include "cam/CamFileWriter.h"
#include "platform/BinaryWriter.h"
#include "platform/Dib.h"
#include "platform/FileBytes.h"
#include "platform/Jpeg.h"
#include "tools/hostile/HostileFiles.h"
#include "tools/x2d/X2dWriter.h"

#include <QDir>
#include <QImage>

#include <cstdio>
#include <string>

namespace {

namespace h = vorlan::hostile;

QImage gradient(int width, int height) {
  QImage picture(width, height, QImage::Format_RGB888);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.setPixelColor(x, y, QColor(x * 255 / width, y * 255 / height, 90));
  return picture;
}

std::vector<std::uint8_t> dibBlock(const QImage& picture, int bitsPerPixel) {
  const vorlan::TDibBlock block = vorlan::DibBlockOf(picture, bitsPerPixel);
  vorlan::BinaryWriter w;
  w.writeInt32(static_cast<std::int32_t>(block.info.size()));
  w.writeInt32(static_cast<std::int32_t>(block.bits.size()));
  w.writeBytes(block.info);
  w.writeBytes(block.bits);
  return std::move(w.bytes());
}

std::vector<std::uint8_t> chunked(const std::vector<std::uint8_t>& jpeg) {
  vorlan::BinaryWriter w;
  w.writeInt32(0);
  for (std::size_t at = 0; at < jpeg.size(); at += 2048) {
    const std::size_t n = std::min<std::size_t>(2048, jpeg.size() - at);
    w.writeInt32(static_cast<std::int32_t>(n));
    w.writeBytes(std::span(jpeg).subspan(at, n));
  }
  w.writeInt32(0);
  return std::move(w.bytes());
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: make_fuzz_seeds FOLDER\n", stderr);
    return 2;
  }
  const std::string folder = argv[1];
  const auto write = [&](const std::string& harness, const std::string& name,
                         const std::vector<std::uint8_t>& bytes) {
    QDir().mkpath(QString::fromStdString(folder + "/" + harness));
    vorlan::writeFileBytes(folder + "/" + harness + "/" + name, bytes);
  };
  const std::vector<std::uint8_t> jpeg = vorlan::encodeJpeg(gradient(24, 16));
  const std::vector<std::uint8_t> progressive = h::FlatJpeg(24, 16, true);
  write("cam", "textured.cam", h::TexturedScene("wall.bmp"));
  write("cam", "face.cam", h::FarFaceScene(12, 0));
  write("cam", "previews.cam", h::PreviewScene(jpeg, 2));
  write(
      "cam", "pair.cam",
      vorlan::CamBitmapPairBytes(vorlan::DibBlockOf(gradient(6, 4)), vorlan::DibBlockOf(gradient(5, 3), 32)));
  write("x3d", "mappings.x3d", h::ManyMappingsModel(8));
  write("x3d", "picture.x3d", h::PictureMappingsModel(jpeg, 1));
  write("x2d", "floor.x2d", vorlan::x2d::FloorPlanDrawing());
  write("dib", "rgb24.dib", dibBlock(gradient(5, 3), 24));
  write("dib", "rgb32.dib", dibBlock(gradient(5, 3), 32));
  write("bmp", "rgb24.bmp", vorlan::encodeBmp(gradient(7, 5)));
  write("bmp", "rle8.bmp", h::EmptyRle8Bitmap(8, 4));
  write("jpeg", "baseline.jpg", jpeg);
  write("jpeg", "progressive.jpg", progressive);
  write("chunked_jpeg", "preview.bin", chunked(jpeg));
  write("texture", "wall.bmp", vorlan::encodeBmp(gradient(7, 5)));
  write("texture", "wall.jpg", jpeg);
  return 0;
}
