#include "gl/KX_OpenGL_VIEW.h"

#include "gl/OutlineGlyphs.h"
#include "platform/SurfaceFormat.h"

#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <stdexcept>

namespace vorlan {
namespace {

constexpr int glyphCount = 255;
constexpr double glyphDepth = 0.1;
constexpr GLuint stencilMask = 0x7FFFFFFF;

// Flattens the scene onto z = 0 along the light: (x, y, z) -> (x - z, y + z, 0).
constexpr GLdouble shadowMatrix[16] = {0.577, 0, 0, 0, 0, 0.577, 0, 0, -0.577, 0.577, 0, 0, 0, 0, 0, 0.577};

void setLight(GLenum light, GLfloat level, const GLfloat (&position)[4]) {
  const GLfloat colour[4] = {level, level, level, 1};
  glLightfv(light, GL_AMBIENT, colour);
  glLightfv(light, GL_DIFFUSE, colour);
  glLightfv(light, GL_SPECULAR, colour);
  glLightfv(light, GL_POSITION, position);
}

void setClearColour(TColor colour) {
  glClearColor(GetRValue(colour) / 255.0f, GetGValue(colour) / 255.0f, GetBValue(colour) / 255.0f, 1);
}

// A separate top-level window showing a copy of a view through a copy of its camera.
class PreviewWindow : public QWidget {
public:
  explicit PreviewWindow(TGL_VIEW& source) : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Preview");
    resize(500, 350);
    if (const QScreen* display = screen())
      move(display->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    if (source.Camera()) source.Camera()->CopyTo(camera_);
    view_ = new TGL_VIEW(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    copySettings(source, *view_);
    view_->SetCamera(&camera_);
    view_->Initialisation();
    show();
  }

  // The view leaves the camera before the camera goes.
  ~PreviewWindow() override { delete view_; }

private:
  static void copySettings(TGL_VIEW& from, TGL_VIEW& to) {
    const TGL_BACKGROUND& background = from.BackGround();
    TGL_BACKGROUND& copy = to.BackGround();
    copy.SetShowLensFlare(background.ShowLensFlare());
    copy.SetShowSky(background.ShowSky());
    copy.SetFirstColor(background.FirstColor());
    copy.SetSecondColor(background.SecondColor());
    copy.SetSunX(background.SunX());
    copy.SetSunY(background.SunY());
    copy.SetSunZ(background.SunZ());
    copy.SetBackGroundImage(background.BackGroundImage());
    copy.SetStyle(background.Style());
    to.SetSkyMap(from.SkyMap());
    const TGL_GROUND& ground = from.Ground();
    to.Ground().SetStyle(ground.Style());
    to.Ground().SetActive(ground.Active());
    to.Ground().SetColor(ground.Color());
    to.Ground().SetGroundWidth(ground.GroundWidth());
    to.Ground().SetGroundUnit(ground.GroundUnit());
    to.SetReflection(from.Reflection());
    to.SetShadow(from.Shadow());
  }

  TGL_CAMERA camera_;
  TGL_VIEW* view_ = nullptr;
};

} // namespace

TGL_VIEW::TGL_VIEW(QWidget* parent)
    : QOpenGLWidget(parent), Ground_(std::make_unique<TGL_GROUND>(*this)),
      BackGround_(std::make_unique<TGL_BACKGROUND>(*this)) {
  setFormat(SceneSurfaceFormat());
  resize(300, 200);
  // Redraw draws ahead of Qt's paint event, which then presents the framebuffer as it stands.
  setUpdateBehavior(QOpenGLWidget::PartialUpdate);
  setFocusPolicy(Qt::ClickFocus);
  // Hosts see moves without a button too, as they would on any other control.
  setMouseTracking(true);
}

TGL_VIEW::~TGL_VIEW() {
  // The context outlives this body (QOpenGLWidget deletes it later); its signal must not reach a
  // half-destroyed view.
  if (context()) disconnect(context(), nullptr, this, nullptr);
  if (GlyphListBase_ != 0) {
    CurrentContextGuard guard(*this);
    if (guard.active()) glDeleteLists(GlyphListBase_, glyphCount);
  }
  Ground_.reset();
  BackGround_.reset();
  leaveShareGroup();
  if (Camera_) Camera_->RemoveView(*this);
  Camera_ = nullptr;
  withdrawRenderContext(*this);
}

void TGL_VIEW::Initialisation() {
  // Qt creates the context when the widget first shows on screen.
  if (!HeadlessContext_ && !context()) {
    show();
    window()->show();
  }
  {
    const CurrentContextGuard current(*this, ContextNeed::Own);
    if (!current.active()) throw std::runtime_error("The 3D view could not create its OpenGL context");
    RC_ = context();
    setCurrentRenderContext(*this);
    applyMaterials();
    if (GlyphListBase_ != 0) glDeleteLists(GlyphListBase_, glyphCount);
    QFont font("Arial");
    font.setWeight(QFont::Normal);
    GlyphListBase_ = BuildOutlineGlyphs(font, 0, glyphCount, glyphDepth);
  }
  Initialised_ = true;
  SetProjection();
  shareLists();
  Redraw();
}

void TGL_VIEW::initializeGL() {
  // The registration and RC go before the context does, so that nothing reaches for a dead one.
  connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &TGL_VIEW::forgetContext,
          Qt::DirectConnection);
}

void TGL_VIEW::forgetContext() {
  withdrawRenderContext(*this);
  RC_ = nullptr;
}

void TGL_VIEW::applyMaterials() {
  const GLfloat ambientAndDiffuse[4] = {0.4f, 0.4f, 0.4f, 1};
  const GLfloat specular[4] = {1, 1, 1, 1};
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, ambientAndDiffuse);
  glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT, GL_SHININESS, 10);
  glClearStencil(0);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

bool TGL_VIEW::makeContextCurrent() {
  if (HeadlessContext_) return HeadlessContext_->makeContextCurrent();
  if (!context()) return false;
  makeCurrent();
  return QOpenGLContext::currentContext() == context();
}

void TGL_VIEW::releaseContext() {
  // Qt keeps the context current around paintGL, and releasing a context that is not ours would
  // take another view's away.
  if (HeadlessContext_) {
    if (!inPass_) HeadlessContext_->releaseContext();
    return;
  }
  if (!inPass_ && context() && QOpenGLContext::currentContext() == context()) doneCurrent();
}

void TGL_VIEW::SetCamera(TGL_CAMERA* camera) {
  if (Camera_) Camera_->RemoveView(*this);
  Camera_ = camera;
  if (Camera_) Camera_->AddView(*this);
  Redraw();
}

void TGL_VIEW::SetReflection(bool value) {
  Reflection_ = value;
  Redraw();
}

void TGL_VIEW::SetShadow(bool value) {
  Shadow_ = value;
  Redraw();
}

void TGL_VIEW::SetProjection() {
  if (!readyToDraw()) return;
  const CurrentContextGuard current(*this, ContextNeed::Own);
  if (!current.active()) return;
  glViewport(0, 0, devicePixels(width()), devicePixels(height()));
  applyProjection();
  glFinish();
}

int TGL_VIEW::devicePixels(int logical) const {
  return qRound(logical * devicePixelRatioF());
}

void TGL_VIEW::applyProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  Camera_->ApplyProjection(width(), height());
  glMatrixMode(GL_MODELVIEW);
}

void TGL_VIEW::Redraw() {
  // The pass draws into the widget's framebuffer now, and its frame reaches the screen with the
  // next composition of the window: asking Qt to repaint instead would be refused while the last
  // frame is still being presented.
  if (inPass_ || !isVisible()) return;
  {
    const CurrentContextGuard current(*this, ContextNeed::Own);
    if (!current.active()) return;
    glViewport(0, 0, devicePixels(width()), devicePixels(height()));
    drawPass();
    frameReady_ = true;
  }
  update();
}

void TGL_VIEW::DrawHeadless() {
  const CurrentContextGuard current(*this, ContextNeed::Own);
  if (!current.active()) return;
  glViewport(0, 0, devicePixels(width()), devicePixels(height()));
  drawPass();
}

void TGL_VIEW::paintEvent(QPaintEvent* event) {
  const QScopedValueRollback<bool> presenting(presenting_, true);
  QOpenGLWidget::paintEvent(event);
}

void TGL_VIEW::paintGL() {
  // The paint event that presents the frame Redraw drew needs no pass of its own; any other
  // paint, grabFramebuffer() among them, draws afresh.
  if (presenting_ && std::exchange(frameReady_, false)) return;
  drawPass();
}

void TGL_VIEW::resizeGL(int, int) {
  // Qt made a new framebuffer: whatever Redraw left in the old one is gone.
  frameReady_ = false;
}

void TGL_VIEW::drawPass() {
  const QScopedValueRollback<bool> inPass(inPass_, true);
  if (!readyToDraw()) {
    paintNotReadyPicture();
    return;
  }
  // Every pass is also the control's paint handler: projection first.
  applyProjection();
  if (PaperMode_)
    paperPass();
  else
    renderPass();
}

void TGL_VIEW::raise(const TNotifyEvent& event) {
  if (event) event(*this);
}

void TGL_VIEW::raiseSceneRedraw() {
  raise(moving() ? OnMovingRedraw : OnRedraw);
}

void TGL_VIEW::renderPass() {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  if (BackGround_->Style() == CBackGroundStyle::UniformColor) setClearColour(BackGround_->FirstColor());
  // The stencil is cleared too: ground marks left from an earlier frame would let the mirror image
  // show where there is no ground now.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glEnable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT, GL_FILL);
  glShadeModel(GL_SMOOTH);
  Camera_->ApplyViewTransform();
  setLights();
  BackGround_->Draw();
  drawGroundAndScene();
  if (BackGround_->ShowLensFlare()) BackGround_->DrawLensFlare();
  raise(OnScreenRedraw);
  finishPass();
}

void TGL_VIEW::setLights() {
  setLight(GL_LIGHT0, 0.1f, {-30000, 30000, 30000, 0});
  glEnable(GL_LIGHT0);
  glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT1);
  setLight(GL_LIGHT1, 0.5f, {30000, -30000, 30000, 0});
}

void TGL_VIEW::drawGroundAndScene() {
  if (!Reflection_) {
    glEnable(GL_BLEND);
    Ground_->Draw();
    glPolygonMode(GL_FRONT, GL_FILL);
    shadowStep();
    raiseSceneRedraw();
    return;
  }
  // Seen from below the horizon the mirror would be seen from behind: no ground, mirror or shadow.
  if (Camera_->Params().Elevation() < 90) {
    if (moving()) {
      Ground_->Draw();
      glPolygonMode(GL_FRONT, GL_FILL);
    } else {
      drawReflectedScene();
    }
    shadowStep();
  }
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_BLEND);
  raiseSceneRedraw();
}

void TGL_VIEW::drawReflectedScene() {
  // Mark the ground's pixels in the stencil, without drawing them.
  glEnable(GL_STENCIL_TEST);
  glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
  glStencilFunc(GL_ALWAYS, 1, stencilMask);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  Ground_->Draw();
  glPolygonMode(GL_FRONT, GL_FILL);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glEnable(GL_DEPTH_TEST);
  // The scene mirrored in z = 0, drawn only there; mirroring turns its faces inside out.
  glStencilFunc(GL_EQUAL, 1, stencilMask);
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  glPushMatrix();
  glScaled(1, 1, -1);
  glPolygonMode(GL_BACK, GL_FILL);
  glCullFace(GL_FRONT);
  raise(OnReflectRedraw);
  glPolygonMode(GL_FRONT, GL_FILL);
  glCullFace(GL_BACK);
  glPopMatrix();
  // The ground again, translucent over its reflection.
  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  Ground_->Draw();
  glPolygonMode(GL_FRONT, GL_FILL);
  glDepthMask(GL_TRUE);
}

void TGL_VIEW::shadowStep() {
  if (!Shadow_ || Camera_->Params().Elevation() >= 100 || moving()) return;
  // The stencil counts up from 0, so each shadow pixel is darkened once however many faces cover it.
  glDisable(GL_LIGHTING);
  glStencilOp(GL_INCR, GL_INCR, GL_INCR);
  glStencilFunc(GL_EQUAL, 0, stencilMask);
  glClear(GL_STENCIL_BUFFER_BIT);
  glEnable(GL_STENCIL_TEST);
  glPushMatrix();
  glDisable(GL_DEPTH_TEST);
  glMultMatrixd(shadowMatrix);
  raise(OnShadowRedraw);
  glEnable(GL_DEPTH_TEST);
  glPopMatrix();
  glDisable(GL_STENCIL_TEST);
  glEnable(GL_LIGHTING);
}

void TGL_VIEW::paperPass() {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  Camera_->ApplyViewTransform();
  glClearColor(1, 1, 1, 1);
  glShadeModel(GL_FLAT);
  glEnable(GL_CULL_FACE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  glDepthFunc(GL_LEQUAL);
  glDepthRange(0, 1);
  // Faces pushed back fill the depth buffer, so that only the edges in front of them show.
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1, 1);
  glDisable(GL_LINE_SMOOTH);
  glDisable(GL_POINT_SMOOTH);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  raise(OnRedrawPaperFill);
  glDepthMask(GL_FALSE);
  glPolygonOffset(0, 0);
  glColor3d(0, 0, 0);
  raise(OnRedrawPaperLine);
  glDisable(GL_LINE_SMOOTH);
  glDisable(GL_POINT_SMOOTH);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glDepthMask(GL_TRUE);
  glDisable(GL_CULL_FACE);
  finishPass();
}

void TGL_VIEW::finishPass() {
  THomogeneousIntVector viewport{};
  THomogeneousDblMatrix modelview{}, projection{};
  glGetIntegerv(GL_VIEWPORT, viewport.data());
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview.data());
  glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
  glFinish();
  if (!OnDrawOnCanvas) return;
  prepareStateForPainter();
  QPainter painter(this);
  OnDrawOnCanvas(*this, painter, viewport, modelview, projection);
  painter.end();
  restoreStateAfterPainter();
}

QStringList TGL_VIEW::NotReadyTexts() const {
  return {Camera_ ? "Camera = " + Camera_->Name() : QString("There is no camera !!"),
          "Initialise the component with \"Initialisation\" in the creation!!",
          "Desinitialise the component with \"Destruction\" when closing the application!!"};
}

void TGL_VIEW::paintNotReadyPicture() {
  prepareStateForPainter();
  QPainter painter(this);
  painter.fillRect(rect(), QColor(0, 0, 255));
  painter.setPen(Qt::white);
  const int ascent = painter.fontMetrics().ascent();
  const QStringList lines = NotReadyTexts();
  for (int i = 0; i < lines.size(); ++i)
    painter.drawText(10, 10 + 20 * i + ascent, lines[i]);
  painter.end();
  restoreStateAfterPainter();
}

void TGL_VIEW::prepareStateForPainter() {
  // Qt's painter draws with shaders but still through these fixed-function switches, which the
  // passes leave set.
  glDisable(GL_CULL_FACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

void TGL_VIEW::restoreStateAfterPainter() {
  // The painter leaves its own blend function set, and culling off.
  applyMaterials();
}

void TGL_VIEW::shareLists() {
  TGL_VIEW& master = ShareView_ ? *ShareView_ : *this;
  const auto hasContext = [](const TGL_VIEW* view) { return view->RC_ || view->HeadlessContext_; };
  if (!hasContext(&master) ||
      !std::all_of(master.SharedViews_.begin(), master.SharedViews_.end(), hasContext))
    return;
  // Every context of the process shares one namespace already; what remains is each view's own
  // ground and background.
  master.rebuildGroundAndBackground();
  for (TGL_VIEW* view : master.SharedViews_)
    view->rebuildGroundAndBackground();
}

void TGL_VIEW::rebuildGroundAndBackground() {
  const CurrentContextGuard current(*this, ContextNeed::Own);
  if (!current.active()) return;
  Ground_->Rebuild();
  BackGround_->Rebuild();
}

void TGL_VIEW::SetShareView(TGL_VIEW* value) {
  if (value == this) return;
  if (ShareView_) std::erase(ShareView_->SharedViews_, this);
  ShareView_ = value;
  if (value &&
      std::find(value->SharedViews_.begin(), value->SharedViews_.end(), this) == value->SharedViews_.end())
    value->SharedViews_.push_back(this);
}

void TGL_VIEW::leaveShareGroup() {
  for (TGL_VIEW* view : SharedViews_)
    view->ShareView_ = nullptr;
  SharedViews_.clear();
  if (ShareView_) std::erase(ShareView_->SharedViews_, this);
  ShareView_ = nullptr;
}

void TGL_VIEW::SetPreview(bool value) {
  if (value) new PreviewWindow(*this);
}

void TGL_VIEW::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const TShiftState shift = ShiftStateFrom(event->modifiers(), event->buttons());
  Dragging_ = true;
  if (Camera_) {
    Camera_->SetLastX(at.x());
    Camera_->SetLastY(at.y());
  }
  setFocus(Qt::MouseFocusReason);
  if (DrawMode_ == CViewMode::SELECT) SelectOnPress(event->button(), shift, at.x(), at.y());
  if (OnMouseDown) OnMouseDown(*this, event->button(), shift, at.x(), at.y());
}

void TGL_VIEW::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const TShiftState shift = ShiftStateFrom(event->modifiers(), event->buttons());
  if (OnMouseMove) OnMouseMove(*this, shift, at.x(), at.y());
  if (!Dragging_ || !canNavigate()) return;
  Camera_->NavigateMouse(NavigationState(shift), at.x(), at.y());
  Redraw();
}

TShiftState TGL_VIEW::NavigationState(TShiftState shift) {
  // Many window managers take Alt + drag for themselves: the middle button alone pans as Alt with
  // the left button does.
  if (shift.Middle && !shift.Left && !shift.Right) {
    shift = TShiftState{};
    shift.Left = true;
    shift.Alt = true;
  }
  return shift;
}

void TGL_VIEW::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (OnMouseUp)
    OnMouseUp(*this, event->button(), ShiftStateFrom(event->modifiers(), event->buttons()), at.x(), at.y());
  Dragging_ = false;
  // Whichever widget has the keyboard focus, the drag ends with the full picture.
  if (DrawMode_ != CViewMode::SELECT) applyScaleOfDistance();
  Redraw();
}

void TGL_VIEW::applyScaleOfDistance() {
  // A zero distance would give an infinite scale and an empty picture: the scale is kept then.
  if (!Camera_ || Camera_->Params().Distance() <= 0) return;
  Camera_->SetScale(1 / Camera_->Params().Distance());
  SetProjection();
}

void TGL_VIEW::wheelEvent(QWheelEvent* event) {
  const int turn = event->angleDelta().y();
  if (Dragging_ || turn == 0 || !canNavigate()) {
    event->ignore();
    return;
  }
  // One notch is one step of a right-button drag: away from the user brings the scene closer.
  TShiftState shift;
  shift.Right = true;
  const int lastX = Camera_->LastX();
  const int lastY = Camera_->LastY();
  Camera_->SetLastY(0);
  Camera_->NavigateMouse(shift, lastX, turn > 0 ? -1 : 1);
  Camera_->SetLastX(lastX);
  Camera_->SetLastY(lastY);
  applyScaleOfDistance();
  Redraw();
}

} // namespace vorlan
