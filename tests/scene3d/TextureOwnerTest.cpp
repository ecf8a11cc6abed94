#include "gl/GlTestContext.h"
#include "gl/KX_OpenGL_TEXTURE.h"
#include "scene3d/KX_MAPPING.h"
#include "scene3d/KX_OBJECTS.h"
#include "scene3d/Resample.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vorlan {
namespace {

QImage blackAndOrange() {
  QImage picture(40, 30, QImage::Format_RGB888);
  picture.fill(QColor(255, 128, 0));
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 40; ++x)
      picture.setPixelColor(x, y, Qt::black);
  return picture;
}

GLint parameter(GLuint texture, GLenum which) {
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
  return value;
}

GLint levelWidth(GLuint texture, GLint level) {
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint value = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &value);
  return value;
}

// The view's textures, the mappings and the entities' pictures all keep their name in one GL texture
// owner; each is seen through what it uploads (level 0 as read back), how it binds and when its name goes.
struct Owner {
  std::function<GLuint()> name;
  std::function<void()> bind;
  std::vector<std::uint8_t> expected;
};

Owner viewTexture() {
  auto t = std::make_shared<TGL_TEXTURE>();
  t->Fill(5, 3, 10, 20, 30, 40);
  t->SetPixel(7, 3, {1, 2, 3, 4});
  t->SetRepeatS(false);
  t->SetLinearMin(false);
  t->Upload();
  return {[t] { return t->TextureName(); }, [t] { t->Bind(); },
          std::vector(t->Data(), t->Data() + 8 * 4 * 4)};
}

Owner mapping(std::uint8_t kind) {
  auto m = std::make_shared<TMapping>(100, 100);
  m->Grain = std::make_unique<TSeededGrain>([] { return 9u; });
  m->Bitmap = blackAndOrange();
  m->Build(kind, 10, {50, 0, 0, 0, 0}, {RGB(90, 20, 20), RGB(20, 200, 90), 0, 0, 0}, 100, 100);
  return {[m] { return m->TexName(); }, [m] { m->Bind(); },
          kind == 255   ? ResampleRGB(m->Bitmap)
          : kind == 254 ? TranslucentPicture(m->Bitmap)
                        : std::vector<std::uint8_t>(m->Tile().begin(), m->Tile().end())};
}

Owner entityTexture() {
  auto t = std::make_shared<TTexture>(blackAndOrange(), 500, 500);
  t->WrapS = GL_CLAMP_TO_EDGE;
  t->MinFilter = GL_NEAREST;
  t->EnvMode = GL_REPLACE;
  return {[t] { return t->TexName(); }, [t] { t->Bind(); }, ResampleRGB(t->Picture)};
}

class TextureOwner : public test::ReleasedRenderContextTest {};

TEST_F(TextureOwner, UploadsInTheRegisteredContextBindsItsOwnSamplingAndFreesItsName) {
  // clang-format off
  // sampling: as Bind sets them: wrap S and T, min and mag filter, environment mode
  struct Case {
    const char* name; std::function<Owner()> make; int size; GLenum format; int levels; std::array<GLint, 5> sampling; };
  const auto tile = [](std::uint8_t kind) { return [kind] { return mapping(kind); }; };
  // clang-format on
  constexpr GLint R = GL_REPEAT, L = GL_LINEAR, M = GL_MODULATE;
  // clang-format off
  for (const Case& c : {Case{"view texture", viewTexture, 8, GL_RGBA, 1, {GL_CLAMP, R, GL_NEAREST, L, M}},
                        {"painted tile", tile(3), 64, GL_RGB, 1, {R, R, L, L, M}}, {"stripes tile", tile(4), 64, GL_RGB, 1, {R, R, L, L, M}},
                        {"mapping picture", tile(255), 256, GL_RGB, 1, {R, R, L, L, M}},
                        {"translucent mapping picture", tile(254), 256, GL_RGBA, 1, {R, R, L, L, M}},
                        {"entity picture", entityTexture, 256, GL_RGB, 9, {GL_CLAMP_TO_EDGE, R, GL_NEAREST, L, GL_REPLACE}}}) {
    // clang-format on
    SCOPED_TRACE(c.name);
    std::optional<Owner> owner = c.make();
    const Owner second = c.make();
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr) << "the guard released what it made current";
    const GLuint name = owner->name();
    ASSERT_NE(name, 0u);
    EXPECT_NE(second.name(), name);

    ASSERT_TRUE(context_.makeContextCurrent());
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    owner->bind();
    GLint bound = 0, envMode = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    EXPECT_EQ(GLuint(bound), name);
    EXPECT_EQ(
        (std::array{parameter(name, GL_TEXTURE_WRAP_S), parameter(name, GL_TEXTURE_WRAP_T),
                    parameter(name, GL_TEXTURE_MIN_FILTER), parameter(name, GL_TEXTURE_MAG_FILTER), envMode}),
        c.sampling);
    EXPECT_EQ(std::pair(parameter(other, GL_TEXTURE_MIN_FILTER), parameter(other, GL_TEXTURE_WRAP_S)),
              std::pair(GL_NEAREST, GL_CLAMP))
        << "the texture bound before keeps its own";
    std::vector<std::uint8_t> stored(owner->expected.size());
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, c.format, GL_UNSIGNED_BYTE, stored.data());
    EXPECT_EQ(stored, owner->expected);
    EXPECT_EQ(levelWidth(name, 0), c.size);
    EXPECT_GT(levelWidth(name, c.levels - 1), 0);
    EXPECT_EQ(levelWidth(name, c.levels), 0) << "mipmaps only where asked for, down to 1 x 1";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &other);
    context_.releaseContext();

    owner.reset();
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
    ASSERT_TRUE(context_.makeContextCurrent());
    EXPECT_FALSE(glIsTexture(name)) << "freed with its owner";
    context_.releaseContext();
  }
}

// Without a registered context nothing is named; the upload happens once a context is there, into a
// name of its own and never into the default texture.
TEST(TextureOwnerWithoutContext, NamesItsTextureOnlyOnceAContextIsThere) {
  ASSERT_EQ(currentRenderContext(), nullptr);
  auto view = std::make_shared<TGL_TEXTURE>();
  view->Fill(4, 2, 9, 9, 9, 9);
  view->Upload();
  TMapping tile(1, 1);
  tile.Build(5, 10, {}, {RGB(1, 2, 3), RGB(4, 5, 6), 0, 0, 0}, 1, 1);
  TTexture picture(blackAndOrange(), 500, 500);
  EXPECT_EQ(std::tuple(view->TextureName(), tile.TexName(), picture.TexName()), std::tuple(0u, 0u, 0u));
  EXPECT_EQ(tile.Cells.size(), 2u) << "the tile is painted all the same";

  test::GlTestContext context;
  ASSERT_TRUE(context.valid());
  setCurrentRenderContext(context);
  view->Upload();
  picture.Bind();
  EXPECT_EQ(levelWidth(view->TextureName(), 0), 4);
  EXPECT_EQ(levelWidth(picture.TexName(), 0), 256) << "the first bind uploads";
  EXPECT_EQ(levelWidth(0, 0), 0) << "the default texture is untouched";
  const GLuint first = picture.TexName();
  picture.DeleteTexture();
  EXPECT_FALSE(glIsTexture(first));
  picture.Bind();
  EXPECT_TRUE(glIsTexture(picture.TexName())) << "binding again uploads again";
  withdrawRenderContext(context);
}

} // namespace
} // namespace vorlan
