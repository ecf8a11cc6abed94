#include "gl/GlContext.h"
#include "gl/GlTestContext.h"
#include "scene3d/KX_MAPPING.h"
#include "scene3d/Resample.h"

#include <gtest/gtest.h>

#include <vector>

namespace vorlan {
namespace {

GLint levelValue(GLuint texture, GLenum which) {
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint value = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, which, &value);
  return value;
}

GLint parameter(GLuint texture, GLenum which) {
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
  return value;
}

std::vector<std::uint8_t> storedPixels(GLuint texture, int size, bool withAlpha) {
  std::vector<std::uint8_t> pixels(std::size_t(size) * size * (withAlpha ? 4 : 3));
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glGetTexImage(GL_TEXTURE_2D, 0, withAlpha ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

QImage blackAndOrange() {
  QImage picture(40, 30, QImage::Format_RGB888);
  picture.fill(QColor(255, 128, 0));
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 40; ++x)
      picture.setPixelColor(x, y, Qt::black);
  return picture;
}

class MappingGl : public test::ReleasedRenderContextTest {};

TEST_F(MappingGl, UploadsThePaintedTileOrTheResampledPicture) {
  struct Case {
    int kind;
    int size;
    bool withAlpha;
  };
  for (const auto& [kind, size, withAlpha] : {Case{0, 64, false}, Case{3, 64, false}, Case{100, 64, false},
                                              Case{255, 256, false}, Case{254, 256, true}}) {
    SCOPED_TRACE(kind);
    TMapping mapping(100, 100);
    mapping.Grain = std::make_unique<TSeededGrain>([] { return 9u; });
    mapping.Bitmap = blackAndOrange();
    mapping.Build(static_cast<std::uint8_t>(kind), 10, {50, 0, 0, 0, 0},
                  {RGB(90, 20, 20), RGB(20, 200, 90), 0, 0, 0}, 100, 100);
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr) << "the guard released what it made current";

    ASSERT_TRUE(context_.makeContextCurrent());
    mapping.Bind(); // a tile is uploaded when first drawn
    EXPECT_EQ(levelValue(mapping.TexName(), GL_TEXTURE_WIDTH), size);
    EXPECT_EQ(levelValue(mapping.TexName(), GL_TEXTURE_HEIGHT), size);
    EXPECT_EQ(levelValue(mapping.TexName(), GL_TEXTURE_ALPHA_SIZE) > 0, withAlpha);
    const std::vector<std::uint8_t> expected =
        kind == 255   ? ResampleRGB(mapping.Bitmap)
        : kind == 254 ? TranslucentPicture(mapping.Bitmap)
                      : std::vector<std::uint8_t>(mapping.Tile().begin(), mapping.Tile().end());
    EXPECT_EQ(storedPixels(mapping.TexName(), size, withAlpha), expected);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    context_.releaseContext();
  }
}

TEST_F(MappingGl, NamesAreFreshAndFreedWithTheMapping) {
  auto first = std::make_unique<TMapping>(1, 1);
  auto second = std::make_unique<TMapping>(1, 1);
  const GLuint name = first->TexName();
  EXPECT_NE(name, 0u);
  EXPECT_NE(second->TexName(), name);
  first->Build(kPictureKind, 10, {}, {}, 1, 1);
  second->DeleteTexture();
  EXPECT_EQ(second->TexName(), 0u);

  ASSERT_TRUE(context_.makeContextCurrent());
  EXPECT_TRUE(glIsTexture(name));
  context_.releaseContext();
  first.reset();
  EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
  ASSERT_TRUE(context_.makeContextCurrent());
  EXPECT_FALSE(glIsTexture(name));
}

TEST_F(MappingGl, BindSetsTheSamplingOfItsOwnTexture) {
  TMapping mapping(1, 1);
  mapping.Build(0, 10, {}, {}, 1, 1);
  ASSERT_TRUE(context_.makeContextCurrent());
  GLuint other = 0;
  glGenTextures(1, &other);
  glBindTexture(GL_TEXTURE_2D, other);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glDisable(GL_TEXTURE_2D);

  mapping.Bind();
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(GLuint(bound), mapping.TexName());
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  GLint envMode = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
  EXPECT_EQ(envMode, GL_MODULATE);
  for (const auto& [which, value] : {std::pair<GLenum, GLint>{GL_TEXTURE_WRAP_S, GL_REPEAT},
                                     {GL_TEXTURE_WRAP_T, GL_REPEAT},
                                     {GL_TEXTURE_MAG_FILTER, GL_LINEAR},
                                     {GL_TEXTURE_MIN_FILTER, GL_LINEAR}})
    EXPECT_EQ(parameter(mapping.TexName(), which), value) << which;
  EXPECT_EQ(parameter(other, GL_TEXTURE_MIN_FILTER), GL_NEAREST) << "the texture bound before keeps its own";
  EXPECT_EQ(parameter(other, GL_TEXTURE_WRAP_S), GL_CLAMP);
  glDeleteTextures(1, &other);
  glDisable(GL_TEXTURE_2D);
}

TEST(MappingWithoutContext, PaintsTheTileAndStaysNameless) {
  ASSERT_EQ(currentRenderContext(), nullptr);
  TMapping mapping(1, 1);
  mapping.Build(5, 10, {}, {RGB(1, 2, 3), RGB(4, 5, 6), 0, 0, 0}, 1, 1);
  EXPECT_EQ(mapping.TexName(), 0u);
  EXPECT_EQ(mapping.Cells.size(), 2u);
  EXPECT_TRUE(mapping.Tile()[0] == 1 || mapping.Tile()[0] == 4);
}

} // namespace
} // namespace vorlan
