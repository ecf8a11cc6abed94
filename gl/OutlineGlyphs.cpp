#include "gl/OutlineGlyphs.h"

#include "gl/GlTessellator.h"

#include <QFontMetricsF>
#include <QPainterPath>

#include <array>
#include <cmath>
#include <vector>

namespace vorlan {
namespace {

// Curves are flattened at this pixel size, then scaled down to one em, so that they stay smooth.
constexpr int flatteningPixelSize = 120;

using Vertex = std::array<GLdouble, 3>;
using Contour = std::vector<Vertex>;

// The glyph's closed outlines in em units, y up, at height z.
std::vector<Contour> glyphContours(const QFont& font, QChar character, double z) {
  QPainterPath path;
  path.addText(0, 0, font, QString(character));
  std::vector<Contour> contours;
  for (const QPolygonF& polygon : path.toSubpathPolygons()) {
    Contour contour;
    for (const QPointF& p : polygon)
      contour.push_back({p.x() / flatteningPixelSize, -p.y() / flatteningPixelSize, z});
    // A closed subpath repeats its first point, which the tessellator would see as a zero-length edge.
    if (contour.size() > 1 && contour.front() == contour.back()) contour.pop_back();
    if (contour.size() >= 3) contours.push_back(std::move(contour));
  }
  return contours;
}

// One face of the glyph, filled with the non-zero rule that font outlines are drawn with. Separate
// triangles with edge flags: Mesa 22 crashes replaying a list in selection or feedback mode when a fan
// follows several strips.
void tessellateFace(GlTessellator& tess, const std::vector<Contour>& contours, double normalZ) {
  glNormal3d(0, 0, normalZ);
  tess.setNormal(0, 0, normalZ);
  const Tessellation face = tess.tessellate(contours);
  for (const TessPrimitive& primitive : face.Primitives) {
    glBegin(primitive.Mode);
    for (std::size_t i = 0; i < primitive.Vertices.size(); ++i) {
      glEdgeFlag(primitive.EdgeFlags[i] ? GL_TRUE : GL_FALSE);
      glVertex3dv(face.Points[primitive.Vertices[i]].data());
    }
    glEnd();
  }
}

// The walls between the front outline and the back one.
void extrudeSides(const std::vector<Contour>& contours, double depth) {
  for (const Contour& contour : contours) {
    glBegin(GL_QUADS);
    for (std::size_t i = 0; i < contour.size(); ++i) {
      const Vertex& a = contour[i];
      const Vertex& b = contour[(i + 1) % contour.size()];
      const double length = std::hypot(b[0] - a[0], b[1] - a[1]);
      if (length == 0) continue;
      glNormal3d((b[1] - a[1]) / length, (a[0] - b[0]) / length, 0);
      glVertex3d(a[0], a[1], 0);
      glVertex3d(a[0], a[1], -depth);
      glVertex3d(b[0], b[1], -depth);
      glVertex3d(b[0], b[1], 0);
    }
    glEnd();
  }
}

void compileGlyph(GlTessellator& tess, const QFont& font, QChar character, double advance, double depth) {
  std::vector<Contour> front = glyphContours(font, character, 0);
  std::vector<Contour> back = glyphContours(font, character, -depth);
  tessellateFace(tess, front, 1);
  tessellateFace(tess, back, -1);
  // The tessellator's last edge flag would otherwise hide edges of polygons drawn later as lines.
  glEdgeFlag(GL_TRUE);
  extrudeSides(front, depth);
  glTranslated(advance, 0, 0);
}

} // namespace

GLuint BuildOutlineGlyphs(const QFont& font, int first, int count, double depth) {
  const GLuint base = glGenLists(count);
  if (base == 0) return 0;
  QFont scaled(font);
  scaled.setPixelSize(flatteningPixelSize);
  const QFontMetricsF metrics(scaled);

  GlTessellator tess(TessWinding::NonZero, TessOutput::Triangles);
  for (int i = 0; i < count; ++i) {
    const QChar character = QChar::fromLatin1(static_cast<char>(first + i));
    glNewList(base + i, GL_COMPILE);
    compileGlyph(tess, scaled, character, metrics.horizontalAdvance(character) / flatteningPixelSize, depth);
    glEndList();
  }
  return base;
}

} // namespace vorlan
