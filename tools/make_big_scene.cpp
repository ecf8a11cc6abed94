// Writes a .cam scene of one entity made of N x N quads (a wavy sheet), for timing large loads:
//   make_big_scene OUT.cam [N]   (N = 500 gives 250,000 faces)
#include "cam/CamFileWriter.h"
#include "platform/FileBytes.h"
#include "scene3d/KX_OBJECTS.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double heightAt(double x, double y) {
  return 40 * std::sin(x / 60) * std::cos(y / 80);
}

std::unique_ptr<vorlan::TEntity> wavySheet(int n) {
  auto entity = std::make_unique<vorlan::TEntity>();
  entity->Name = "sheet";
  const double step = 1000.0 / n;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      vorlan::TFace& face = vorlan::TFace::Create(*entity);
      const double x0 = -500 + i * step, y0 = -500 + j * step, x1 = x0 + step, y1 = y0 + step;
      for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})
        face.AddPoint(nullptr, x, y, heightAt(x, y), 1.0);
    }
  return entity;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: make_big_scene OUT.cam [N]\n", stderr);
    return 2;
  }
  const int n = argc > 2 ? std::atoi(argv[2]) : 500;
  vorlan::TCamSceneWriter scene;
  scene.AddEntity(*wavySheet(n));
  vorlan::writeFileBytes(argv[1], scene.Bytes());
  return 0;
}
