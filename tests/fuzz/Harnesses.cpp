#include "fuzz/Harnesses.h"

#include "cam/KX_CAMOBJET.h"
#include "graphic_viewer/GvDocument.h"
#include "graphic_viewer/GvReader.h"
#include "platform/Dib.h"
#include "platform/Jpeg.h"
#include "platform/ReadError.h"
#include "scene3d/KX_FILE.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <QGuiApplication>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace vorlan::fuzz {

namespace {

using Entry = std::function<void(std::span<const std::uint8_t>)>;

// Texture names are looked up beside the document; a folder that does not exist keeps the fuzzer off
// the disk.
const std::string kNowhere = "/nonexistent-fuzz-folder/input";

const std::map<std::string_view, Entry>& entries() {
  static const std::map<std::string_view, Entry> table{
      {"cam", [](auto bytes) { TCamObject().LoadBytes(bytes, kNowhere + ".cam"); }},
      {"x3d",
       [](auto bytes) {
         TSuperObject model;
         ReadX3DBytes(bytes, kNowhere + ".x3d", model);
       }},
      {"x2d",
       [](auto bytes) {
         TGV_DOCUMENT document;
         LoadX2d(bytes, kNowhere + ".x2d", document);
       }},
      {"dib",
       [](auto bytes) {
         BinaryCursor cursor(bytes, kNowhere + ".cam");
         ReadDibBlock(cursor, "picture 1");
       }},
      {"bmp", [](auto bytes) { decodeBmp(bytes, kNowhere + ".bmp"); }},
      {"jpeg", [](auto bytes) { decodeJpeg(bytes, kNowhere + ".jpg"); }},
      {"chunked_jpeg",
       [](auto bytes) {
         BinaryCursor cursor(bytes, kNowhere + ".x3d");
         ReadChunkedJpeg(cursor, "preview");
       }},
      {"texture",
       [](auto bytes) {
         DecodeTexturePicture(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), kNowhere);
       }},
  };
  return table;
}

} // namespace

void InitialiseHarnesses(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static const std::unique_ptr<QGuiApplication> application = std::make_unique<QGuiApplication>(*argc, *argv);
}

std::vector<std::string_view> HarnessNames() {
  std::vector<std::string_view> names;
  for (const auto& [name, entry] : entries())
    names.push_back(name);
  return names;
}

void RunHarness(std::string_view name, std::span<const std::uint8_t> bytes) {
  const auto found = entries().find(name);
  if (found == entries().end()) throw std::invalid_argument("no harness " + std::string(name));
  try {
    found->second(bytes);
  } catch (const ReadError&) {
  }
}

} // namespace vorlan::fuzz
