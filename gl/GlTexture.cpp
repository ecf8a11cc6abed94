#include "gl/GlTexture.h"

#include "gl/GlContext.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace vorlan {

GlTexture::~GlTexture() {
  destroy();
}

void GlTexture::create() {
  if (name_ != 0) return;
  // Code that binds fixed numbers makes textures without generating their names; skip those.
  do {
    glGenTextures(1, &name_);
  } while (glIsTexture(name_));
}

void GlTexture::upload(int width, int height, int channels, const void* pixels, TextureLevels levels) {
  create();
  glBindTexture(GL_TEXTURE_2D, name_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  const GLenum format = channels == 4 ? GL_RGBA : GL_RGB;
  if (levels == TextureLevels::Mipmaps)
    gluBuild2DMipmaps(GL_TEXTURE_2D, channels, width, height, format, GL_UNSIGNED_BYTE, pixels);
  else
    glTexImage2D(GL_TEXTURE_2D, 0, channels, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
}

void GlTexture::bind() const {
  glBindTexture(GL_TEXTURE_2D, name_);
}

void GlTexture::bind(const TextureSampling& sampling) const {
  bind();
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, sampling.WrapS);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, sampling.WrapT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, sampling.MagFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, sampling.MinFilter);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, sampling.EnvMode);
}

void GlTexture::destroy() {
  if (name_ == 0) return;
  CurrentContextGuard guard;
  // Without any context the names died with the last one.
  if (guard.active()) glDeleteTextures(1, &name_);
  name_ = 0;
}

} // namespace vorlan
