#include "scene3d/Tessellation.h"

#include <cmath>

namespace vorlan {
namespace {

// The tessellator answers a single ring of at most this many corners from its vertex cache, as one
// fan when the fan is consistent; longer rings go through its full sweep.
constexpr std::size_t kFanCacheSize = 100;
// Coordinates beyond this are clamped by the tessellator; such rings are left to it.
constexpr double kMaxTessCoordinate = 1e150;

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
  return GlTessellator(TessWinding::Odd, TessOutput::Mixed).tessellate(rings);
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
