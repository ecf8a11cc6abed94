#include "cam/CamFileWriter.h"

#include "cam/KX_CAMOBJET.h"
#include "platform/Dib.h"

namespace vorlan {

namespace {

void WriteHeader(BinaryWriter& F, std::int32_t ContentKind) {
  F.writeInt32(kCamVersion);
  F.writeInt32(ContentKind);
}

void WriteDibBlock(BinaryWriter& F, const TDibBlock& block) {
  F.writeInt32(static_cast<std::int32_t>(block.info.size()));
  F.writeInt32(static_cast<std::int32_t>(block.bits.size()));
  F.writeBytes(block.info);
  F.writeBytes(block.bits);
}

} // namespace

void TCamSceneWriter::AddEntity(const TEntity& entity) {
  items_.writeInt32(kEntityItem);
  entity.SaveToFile(items_);
  ++count_;
}

void TCamSceneWriter::AddSuperObject(const TSuperObject& superObject) {
  items_.writeInt32(kSuperObjectItem);
  superObject.SaveToFile(items_);
  ++count_;
}

void TCamSceneWriter::AddBareItem(std::int32_t ItemType) {
  items_.writeInt32(ItemType);
  ++count_;
}

std::vector<std::uint8_t> TCamSceneWriter::Bytes() const {
  BinaryWriter F;
  WriteHeader(F, kCamScene);
  F.writeInt32(0);
  F.writeInt32(count_);
  F.writeBytes(items_.bytes());
  return F.bytes();
}

TDibBlock DibBlockOf(const QImage& picture, int bitsPerPixel) {
  const std::vector<std::uint8_t> dib = encodeDib(picture, bitsPerPixel);
  const auto infoEnd = dib.begin() + static_cast<std::ptrdiff_t>(BitmapInfoHeaderSize);
  return {{dib.begin(), infoEnd}, {infoEnd, dib.end()}};
}

std::vector<std::uint8_t> CamBitmapPairBytes(const TDibBlock& picture1, const TDibBlock& picture2) {
  BinaryWriter F;
  WriteHeader(F, kCamBitmapPair);
  F.writeInt32(0);
  F.writeInt32(0);
  WriteDibBlock(F, picture1);
  WriteDibBlock(F, picture2);
  return F.bytes();
}

} // namespace vorlan
