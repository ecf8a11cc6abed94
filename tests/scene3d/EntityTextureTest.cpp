#include "SceneFixtures.h"
#include "support/TestSupport.h"

#include "gl/GlTestContext.h"
#include "platform/Dib.h"
#include "platform/Jpeg.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/Resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace vorlan {
namespace {

QImage stripes() {
  QImage picture(30, 20, QImage::Format_RGB32);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x)
      picture.setPixelColor(x, y,
                            x < 10  ? QColor(250, 20, 20)
                            : y < 8 ? QColor(20, 200, 20)
                                    : QColor(20, 20, 240));
  return picture;
}

GLint parameter(GLenum which) {
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
  return value;
}

class EntityTextureGl : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(context_.valid());
    setCurrentRenderContext(context_);
  }

  test::GlTestContext context_;
};

TEST_F(EntityTextureGl, UploadsTheResampledPictureWithMipmapsNowOrAtFirstBind) {
  for (bool contextAtLoad : {true, false}) {
    SCOPED_TRACE(contextAtLoad ? "context at load" : "no context at load");
    if (!contextAtLoad) withdrawRenderContext(context_);
    context_.releaseContext();
    TTexture texture(stripes(), 500, 500);
    EXPECT_EQ(texture.TexName() != 0, contextAtLoad);
    ASSERT_TRUE(context_.makeContextCurrent());
    texture.Bind();
    ASSERT_TRUE(glIsTexture(texture.TexName()));
    std::vector<std::uint8_t> stored(256 * 256 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, stored.data());
    EXPECT_TRUE(stored == ResampleRGB(stripes()));
    GLint smallest = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 8, GL_TEXTURE_WIDTH, &smallest);
    EXPECT_EQ(smallest, 1) << "mipmaps down to 1 x 1";
    setCurrentRenderContext(context_);
  }
}

TEST_F(EntityTextureGl, BindSetsTheSamplingFieldsOnItsOwnTexture) {
  TTexture texture(stripes(), 500, 500);
  texture.WrapS = GL_CLAMP_TO_EDGE;
  texture.MinFilter = GL_NEAREST;
  texture.EnvMode = GL_REPLACE;
  GLuint other = 0;
  glGenTextures(1, &other);
  glBindTexture(GL_TEXTURE_2D, other);
  texture.Bind();
  glBindTexture(GL_TEXTURE_2D, texture.TexName());
  EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
  EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
  EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST);
  EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
  GLint env = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
  EXPECT_EQ(env, GL_REPLACE);
  glBindTexture(GL_TEXTURE_2D, other);
  EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_LINEAR)
      << "the other texture kept its default";
  glDeleteTextures(1, &other);
}

TEST_F(EntityTextureGl, TextureNameIsFreedWithTheEntityOrOnRequest) {
  auto entity = std::make_unique<TEntity>();
  entity->LoadTexture(stripes(), 500, 500);
  const GLuint first = entity->Texture->TexName();
  ASSERT_TRUE(glIsTexture(first));
  entity->ReleaseGlNames();
  EXPECT_FALSE(glIsTexture(first));
  entity->Texture->Bind();
  const GLuint second = entity->Texture->TexName();
  ASSERT_TRUE(glIsTexture(second)) << "binding again uploads again";
  context_.releaseContext();
  entity.reset();
  ASSERT_TRUE(context_.makeContextCurrent());
  EXPECT_FALSE(glIsTexture(second));
}

TEST_F(EntityTextureGl, TextureFilesAreDecodedByTheirContentWithThePlatformCodecs) {
  struct Case {
    const char* file;
    std::vector<std::uint8_t> bytes;
    bool decodes;
  };
  const test::ScratchDir doc;
  for (const Case& c :
       {Case{"wall.jpg", encodeJpeg(stripes()), true}, Case{"wall.bmp", encodeBmp(stripes()), true},
        Case{"jpeg-named.bmp", encodeJpeg(stripes()), true},
        Case{"notes.jpg", {'h', 'e', 'l', 'l', 'o'}, false}}) {
    SCOPED_TRACE(c.file);
    test::writeBytes(doc.path(c.file), c.bytes);
    auto bytes = test::savedBytes(TEntity());
    std::fill_n(bytes.begin() + test::kTextureNameOffset, 256, 0);
    std::copy_n(c.file, std::strlen(c.file), bytes.begin() + test::kTextureNameOffset);
    const test::LoadAttempt attempt = test::tryLoadEntity(bytes, doc.path("scene.cam"));
    if (!c.decodes) {
      ASSERT_FALSE(attempt.error) << attempt.error->what();
      EXPECT_FALSE(attempt.entity->Texture);
      EXPECT_NE(attempt.entity->TextureProblem.find("neither a bitmap nor a JPEG"), std::string::npos);
      continue;
    }
    ASSERT_FALSE(attempt.error) << attempt.error->what();
    ASSERT_TRUE(attempt.entity->Texture);
    const QImage& picture = attempt.entity->Texture->Picture;
    EXPECT_EQ(picture.size(), QSize(30, 20));
    EXPECT_LT(std::abs(qRed(picture.pixel(3, 3)) - 250), 12) << "the picture itself, not a placeholder";
    EXPECT_LT(std::abs(qBlue(picture.pixel(25, 15)) - 240), 12);
  }
}

} // namespace
} // namespace vorlan
