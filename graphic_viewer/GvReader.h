#pragma once

#include "graphic_viewer/GvDocument.h"
#include "platform/BinaryCursor.h"
#include "platform/ReadError.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace vorlan {

// The highest format version this program reads.
constexpr double X2dFormatVersion = 1.2;
// Groups nest at most this deep; deeper files are refused rather than exhausting the stack. The
// reader, extents and painter recurse once a level, and a sanitizer build takes about 8 KB a
// level: 256 levels stay far inside a thread's stack.
constexpr int MaxGroupDepth = 256;
// Layer positions of one file.
constexpr int MaxFileLayers = 1024;

// The one message a too recent file gets, shown as it stands.
constexpr const char* TooRecentMessage = "This X2D file is more recent than the program !";

// A file of a later format version; reason() is the message to show.
class X2dTooRecentError : public ReadError {
public:
  using ReadError::ReadError;
};

// The viewer settings stored in the header.
struct X2dHeader {
  double Version = 0;
  bool PaperSpace = false; // at save time; not applied
  double ScalePaper = 10.0;
  bool Landscape = false;
};

// Records of each class read from a file, nested children included.
using X2dRecordCounts = std::array<int, TGV_TagCount>;

// Checks the signature "X2D", the reserved word and the version; the cursor ends at the body.
X2dHeader ReadX2dHeader(BinaryCursor& cursor);

// Reads the body into the document: the preview is skipped, layers are merged by name, and the
// entities are added as one group. On a failure the layers merged so far stay and no entity of
// the file is added. Returns the group, or none when the file holds no entity.
TGV_GROUPE* LoadX2dBody(BinaryCursor& cursor, TGV_DOCUMENT& document, double version, std::uint8_t loadLayer,
                        X2dRecordCounts* counts = nullptr);

// The whole file: header, then body; the document's Version takes the file's.
X2dHeader LoadX2d(std::span<const std::uint8_t> bytes, const std::string& fileName, TGV_DOCUMENT& document,
                  std::uint8_t loadLayer = 0, X2dRecordCounts* counts = nullptr);

// Single-byte texts of the files are Windows-1252.
QString FromWindows1252(const std::string& bytes);
std::string ToWindows1252(const QString& text);

} // namespace vorlan
