#include "gl/KX_OpenGL_VIEW.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <memory>

namespace vorlan {
namespace {

// Logical size of the view; at scale factor 2 its framebuffer is twice as large each way.
constexpr int side = 200;
constexpr int devicePixels = 2 * side;

bool atScaleTwo() {
  return qgetenv("QT_SCALE_FACTOR") == "2";
}

// Qt reads QT_SCALE_FACTOR once, when the application object starts: the calling test runs again
// in a child of this program started with it. True in the parent, which then has nothing more to do.
bool ranInChildAtScaleTwo() {
  if (atScaleTwo()) return false;
  const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_SCALE_FACTOR", "2");
  QProcess child;
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(),
              {QString("--gtest_filter=%1.%2").arg(test.test_suite_name(), test.name())});
  const bool finished = child.waitForFinished(120000);
  const QString output = QString::fromLocal8Bit(child.readAll());
  EXPECT_TRUE(finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
      << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
  return true;
}

// A top view looking down -Z through an orthographic box of -500..500; z in -100..-0.01 is in range.
class HighDpiView : public testing::Test {
protected:
  void SetUp() override {
    if (!atScaleTwo()) return;
    window_.resize(side, side);
    view_ = std::make_unique<TGL_VIEW>(&window_);
    view_->setGeometry(0, 0, side, side);
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    ASSERT_EQ(view_->devicePixelRatio(), 2);
    view_->Initialisation();
    camera_.SetStyle(CStyle::normal);
    view_->SetCamera(&camera_);
    view_->SetProjection();
  }

  // The view goes before its camera.
  void TearDown() override { view_.reset(); }

  QImage grab() {
    const QImage picture = view_->grabFramebuffer();
    EXPECT_EQ(picture.size(), QSize(devicePixels, devicePixels)) << "the capture has every device pixel";
    return picture;
  }

  QWidget window_;
  TGL_CAMERA camera_;
  std::unique_ptr<TGL_VIEW> view_;
};

bool near(std::uint32_t rgb, std::uint32_t expected) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((rgb >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF)) > 12)
      return false;
  return true;
}

struct Corner {
  const char* name;
  int x, y;
};
constexpr int inset = 6;
constexpr Corner corners[] = {{"top left", inset, inset},
                              {"top right", devicePixels - 1 - inset, inset},
                              {"bottom left", inset, devicePixels - 1 - inset},
                              {"bottom right", devicePixels - 1 - inset, devicePixels - 1 - inset}};

TEST_F(HighDpiView, GradientAndPictureBackgroundsFillTheWholeFramebuffer) {
  if (ranInChildAtScaleTwo()) return;
  TGL_BACKGROUND& background = view_->BackGround();
  background.SetSunZ(1e9); // far behind the eye: no sun disc over the corners
  background.SetFirstColor(RGB(255, 0, 0));
  background.SetSecondColor(RGB(0, 0, 255));
  background.SetStyle(CBackGroundStyle::GradualColors);
  const QImage gradient = grab();

  QImage quadrants(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      quadrants.setPixel(x, y, y < 32 ? (x < 32 ? 0xFF0000 : 0x00FF00) : (x < 32 ? 0x0000FF : 0xFFFFFF));
  background.SetBackGroundImage(quadrants);
  background.SetStyle(CBackGroundStyle::BackImage);
  const QImage picture = grab();

  const std::uint32_t gradientAt[] = {0xFF0000, 0xFF0000, 0x0000FF, 0x0000FF};
  const std::uint32_t pictureAt[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(corners[i].name);
    EXPECT_TRUE(near(test::rgbAt(gradient, corners[i].x, corners[i].y), gradientAt[i]))
        << std::hex << test::rgbAt(gradient, corners[i].x, corners[i].y);
    EXPECT_TRUE(near(test::rgbAt(picture, corners[i].x, corners[i].y), pictureAt[i]))
        << std::hex << test::rgbAt(picture, corners[i].x, corners[i].y);
  }
}

// The flare reads the depth under the sun to see whether the model hides it: it must read the
// sun's own device pixel, here the centre of the framebuffer.
TEST_F(HighDpiView, ModelInFrontOfTheSunHidesTheFlare) {
  if (ranInChildAtScaleTwo()) return;
  TGL_BACKGROUND& background = view_->BackGround();
  background.SetStyle(CBackGroundStyle::UniformColor);
  background.SetFirstColor(RGB(0, 0, 0));
  background.SetSunX(0);
  background.SetSunY(0);
  background.SetSunZ(-90);
  background.SetRandomSource([] { return 0.5; });
  for (bool covered : {false, true}) {
    SCOPED_TRACE(covered ? "covered" : "uncovered");
    view_->OnRedraw = [covered](TGL_VIEW&) {
      if (!covered) return;
      glPushAttrib(GL_ENABLE_BIT);
      glDisable(GL_LIGHTING);
      glDisable(GL_CULL_FACE);
      glColor3ub(0, 128, 0);
      glBegin(GL_QUADS); // in front of the sun
      glVertex3d(-100, -100, -10);
      glVertex3d(100, -100, -10);
      glVertex3d(100, 100, -10);
      glVertex3d(-100, 100, -10);
      glEnd();
      glPopAttrib();
    };
    background.SetShowLensFlare(false);
    const QImage without = grab();
    background.SetShowLensFlare(true);
    const QImage with = grab();
    EXPECT_EQ(with == without, covered);
  }
}

} // namespace
} // namespace vorlan
