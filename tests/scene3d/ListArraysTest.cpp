#include "SceneFixtures.h"

#include "gl/GlTestContext.h"
#include "scene3d/KX_OBJECTS.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

namespace vorlan {
namespace {

constexpr int kSide = 240;

// The lighting and depth test of the 3D view: two lights with a separate specular colour, so that the
// black outlines show highlights that depend on the normal they are drawn with.
void setUpLikeTheView() {
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45, 1, 1, 2000);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(100, -150, 120, 100, 60, 0, 0, 0, 1);
  const GLfloat specular[] = {0.6f, 0.6f, 0.6f, 1};
  glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT, GL_SHININESS, 10);
  glEnable(GL_COLOR_MATERIAL);
  glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
  for (GLenum light : {GL_LIGHT0, GL_LIGHT1}) {
    const GLfloat at[] = {light == GL_LIGHT0 ? -1.0f : 1.0f, -1, 1, 0};
    glLightfv(light, GL_POSITION, at);
    glLightfv(light, GL_SPECULAR, specular);
    glEnable(light);
  }
  glEnable(GL_LIGHTING);
}

// Runs of a thousand faces: plain fans, textured fans (the first starting with texturing switched
// on), then fans and polygons sent call by call, smooth or flat, most with their lifted outline.
TEST(ListArrays, CompiledFacesDrawThePixelsOfTheirCallsInOneList) {
  test::GlTestContext context{QSize(kSide, kSide)};
  ASSERT_TRUE(context.valid());
  setCurrentRenderContext(context);
  setUpLikeTheView();
  QImage picture(2, 2, QImage::Format_RGB32);
  picture.fill(Qt::yellow);
  picture.setPixelColor(1, 0, Qt::darkGreen);
  TEntity entity;
  test::addSheet(entity, 50, 70);
  for (std::size_t i = 0; i < entity.Faces.size(); ++i) {
    TFace& face = *entity.Faces[i];
    const std::size_t run = i / kFacesPerList;
    face.Textured = run == 1 || run == 2;
    face.HideEdges = run < 3 || i % 9 == 4;
    face.Tessellate = run < 3 || i % 5 != 0;
    face.Shading = static_cast<TShading>(i % 3);
    face.Color = {static_cast<std::uint8_t>(i * 37), 200, static_cast<std::uint8_t>(i * 11), 255};
  }
  entity.LoadTexture(picture, 8, 8);
  entity.Prepare();
  entity.ReleaseGlNames();
  entity.Texture->Bind(); // made again here rather than inside the list below
  const auto frame = [&](const auto& draw) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glShadeModel(GL_SMOOTH); // as every frame of the view starts: outlines leave it flat
    draw();
    return context.grab();
  };
  const auto draw = [&] { entity.Draw(true, false, true, true, true, false, 0); };
  // Inside a list being compiled the entity cannot compile its own: its calls go into that one.
  const GLuint oneList = glGenLists(1);
  glNewList(oneList, GL_COMPILE);
  draw();
  glEndList();
  ASSERT_FALSE(entity.FaceLists().Compiled());
  const QImage direct = frame([&] { glCallList(oneList); });
  glDeleteLists(oneList, 1);
  const QImage compiled = frame(draw);
  ASSERT_TRUE(entity.FaceLists().Compiled());
  int differing = 0, black = 0;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      differing += direct.pixel(x, y) != compiled.pixel(x, y);
      black += qRed(direct.pixel(x, y)) < 90 && qGreen(direct.pixel(x, y)) < 90;
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(black, kSide * 4) << "the outlines are drawn";
}

} // namespace
} // namespace vorlan
