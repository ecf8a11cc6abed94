#pragma once

#include "scene3d/Geometry3D.h"

#include <GL/gl.h>

#include <array>
#include <cstddef>
#include <span>
#include <vector>

namespace vorlan {

// One primitive the tessellator produced: GL_TRIANGLES, GL_TRIANGLE_FAN or GL_TRIANGLE_STRIP over
// vertex numbers. Numbers count the corners of all rings in order, then the blended vertices.
struct TessPrimitive {
  GLenum Mode;
  std::vector<std::size_t> Vertices;
};

// A vertex the tessellator made where edges cross or corners coincide: a weighted sum of up to four
// vertices (numbered as above, unused weights 0).
struct TessBlend {
  std::array<std::size_t, 4> From{};
  std::array<double, 4> Weights{};
};

struct Tessellation {
  std::vector<TessPrimitive> Primitives;
  std::vector<TessBlend> Blends;
};

// The rings as one polygon, filled by the odd winding rule: holes stay empty, and rings of any size
// are taken.
Tessellation TessellateOdd(std::span<const std::vector<Vector3D>> rings);

// True when the tessellator would answer a single ring with one fan from its first corner: 3 to 100
// corners whose fan triangles all turn the same way. Such a ring can skip the tessellator and be sent
// as GL_TRIANGLE_FAN (GL_TRIANGLES for 3 corners) with the corners in order; the output is the same.
bool TakesFanPath(std::span<const Vector3D> ring);

} // namespace vorlan
