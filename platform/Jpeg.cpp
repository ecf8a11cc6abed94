#include "platform/Jpeg.h"

#include "platform/Dib.h"
#include "platform/MappedFile.h"
#include "platform/PictureBudget.h"
#include "platform/ReadError.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <stdexcept>

#include <jpeglib.h>

#include <jerror.h>

namespace vorlan {

namespace {

// libjpeg reports errors through callbacks running in its C frames, which C++ exceptions must not
// cross. The callbacks longjmp back to the small function that made the libjpeg call; it returns
// false, and the caller raises the exception once libjpeg's frames are gone. Those functions hold
// no objects with destructors, so the jump skips nothing.
struct JpegErrors {
  jpeg_error_mgr manager; // first, so that libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpOut(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  info->err->format_message(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings stay silent, except running out of data: libjpeg would fill the missing rows with grey
// and carry on as if the picture were whole.
void onJpegMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) jumpOut(info);
}

void discardJpegOutput(j_common_ptr) {}

jpeg_error_mgr* installErrors(JpegErrors& errors) {
  jpeg_error_mgr* manager = jpeg_std_error(&errors.manager);
  manager->error_exit = jumpOut;
  manager->emit_message = onJpegMessage;
  manager->output_message = discardJpegOutput;
  return manager;
}

struct JpegDecoder {
  JpegDecoder() { info.err = installErrors(errors); }
  ~JpegDecoder() { jpeg_destroy_decompress(&info); }
  JpegDecoder(const JpegDecoder&) = delete;
  JpegDecoder& operator=(const JpegDecoder&) = delete;

  jpeg_decompress_struct info{};
  JpegErrors errors{};
};

bool readJpegHeader(JpegDecoder& d, std::span<const std::uint8_t> bytes) {
  if (setjmp(d.errors.jump)) return false;
  jpeg_create_decompress(&d.info);
  // libjpeg's own buffers (a progressive picture's coefficients above all) get the picture cap; with
  // no backing store, a picture that needs more fails instead of allocating it.
  d.info.mem->max_memory_to_use = static_cast<long>(MaxDecodedPictureBytes);
  jpeg_mem_src(&d.info, bytes.data(), bytes.size());
  jpeg_read_header(&d.info, TRUE);
  return true;
}

// Adobe's CMYK pictures, the usual kind, store inverted inks (0 = full ink).
void cmykToRgb(const JSAMPLE* cmyk, std::uint8_t* out, JDIMENSION width, bool inverted,
               QImage::Format layout) {
  for (JDIMENSION x = 0; x < width; ++x, cmyk += 4) {
    const unsigned k = inverted ? cmyk[3] : 255 - cmyk[3];
    std::array<std::uint8_t, 3> rgb;
    for (int channel = 0; channel < 3; ++channel) {
      const unsigned ink = inverted ? cmyk[channel] : 255 - cmyk[channel];
      rgb[channel] = static_cast<std::uint8_t>((ink * k + 127) / 255);
    }
    if (layout == QImage::Format_RGB32)
      reinterpret_cast<QRgb*>(out)[x] = qRgb(rgb[0], rgb[1], rgb[2]);
    else
      std::copy(rgb.begin(), rgb.end(), out + 3 * x);
  }
}

// `cmykRow` holds one row of four-channel samples when the output is CMYK, and is unused otherwise.
// Row by row: handing libjpeg 16 scanlines per call measured no faster on a 6000 x 4000 picture.
bool readJpegRows(JpegDecoder& d, QImage& image, JSAMPLE* cmykRow) {
  if (setjmp(d.errors.jump)) return false;
  jpeg_start_decompress(&d.info);
  while (d.info.output_scanline < d.info.output_height) {
    std::uint8_t* line = image.scanLine(static_cast<int>(d.info.output_scanline));
    JSAMPROW row = cmykRow != nullptr ? cmykRow : line;
    jpeg_read_scanlines(&d.info, &row, 1);
    if (cmykRow != nullptr)
      cmykToRgb(cmykRow, line, d.info.output_width, d.info.saw_Adobe_marker, image.format());
  }
  jpeg_finish_decompress(&d.info);
  return true;
}

// The samples libjpeg writes for each layout: Format_RGB32's 0xffRRGGBB words in memory order, its
// padding byte being 0xFF.
J_COLOR_SPACE outputColourSpace(QImage::Format layout) {
  if (layout == QImage::Format_RGB888) return JCS_RGB;
  return std::endian::native == std::endian::little ? JCS_EXT_BGRX : JCS_EXT_XRGB;
}

bool isCmyk(const jpeg_decompress_struct& info) {
  return info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
}

// Encoded bytes go into a vector through fixed blocks, so that libjpeg never sees an exception:
// a failed allocation becomes libjpeg's own out-of-memory error.
struct JpegOutput {
  jpeg_destination_mgr manager; // first, as with JpegErrors
  std::array<JOCTET, 16384> block;
  std::vector<std::uint8_t> bytes;

  bool append(std::size_t count) noexcept {
    try {
      bytes.insert(bytes.end(), block.begin(), block.begin() + count);
      return true;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  void restart() {
    manager.next_output_byte = block.data();
    manager.free_in_buffer = block.size();
  }
};

JpegOutput& outputOf(j_compress_ptr info) {
  return *reinterpret_cast<JpegOutput*>(info->dest);
}

void startJpegOutput(j_compress_ptr info) {
  outputOf(info).restart();
}

boolean flushJpegBlock(j_compress_ptr info) {
  JpegOutput& out = outputOf(info);
  if (!out.append(out.block.size())) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
  out.restart();
  return TRUE;
}

void finishJpegOutput(j_compress_ptr info) {
  JpegOutput& out = outputOf(info);
  if (!out.append(out.block.size() - out.manager.free_in_buffer)) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
}

struct JpegEncoder {
  JpegEncoder() {
    info.err = installErrors(errors);
    output.manager.init_destination = startJpegOutput;
    output.manager.empty_output_buffer = flushJpegBlock;
    output.manager.term_destination = finishJpegOutput;
  }
  ~JpegEncoder() { jpeg_destroy_compress(&info); }
  JpegEncoder(const JpegEncoder&) = delete;
  JpegEncoder& operator=(const JpegEncoder&) = delete;

  jpeg_compress_struct info{};
  JpegErrors errors{};
  JpegOutput output{};
};

bool compressRows(JpegEncoder& e, const QImage& rgb) {
  if (setjmp(e.errors.jump)) return false;
  jpeg_create_compress(&e.info);
  e.info.dest = &e.output.manager;
  e.info.image_width = static_cast<JDIMENSION>(rgb.width());
  e.info.image_height = static_cast<JDIMENSION>(rgb.height());
  e.info.input_components = 3;
  e.info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&e.info);
  jpeg_start_compress(&e.info, TRUE);
  while (e.info.next_scanline < e.info.image_height) {
    JSAMPROW row = const_cast<JSAMPLE*>(rgb.constScanLine(static_cast<int>(e.info.next_scanline)));
    jpeg_write_scanlines(&e.info, &row, 1);
  }
  jpeg_finish_compress(&e.info);
  return true;
}

} // namespace

namespace {

// The scale, in eighths, of the smallest DCT-scaled output that still covers `side` on both axes.
unsigned eighthsCovering(std::uint64_t width, std::uint64_t height, int side) {
  if (width * height <= kExactDecodePixels) return 8;
  const auto covers = [&](std::uint64_t extent, unsigned eighths) {
    return extent <= static_cast<std::uint64_t>(side) ||
           (extent * eighths + 7) / 8 >= static_cast<std::uint64_t>(side);
  };
  unsigned eighths = 1;
  while (eighths < 8 && !(covers(width, eighths) && covers(height, eighths)))
    ++eighths;
  return eighths;
}

bool computeOutputSize(JpegDecoder& d) {
  if (setjmp(d.errors.jump)) return false;
  jpeg_calc_output_dimensions(&d.info);
  return true;
}

QImage decode(std::span<const std::uint8_t> bytes, const std::string& fileName, std::size_t offset, int side,
              QImage::Format layout) {
  assert(layout == QImage::Format_RGB888 || layout == QImage::Format_RGB32);
  JpegDecoder d;
  const auto fail = [&](const std::string& reason) {
    throw ReadError(fileName, offset, "JPEG data: " + reason);
  };
  if (!readJpegHeader(d, bytes)) fail(d.errors.message);
  const std::uint64_t width = d.info.image_width;
  const std::uint64_t height = d.info.image_height;
  const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
  if (width * height * 3 > MaxDecodedPictureBytes) fail(size + " is too large");
  // A progressive picture keeps all its coefficients, two bytes each, whatever the output size.
  if (d.info.progressive_mode && width * height * d.info.num_components * 2 > MaxDecodedPictureBytes)
    fail("progressive " + size + " need too much memory");
  chargeDecodedPicture(width, height, fileName, offset);
  const bool cmyk = isCmyk(d.info);
  d.info.out_color_space = cmyk ? JCS_CMYK : outputColourSpace(layout);
  if (side > 0) {
    d.info.scale_num = eighthsCovering(width, height, side);
    d.info.scale_denom = 8;
  }
  if (!computeOutputSize(d)) fail(d.errors.message);
  QImage image(static_cast<int>(d.info.output_width), static_cast<int>(d.info.output_height), layout);
  if (image.isNull()) fail("no memory for " + size);
  std::vector<JSAMPLE> cmykRow(cmyk ? std::size_t{d.info.output_width} * 4 : 0);
  if (!readJpegRows(d, image, cmyk ? cmykRow.data() : nullptr)) fail(d.errors.message);
  return image;
}

} // namespace

QImage decodeJpeg(std::span<const std::uint8_t> bytes, const std::string& fileName, std::size_t offset,
                  QImage::Format layout) {
  return decode(bytes, fileName, offset, 0, layout);
}

QImage decodeJpegForResample(std::span<const std::uint8_t> bytes, const std::string& fileName,
                             std::size_t offset, int side) {
  return decode(bytes, fileName, offset, side, QImage::Format_RGB888);
}

QImage loadJpegFile(const std::string& fileName, QImage::Format layout) {
  const MappedFile file(fileName);
  return decodeJpeg(file.bytes(), fileName, 0, layout);
}

std::vector<std::uint8_t> encodeJpeg(const QImage& image) {
  if (image.isNull()) throw std::invalid_argument("encodeJpeg: empty picture");
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  JpegEncoder e;
  if (!compressRows(e, rgb))
    throw std::runtime_error(std::string("JPEG encoding failed: ") + e.errors.message);
  return std::move(e.output.bytes);
}

} // namespace vorlan
