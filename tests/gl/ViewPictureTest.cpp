#include "ViewTestHost.h"
#include "support/TestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

using test::pixelOf;

constexpr std::uint32_t blue = 0x0000FF, white = 0xFFFFFF, black = 0x000000;

std::uint32_t rgbAt(const QImage& image, QPoint at) {
  return test::rgbAt(image, at.x(), at.y());
}

int lightPixelsInRows(const QImage& image, int top, int bottom) {
  int count = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < image.width(); ++x)
      count += qGray(image.pixel(x, y)) > 128;
  return count;
}

bool darkWithin(const QImage& image, QPoint at, int radius) {
  for (int y = at.y() - radius; y <= at.y() + radius; ++y)
    for (int x = at.x() - radius; x <= at.x() + radius; ++x)
      if (qGray(image.pixel(x, y)) < 64) return true;
  return false;
}

class ViewPicture : public testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(host.showActive()); }

  void useUniformBackground(TColor colour) {
    host.view->BackGround().SetStyle(CBackGroundStyle::UniformColor);
    host.view->BackGround().SetFirstColor(colour);
  }

  QImage grab() { return host.view->grabFramebuffer(); }

  test::ViewHost host;
};

TEST_F(ViewPicture, NotReadyPictureIsBlueWithThreeLinesNamingTheCamera) {
  for (const auto& [initialise, camera, firstLine] : {std::tuple{false, false, "There is no camera !!"},
                                                      {false, true, "Camera = TestCamera"},
                                                      {true, false, "There is no camera !!"}}) {
    SCOPED_TRACE(std::string(firstLine) + (initialise ? ", initialised" : ""));
    if (initialise) host.view->Initialisation();
    host.view->SetCamera(camera ? &host.camera : nullptr);
    EXPECT_EQ(host.view->NotReadyTexts().value(0), firstLine);
    const QImage picture = grab();
    EXPECT_EQ(std::pair(rgbAt(picture, {0, 0}), rgbAt(picture, {399, 399})), std::pair(blue, blue));
    for (int top : {10, 30, 50})
      EXPECT_GT(lightPixelsInRows(picture, top, top + 18), 20) << "text at y " << top;
    EXPECT_EQ(lightPixelsInRows(picture, 80, test::viewSide), 0);
  }
}

// The overlay is painted with Qt's painter over the finished frame; the next frame must still draw
// its fixed-function scene, which state left behind by the painter would spoil.
TEST_F(ViewPicture, UniformColourSceneAndOverlaySurviveEachOther) {
  useUniformBackground(RGB(10, 200, 30));
  host.useTopView();
  host.view->Initialisation();
  host.view->OnRedraw = [](TGL_VIEW&) {
    glColor3d(1, 0, 0);
    test::drawSquare(0, 0, -10, 100);
  };
  THomogeneousIntVector viewport{};
  THomogeneousDblMatrix projection{};
  host.view->OnDrawOnCanvas = [&](TGL_VIEW&, QPainter& canvas, const THomogeneousIntVector& v,
                                  const THomogeneousDblMatrix&, const THomogeneousDblMatrix& p) {
    canvas.fillRect(0, 0, 20, 20, Qt::yellow);
    viewport = v;
    projection = p;
  };
  for (int frame = 0; frame < 2; ++frame) {
    SCOPED_TRACE(frame);
    const QImage picture = grab();
    EXPECT_EQ(rgbAt(picture, {390, 390}), 0x0AC81Eu) << "FirstColor";
    const QRgb scene = picture.pixel(pixelOf(0, 0));
    EXPECT_TRUE(qRed(scene) > 200 && qGreen(scene) < 100) << std::hex << scene;
    EXPECT_EQ(rgbAt(picture, {5, 5}), 0xFFFF00u) << "overlay";
    EXPECT_EQ(viewport, (THomogeneousIntVector{0, 0, test::viewSide, test::viewSide}));
    EXPECT_NEAR(projection[0], 2.0 / 1000, 1e-9) << "the camera's orthographic box";
  }
}

// A grey square ground below z = 0, seen by a polar camera orbiting a point 1000 above it.
TEST_F(ViewPicture, GroundDrawsUnlessMirroredFromBelowTheHorizon) {
  host.camera.Params().SetPan_v(0);
  host.camera.Position().SetZ(1000);
  useUniformBackground(0);
  host.view->BackGround().SetSunZ(-1e9); // the sun disc out of the picture
  host.view->SetCamera(&host.camera);
  host.view->Initialisation();
  for (const auto& [active, reflection, elevation, groundSeen] : {std::tuple{true, false, 60, true},
                                                                  {true, true, 60, true},
                                                                  {true, false, 95, true},
                                                                  {true, true, 95, false},
                                                                  {false, false, 60, false}}) {
    SCOPED_TRACE(testing::Message() << active << reflection << " elevation " << elevation);
    host.view->Ground().SetActive(active);
    host.view->SetReflection(reflection);
    host.camera.Params().SetElevation(elevation);
    const QImage picture = grab();
    if (groundSeen)
      EXPECT_GT(qGray(picture.pixel(200, 390)), 60);
    else
      EXPECT_EQ(rgbAt(picture, {200, 390}), black);
  }
}

// Ground marks left in the stencil by an earlier frame must not let the mirror image through.
TEST_F(ViewPicture, MirrorImageShowsOnlyWhereThisFrameDrewGround) {
  useUniformBackground(0);
  host.view->SetReflection(true);
  host.useTopView();
  host.view->Initialisation();
  host.view->OnReflectRedraw = [](TGL_VIEW&) {
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glColor3d(1, 0, 0);
    test::drawSquare(0, 0, 10, 400); // mirrored in z = 0, in view at z = -10
  };
  ASSERT_TRUE(host.view->makeContextCurrent());
  glClearStencil(1);
  glClear(GL_STENCIL_BUFFER_BIT);
  glClearStencil(0);
  host.view->releaseContext();
  EXPECT_EQ(rgbAt(grab(), {200, 200}), black) << "no Active ground, nothing to mirror in";
}

TEST_F(ViewPicture, PaperPassHidesEdgesBehindFacesAndDrawsTheOthersBlack) {
  host.useTopView();
  host.view->Initialisation();
  host.view->SetPaperMode(true);
  host.view->OnRedrawPaperFill = [](TGL_VIEW&) {
    glColor3d(1, 1, 1);
    test::drawSquare(-150, 0, -20, 100);
  };
  host.view->OnRedrawPaperLine = [](TGL_VIEW&) {
    glBegin(GL_LINES);
    glVertex3d(-250, 100, -20); // the face's own top edge
    glVertex3d(-50, 100, -20);
    glVertex3d(-200, 50, -50); // further away, passing under the face and out beyond it
    glVertex3d(100, 50, -50);
    glEnd();
  };
  const QImage picture = grab();
  EXPECT_EQ(rgbAt(picture, {390, 390}), white) << "paper";
  EXPECT_EQ(rgbAt(picture, pixelOf(-150, -50)), white) << "face";
  EXPECT_TRUE(darkWithin(picture, pixelOf(-150, 100), 1)) << "edge on the face";
  EXPECT_TRUE(darkWithin(picture, pixelOf(50, 50), 1)) << "far edge where nothing covers it";
  EXPECT_FALSE(darkWithin(picture, pixelOf(-150, 50), 2)) << "far edge under the face";
}

} // namespace
} // namespace vorlan
