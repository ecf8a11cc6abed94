#pragma once

#include "gl/GlTexture.h"
#include "platform/Numbers.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace vorlan {

// A growable array of fixed-size elements.
class TGL_Array {
public:
  TGL_Array() = default;
  virtual ~TGL_Array() = default;

  std::uint8_t* Data() { return Data_.data(); }
  const std::uint8_t* Data() const { return Data_.data(); }
  int Count() const { return Count_; }
  int ElementSize() const { return ElementSize_; }

  // Resizes to n elements, keeping the common prefix; new elements are zero.
  void SetCount(int n);
  // Copies ElementSize bytes of `element` to position i, growing the array when i is past its end.
  void Put(int i, const void* element);

protected:
  void SetElementSize(int size) { ElementSize_ = size; }

private:
  std::vector<std::uint8_t> Data_;
  int Count_ = 0;
  int ElementSize_ = 1;
};

// One pixel as OpenGL reads it.
struct TRGBA {
  std::uint8_t R = 0, G = 0, B = 0, A = 0;
  bool operator==(const TRGBA&) const = default;
};

// An RGBA picture in OpenGL row order: row 0 is the bottom row.
class TGL_IMAGE : public TGL_Array {
public:
  TGL_IMAGE();

  int Width() const { return Width_; }
  int Height() const { return Height_; }
  // Set the width first and the height second on an empty image. Changing the width of an image
  // that holds rows re-lays each row, keeping its first pixels; new pixels are zero.
  virtual void SetWidth(int w);
  virtual void SetHeight(int h);

  void SetPixel(int x, int y, TRGBA rgba);
  std::uint8_t* PixelAddress(int x, int y);
  const std::uint8_t* PixelAddress(int x, int y) const;

  // Splits a colour value 0x00BBGGRR.
  static TRGBA ColorToRGBA(TColor colour, std::uint8_t alpha);

  // Takes the picture's size (a texture rounds it up) and its pixels, stretched to that size, opaque.
  void LoadFromBitmap(const QImage& graphic);
  // Alpha := the grey level of the matching pixel of `bitmap`, which is read top row first.
  void SetAlphaFromBitmap(const QImage& bitmap);

private:
  int Width_ = 0;
  int Height_ = 0;
};

// An image with an OpenGL texture name. Its OpenGL work runs in the current 3D rendering context
// (gl/GlContext.h); without one the texture keeps its pixels and stays nameless until an upload
// finds a context.
class TGL_TEXTURE : public TGL_IMAGE {
public:
  TGL_TEXTURE();

  std::uint32_t TextureName() const { return Texture_.name(); }

  // Both round up to a power of two (0 becomes 1).
  void SetWidth(int w) override;
  void SetHeight(int h) override;

  // Sampling flags; they reach OpenGL at the next Upload or Bind.
  bool RepeatS() const { return RepeatS_; }
  bool RepeatT() const { return RepeatT_; }
  bool LinearMin() const { return LinearMin_; }
  bool LinearMag() const { return LinearMag_; }
  void SetRepeatS(bool value) { RepeatS_ = value; }
  void SetRepeatT(bool value) { RepeatT_ = value; }
  void SetLinearMin(bool value) { LinearMin_ = value; }
  void SetLinearMag(bool value) { LinearMag_ = value; }

  // Defines level 0 from the pixels, without mipmaps, and leaves the texture bound. Inside an open
  // display list the upload would be compiled into the list, so call it before glNewList.
  void Upload();
  // For drawing passes, in the context already current: binds, sets the flags, enables texturing.
  void Bind() const;
  void Unbind() const;

  void Fill(int w, int h, std::uint8_t R, std::uint8_t G, std::uint8_t B, std::uint8_t A);
  // Grey noise, opaque; Mode other than 0 only sizes the image.
  void MakePerlin(int w, int h, double Scale, double Persistence, double Octaves, int Mode);
  // Alpha 0 outside the inscribed circle, ramping in 100 steps to almost 255 at the centre.
  void MakeRadialAlpha();

private:
  void applySamplingFlags() const;

  GlTexture Texture_;
  bool RepeatS_ = true;
  bool RepeatT_ = true;
  bool LinearMin_ = true;
  bool LinearMag_ = true;
};

// The smallest power of two not below n; 1 for n below 1.
int PowerOfTwoAtLeast(int n);

// Lattice noise in -1..1 from integer hashing, the same on every machine. Variant 1 is the one
// the textures use; variant 2 hashes the lattice point differently.
double IntegerNoise(int x, int y, int variant);
// Sum over i = 0..octaves (inclusive) of the smoothed, cosine-interpolated noise at (x, y)·2^i,
// weighted by persistence^i.
double PerlinNoise(double x, double y, double persistence, int octaves, int variant);

} // namespace vorlan
