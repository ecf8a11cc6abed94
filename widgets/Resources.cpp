#include "widgets/Resources.h"

#include <QtGlobal>

// Outside any namespace: the resource initialiser it names is a global function.
static void RegisterResourceFile() {
  Q_INIT_RESOURCE(resources);
}

namespace vorlan {

void RegisterPictures() {
  static const bool registered = (RegisterResourceFile(), true);
  (void)registered;
}

} // namespace vorlan
