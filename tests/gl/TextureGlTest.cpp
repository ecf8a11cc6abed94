#include "GlTestContext.h"
#include "support/TestSupport.h"

#include "gl/GlContext.h"
#include "gl/KX_OpenGL_TEXTURE.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vorlan {
namespace {

GLint boundTexture() {
  GLint name = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
  return name;
}

GLint parameter(GLuint texture, GLenum which) {
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
  return value;
}

GLint levelSize(GLuint texture, GLint level, GLenum which) {
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint value = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, which, &value);
  return value;
}

class TextureInContext : public test::ReleasedRenderContextTest {};

TEST_F(TextureInContext, UploadDefinesLevelZeroOnlyAndTheNameIsFreedWithTheTexture) {
  auto texture = std::make_unique<TGL_TEXTURE>();
  const GLuint name = texture->TextureName();
  EXPECT_NE(name, 0u);
  EXPECT_NE(TGL_TEXTURE().TextureName(), name);
  texture->Fill(5, 3, 10, 20, 30, 40);
  texture->SetPixel(7, 3, {1, 2, 3, 4});
  texture->Upload();
  EXPECT_EQ(QOpenGLContext::currentContext(), nullptr) << "the guard released what it made current";

  ASSERT_TRUE(context_.makeContextCurrent());
  EXPECT_TRUE(glIsTexture(name));
  EXPECT_EQ(levelSize(name, 0, GL_TEXTURE_WIDTH), 8);
  EXPECT_EQ(levelSize(name, 0, GL_TEXTURE_HEIGHT), 4);
  EXPECT_EQ(levelSize(name, 1, GL_TEXTURE_WIDTH), 0) << "no mipmaps";
  EXPECT_EQ(parameter(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR) << "complete without mipmaps";
  std::vector<std::uint8_t> stored(8 * 4 * 4);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, stored.data());
  EXPECT_TRUE(std::equal(stored.begin(), stored.end(), texture->Data())) << "pixels go up as RGBA bytes";
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  context_.releaseContext();

  texture.reset();
  EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
  ASSERT_TRUE(context_.makeContextCurrent());
  EXPECT_FALSE(glIsTexture(name));
}

TEST_F(TextureInContext, BindSetsTheFlagsAndEnablesTexturing) {
  for (const bool on : {true, false}) {
    SCOPED_TRACE(on);
    TGL_TEXTURE texture;
    texture.Fill(4, 4, 255, 255, 255, 255);
    texture.Upload();
    texture.SetRepeatS(on);
    texture.SetRepeatT(!on);
    texture.SetLinearMin(!on);
    texture.SetLinearMag(on);

    ASSERT_TRUE(context_.makeContextCurrent());
    glBindTexture(GL_TEXTURE_2D, 0);
    texture.Bind();
    const GLuint name = texture.TextureName();
    EXPECT_EQ(boundTexture(), static_cast<GLint>(name));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(parameter(name, GL_TEXTURE_WRAP_S), on ? GL_REPEAT : GL_CLAMP);
    EXPECT_EQ(parameter(name, GL_TEXTURE_WRAP_T), !on ? GL_REPEAT : GL_CLAMP);
    EXPECT_EQ(parameter(name, GL_TEXTURE_MIN_FILTER), !on ? GL_LINEAR : GL_NEAREST);
    EXPECT_EQ(parameter(name, GL_TEXTURE_MAG_FILTER), on ? GL_LINEAR : GL_NEAREST);
    texture.Unbind();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    context_.releaseContext();
  }
}

TEST_F(TextureInContext, ConstructionLeavesTheBoundTextureAsItWas) {
  ASSERT_TRUE(context_.makeContextCurrent());
  GLuint other = 0;
  glGenTextures(1, &other);
  glBindTexture(GL_TEXTURE_2D, other);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

  TGL_TEXTURE texture;

  EXPECT_EQ(boundTexture(), static_cast<GLint>(other));
  EXPECT_EQ(parameter(other, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
  EXPECT_EQ(parameter(other, GL_TEXTURE_WRAP_S), GL_CLAMP);
  GLint mode = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
  EXPECT_EQ(mode, GL_MODULATE) << "textures modulate the current colour";
  EXPECT_NE(texture.TextureName(), other);
  glDeleteTextures(1, &other);
}

TEST_F(TextureInContext, PictureDrawnWithTheTextureKeepsItsTopRowOnTop) {
  QImage picture(1, 2, QImage::Format_RGB32);
  picture.setPixel(0, 0, qRgb(0, 0, 255));
  picture.setPixel(0, 1, qRgb(255, 0, 0));
  TGL_TEXTURE texture;
  texture.LoadFromBitmap(picture);
  texture.SetLinearMag(false);
  texture.Upload();

  ASSERT_TRUE(context_.makeContextCurrent());
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  texture.Bind();
  glColor4ub(255, 255, 255, 255);
  glBegin(GL_QUADS);
  for (const auto& [s, t] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
    glTexCoord2d(s, t);
    glVertex2d(2 * s - 1, 2 * t - 1);
  }
  glEnd();
  texture.Unbind();
  glFinish();
  const QImage drawn = context_.grab();
  EXPECT_EQ(test::rgbAt(drawn, 32, 5), 0x0000FFu) << "top";
  EXPECT_EQ(test::rgbAt(drawn, 32, 58), 0xFF0000u) << "bottom";
}

TEST(TextureWithoutContext, StaysNamelessUntilAnUploadFindsAContext) {
  ASSERT_EQ(QOpenGLContext::currentContext(), nullptr);
  ASSERT_EQ(currentRenderContext(), nullptr);
  TGL_TEXTURE texture;
  texture.Fill(4, 2, 9, 9, 9, 9);
  EXPECT_EQ(texture.TextureName(), 0u);
  texture.Upload();
  EXPECT_EQ(texture.TextureName(), 0u) << "nothing to upload into";

  test::GlTestContext context;
  ASSERT_TRUE(context.valid());
  setCurrentRenderContext(context);
  context.releaseContext();
  texture.Upload();
  ASSERT_NE(texture.TextureName(), 0u) << "a late upload names the texture instead of filling texture 0";
  ASSERT_TRUE(context.makeContextCurrent());
  EXPECT_EQ(levelSize(texture.TextureName(), 0, GL_TEXTURE_WIDTH), 4);
  EXPECT_EQ(levelSize(0, 0, GL_TEXTURE_WIDTH), 0) << "the default texture is untouched";
  context.releaseContext();
}

} // namespace
} // namespace vorlan
