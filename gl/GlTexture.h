#pragma once

#include <cstdint>

namespace vorlan {

enum class TextureLevels { One, Mipmaps };

// How a texture is sampled and combined with the fragment's colour (OpenGL enumerators).
struct TextureSampling {
  int WrapS, WrapT, MagFilter, MinFilter, EnvMode;
};

// Owns one OpenGL texture name. Taking the name, uploading and binding run in the context already
// current (a drawing pass, or a CurrentContextGuard the caller holds); freeing the name finds the
// current 3D rendering context itself, so the owner may die anywhere.
class GlTexture {
public:
  GlTexture() = default;
  ~GlTexture();
  GlTexture(const GlTexture&) = delete;
  GlTexture& operator=(const GlTexture&) = delete;

  // 0 while there is none.
  std::uint32_t name() const { return name_; }

  // Takes a name when there is none yet.
  void create();
  // Defines the texture from `width` x `height` pixels of `channels` bytes (3: RGB, 4: RGBA), rows
  // bottom first and tightly packed, taking a name first when needed; leaves it bound. Inside an open
  // display list the upload would be compiled into the list, so call it before glNewList.
  void upload(int width, int height, int channels, const void* pixels, TextureLevels levels);
  void bind() const;
  // Binds first: sampling parameters belong to the bound texture, and they must reach this one.
  void bind(const TextureSampling& sampling) const;
  // Frees the name now, for an owner whose context is about to go; the next upload takes a new one.
  void destroy();

private:
  std::uint32_t name_ = 0;
};

} // namespace vorlan
