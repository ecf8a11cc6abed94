#include "platform/SurfaceFormat.h"

namespace vorlan {

QSurfaceFormat SceneSurfaceFormat() {
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setVersion(2, 1);
  format.setDepthBufferSize(24);
  format.setStencilBufferSize(8);
  return format;
}

} // namespace vorlan
