#include "tools/hostile/HostileFiles.h"

#include "cam/CamFileWriter.h"
#include "platform/BinaryWriter.h"
#include "scene3d/KX_MAPPING.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <stdexcept>

#include <jpeglib.h>

namespace vorlan::hostile {

namespace {

constexpr std::int32_t kAbsent = 1;
constexpr std::int32_t kFollows = 0;
constexpr std::int32_t kPreviewChunk = 2048;

// The super-object head up to its name: version 2, the preview flag, three reserved words, no
// placement.
void writeSuperObjectHead(BinaryWriter& w, std::int32_t previewFlag) {
  w.writeInt32(kSuperObjectVersion2);
  w.writeInt32(previewFlag);
}

void writeSuperObjectMiddle(BinaryWriter& w, const std::string& name) {
  for (int i = 0; i < 3; ++i)
    w.writeInt32(0);
  w.writeInt32(kAbsent);
  w.writeText256(name);
}

// Kind, tile size, amplitude, five RGB colours, five parameters, as the mapping reader takes them.
void writeMappingFields(BinaryWriter& w, std::uint8_t kind) {
  w.writeByte(kind);
  w.writeInt32(100);
  w.writeInt32(100);
  w.writeInt32(10);
  for (int c = 0; c < 5; ++c)
    for (std::uint8_t v : {std::uint8_t(40 * c), std::uint8_t(90), std::uint8_t(200)})
      w.writeByte(v);
  for (int p = 0; p < 5; ++p)
    w.writeInt32(50);
}

std::vector<std::uint8_t> asX3d(BinaryWriter& w) {
  w.writeInt32(0); // the trailing word
  return std::move(w.bytes());
}

std::unique_ptr<TEntity> square() {
  auto entity = std::make_unique<TEntity>();
  TFace& face = TFace::Create(*entity);
  for (auto [x, y] : {std::pair{0.0, 0.0}, {100.0, 0.0}, {100.0, 100.0}, {0.0, 100.0}})
    face.AddPoint(nullptr, x, y, 0, 1);
  return entity;
}

} // namespace

std::vector<std::uint8_t> FlatJpeg(int width, int height, bool progressive) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  info.arith_code = TRUE;
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
  for (std::size_t i = 0; i < row.size(); i += 3) {
    row[i] = 200;
    row[i + 1] = 120;
    row[i + 2] = 40;
  }
  JSAMPROW rows[1] = {row.data()};
  while (info.next_scanline < info.image_height)
    jpeg_write_scanlines(&info, rows, 1);
  jpeg_finish_compress(&info);
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return bytes;
}

std::vector<std::uint8_t> EmptyRle8Bitmap(int width, int height) {
  BinaryWriter w;
  const std::uint32_t offBits = 14 + 40 + 4; // file header, info header, one colour
  w.writeUInt16(0x4D42);                     // "BM"
  w.writeUInt32(offBits + 2);
  w.writeZeros(4);
  w.writeUInt32(offBits);
  w.writeUInt32(40);
  w.writeInt32(width);
  w.writeInt32(height);
  w.writeUInt16(1); // planes
  w.writeUInt16(8); // bits per pixel
  w.writeUInt32(1); // BI_RLE8
  w.writeZeros(12); // image size and resolution
  w.writeUInt32(1); // colours used
  w.writeZeros(4);  // colours important
  w.writeZeros(4);  // colour 0: black
  w.writeByte(0);   // escape
  w.writeByte(1);   // end of bitmap
  return std::move(w.bytes());
}

std::vector<std::uint8_t> TexturedScene(const std::string& textureName) {
  BinaryWriter entityBytes;
  square()->SaveToFile(entityBytes);
  std::vector<std::uint8_t>& bytes = entityBytes.bytes();
  // The entity names no texture; the name's block is the one that starts with kMissingTextureName.
  const std::string missing(kMissingTextureName);
  const auto at = std::search(bytes.begin() + 256, bytes.end(), missing.begin(), missing.end());
  if (at == bytes.end() || textureName.size() > 255) throw std::logic_error("TexturedScene: no name block");
  std::fill_n(at, 256, 0);
  std::copy(textureName.begin(), textureName.end(), at);
  BinaryWriter w;
  w.writeInt32(1); // CamVersion
  w.writeInt32(0); // a scene
  w.writeInt32(0); // reserved
  w.writeInt32(1); // one item
  w.writeInt32(0); // an entity
  w.writeBytes(bytes);
  return std::move(w.bytes());
}

std::vector<std::uint8_t> PictureMappingsModel(const std::vector<std::uint8_t>& jpeg, int count) {
  BinaryWriter w;
  writeSuperObjectHead(w, kAbsent);
  writeSuperObjectMiddle(w, "pictures");
  w.writeInt32(count);
  for (int i = 0; i < count; ++i) {
    writeMappingFields(w, kPictureKind);
    w.writeText256("wall.jpg");
    w.writeInt32(static_cast<std::int32_t>(jpeg.size()));
    w.writeBytes(jpeg);
  }
  w.writeInt32(0); // no entities
  return asX3d(w);
}

std::vector<std::uint8_t> PreviewScene(const std::vector<std::uint8_t>& jpeg, int count) {
  BinaryWriter w;
  w.writeInt32(1); // CamVersion
  w.writeInt32(0); // a scene
  w.writeInt32(0); // reserved
  w.writeInt32(count);
  for (int i = 0; i < count; ++i) {
    w.writeInt32(1); // a super-object
    writeSuperObjectHead(w, kFollows);
    w.writeInt32(0); // the preview's unused word
    for (std::size_t at = 0; at < jpeg.size(); at += kPreviewChunk) {
      const std::size_t n = std::min<std::size_t>(kPreviewChunk, jpeg.size() - at);
      w.writeInt32(static_cast<std::int32_t>(n));
      w.writeBytes(std::span(jpeg).subspan(at, n));
    }
    w.writeInt32(0);
    writeSuperObjectMiddle(w, "previewed");
    w.writeInt32(0); // no mappings
    w.writeInt32(0); // no entities
  }
  return std::move(w.bytes());
}

std::vector<std::uint8_t> ManyMappingsModel(int count) {
  BinaryWriter w;
  writeSuperObjectHead(w, kAbsent);
  writeSuperObjectMiddle(w, "mappings");
  w.writeInt32(count);
  for (int i = 0; i < count; ++i)
    writeMappingFields(w, static_cast<std::uint8_t>(i % (kLastPatternKind + 1)));
  w.writeInt32(1);
  w.writeInt32(0); // the first mapping
  square()->SaveToFile(w);
  return asX3d(w);
}

std::vector<std::uint8_t> FarFaceScene(int corners, double offset) {
  TEntity entity;
  TFace& face = TFace::Create(entity);
  for (int i = 0; i < corners; ++i) {
    const double angle = 2 * std::numbers::pi * i / corners;
    face.AddPoint(nullptr, offset + 1000 * std::cos(angle), offset + 1000 * std::sin(angle), 0, 1);
  }
  TCamSceneWriter scene;
  scene.AddEntity(entity);
  return scene.Bytes();
}

} // namespace vorlan::hostile
