#include "scene3d/Tessellation.h"

#include <GL/glu.h>

#include <cmath>
#include <deque>

namespace vorlan {
namespace {

// The tessellator answers a single ring of at most this many corners from its vertex cache, as one
// fan when the fan is consistent; longer rings go through its full sweep.
constexpr std::size_t kFanCacheSize = 100;
// Coordinates beyond this are clamped by the tessellator; such rings are left to it.
constexpr double kMaxTessCoordinate = 1e150;

// A vertex handed to the tessellator. The tessellator keeps pointers to it until the polygon ends,
// so vertices live in a deque, which never moves what it holds.
struct TessNode {
  std::array<GLdouble, 3> Coords;
  std::size_t Number;
};

struct TessRun {
  std::deque<TessNode> Nodes;
  Tessellation Result;
};

void GLAPIENTRY onBegin(GLenum mode, void* run) {
  static_cast<TessRun*>(run)->Result.Primitives.push_back({mode, {}});
}

void GLAPIENTRY onVertex(void* vertex, void* run) {
  static_cast<TessRun*>(run)->Result.Primitives.back().Vertices.push_back(
      static_cast<TessNode*>(vertex)->Number);
}

// Without this callback the tessellator gives up on rings that cross themselves or each other.
void GLAPIENTRY onCombine(GLdouble coords[3], void* from[4], GLfloat weights[4], void** out, void* run) {
  TessRun& r = *static_cast<TessRun*>(run);
  TessBlend blend;
  for (int i = 0; i < 4; ++i) {
    if (!from[i]) continue;
    blend.From[i] = static_cast<TessNode*>(from[i])->Number;
    blend.Weights[i] = weights[i];
  }
  r.Result.Blends.push_back(blend);
  const std::size_t number = r.Nodes.size();
  r.Nodes.push_back({{coords[0], coords[1], coords[2]}, number});
  *out = &r.Nodes.back();
}

// The edge-flag callback stays unset: with it the tessellator would give up its fan and strip output.
GLUtesselator* newTessellator() {
  GLUtesselator* tess = gluNewTess();
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
  gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(onBegin));
  gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(onVertex));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(onCombine));
  return tess;
}

// Fan triangle (corner 0, corner i - 1, corner i) as an unnormalised normal.
Vector3D fanTriangle(std::span<const Vector3D> ring, std::size_t i) {
  return cross(ring[i - 1] - ring[0], ring[i] - ring[0]);
}

bool tessellatorTakesAsIs(std::span<const Vector3D> ring) {
  for (const Vector3D& p : ring)
    for (double c : {p.x, p.y, p.z})
      if (!std::isfinite(c) || std::fabs(c) > kMaxTessCoordinate) return false;
  return true;
}

} // namespace

Tessellation TessellateOdd(std::span<const std::vector<Vector3D>> rings) {
  TessRun run;
  GLUtesselator* tess = newTessellator();
  gluTessBeginPolygon(tess, &run);
  for (const std::vector<Vector3D>& ring : rings) {
    gluTessBeginContour(tess);
    for (const Vector3D& p : ring) {
      const std::size_t number = run.Nodes.size();
      run.Nodes.push_back({{p.x, p.y, p.z}, number});
      gluTessVertex(tess, run.Nodes.back().Coords.data(), &run.Nodes.back());
    }
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
  gluDeleteTess(tess);
  return std::move(run.Result);
}

// The tessellator's own test: the normal sums the fan triangles, each turned to agree with the sum
// so far; the fan is taken when no triangle disagrees with that normal. Degenerate rings draw nothing
// either way and are left to it.
bool TakesFanPath(std::span<const Vector3D> ring) {
  if (ring.size() < 3 || ring.size() > kFanCacheSize || !tessellatorTakesAsIs(ring)) return false;
  Vector3D normal;
  for (std::size_t i = 2; i < ring.size(); ++i) {
    const Vector3D n = fanTriangle(ring, i);
    normal = dot(n, normal) >= 0 ? normal + n : normal - n;
  }
  bool turnsForward = false;
  for (std::size_t i = 2; i < ring.size(); ++i) {
    const double d = dot(fanTriangle(ring, i), normal);
    if (d < 0) return false;
    turnsForward = turnsForward || d > 0;
  }
  return turnsForward;
}

} // namespace vorlan
