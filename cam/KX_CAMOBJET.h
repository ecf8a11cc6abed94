#pragma once

#include "platform/BinaryCursor.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/KX_SUPEROBJECT.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vorlan {

inline constexpr std::int32_t kCamVersion = 1;
// ContentKind words.
inline constexpr std::int32_t kCamScene = 0;
inline constexpr std::int32_t kCamBitmapPair = 1;
// What ReadKind answers for a file that is missing or not a .cam container: a kind that opens nothing.
inline constexpr std::int32_t kCamNoKind = -1;

// ItemType words of a 3D scene.
inline constexpr std::int32_t kEntityItem = 0;
inline constexpr std::int32_t kSuperObjectItem = 1;
// The class-name block that precedes every entity record.
inline constexpr std::size_t kClassNameBlockSize = 256;

// The in-memory .cam document: a 3D scene of objects, or a pair of bitmaps of one picture.
class TCamObject {
public:
  TCamObject() = default;
  ~TCamObject();
  TCamObject(const TCamObject&) = delete;
  TCamObject& operator=(const TCamObject&) = delete;

  // The file's ContentKind, reading the header only; kCamNoKind for a missing file or a CamVersion
  // other than 1. A file that ends inside the header raises ReadError.
  std::int32_t ReadKind(const std::string& FileName) const;
  // Reads the whole file. A missing file shows "File not found : " and changes nothing; a wrong
  // CamVersion or an unknown kind leaves the document empty. Read errors raise ReadError, and the
  // items read before the error stay in Items.
  void Load(const std::string& FileName, const LoadProgress& progress = {});
  // As Load, where a missing file is a ReadError rather than a message.
  void ReadFile(const std::string& FileName, const LoadProgress& progress = {});
  // As Load, from the file's bytes; `FileName` names it in errors and locates its textures.
  void LoadBytes(std::span<const std::uint8_t> bytes, const std::string& FileName,
                 const LoadProgress& progress = {});

  bool IsBitmapPair = false;
  std::vector<std::unique_ptr<TObjects>> Items; // TEntity and TSuperObject
  QImage Bitmap1;                               // Format_RGB888
  QImage Bitmap2;                               // Format_RGB888

private:
  void ReadFrom(BinaryCursor& F, const LoadProgress& progress);
};

// One DIB block: InfoSize, BitsSize, then that many bytes of info and of pixels. Both sizes are
// checked against the bytes left before anything is decoded. `what` names the picture.
QImage ReadDibBlock(BinaryCursor& F, const std::string& what);

} // namespace vorlan
