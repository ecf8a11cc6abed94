#include "scene3d/KX_SUPEROBJECT.h"

#include "gl/GlContext.h"
#include "platform/FileBytes.h"
#include "platform/MappedFile.h"
#include "platform/PictureBudget.h"
#include "scene3d/KX_FILE.h"
#include "scene3d/ParallelRanges.h"

#include <GL/gl.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace vorlan {

namespace {

// Flag words: 0 says the data follows.
constexpr std::int32_t kFollows = 0;
constexpr std::int32_t kAbsent = 1;
constexpr std::int32_t kNoMapping = -1;
constexpr std::size_t kClassNameSize = 256;
constexpr std::size_t kTrailingWordSize = 4;

bool knownVersion(std::int32_t version) {
  return version == kSuperObjectVersion1 || version == kSuperObjectVersion2;
}

// A count that only bounds a loop: every record then reads its own bytes, so a count larger than
// the file fails at the first missing byte and keeps the records before it. A negative count fails
// at its own offset.
std::size_t readLoopCount(BinaryCursor& F, const ReadPlace& where, const char* field) {
  return F.readCount(0, {where, field});
}

void ReadX3DFrom(BinaryCursor& F, TSuperObject& SuperObject, const LoadProgress& progress) {
  PictureBudget pictures;
  const PictureBudgetScope charged(pictures);
  if (F.size() < kTrailingWordSize)
    F.fail("x3d: trailing word needs 4 bytes, the file has " + std::to_string(F.size()));
  F.seek(F.size() - kTrailingWordSize, "x3d: trailing word");
  F.readInt32("x3d: trailing word");
  F.seek(0, "x3d: super-object record");
  ByteProgress read(progress, F);
  std::optional<ReadProgressHook> hook;
  if (progress) hook.emplace(SuperObject, [&read] { read.Update(); });
  // One context for the whole load, rather than one per mapping and display list.
  CurrentContextGuard guard;
  SuperObject.LoadFromFile(F, ReadPlace("super-object"));
  read.Finish();
}

} // namespace

// Super-object record:
//   int32     version: 1 or 2, anything else ends the record here
//   int32     preview flag: 0 = chunked JPEG preview follows (never shown, so stepped over undecoded)
//   12 bytes  three int32 reserved
//   int32     placement flag: 0 = Position X, Y, Z, Rotation X, Y, Z follow as 6 doubles
//   256       Name text block
//   int32     K, then K mapping records
//   int32     E, then E entity entries:
//     version 1: int32 mapping index, int32 Value3, int32 TextureOrigin, int32 N, N face records
//     version 2: int32 mapping index, 256-byte class name, entity record
void TSuperObject::LoadFromFile(BinaryCursor& F, const ReadPlace& where) {
  const std::int32_t version = F.readInt32({where, "version"});
  if (!knownVersion(version)) return;
  ReadHead(F, where);
  ReadMappings(F, where);
  ReadEntities(F, version, where);
}

void TSuperObject::ReadHead(BinaryCursor& F, const ReadPlace& where) {
  if (F.readInt32({where, "preview flag"}) == kFollows) {
    std::size_t dataOffset = 0;
    ReadJpegChunks(F, where.text("preview"), dataOffset);
  }
  F.skip(12, {where, "reserved words"});
  if (F.readInt32({where, "placement flag"}) == kFollows) {
    const ReadWhat what(where, "placement");
    F.require(48, what);
    Position = readVector(F, what);
    Rotation = readVector(F, what);
  }
  Name = F.readText256({where, "name"});
}

void TSuperObject::ReadMappings(BinaryCursor& F, const ReadPlace& where) {
  const std::size_t count = readLoopCount(F, where, "mapping count");
  for (std::size_t i = 0; i < count; ++i) {
    // The record sets the tile size; until then the mapping has none.
    auto mapping = std::make_unique<TMapping>(0, 0);
    mapping->LoadFromFile(F, where.at("mapping", i));
    Mappings.push_back(std::move(mapping));
    if (OnReadProgress) OnReadProgress();
  }
}

void TSuperObject::ReadEntities(BinaryCursor& F, std::int32_t version, const ReadPlace& where) {
  const std::size_t count = readLoopCount(F, where, "entity count");
  for (std::size_t i = 0; i < count; ++i)
    ReadEntity(F, version, where.at("entity", i));
}

// An index below 0 names no mapping, as it always did; one past the list is a damaged file.
void TSuperObject::ReadEntity(BinaryCursor& F, std::int32_t version, const ReadPlace& where) {
  const std::size_t indexOffset = F.offset();
  const std::int32_t index = F.readInt32({where, "mapping index"});
  auto entity = std::make_unique<TEntity>();
  if (version == kSuperObjectVersion1) {
    entity->Value3 = F.readInt32({where, "Value3"});
    entity->TextureOrigin = F.readInt32({where, "TextureOrigin"});
    const std::size_t faces = readLoopCount(F, where, "face count");
    for (std::size_t k = 0; k < faces; ++k) {
      TFace::Create(*entity).LoadFromFile(F, where.at("face", k));
      FacesRead(k + 1);
    }
  } else {
    F.skip(kClassNameSize, {where, "class name"});
    const ReadProgressHook hook(*entity, OnReadProgress);
    entity->LoadFromFile(F, where);
  }
  if (index >= 0 && static_cast<std::size_t>(index) >= Mappings.size())
    F.failAt(indexOffset, where.text("mapping index") + " " + std::to_string(index) + " is outside the " +
                              std::to_string(Mappings.size()) + " mappings");
  if (index >= 0) entity->Mapping = Mappings[static_cast<std::size_t>(index)].get();
  entity->PrepareGeometry(WorkerCountFor(entity->Faces.size()));
  Entities.push_back(std::move(entity));
}

void TSuperObject::SaveToFile(BinaryWriter& F) const {
  F.writeInt32(kSuperObjectVersion2);
  F.writeInt32(kAbsent);
  for (int i = 0; i < 3; ++i)
    F.writeInt32(1);
  F.writeInt32(kFollows);
  writeVector(F, Position);
  writeVector(F, Rotation);
  F.writeText256(Name);
  F.writeInt32(static_cast<std::int32_t>(Mappings.size()));
  for (const auto& mapping : Mappings)
    mapping->SaveToFile(F);
  F.writeInt32(static_cast<std::int32_t>(Entities.size()));
  for (const auto& entity : Entities) {
    F.writeInt32(MappingIndexOf(*entity));
    entity->SaveToFile(F);
  }
}

std::int32_t TSuperObject::MappingIndexOf(const TEntity& entity) const {
  const auto found = std::find_if(Mappings.begin(), Mappings.end(),
                                  [&](const auto& mapping) { return mapping.get() == entity.Mapping; });
  if (found == Mappings.end()) return kNoMapping;
  return static_cast<std::int32_t>(found - Mappings.begin());
}

void TSuperObject::Draw(bool Textured, bool Flag2, bool Solid, bool Flag4, bool Flag5, bool HiddenLine,
                        std::int32_t Mode) {
  if (Entities.empty()) return;
  glPushMatrix();
  glEnable(GL_BLEND);
  ApplyPlacement(*this);
  for (const auto& entity : Entities)
    entity->Draw(Textured, Flag2, Solid, Flag4, Flag5, HiddenLine, Mode);
  glDisable(GL_BLEND);
  glPopMatrix();
}

void TSuperObject::DrawPaperLine() {
  glPushMatrix();
  ApplyPlacement(*this);
  for (const auto& entity : Entities)
    entity->DrawPaperLine();
  glPopMatrix();
}

void TSuperObject::DrawPaperFill() {
  glPushMatrix();
  ApplyPlacement(*this);
  for (const auto& entity : Entities)
    entity->DrawPaperFill();
  glPopMatrix();
}

void TSuperObject::CompileLists() {
  for (const auto& entity : Entities)
    entity->CompileLists();
}

// The lists are compiled once the file is let go, so that its bytes and the lists are never held at
// the same time; a load that fails leaves them to the first Draw.
void ReadX3D(const std::string& FileName, TSuperObject& SuperObject) {
  ReadX3DRecords(FileName, SuperObject);
  SuperObject.CompileLists();
}

void ReadX3DRecords(const std::string& FileName, TSuperObject& SuperObject, const LoadProgress& progress) {
  const MappedFile file(FileName);
  BinaryCursor F(file, FileName);
  ReadX3DFrom(F, SuperObject, progress);
}

void ReadX3DBytes(std::span<const std::uint8_t> bytes, const std::string& FileName, TSuperObject& SuperObject,
                  const LoadProgress& progress) {
  BinaryCursor F(bytes, FileName);
  ReadX3DFrom(F, SuperObject, progress);
}

std::unique_ptr<TSuperObject> LoadX3D(const std::string& FileName, std::function<void()> OnReadProgress) {
  auto superObject = std::make_unique<TSuperObject>();
  superObject->OnReadProgress = std::move(OnReadProgress);
  ReadX3D(FileName, *superObject);
  return superObject;
}

} // namespace vorlan
