// Writes the small files that once made the viewer run away with memory or time, for timing them:
//   make_hostile_files FOLDER
#include "platform/FileBytes.h"
#include "tools/hostile/HostileFiles.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: make_hostile_files FOLDER\n", stderr);
    return 2;
  }
  namespace h = vorlan::hostile;
  const std::string folder = argv[1];
  const auto write = [&](const char* name, const std::vector<std::uint8_t>& bytes) {
    vorlan::writeFileBytes(folder + "/" + name, bytes);
    std::printf("%-22s %8zu bytes\n", name, bytes.size());
  };
  const std::vector<std::uint8_t> wide = h::FlatJpeg(65500, 1300, false);
  write("device-texture.cam", h::TexturedScene("/dev/zero"));
  write("proc-texture.cam", h::TexturedScene("/proc/self/pagemap"));
  write("wide-mappings.x3d", h::PictureMappingsModel(wide, 8));
  write("wide-previews.cam", h::PreviewScene(wide, 64));
  write("wide.jpg", wide);
  write("wide-progressive.jpg", h::FlatJpeg(65500, 1300, true));
  write("wide-rle8.bmp", h::EmptyRle8Bitmap(65500, 1300));
  write("many-mappings.x3d", h::ManyMappingsModel(25000));
  write("far-face.cam", h::FarFaceScene(30000, 2e8));
  write("near-face.cam", h::FarFaceScene(30000, 0));
  return 0;
}
