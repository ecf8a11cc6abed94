#pragma once

#include <QSurfaceFormat>

namespace vorlan {

// The format of every OpenGL surface of the program: display lists, feedback and selection modes
// need the compatibility profile; the paper and shadow passes need depth and stencil.
QSurfaceFormat SceneSurfaceFormat();

} // namespace vorlan
