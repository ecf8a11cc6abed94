#include "gl/OutlineGlyphs.h"

#include <QFontMetricsF>
#include <QPainterPath>

#include <GL/glu.h>

#include <array>
#include <cmath>
#include <deque>
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

// Points the tessellator creates where outlines cross; they must live until the polygon ends.
void GLAPIENTRY combineVertex(GLdouble coords[3], void* /*data*/[4], GLfloat /*weight*/[4], void** out,
                              void* polygonData) {
  auto& created = *static_cast<std::deque<Vertex>*>(polygonData);
  created.push_back({coords[0], coords[1], coords[2]});
  *out = created.back().data();
}

// GLU takes every callback as a function without arguments.
template <typename Function> _GLUfuncptr asTessCallback(Function* function) {
  return reinterpret_cast<_GLUfuncptr>(reinterpret_cast<void (*)()>(function));
}

// One face of the glyph, filled with the non-zero rule that font outlines are drawn with.
void tessellateFace(GLUtesselator* tess, std::vector<Contour>& contours, double normalZ) {
  std::deque<Vertex> created;
  glNormal3d(0, 0, normalZ);
  gluTessNormal(tess, 0, 0, normalZ);
  gluTessBeginPolygon(tess, &created);
  for (Contour& contour : contours) {
    gluTessBeginContour(tess);
    for (Vertex& v : contour)
      gluTessVertex(tess, v.data(), v.data());
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
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

void compileGlyph(GLUtesselator* tess, const QFont& font, QChar character, double advance, double depth) {
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

  GLUtesselator* tess = gluNewTess();
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
  gluTessCallback(tess, GLU_TESS_BEGIN, asTessCallback(glBegin));
  gluTessCallback(tess, GLU_TESS_VERTEX, asTessCallback(glVertex3dv));
  gluTessCallback(tess, GLU_TESS_END, asTessCallback(glEnd));
  // With edge flags the tessellator emits independent triangles only. Mesa 22 crashes replaying a
  // list in selection or feedback mode when a fan follows several strips, which it emits otherwise.
  gluTessCallback(tess, GLU_TESS_EDGE_FLAG, asTessCallback(glEdgeFlag));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, asTessCallback(combineVertex));
  for (int i = 0; i < count; ++i) {
    const QChar character = QChar::fromLatin1(static_cast<char>(first + i));
    glNewList(base + i, GL_COMPILE);
    compileGlyph(tess, scaled, character, metrics.horizontalAdvance(character) / flatteningPixelSize, depth);
    glEndList();
  }
  gluDeleteTess(tess);
  return base;
}

} // namespace vorlan
