#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorlan {

// Decodes the JPEG data in `bytes` (which may be followed by other bytes: decoding stops at the
// end-of-image marker) into a picture of `layout`, Format_RGB888 or Format_RGB32 (kShownPictureFormat);
// grey, CMYK and YCCK pictures become RGB.
// `offset` is where the data starts in `fileName`, for error messages. Damaged data raises
// ReadError with libjpeg's own message; so does data that ends before its end-of-image marker,
// which libjpeg alone would pad with grey and report as success.
// Every picture is charged to the current PictureBudget at its full size. Progressive pictures whose
// coefficients would not fit the picture cap fail before libjpeg allocates them.
QImage decodeJpeg(std::span<const std::uint8_t> bytes, const std::string& fileName, std::size_t offset = 0,
                  QImage::Format layout = QImage::Format_RGB888);
// For a picture that will only be resampled to `side` x `side`: a very large one is decoded by
// libjpeg's DCT scaling at the smallest eighth of its size that still covers `side` on each axis.
// Pictures up to kExactDecodePixels decode as decodeJpeg does, so their resamples stay exact.
QImage decodeJpegForResample(std::span<const std::uint8_t> bytes, const std::string& fileName,
                             std::size_t offset, int side);
inline constexpr std::uint64_t kExactDecodePixels = std::uint64_t{4096} * 4096;
QImage loadJpegFile(const std::string& fileName, QImage::Format layout = QImage::Format_RGB888);

// A baseline JPEG with libjpeg's default settings (quality 75).
std::vector<std::uint8_t> encodeJpeg(const QImage& image);

} // namespace vorlan
