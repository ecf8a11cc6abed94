#pragma once

#include "gl/GlTessellator.h"
#include "scene3d/Geometry3D.h"

#include <cstddef>
#include <span>
#include <vector>

namespace vorlan {

// The rings as one polygon, filled by the odd winding rule: holes stay empty, and rings of any size
// are taken.
Tessellation TessellateOdd(std::span<const std::vector<Vector3D>> rings);

// True when the tessellator would answer a single ring with one fan from its first corner: 3 to 100
// corners whose fan triangles all turn the same way. Such a ring can skip the tessellator and be sent
// as GL_TRIANGLE_FAN (GL_TRIANGLES for 3 corners) with the corners in order; the output is the same.
bool TakesFanPath(std::span<const Vector3D> ring);

} // namespace vorlan
