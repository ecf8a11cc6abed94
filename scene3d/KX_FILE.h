#pragma once

#include "platform/BinaryCursor.h"
#include "platform/BinaryWriter.h"
#include "platform/Numbers.h"

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace vorlan {

// The writers of chunked JPEG data never made a longer chunk; a longer one means a damaged file.
inline constexpr std::int32_t kMaxJpegChunk = 2048;

// Embedded JPEG pictures are decoded straight from the file's bytes. `what` names the record in
// error messages, e.g. "super-object: preview"; data the decoder rejects is a ReadError too.

// An unused int32, then chunks until one of size 0: each an int32 size n (0..kMaxJpegChunk) and n
// bytes. The chunks joined are the JPEG data, returned undecoded; `dataOffset` receives where the
// first chunk's bytes start.
std::vector<std::uint8_t> ReadJpegChunks(BinaryCursor& F, const std::string& what, std::size_t& dataOffset);
// As ReadJpegChunks, decoded.
QImage ReadChunkedJpeg(BinaryCursor& F, const std::string& what);
// An int32 size, then that many bytes of JPEG data. With `resampledSide`, the picture is only needed
// resampled to that side, and a very large one is decoded smaller (decodeJpegForResample).
QImage ReadJpegBlock(BinaryCursor& F, const std::string& what, int resampledSide = 0);
// The picture as JPEG with the encoder's default settings, preceded by its size as int32.
void WriteJpegBlock(BinaryWriter& F, const QImage& Bitmap);

// Three bytes R, G, B.
TColor ReadColor3(BinaryCursor& F, const std::string& what);
// The colour's R, G, B bytes; the high byte is not stored.
void WriteColor3(BinaryWriter& F, TColor Color);

} // namespace vorlan
