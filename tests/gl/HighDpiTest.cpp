#include "gl/KX_OpenGL_VIEW.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <GL/gl.h>

#include <gtest/gtest.h>

namespace vorlan {
namespace {

// Logical size of the view; at scale factor 2 its framebuffer is twice as large each way.
constexpr int side = 200;
constexpr int devicePixels = 2 * side;

// Qt reads QT_SCALE_FACTOR once, when the application object starts: the test runs again in a child of
// this program started with it. True in the parent, which then has nothing more to do.
bool ranInChildAtScaleTwo() {
  if (qgetenv("QT_SCALE_FACTOR") == "2") return false;
  const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_SCALE_FACTOR", "2");
  QProcess child;
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(),
              {QString("--gtest_filter=%1.%2").arg(test.test_suite_name(), test.name())});
  const bool finished = child.waitForFinished(120000);
  const std::string output = QString::fromLocal8Bit(child.readAll()).toStdString();
  EXPECT_TRUE(finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0) << output;
  EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
  return true;
}

bool near(std::uint32_t rgb, std::uint32_t expected) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((rgb >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF)) > 12)
      return false;
  return true;
}

// A top view looking down -Z through an orthographic box of -500..500. Every GL pass that sizes something
// must take the viewport's device pixels, not the widget's logical size.
TEST(HighDpiView, BackgroundsFillEveryDevicePixelAndTheFlareReadsTheSunsOwnPixel) {
  if (ranInChildAtScaleTwo()) return;
  QWidget window;
  window.resize(side, side);
  TGL_CAMERA camera;
  auto* view = new TGL_VIEW(&window);
  view->setGeometry(0, 0, side, side);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_EQ(view->devicePixelRatio(), 2);
  view->Initialisation();
  camera.SetStyle(CStyle::normal);
  view->SetCamera(&camera);
  view->SetProjection();
  const auto grab = [&] {
    const QImage picture = view->grabFramebuffer();
    EXPECT_EQ(picture.size(), QSize(devicePixels, devicePixels)) << "the capture has every device pixel";
    return picture;
  };

  TGL_BACKGROUND& background = view->BackGround();
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
  const int low = 6, high = devicePixels - 1 - low;
  for (const auto& [name, x, y, inGradient, inPicture] :
       {std::tuple{"top left", low, low, 0xFF0000u, 0xFF0000u},
        {"top right", high, low, 0xFF0000, 0x00FF00},
        {"bottom left", low, high, 0x0000FF, 0x0000FF},
        {"bottom right", high, high, 0x0000FF, 0xFFFFFF}}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(near(test::rgbAt(gradient, x, y), inGradient)) << std::hex << test::rgbAt(gradient, x, y);
    EXPECT_TRUE(near(test::rgbAt(picture, x, y), inPicture)) << std::hex << test::rgbAt(picture, x, y);
  }

  // The sun at the centre of the framebuffer, with or without the model in front of it.
  background.SetStyle(CBackGroundStyle::UniformColor);
  background.SetFirstColor(RGB(0, 0, 0));
  background.SetSunX(0);
  background.SetSunY(0);
  background.SetSunZ(-90);
  background.SetRandomSource([] { return 0.5; });
  for (bool covered : {false, true}) {
    SCOPED_TRACE(covered ? "covered" : "uncovered");
    view->OnRedraw = [covered](TGL_VIEW&) {
      if (!covered) return;
      glDisable(GL_CULL_FACE);
      glPushMatrix();
      glTranslated(0, 0, -10); // in front of the sun
      glRectd(-100, -100, 100, 100);
      glPopMatrix();
    };
    background.SetShowLensFlare(false);
    const QImage without = grab();
    background.SetShowLensFlare(true);
    EXPECT_EQ(grab() == without, covered);
  }
  delete view; // before its camera
}

} // namespace
} // namespace vorlan
