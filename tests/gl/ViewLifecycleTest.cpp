#include "ViewTestHost.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QOpenGLContext>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace vorlan {
namespace {

using Views = std::vector<TGL_VIEW*>;

GlRenderContext* asContext(TGL_VIEW* view) {
  return view;
}

// How many feedback values one glyph list draws.
GLint feedbackOf(GLuint list) {
  std::vector<GLfloat> feedback(1 << 20);
  glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D, feedback.data());
  glRenderMode(GL_FEEDBACK);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 2, -1, 2, -10, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glCallList(list);
  return glRenderMode(GL_RENDER);
}

TEST(ViewLifecycle, InitialisationShowsTheWindowAndRegistersTheContextUntilItGoes) {
  {
    test::ViewHost host;
    host.view->Initialisation();
    EXPECT_TRUE(host.view->isVisible());
    EXPECT_NE(host.view->RC(), nullptr);
    EXPECT_EQ(currentRenderContext(), asContext(host.view));
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr) << "released afterwards";
    const GLuint glyphs = host.view->GlyphListBase();
    ASSERT_TRUE(glyphs != 0 && host.view->makeContextCurrent());
    EXPECT_TRUE(glIsList(glyphs) && glIsList(glyphs + 254));
    EXPECT_GT(feedbackOf(glyphs + 'o'), 0) << "an outline glyph has faces";
    EXPECT_EQ(feedbackOf(glyphs + ' '), 0);
    host.view->releaseContext();
  }
  EXPECT_EQ(currentRenderContext(), nullptr);
  // Once Qt announces that the context is about to go, the view is no longer handed out as current.
  test::ViewHost host;
  host.view->Initialisation();
  emit host.view->RC()->aboutToBeDestroyed();
  EXPECT_FALSE(currentRenderContext() || host.view->RC());
}

TEST(ViewLifecycle, ShareGroupKeepsBothSidesInStepAndItsLastInitialisationBuildsAllGrounds) {
  QWidget window;
  window.resize(600, 200);
  Views views;
  for (int i = 0; i < 3; ++i) {
    views.push_back(new TGL_VIEW(&window));
    views.back()->setGeometry(200 * i, 0, 200, 200);
  }
  auto [a, b, c] = std::tuple(views[0], views[1], views[2]);
  b->SetShareView(b);
  EXPECT_EQ(b->ShareView(), nullptr) << "a view is not its own master";
  b->SetShareView(c);
  b->SetShareView(a);
  EXPECT_EQ(c->SharedViews(), Views{});
  c->SetShareView(a);
  c->SetShareView(a);
  EXPECT_EQ(a->SharedViews(), (Views{b, c}));
  EXPECT_EQ(c->ShareView(), a);

  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  a->Initialisation();
  b->Initialisation();
  EXPECT_FALSE(a->Ground().ListBuilt()) << "c has no context yet";
  c->Initialisation();
  for (TGL_VIEW* view : views) {
    EXPECT_TRUE(view->Ground().ListBuilt());
    EXPECT_NE(view->BackGround().SunTexture(), nullptr);
  }

  delete b;
  EXPECT_EQ(a->SharedViews(), Views{c}) << "a destroyed member leaves its master's list";
  delete a;
  EXPECT_EQ(c->ShareView(), nullptr) << "a destroyed master leaves no dangling reference";
}

TEST(ViewLifecycle, PreviewOpensAStayOnTopCopyWithItsOwnCameraAndReadsFalse) {
  test::ViewHost host;
  ASSERT_TRUE(host.showActive());
  host.camera.Params().SetDistance(777);
  host.useTopView();
  host.view->Initialisation();
  host.view->SetReflection(true);
  host.view->BackGround().SetFirstColor(RGB(1, 2, 3));
  host.view->BackGround().SetStyle(CBackGroundStyle::UniformColor);

  host.view->SetPreview(true);
  EXPECT_FALSE(host.view->Preview());
  std::unique_ptr<QWidget> window;
  for (QWidget* candidate : QApplication::topLevelWidgets())
    if (candidate->windowTitle() == "Preview") window.reset(candidate);
  ASSERT_TRUE(window);
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  auto* preview = window->findChild<TGL_VIEW*>();
  ASSERT_TRUE(preview && preview->Initialised() && preview->Camera());
  EXPECT_NE(preview->Camera(), &host.camera);
  EXPECT_EQ(preview->Camera()->Params().Distance(), 777);
  EXPECT_TRUE(preview->Reflection());
  EXPECT_EQ(test::rgbAt(preview->grabFramebuffer(), 2, 2), 0x010203u) << "drawn with the copied colours";
  EXPECT_FALSE(preview->OnRedraw) << "handlers are not copied";
  EXPECT_EQ(currentRenderContext(), asContext(preview));
  window.reset();
  EXPECT_EQ(currentRenderContext(), asContext(host.view)) << "the source's context takes over again";
}

} // namespace
} // namespace vorlan
