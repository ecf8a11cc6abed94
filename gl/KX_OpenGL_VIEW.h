#pragma once

#include "gl/GlContext.h"
#include "gl/KX_OpenGL_BACKGROUND.h"
#include "gl/KX_OpenGL_CAMERA.h"
#include "gl/KX_OpenGL_GROUND.h"
#include "gl/KX_OpenGL_SELECTION.h"

#include <QImage>
#include <QOpenGLWidget>
#include <QStringList>

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace vorlan {

enum class CViewMode { DRAW, RENDER, SELECT };

// Viewport (x, y, width, height) and a 4 x 4 matrix in OpenGL's column-major order.
using THomogeneousIntVector = std::array<std::int32_t, 4>;
using THomogeneousDblMatrix = std::array<double, 16>;

// A widget that owns one OpenGL context and draws a 3D scene in it: background, sky, sun, ground,
// reflection, shadow and lens flare of its own, and the model through its host's event handlers,
// which it calls at fixed points of each pass. It navigates with the mouse through its camera and
// picks objects the host names while drawing.
//
// Redraw runs a pass at once into the widget's framebuffer, which Qt then presents. grabFramebuffer()
// runs a pass of its own and returns exactly what it draws, the paper pass and the 2D overlay
// included.
class TGL_VIEW : public QOpenGLWidget, public TGL_ViewLink, public TGL_GroundHost, public GlRenderContext {
  Q_OBJECT
public:
  using TNotifyEvent = std::function<void(TGL_VIEW& Sender)>;
  using TDrawOnCanvas =
      std::function<void(TGL_VIEW& Sender, QPainter& C, const THomogeneousIntVector& viewport,
                         const THomogeneousDblMatrix& mvmatrix, const THomogeneousDblMatrix& projmatrix)>;
  using TSelectionSorting = std::function<void(TGL_VIEW& Sender, TObjectSelectList& Sellist)>;
  using TSelectionObjet = std::function<void(TGL_VIEW& Sender, const TObjectSelect& OBJ)>;
  using TSelectionTest =
      std::function<void(TGL_VIEW& Sender, Qt::MouseButton Button, const TShiftState& Shift, int x, int y)>;
  using TMouseEvent =
      std::function<void(TGL_VIEW& Sender, Qt::MouseButton Button, const TShiftState& Shift, int X, int Y)>;
  using TMouseMoveEvent = std::function<void(TGL_VIEW& Sender, const TShiftState& Shift, int X, int Y)>;

  explicit TGL_VIEW(QWidget* parent = nullptr);
  ~TGL_VIEW() override;

  // Creates the context (showing the window when it is not shown yet), sets the materials, builds
  // the font glyphs, registers the context as the current 3D rendering context, sets the projection,
  // completes the list sharing of its group and redraws. Throws when no context can be had.
  void Initialisation();
  bool Initialised() const override { return Initialised_; }

  TGL_CAMERA* Camera() const override { return Camera_; }
  void SetCamera(TGL_CAMERA* camera) override;
  int Width() const override { return width(); }
  int Height() const override { return height(); }
  void SetProjection() override;
  // Runs one pass now, the paper pass in PaperMode and the render pass otherwise; its frame reaches
  // the screen with the window's next composition. Nothing happens while the view is hidden.
  void Redraw() override;
  // Draws into `context` (whose framebuffer has the view's size) instead of a context of its own, so
  // that a view that never shows can render without any display; set before Initialisation.
  void UseHeadlessContext(GlRenderContext& context) { HeadlessContext_ = &context; }
  // Runs one pass now into the headless context's framebuffer.
  void DrawHeadless();

  TGL_GROUND& Ground() { return *Ground_; }
  const TGL_GROUND& Ground() const { return *Ground_; }
  TGL_BACKGROUND& BackGround() { return *BackGround_; }
  const TGL_BACKGROUND& BackGround() const { return *BackGround_; }

  bool Dragging() const { return Dragging_; }
  bool Reflection() const { return Reflection_; }
  void SetReflection(bool value);
  bool Shadow() const { return Shadow_; }
  void SetShadow(bool value);
  CViewMode DrawMode() const { return DrawMode_; }
  void SetDrawMode(CViewMode value) { DrawMode_ = value; }
  bool PaperMode() const { return PaperMode_; }
  void SetPaperMode(bool value) { PaperMode_ = value; }

  const QImage& SkyMap() const override { return SkyMap_; }
  // A null image clears it.
  void SetSkyMap(const QImage& value) { SkyMap_ = value; }

  // The master view whose lists this view shares, and the views that share this one's.
  TGL_VIEW* ShareView() const { return ShareView_; }
  // Ignores the view itself; nothing detaches the view from its master.
  void SetShareView(TGL_VIEW* value);
  const std::vector<TGL_VIEW*>& SharedViews() const { return SharedViews_; }

  // Always false: setting it true opens a preview window with a copy of this view and its camera.
  bool Preview() const { return false; }
  void SetPreview(bool value);

  // The context, or nullptr before Initialisation and once it is gone. Hosts make it current with
  // makeContextCurrent and releaseContext.
  QOpenGLContext* RC() const { return RC_; }
  bool makeContextCurrent() override;
  void releaseContext() override;
  GlRenderContext& OwnContext() override { return *this; }

  // First of the 255 display lists holding the outline glyphs of characters 0..254; 0 before
  // Initialisation.
  GLuint GlyphListBase() const { return GlyphListBase_; }
  // The three lines of the picture shown while the view cannot draw.
  QStringList NotReadyTexts() const;

  // Selection state (DrawMode SELECT).
  const TObjectSelectList& PickList() const { return PickList_; }
  const TObjectSelectList& SelectedList() const { return SelectedList_; }
  int PickCycle() const { return PickCycle_; }
  // The record the selection events report, if any.
  const std::optional<TObjectSelect>& Current() const { return Current_; }
  bool TempSelecting() const { return TempSelecting_; }
  // Fills PickList with the objects drawn within 7 pixels of window position (X, Y); false when
  // nothing was hit, or when the view is not initialised or has no camera (PickList is then kept).
  bool Pick(int X, int Y);

  TNotifyEvent OnRedraw;
  TNotifyEvent OnReflectRedraw;
  TNotifyEvent OnShadowRedraw;
  TNotifyEvent OnScreenRedraw;
  TNotifyEvent OnMovingRedraw;
  TNotifyEvent OnSelectRedraw;
  TNotifyEvent OnRedrawPaperFill;
  TNotifyEvent OnRedrawPaperLine;
  TSelectionSorting OnSortSelectionList;
  TSelectionSorting OnDeselectAll;
  TSelectionObjet OnSelectObject;
  TSelectionObjet OnSelectTempObject;
  TDrawOnCanvas OnDrawOnCanvas;
  TSelectionTest OnSelectTest;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

protected:
  void initializeGL() override;
  void paintEvent(QPaintEvent* event) override;
  void paintGL() override;
  void resizeGL(int w, int h) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  // The provisional choice of a multiple hit is announced with the system beep.
  virtual void Beep();

private:
  bool readyToDraw() const { return Initialised_ && Camera_; }
  bool moving() const { return Dragging_; }
  bool canNavigate() const { return Initialised_ && Camera_ && DrawMode_ == CViewMode::RENDER; }
  static TShiftState NavigationState(TShiftState shift);
  // The perspective keeps its size at the camera's new distance.
  void applyScaleOfDistance();
  int devicePixels(int logical) const;
  void forgetContext();
  void applyMaterials();
  void applyProjection();
  void raise(const TNotifyEvent& event);
  void raiseSceneRedraw();

  void drawPass();
  void renderPass();
  void setLights();
  void drawGroundAndScene();
  void drawReflectedScene();
  void shadowStep();
  void paperPass();
  void finishPass();
  void paintNotReadyPicture();
  void prepareStateForPainter();
  void restoreStateAfterPainter();

  void shareLists();
  void rebuildGroundAndBackground();
  void leaveShareGroup();

  // Selection, in KX_OpenGL_SELECTION.cpp.
  void selectionPass();
  void applyPickProjection(int X, int Y, THomogeneousIntVector viewport);
  void SelectOnPress(Qt::MouseButton button, const TShiftState& shift, int X, int Y);
  void selectUnderCursor(bool ctrl, int X, int Y);
  void toggleSelected(const TObjectSelect& object);
  void confirmTempChoice(bool ctrl);
  void cycleTempChoice();
  void DeselectAll();
  void raise(const TSelectionObjet& event, const TObjectSelect& object);

  bool Initialised_ = false;
  TGL_CAMERA* Camera_ = nullptr;
  std::unique_ptr<TGL_GROUND> Ground_;
  std::unique_ptr<TGL_BACKGROUND> BackGround_;
  bool Dragging_ = false;
  bool Reflection_ = false;
  bool Shadow_ = false;
  std::vector<TGL_VIEW*> SharedViews_;
  TGL_VIEW* ShareView_ = nullptr;
  CViewMode DrawMode_ = CViewMode::RENDER;
  QImage SkyMap_;
  TObjectSelectList PickList_;
  int PickCycle_ = 0;
  std::optional<TObjectSelect> Current_;
  bool TempSelecting_ = false;
  QOpenGLContext* RC_ = nullptr;
  GlRenderContext* HeadlessContext_ = nullptr;
  TObjectSelectList SelectedList_;
  bool PaperMode_ = false;
  GLuint GlyphListBase_ = 0;
  // True while a pass runs: nothing inside may release the context or start another pass.
  bool inPass_ = false;
  // The framebuffer holds the frame of the last Redraw, not yet presented.
  bool frameReady_ = false;
  // True while Qt paints the widget for the screen.
  bool presenting_ = false;
};

} // namespace vorlan
