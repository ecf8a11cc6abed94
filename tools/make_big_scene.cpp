// Writes one entity made of a grid of quads (a wavy sheet), for timing large loads, as a .cam scene,
// an .x3d model or, for comparison with other viewers, a binary PLY mesh of the same points and faces:
//   make_big_scene OUT.cam|OUT.x3d|OUT.ply [COLUMNS [ROWS]]
// COLUMNS defaults to 500 and ROWS to COLUMNS (500 x 500 gives 250,000 faces).
#include "cam/CamFileWriter.h"
#include "platform/BinaryWriter.h"
#include "platform/FileBytes.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

double heightAt(double x, double y) {
  return 40 * std::sin(x / 60) * std::cos(y / 80);
}

std::unique_ptr<vorlan::TEntity> wavySheet(int columns, int rows) {
  auto entity = std::make_unique<vorlan::TEntity>();
  entity->Name = "sheet";
  const double step = 1000.0 / columns;
  for (int i = 0; i < columns; ++i)
    for (int j = 0; j < rows; ++j) {
      vorlan::TFace& face = vorlan::TFace::Create(*entity);
      const double x0 = -500 + i * step, y0 = -500 + j * step, x1 = x0 + step, y1 = y0 + step;
      for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})
        face.AddPoint(nullptr, x, y, heightAt(x, y), 1.0);
    }
  return entity;
}

std::vector<std::uint8_t> camBytes(const vorlan::TEntity& sheet) {
  vorlan::TCamSceneWriter scene;
  scene.AddEntity(sheet);
  return scene.Bytes();
}

std::vector<std::uint8_t> x3dBytes(std::unique_ptr<vorlan::TEntity> sheet) {
  vorlan::TSuperObject model;
  model.Name = "sheet";
  model.Entities.push_back(std::move(sheet));
  vorlan::BinaryWriter F;
  model.SaveToFile(F);
  return std::move(F.bytes());
}

void appendFloat(std::vector<std::uint8_t>& out, float value) {
  std::uint8_t b[4];
  std::memcpy(b, &value, 4);
  out.insert(out.end(), b, b + 4);
}

// Binary little-endian PLY: float x, y, z per point, then each face as a uchar count and int indices.
std::vector<std::uint8_t> plyBytes(const vorlan::TEntity& sheet) {
  const std::string header =
      "ply\nformat binary_little_endian 1.0\nelement vertex " + std::to_string(sheet.Points.size()) +
      "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
      std::to_string(sheet.Faces.size()) + "\nproperty list uchar int vertex_indices\nend_header\n";
  std::vector<std::uint8_t> out(header.begin(), header.end());
  for (const vorlan::TPoint3D& p : sheet.Points)
    for (double c : {p.X, p.Y, p.Z})
      appendFloat(out, static_cast<float>(c));
  vorlan::BinaryWriter faces;
  for (const auto& face : sheet.Faces) {
    faces.writeByte(static_cast<std::uint8_t>(face->Refs.size()));
    for (const vorlan::TMem& corner : face->Refs)
      faces.writeInt32(corner.Index);
  }
  out.insert(out.end(), faces.bytes().begin(), faces.bytes().end());
  return out;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: make_big_scene OUT.cam|OUT.x3d|OUT.ply [COLUMNS [ROWS]]\n", stderr);
    return 2;
  }
  const int columns = argc > 2 ? std::atoi(argv[2]) : 500;
  const int rows = argc > 3 ? std::atoi(argv[3]) : columns;
  if (columns <= 0 || rows <= 0) {
    std::fputs("make_big_scene: COLUMNS and ROWS must be positive\n", stderr);
    return 2;
  }
  auto sheet = wavySheet(columns, rows);
  const std::string extension = vorlan::upperExtension(argv[1]);
  if (extension == ".X3D")
    vorlan::writeFileBytes(argv[1], x3dBytes(std::move(sheet)));
  else if (extension == ".PLY")
    vorlan::writeFileBytes(argv[1], plyBytes(*sheet));
  else
    vorlan::writeFileBytes(argv[1], camBytes(*sheet));
  return 0;
}
