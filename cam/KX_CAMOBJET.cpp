#include "cam/KX_CAMOBJET.h"

#include "platform/Dib.h"
#include "platform/FileBytes.h"
#include "platform/MappedFile.h"
#include "platform/Messages.h"
#include "platform/PictureBudget.h"
#include "scene3d/KX_SUPEROBJECT.h"
#include "scene3d/RecordFields.h"

namespace vorlan {

namespace {

std::unique_ptr<TObjects> ReadEntity(BinaryCursor& F, const ReadPlace& where, ByteProgress& progress) {
  F.skip(kClassNameBlockSize, {where, "class name"});
  auto entity = std::make_unique<TEntity>();
  {
    const ReadProgressHook hook(*entity, [&progress] { progress.Update(); });
    entity->LoadFromFile(F, where);
  }
  entity->Prepare();
  return entity;
}

std::unique_ptr<TObjects> ReadSuperObject(BinaryCursor& F, const ReadPlace& where, ByteProgress& progress) {
  auto superObject = std::make_unique<TSuperObject>();
  {
    const ReadProgressHook hook(*superObject, [&progress] { progress.Update(); });
    superObject->LoadFromFile(F, where);
  }
  superObject->CompileLists();
  return superObject;
}

// The object an item of `ItemType` holds; none for types that carry no record.
std::unique_ptr<TObjects> ReadItemObject(std::int32_t ItemType, BinaryCursor& F, const ReadPlace& where,
                                         ByteProgress& progress) {
  switch (ItemType) {
  case kEntityItem:
    return ReadEntity(F, where, progress);
  case kSuperObjectItem:
    return ReadSuperObject(F, where, progress);
  default:
    return nullptr;
  }
}

// Reserved word, ItemCount (0 or negative: none), then the items one after another.
void LoadScene(TCamObject& cam, BinaryCursor& F, ByteProgress& progress) {
  cam.IsBitmapPair = false;
  F.readInt32("scene: reserved word");
  const std::int32_t ItemCount = F.readInt32("scene: ItemCount");
  const ReadPlace scene("scene");
  // The count only bounds the loop: every item reads its own bytes, so a false count ends in a
  // ReadError at the end of the file rather than in a large allocation.
  for (std::int32_t i = 0; i < ItemCount; ++i) {
    const ReadPlace where = scene.at("item", static_cast<std::size_t>(i));
    const std::int32_t ItemType = F.readInt32({where, "ItemType"});
    if (auto object = ReadItemObject(ItemType, F, where, progress)) cam.Items.push_back(std::move(object));
    progress.Update();
  }
}

// Two reserved words, then picture 1 and picture 2 as DIB blocks.
void LoadBitmapPair(TCamObject& cam, BinaryCursor& F, ByteProgress& progress) {
  cam.IsBitmapPair = true;
  F.readInt32("bitmap pair: first reserved word");
  F.readInt32("bitmap pair: second reserved word");
  cam.Bitmap1 = ReadDibBlock(F, "picture 1");
  progress.Update();
  cam.Bitmap2 = ReadDibBlock(F, "picture 2");
}

} // namespace

TCamObject::~TCamObject() {
  // First to last, the order the objects were read in.
  for (auto& item : Items)
    item.reset();
}

std::int32_t TCamObject::ReadKind(const std::string& FileName) const {
  if (!fileExists(FileName)) return kCamNoKind;
  const MappedFile file(FileName);
  BinaryCursor F(file.bytes(), FileName);
  if (F.readInt32("header: CamVersion") != kCamVersion) return kCamNoKind;
  return F.readInt32("header: ContentKind");
}

void TCamObject::Load(const std::string& FileName, const LoadProgress& progress) {
  if (!fileExists(FileName)) {
    showMessage("File not found : " + FileName);
    return;
  }
  ReadFile(FileName, progress);
}

// The pages the cursor has passed are let go as it goes, so a large scene is never held twice.
void TCamObject::ReadFile(const std::string& FileName, const LoadProgress& progress) {
  const MappedFile file(FileName);
  BinaryCursor F(file, FileName);
  ReadFrom(F, progress);
}

void TCamObject::LoadBytes(std::span<const std::uint8_t> bytes, const std::string& FileName,
                           const LoadProgress& progress) {
  BinaryCursor F(bytes, FileName);
  ReadFrom(F, progress);
}

void TCamObject::ReadFrom(BinaryCursor& F, const LoadProgress& progress) {
  Bitmap1 = QImage();
  Bitmap2 = QImage();
  PictureBudget pictures;
  const PictureBudgetScope charged(pictures);
  ByteProgress read(progress, F);
  read.Update();
  if (F.readInt32("header: CamVersion") != kCamVersion) return;
  const std::int32_t ContentKind = F.readInt32("header: ContentKind");
  if (ContentKind == kCamScene) LoadScene(*this, F, read);
  if (ContentKind == kCamBitmapPair) LoadBitmapPair(*this, F, read);
  read.Finish();
}

QImage ReadDibBlock(BinaryCursor& F, const std::string& what) {
  const std::size_t blockStart = F.offset();
  const std::int64_t InfoSize = F.readInt32({what, "InfoSize"});
  const std::int64_t BitsSize = F.readInt32({what, "BitsSize"});
  // Both sizes are claims: they must fit in what the file still holds before they size anything.
  const auto left = static_cast<std::int64_t>(F.remaining());
  if (InfoSize < 0 || BitsSize < 0 || InfoSize + BitsSize > left)
    F.failAt(blockStart, what + ": DIB block claims " + std::to_string(InfoSize) + " bytes of info and " +
                             std::to_string(BitsSize) + " bytes of pixels, " + std::to_string(left) +
                             " left");
  return readDib(F, static_cast<std::size_t>(InfoSize), static_cast<std::size_t>(BitsSize), what);
}

} // namespace vorlan
