#include "gl/KX_OpenGL_TEXTURE.h"

#include "gl/GlContext.h"

#include <QPainter>

#include <GL/gl.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <numbers>

namespace vorlan {
namespace {

constexpr int pixelSize = 4;
static_assert(sizeof(TRGBA) == pixelSize);

double smoothedNoise(int x, int y, int variant) {
  const double corners = IntegerNoise(x - 1, y - 1, variant) + IntegerNoise(x + 1, y - 1, variant) +
                         IntegerNoise(x - 1, y + 1, variant) + IntegerNoise(x + 1, y + 1, variant);
  const double sides = IntegerNoise(x - 1, y, variant) + IntegerNoise(x + 1, y, variant) +
                       IntegerNoise(x, y - 1, variant) + IntegerNoise(x, y + 1, variant);
  return corners / 16 + sides / 8 + IntegerNoise(x, y, variant) / 4;
}

double cosineBlend(double a, double b, double t) {
  const double f = (1 - std::cos(t * std::numbers::pi)) / 2;
  return a * (1 - f) + b * f;
}

double interpolatedNoise(double x, double y, int variant) {
  const int ix = static_cast<int>(std::floor(x));
  const int iy = static_cast<int>(std::floor(y));
  const double fx = x - ix;
  const double fy = y - iy;
  const double lower = cosineBlend(smoothedNoise(ix, iy, variant), smoothedNoise(ix + 1, iy, variant), fx);
  const double upper =
      cosineBlend(smoothedNoise(ix, iy + 1, variant), smoothedNoise(ix + 1, iy + 1, variant), fx);
  return cosineBlend(lower, upper, fy);
}

// Light grey at the centre of the inscribed circle, falling in 100 rings to black at its rim and
// black outside it.
QImage radialMask(int width, int height) {
  QImage mask(width, height, QImage::Format_RGB32);
  mask.fill(Qt::black);
  const int cx = Round(width / 2.0);
  const int cy = Round(height / 2.0);
  const int r = std::min(cx, cy);
  // An image of one pixel across has no inscribed disc to ramp over.
  if (r == 0) return mask;
  QPainter painter(&mask);
  for (int i = 0; i < 100; ++i) {
    const int rho = r - Round(static_cast<double>(i) * r / 100);
    const int g = Round(static_cast<double>(rho) * 255 / r);
    const QColor grey(255 - g, 255 - g, 255 - g);
    painter.setPen(grey);
    painter.setBrush(grey);
    painter.drawEllipse(QPoint(cx, cy), rho, rho);
  }
  return mask;
}

} // namespace

void TGL_Array::SetCount(int n) {
  Count_ = std::max(n, 0);
  Data_.resize(static_cast<std::size_t>(Count_) * ElementSize_);
}

void TGL_Array::Put(int i, const void* element) {
  assert(i >= 0);
  if (i >= Count_) SetCount(i + 1);
  std::memcpy(Data_.data() + static_cast<std::size_t>(i) * ElementSize_, element, ElementSize_);
}

TGL_IMAGE::TGL_IMAGE() {
  SetElementSize(pixelSize);
}

void TGL_IMAGE::SetWidth(int w) {
  const int oldWidth = Width_;
  Width_ = std::max(w, 0);
  if (Height_ == 0) return;
  const std::vector<std::uint8_t> old(Data(), Data() + static_cast<std::size_t>(Count()) * pixelSize);
  SetCount(0);
  SetCount(Width_ * Height_);
  const std::size_t kept = static_cast<std::size_t>(std::min(oldWidth, Width_)) * pixelSize;
  const std::size_t oldStride = static_cast<std::size_t>(oldWidth) * pixelSize;
  for (int y = 0; y < Height_ && (y + 1) * oldStride <= old.size(); ++y)
    std::memcpy(PixelAddress(0, y), old.data() + y * oldStride, kept);
}

void TGL_IMAGE::SetHeight(int h) {
  Height_ = std::max(h, 0);
  SetCount(Width_ * Height_);
}

void TGL_IMAGE::SetPixel(int x, int y, TRGBA rgba) {
  assert(x >= 0 && y >= 0);
  Put(y * Width_ + x, &rgba);
}

std::uint8_t* TGL_IMAGE::PixelAddress(int x, int y) {
  assert(y * Width_ + x < Count());
  return Data() + static_cast<std::size_t>(y * Width_ + x) * pixelSize;
}

const std::uint8_t* TGL_IMAGE::PixelAddress(int x, int y) const {
  assert(y * Width_ + x < Count());
  return Data() + static_cast<std::size_t>(y * Width_ + x) * pixelSize;
}

TRGBA TGL_IMAGE::ColorToRGBA(TColor colour, std::uint8_t alpha) {
  return {static_cast<std::uint8_t>(GetRValue(colour)), static_cast<std::uint8_t>(GetGValue(colour)),
          static_cast<std::uint8_t>(GetBValue(colour)), alpha};
}

void TGL_IMAGE::LoadFromBitmap(const QImage& graphic) {
  SetWidth(graphic.width());
  SetHeight(graphic.height());
  QImage stretched(Width(), Height(), QImage::Format_RGB32);
  stretched.fill(Qt::black);
  if (!graphic.isNull())
    stretched = graphic.convertToFormat(QImage::Format_RGB32)
                    .scaled(Width(), Height(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
  for (int r = 0; r < Height(); ++r) {
    for (int x = 0; x < Width(); ++x) {
      const QRgb pixel = stretched.pixel(x, r);
      SetPixel(x, Height() - 1 - r, ColorToRGBA(RGB(qRed(pixel), qGreen(pixel), qBlue(pixel)), 255));
    }
  }
}

void TGL_IMAGE::SetAlphaFromBitmap(const QImage& bitmap) {
  for (int y = 0; y < Height(); ++y) {
    const int row = Height() - 1 - y;
    for (int x = 0; x < Width(); ++x) {
      if (!bitmap.valid(x, row)) continue;
      const QRgb pixel = bitmap.pixel(x, row);
      PixelAddress(x, y)[3] = static_cast<std::uint8_t>((qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3);
    }
  }
}

int PowerOfTwoAtLeast(int n) {
  int power = 1;
  while (power < n)
    power *= 2;
  return power;
}

TGL_TEXTURE::TGL_TEXTURE() {
  CurrentContextGuard guard;
  if (!guard.active()) return;
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  Texture_.create();
}

void TGL_TEXTURE::SetWidth(int w) {
  TGL_IMAGE::SetWidth(PowerOfTwoAtLeast(w));
}

void TGL_TEXTURE::SetHeight(int h) {
  TGL_IMAGE::SetHeight(PowerOfTwoAtLeast(h));
}

void TGL_TEXTURE::applySamplingFlags() const {
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, RepeatS_ ? GL_REPEAT : GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, RepeatT_ ? GL_REPEAT : GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, LinearMin_ ? GL_LINEAR : GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, LinearMag_ ? GL_LINEAR : GL_NEAREST);
}

void TGL_TEXTURE::Upload() {
  CurrentContextGuard guard;
  if (!guard.active()) return;
  assert(Count() >= Width() * Height());
  // A texture made before any context existed gets its name now rather than overwrite texture 0.
  Texture_.upload(Width(), Height(), pixelSize, Data(), TextureLevels::One);
  // Without mipmaps the texture is complete only with a non-mipmap minifying filter.
  applySamplingFlags();
}

void TGL_TEXTURE::Bind() const {
  Texture_.bind();
  applySamplingFlags();
  glEnable(GL_TEXTURE_2D);
}

void TGL_TEXTURE::Unbind() const {
  glDisable(GL_TEXTURE_2D);
}

void TGL_TEXTURE::Fill(int w, int h, std::uint8_t R, std::uint8_t G, std::uint8_t B, std::uint8_t A) {
  SetWidth(w);
  SetHeight(h);
  for (int y = 0; y < Height(); ++y)
    for (int x = 0; x < Width(); ++x)
      SetPixel(x, y, {R, G, B, A});
}

void TGL_TEXTURE::MakePerlin(int w, int h, double Scale, double Persistence, double Octaves, int Mode) {
  SetWidth(w);
  SetHeight(h);
  if (Mode != 0) return;
  const int octaves = Round(Octaves);
  for (int y = 0; y < Height(); ++y) {
    for (int x = 0; x < Width(); ++x) {
      const double v = PerlinNoise(x * Scale, y * Scale, Persistence, octaves, 1);
      // Several octaves can sum below -1; clamp rather than wrap to a bright grey.
      const auto g = static_cast<std::uint8_t>(clampChannel(Round((v + 1) * 127)));
      SetPixel(x, Height() - 1 - y, {g, g, g, 255});
    }
  }
}

void TGL_TEXTURE::MakeRadialAlpha() {
  SetAlphaFromBitmap(radialMask(Width(), Height()));
}

double IntegerNoise(int x, int y, int variant) {
  assert(variant == 1 || variant == 2);
  // Unsigned arithmetic wraps as the hash expects; only the low 31 bits of the sum are kept.
  const auto ux = static_cast<std::uint32_t>(x);
  const auto uy = static_cast<std::uint32_t>(y);
  std::uint32_t n = variant == 1 ? ux + 57u * uy : 53u * ux - 41u * uy;
  n = (n << 13) ^ n;
  const std::uint32_t hashed = (n * (n * n * 15731u + 789221u) + 1376312589u) & 0x7FFFFFFFu;
  return 1.0 - hashed / 1073741824.0;
}

double PerlinNoise(double x, double y, double persistence, int octaves, int variant) {
  double total = 0;
  double frequency = 1;
  double amplitude = 1;
  for (int i = 0; i <= octaves; ++i) {
    total += interpolatedNoise(x * frequency, y * frequency, variant) * amplitude;
    frequency *= 2;
    amplitude *= persistence;
  }
  return total;
}

} // namespace vorlan
