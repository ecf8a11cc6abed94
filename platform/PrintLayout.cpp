#include "platform/PrintLayout.h"

#include "platform/Numbers.h"

#include <cassert>

namespace vorlan {

PrintPlacement placePictureOnPage(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight) {
  assert(pictureWidth > 0 && pictureHeight > 0);
  const double pw = pageWidth, ph = pageHeight, w = pictureWidth, h = pictureHeight;
  double scale = (3 * pw) / (5 * w);
  if (h * scale > 3 * ph / 5) scale = (3 * ph) / (5 * h);
  return {Round((pw - w * scale) / 2), Round((ph - h * scale) / 2), Round(w * scale), Round(h * scale)};
}

} // namespace vorlan
