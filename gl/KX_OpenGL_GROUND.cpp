#include "gl/KX_OpenGL_GROUND.h"

#include "gl/KX_OpenGL_TEXTURE.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace vorlan {
namespace {

// Rows and columns of the filled square, and the size and height of its cells.
constexpr int squareCells = 20;
constexpr double squareCell = 50000;
constexpr double squareHalf = 500000;
constexpr double squareZ = -5;
constexpr double gridZ = -100;
constexpr double noiseHalf = 1000000;

} // namespace

TGL_GROUND::TGL_GROUND(TGL_GroundHost& owner) : owner_(owner) {}

TGL_GROUND::~TGL_GROUND() {
  if (!ListBuilt_ && !noiseTexture_) return;
  CurrentContextGuard context(owner_.OwnContext());
  if (context.active() && ListBuilt_) glDeleteLists(GroundList_, 1);
  // The texture deletes its name now, while a context is current.
  noiseTexture_.reset();
}

void TGL_GROUND::SetStyle(CGroundStyle value) {
  Style_ = value;
  Rebuild();
  redrawIfInitialised();
}

void TGL_GROUND::SetColor(TColor value) {
  Color_ = value;
  Rebuild();
  redrawIfInitialised();
}

void TGL_GROUND::SetActive(bool value) {
  Active_ = value;
  redrawIfInitialised();
}

void TGL_GROUND::redrawIfInitialised() {
  if (owner_.Initialised()) owner_.Redraw();
}

void TGL_GROUND::Rebuild() {
  if (!owner_.Initialised()) return;
  CurrentContextGuard context(owner_.OwnContext());
  if (!context.active()) return;
  if (!ListBuilt_) {
    GroundList_ = glGenLists(1);
    ListBuilt_ = GroundList_ != 0;
    if (!ListBuilt_) return;
  }
  // An upload issued while the list is open would be compiled into it rather than run.
  if (Style_ == CGroundStyle::PerlinFillSquare) prepareNoiseTexture();
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glNewList(GroundList_, GL_COMPILE);
  glDisable(GL_LIGHTING);
  switch (Style_) {
  case CGroundStyle::GridLines:
    compileGridLines();
    break;
  case CGroundStyle::FillSquare:
    compileFillSquare();
    break;
  case CGroundStyle::PerlinFillSquare:
    compilePerlinFillSquare();
    break;
  }
  glEnable(GL_LIGHTING);
  glEndList();
  glPopAttrib();
}

void TGL_GROUND::Draw() const {
  if (Active_ && ListBuilt_) glCallList(GroundList_);
}

void TGL_GROUND::prepareNoiseTexture() {
  noiseTexture_ = std::make_unique<TGL_TEXTURE>();
  noiseTexture_->MakePerlin(128, 128, 0.01, 0.7, 6, 0);
  noiseTexture_->MakeRadialAlpha();
  noiseTexture_->Upload();
}

// Transparent at the rim, most opaque in the middle: the grid fades out instead of ending in a hard
// edge.
void TGL_GROUND::compileGridLines() const {
  glPolygonMode(GL_FRONT, GL_LINE);
  glShadeModel(GL_SMOOTH);
  glNormal3d(0, 0, 1);
  // A zero unit has no cells to draw.
  if (GroundUnit_ != 0) {
    const double U = GroundUnit_;
    const double W = GroundWidth_;
    const double c = W / (2 * U);
    const double k = 80 / c;
    const int n = Round(W / U);
    const auto R = static_cast<GLubyte>(GetRValue(Color_));
    const auto G = static_cast<GLubyte>(GetGValue(Color_));
    const auto B = static_cast<GLubyte>(GetBValue(Color_));
    for (int i = 1; i <= n; ++i) {
      glBegin(GL_QUAD_STRIP);
      for (int j = 0; j <= n; ++j) {
        // When W / U is not whole, the last row lies past the rim and its fall-off turns negative;
        // clamping keeps it transparent instead of wrapping to nearly opaque.
        const int a = clampChannel(Round((c - std::abs(i - c)) * k + (c - std::abs(j - c)) * k));
        glColor4ub(R, G, B, static_cast<GLubyte>(a));
        glVertex3d(j * U - W / 2, i * U - W / 2, gridZ);
        glVertex3d(j * U - W / 2, (i - 1) * U - W / 2, gridZ);
      }
      glEnd();
    }
  }
  glPolygonMode(GL_FRONT, GL_FILL);
}

// A fixed translucent grey, whatever Color says.
void TGL_GROUND::compileFillSquare() const {
  glPolygonMode(GL_FRONT, GL_FILL);
  glShadeModel(GL_SMOOTH);
  glColor4ub(160, 160, 160, 200);
  glNormal3d(0, 0, 1);
  for (int i = 1; i <= squareCells; ++i) {
    glBegin(GL_QUAD_STRIP);
    for (int j = 0; j <= squareCells; ++j) {
      glVertex3d(j * squareCell - squareHalf, i * squareCell - squareHalf, squareZ);
      glVertex3d(j * squareCell - squareHalf, (i - 1) * squareCell - squareHalf, squareZ);
    }
    glEnd();
  }
}

void TGL_GROUND::compilePerlinFillSquare() const {
  glPolygonMode(GL_FRONT, GL_FILL);
  glEnable(GL_BLEND);
  noiseTexture_->Bind();
  glShadeModel(GL_SMOOTH);
  glColor4ub(255, 255, 255, 200);
  glNormal3d(0, 0, 1);
  glBegin(GL_POLYGON);
  glTexCoord2d(0, 0);
  glVertex3d(-noiseHalf, -noiseHalf, squareZ);
  glTexCoord2d(1, 0);
  glVertex3d(noiseHalf, -noiseHalf, squareZ);
  glTexCoord2d(1, 1);
  glVertex3d(noiseHalf, noiseHalf, squareZ);
  glTexCoord2d(0, 1);
  glVertex3d(-noiseHalf, noiseHalf, squareZ);
  glEnd();
  noiseTexture_->Unbind();
  glDisable(GL_BLEND);
}

} // namespace vorlan
