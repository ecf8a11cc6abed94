#pragma once

#include "graphic_viewer/KX_GRAPHIC_VIEWER.h"
#include "tools/x2d/X2dWriter.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace vorlan::test {

// A writer past the header, the empty preview and the layers (from version 1.2 on) and the entity
// count.
inline x2d::X2dWriter StartedDrawing(std::int32_t entityCount, double version = 1.2,
                                     const std::vector<TGV_Layer>& layers = {TGV_Layer{}}) {
  x2d::X2dWriter writer;
  writer.WriteHeader(version);
  if (version > 1.1) {
    writer.WritePreview({});
    writer.WriteLayers(layers);
  }
  writer.WriteEntityCount(entityCount);
  return writer;
}

// A version-1.2 drawing with an empty preview, the given layers and entities.
inline std::vector<std::uint8_t> Drawing(const std::vector<const TGV_ENTITY*>& entities,
                                         const std::vector<TGV_Layer>& layers = {TGV_Layer{}}) {
  x2d::X2dWriter writer = StartedDrawing(static_cast<std::int32_t>(entities.size()), 1.2, layers);
  for (const TGV_ENTITY* entity : entities)
    writer.WriteEntity(*entity);
  return std::move(writer.Bytes());
}

// Offset of the first entity record in Drawing() with one default layer.
constexpr std::size_t FirstEntityOffset = 298 + 4 + 4 + 285 + 4;
// Offsets inside an entity record written by the writer (three blocks present).
constexpr std::size_t LayerByteOffset = 4 + 20;
constexpr std::size_t GripCountOffset = 4 + 64;
inline std::size_t TailOffset(std::size_t grips) {
  return 4 + 78 + 19 * grips;
}

inline void PutInt32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int32_t value) {
  std::memcpy(bytes.data() + offset, &value, 4);
}

inline TGV_GROUPE* Load(TGV_DOCUMENT& document, const std::vector<std::uint8_t>& bytes,
                        X2dRecordCounts* counts = nullptr) {
  LoadX2d(bytes, "test.x2d", document, 0, counts);
  return document.Entities().empty() ? nullptr : static_cast<TGV_GROUPE*>(document.Entities().back().get());
}

inline TGV_Layer NamedLayer(const char* name) {
  TGV_Layer layer;
  layer.Name = name;
  return layer;
}

} // namespace vorlan::test
