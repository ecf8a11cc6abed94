#pragma once

#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
#include "scene3d/KX_MAPPING.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/RecordFields.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace vorlan {

// The record versions a super-object reads; it writes the last one.
inline constexpr std::int32_t kSuperObjectVersion1 = 1;
inline constexpr std::int32_t kSuperObjectVersion2 = 2;

// Entities sharing procedural mappings and one placement: the whole of an .x3d file, or one item of
// a .cam scene.
class TSuperObject : public TObjects {
public:
  TSuperObject() = default;

  // Reads the record at the cursor: mappings, then entities, each prepared (but for its display
  // lists, see CompileLists) and appended as soon as it is read, so a ReadError leaves everything before it
  // in place. A version other than 1 or 2 ends reading after the version word and leaves the super-object
  // empty.
  void LoadFromFile(BinaryCursor& F, const ReadPlace& where) override;
  // Always version 2, without a preview.
  void SaveToFile(BinaryWriter& F) const override;
  // Each entity's own placement composes with this one, which is applied first.
  void Draw(bool Textured, bool Flag2, bool Solid, bool Flag4, bool Flag5, bool HiddenLine,
            std::int32_t Mode) override;
  // Entities are prepared as they are read; nothing is left to do for the group.
  void Prepare() override {}
  void DrawPaperLine() override;
  void DrawPaperFill() override;
  // The entities' display lists, in the current 3D rendering context; those not compiled here are
  // compiled by their first Draw.
  void CompileLists() override;

  // Declared before Entities, so that entities, which point into it, go first.
  std::vector<std::unique_ptr<TMapping>> Mappings;
  std::vector<std::unique_ptr<TEntity>> Entities;

private:
  void ReadHead(BinaryCursor& F, const ReadPlace& where);
  void ReadMappings(BinaryCursor& F, const ReadPlace& where);
  void ReadEntities(BinaryCursor& F, std::int32_t version, const ReadPlace& where);
  void ReadEntity(BinaryCursor& F, std::int32_t version, const ReadPlace& where);
  std::int32_t MappingIndexOf(const TEntity& entity) const;
};

// Told the share of the file read so far, 0 to 100, whenever it grows.
using LoadProgress = std::function<void(int percent)>;

// Tells `report` the share of F's bytes read, only when it has grown, so that a file of many small
// items does not flood the progress bar.
class ByteProgress {
public:
  ByteProgress(const LoadProgress& report, const BinaryCursor& F) : report_(report), F_(F) {}

  void Update() { Report(F_.size() == 0 ? 100 : static_cast<int>(F_.offset() * 100 / F_.size())); }
  void Finish() { Report(100); }

private:
  void Report(int percent) {
    if (!report_ || percent <= last_) return;
    last_ = percent;
    report_(percent);
  }

  const LoadProgress& report_;
  const BinaryCursor& F_;
  int last_ = -1;
};

// Gives an object's OnReadProgress for the length of a read, and puts back the one it had.
class ReadProgressHook {
public:
  ReadProgressHook(TObjects& object, std::function<void()> hook)
      : object_(object), saved_(std::exchange(object.OnReadProgress, std::move(hook))) {}
  ~ReadProgressHook() { object_.OnReadProgress = std::move(saved_); }
  ReadProgressHook(const ReadProgressHook&) = delete;
  ReadProgressHook& operator=(const ReadProgressHook&) = delete;

private:
  TObjects& object_;
  std::function<void()> saved_;
};

// Reads an .x3d file into `SuperObject`, which keeps what was read when a ReadError ends the load,
// then compiles its lists. The last 4 bytes are read first and not used, so a file shorter than that
// fails before the record.
void ReadX3D(const std::string& FileName, TSuperObject& SuperObject);
// As ReadX3D without the lists, which the first Draw compiles. Off the application's thread no
// OpenGL work is done: textures and mappings are uploaded when first bound. `progress` follows the
// bytes read.
void ReadX3DRecords(const std::string& FileName, TSuperObject& SuperObject,
                    const LoadProgress& progress = {});
// As ReadX3DRecords, from the file's bytes; `FileName` names it in errors.
void ReadX3DBytes(std::span<const std::uint8_t> bytes, const std::string& FileName, TSuperObject& SuperObject,
                  const LoadProgress& progress = {});
// As ReadX3D, into a new super-object that calls `OnReadProgress` as the read moves on.
std::unique_ptr<TSuperObject> LoadX3D(const std::string& FileName, std::function<void()> OnReadProgress = {});

} // namespace vorlan
