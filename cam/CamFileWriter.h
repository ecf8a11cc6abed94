#pragma once

#include "platform/BinaryWriter.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace vorlan {

// A 3D scene as a .cam container, built item by item in memory.
class TCamSceneWriter {
public:
  // ItemType 0: the entity's own SaveToFile, which writes its class-name block first.
  void AddEntity(const TEntity& entity);
  // ItemType 1: the super-object's record, with no class-name block before it.
  void AddSuperObject(const TSuperObject& superObject);
  // An item whose type carries no record, which readers step over.
  void AddBareItem(std::int32_t ItemType);

  // The header, the reserved word, ItemCount and the items.
  std::vector<std::uint8_t> Bytes() const;

private:
  BinaryWriter items_;
  std::int32_t count_ = 0;
};

// The two parts of a DIB block, as they follow InfoSize and BitsSize.
struct TDibBlock {
  std::vector<std::uint8_t> info;
  std::vector<std::uint8_t> bits;
};

// The picture as a bottom-up BI_RGB DIB of 24 or 32 bits per pixel.
TDibBlock DibBlockOf(const QImage& picture, int bitsPerPixel = 24);

// A bitmap pair as a .cam container: the header, two reserved words and the two DIB blocks.
std::vector<std::uint8_t> CamBitmapPairBytes(const TDibBlock& picture1, const TDibBlock& picture2);

} // namespace vorlan
