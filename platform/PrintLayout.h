#pragma once

namespace vorlan {

// Where a picture goes on a printed page, in printer pixels.
struct PrintPlacement {
  int left, top, width, height;
};

// The picture keeps its aspect ratio, fills three fifths of the page in its limiting direction
// and is centred: S = (3·PW)/(5·W), or (3·PH)/(5·H) when S would make it taller than 3·PH/5.
// Both picture sizes must be positive.
PrintPlacement placePictureOnPage(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight);

} // namespace vorlan
