#include "gl/KX_OpenGL_BACKGROUND.h"

#include "gl/KX_OpenGL_TEXTURE.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <optional>
#include <random>

namespace vorlan {
namespace {

constexpr int sunTextureSize = 256;
// The sky is a textured square high above the scene.
constexpr double skyHeight = 50000;
constexpr double skyHalf = 1000000;
// Flare elements lie in front of everything the background drew and behind the near plane.
constexpr double flareDepth = 0.8;
constexpr double gradientDepth = 0.8;
constexpr double farDepth = 1;
constexpr int circleSegments = 64;
constexpr int streakCount = 1280;
constexpr double twoPi = 2 * std::numbers::pi;

struct TWindowPoint {
  double x, y, z;
};

struct TFlareColor {
  GLubyte r, g, b, a;
};

// Maps window coordinates to world coordinates and back with the matrices current when it was read.
class WindowMapping {
public:
  static WindowMapping current() {
    WindowMapping mapping;
    glGetIntegerv(GL_VIEWPORT, mapping.viewport_);
    glGetDoublev(GL_MODELVIEW_MATRIX, mapping.modelview_);
    glGetDoublev(GL_PROJECTION_MATRIX, mapping.projection_);
    return mapping;
  }

  std::optional<TWindowPoint> project(double x, double y, double z) const {
    TWindowPoint p{};
    if (!gluProject(x, y, z, modelview_, projection_, viewport_, &p.x, &p.y, &p.z)) return std::nullopt;
    return p;
  }

  // A vertex at window position (x, y) and window depth z.
  void vertexAt(double x, double y, double z) const {
    double wx = 0, wy = 0, wz = 0;
    gluUnProject(x, y, z, modelview_, projection_, viewport_, &wx, &wy, &wz);
    glVertex3d(wx, wy, wz);
  }

  // The viewport is in device pixels, like every window position this mapping gives or takes: on a
  // high-DPI screen the widget's own size is only part of it.
  int width() const { return viewport_[2]; }
  int height() const { return viewport_[3]; }

private:
  GLint viewport_[4]{};
  GLdouble modelview_[16]{};
  GLdouble projection_[16]{};
};

void colour(TColor value) {
  glColor3ub(static_cast<GLubyte>(GetRValue(value)), static_cast<GLubyte>(GetGValue(value)),
             static_cast<GLubyte>(GetBValue(value)));
}

void colour(TFlareColor c) {
  glColor4ub(c.r, c.g, c.b, c.a);
}

// Window y grows upwards, so the first colour is the top edge.
void drawGradient(const WindowMapping& window, double W, double H, TColor top, TColor bottom) {
  glBegin(GL_POLYGON);
  colour(bottom);
  window.vertexAt(0, 0, gradientDepth);
  window.vertexAt(W, 0, gradientDepth);
  colour(top);
  window.vertexAt(W, H, gradientDepth);
  window.vertexAt(0, H, gradientDepth);
  glEnd();
}

// The whole texture over the window rectangle (x0, y0)-(x1, y1) at window depth z.
void texturedWindowRect(const WindowMapping& window, double x0, double y0, double x1, double y1, double z) {
  glBegin(GL_POLYGON);
  glTexCoord2d(0, 0);
  window.vertexAt(x0, y0, z);
  glTexCoord2d(1, 0);
  window.vertexAt(x1, y0, z);
  glTexCoord2d(1, 1);
  window.vertexAt(x1, y1, z);
  glTexCoord2d(0, 1);
  window.vertexAt(x0, y1, z);
  glEnd();
}

void drawImage(const WindowMapping& window, double W, double H, const TGL_TEXTURE& image) {
  glShadeModel(GL_SMOOTH);
  glDisable(GL_DEPTH_TEST);
  image.Bind();
  glColor3ub(255, 255, 255);
  texturedWindowRect(window, 0, 0, W, H, farDepth);
  image.Unbind();
  glEnable(GL_DEPTH_TEST);
}

// The disc is W/4 across in both directions; a sun behind the eye or past the far plane projects to
// a depth of 1 or more and is not drawn.
void drawSunDisc(const WindowMapping& window, double W, const TGL_TEXTURE& sunTexture,
                 const std::optional<TWindowPoint>& sun) {
  if (!sun || sun->z >= 1) return;
  const double d = W / 8;
  sunTexture.Bind();
  glColor4ub(255, 255, 255, 255);
  texturedWindowRect(window, sun->x - d, sun->y - d, sun->x + d, sun->y + d, farDepth);
  sunTexture.Unbind();
}

void drawSky(const TGL_TEXTURE& skyTexture) {
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glEnable(GL_BLEND);
  skyTexture.Bind();
  glColor4ub(255, 255, 255, 255);
  glBegin(GL_POLYGON);
  glTexCoord2d(1, 0);
  glVertex3d(skyHalf, -skyHalf, skyHeight);
  glTexCoord2d(0, 0);
  glVertex3d(-skyHalf, -skyHalf, skyHeight);
  glTexCoord2d(0, 1);
  glVertex3d(-skyHalf, skyHalf, skyHeight);
  glTexCoord2d(1, 1);
  glVertex3d(skyHalf, skyHalf, skyHeight);
  glEnd();
  skyTexture.Unbind();
}

std::function<double()> clockSeededUniform() {
  const auto seed = static_cast<std::mt19937::result_type>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count());
  return [engine = std::mt19937(seed), uniform = std::uniform_real_distribution<double>(0, 1)]() mutable {
    return uniform(engine);
  };
}

// The flare lives in window coordinates, a little in front of the far plane.
class FlarePainter {
public:
  FlarePainter(const WindowMapping& window, double cx, double cy) : window_(window), cx_(cx), cy_(cy) {}

  void vertex(double x, double y) const { window_.vertexAt(x, y, flareDepth); }
  void centre() const { vertex(cx_, cy_); }
  void circlePoint(double radius, double angle) const {
    vertex(cx_ + radius * std::cos(angle), cy_ + radius * std::sin(angle));
  }

  void fan(double radius, TFlareColor middle, TFlareColor rim) const {
    glBegin(GL_TRIANGLE_FAN);
    colour(middle);
    centre();
    colour(rim);
    for (int i = 0; i <= circleSegments; ++i)
      circlePoint(radius, twoPi * i / circleSegments);
    glEnd();
  }

  // A ring between two radii, shaded from one colour to the other.
  void band(double inner, TFlareColor innerColour, double outer, TFlareColor outerColour) const {
    glBegin(GL_QUADS);
    for (int i = 0; i < circleSegments; ++i) {
      const double a = twoPi * i / circleSegments;
      const double b = twoPi * (i + 1) / circleSegments;
      colour(innerColour);
      circlePoint(inner, a);
      colour(outerColour);
      circlePoint(outer, a);
      circlePoint(outer, b);
      colour(innerColour);
      circlePoint(inner, b);
    }
    glEnd();
  }

  void ray(double length, double angle, TFlareColor start, TFlareColor end) const {
    colour(start);
    centre();
    colour(end);
    circlePoint(length, angle);
  }

private:
  const WindowMapping& window_;
  double cx_, cy_;
};

// A sun off the window (but within the margin) has no pixel that anything could have been drawn
// over, so it counts as uncovered.
bool nothingDrawnOver(const TWindowPoint& sun, int W, int H) {
  const int x = Round(sun.x);
  const int y = Round(sun.y);
  if (x < 0 || y < 0 || x >= W || y >= H) return true;
  GLfloat depth = 0;
  glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  return depth == 1.0f;
}

// The margin is a quarter of the width in both directions, so that a sun just off the edge still
// throws its rings and halos into view.
bool flareVisible(const std::optional<TWindowPoint>& sun, int W, int H) {
  if (!sun) return false;
  const double margin = W / 4.0;
  const bool inView =
      -margin < sun->x && sun->x < W + margin && -margin < sun->y && sun->y < H + margin && sun->z < 1;
  return inView && nothingDrawnOver(*sun, W, H);
}

void drawGlowAndRing(const FlarePainter& sun, double R) {
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  sun.fan(R, {255, 255, 180, 125}, {255, 255, 255, 0});
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  const TFlareColor orange{255, 50, 0, 80};
  const TFlareColor clearOrange{255, 50, 0, 0};
  sun.band(R - R / 20, clearOrange, R, orange);
  sun.band(R, orange, R + R / 20, clearOrange);
}

void drawRaysAndStreaks(const FlarePainter& sun, double R, const std::function<double()>& random) {
  glEnable(GL_LINE_SMOOTH);
  glLineWidth(2);
  glBegin(GL_LINES);
  for (int i = 0; i <= 3; ++i)
    sun.ray(1.5 * R, i * std::numbers::pi / 2, {255, 255, 255, 55}, {50, 0, 255, 0});
  glEnd();
  glLineWidth(1);
  glBegin(GL_LINES);
  for (int i = 0; i <= streakCount; ++i) {
    const double L = random() * (i % 2 == 1 ? 1.5 : 1);
    sun.ray(L * R, twoPi * i / streakCount, {255, 200, 125, 25}, {125, 50, 0, 0});
  }
  glEnd();
}

void drawCounterFlareAndHalos(const WindowMapping& window, double sx, double sy, double R, double Dx,
                              double Dy) {
  const FlarePainter counter(window, sx - 0.375 * Dx, sy - 0.375 * Dy);
  counter.fan(R, {0, 50, 255, 0}, {0, 200, 50, 30});
  counter.band(R, {0, 200, 50, 30}, R + R / 3, {0, 0, 0, 0});
  for (int j = 2; j <= 4; ++j) {
    const FlarePainter halo(window, sx + j * Dx / 4, sy + j * Dy / 4);
    if (j % 3 == 0)
      halo.fan(R / (2 * j), {255, 255, 200, 125}, {255, 50, 0, 0});
    else
      halo.fan(R / (2 * j), {0, 50, 255, 0}, {0, 200, 50, 30});
  }
}

} // namespace

TGL_BACKGROUND::TGL_BACKGROUND(TGL_GroundHost& owner) : owner_(owner), random_(clockSeededUniform()) {}

TGL_BACKGROUND::~TGL_BACKGROUND() {
  if (!sunTexture_ && !skyTexture_ && !imageTexture_) return;
  // The textures delete their names now, while a context is current.
  CurrentContextGuard context(owner_.OwnContext());
  sunTexture_.reset();
  skyTexture_.reset();
  imageTexture_.reset();
}

void TGL_BACKGROUND::SetStyle(CBackGroundStyle value) {
  Style_ = value;
  Rebuild();
}

void TGL_BACKGROUND::SetBackGroundImage(const QImage& value) {
  BackGroundImage_ = value;
  imageChanged_ = true;
  Rebuild();
}

void TGL_BACKGROUND::Rebuild() {
  if (!owner_.Initialised()) return;
  CurrentContextGuard context(owner_.OwnContext());
  if (!context.active()) return;
  built_ = true;
  if (!sunTexture_) {
    sunTexture_ = std::make_unique<TGL_TEXTURE>();
    sunTexture_->Fill(sunTextureSize, sunTextureSize, 255, 255, 255, 255);
    sunTexture_->MakeRadialAlpha();
    sunTexture_->Upload();
  }
  if (owner_.SkyMap().width() > 1) buildSkyTexture();
  if (Style_ == CBackGroundStyle::BackImage && imageChanged_ && BackGroundImage_.width() >= 2)
    buildImageTexture();
}

void TGL_BACKGROUND::buildSkyTexture() {
  skyTexture_ = std::make_unique<TGL_TEXTURE>();
  skyTexture_->LoadFromBitmap(owner_.SkyMap());
  skyTexture_->MakeRadialAlpha();
  skyTexture_->Upload();
}

void TGL_BACKGROUND::buildImageTexture() {
  imageTexture_ = std::make_unique<TGL_TEXTURE>();
  imageTexture_->LoadFromBitmap(BackGroundImage_);
  imageTexture_->Upload();
  imageChanged_ = false;
}

void TGL_BACKGROUND::Draw() const {
  if (!built_) return;
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPolygonMode(GL_FRONT, GL_FILL);
  glShadeModel(GL_SMOOTH);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  const WindowMapping window = WindowMapping::current();
  const double W = window.width();
  const double H = window.height();
  switch (Style_) {
  case CBackGroundStyle::GradualColors:
    drawGradient(window, W, H, FirstColor_, SecondColor_);
    break;
  case CBackGroundStyle::BackImage:
    if (imageTexture_) drawImage(window, W, H, *imageTexture_);
    break;
  case CBackGroundStyle::UniformColor:
    // The drawing pass has cleared with the first colour.
    break;
  }
  glEnable(GL_BLEND);
  if (sunTexture_) drawSunDisc(window, W, *sunTexture_, window.project(SunX_, SunY_, SunZ_));
  if (ShowSky_ && skyTexture_) drawSky(*skyTexture_);
  glPopAttrib();
}

void TGL_BACKGROUND::DrawLensFlare() const {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPolygonMode(GL_FRONT, GL_FILL);
  const WindowMapping window = WindowMapping::current();
  const int W = window.width();
  const int H = window.height();
  const std::optional<TWindowPoint> sun = window.project(SunX_, SunY_, SunZ_);
  if (flareVisible(sun, W, H)) {
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    // The flare is flat on the screen: which way its quads wind must not hide them from the pass's
    // face culling.
    glDisable(GL_CULL_FACE);
    const double R = W / 4.0;
    const double Dx = W - 2 * sun->x;
    const double Dy = H - 2 * sun->y;
    const FlarePainter painter(window, sun->x, sun->y);
    drawGlowAndRing(painter, R);
    drawRaysAndStreaks(painter, R, random_);
    drawCounterFlareAndHalos(window, sun->x, sun->y, R, Dx, Dy);
  }
  glPopAttrib();
}

} // namespace vorlan
