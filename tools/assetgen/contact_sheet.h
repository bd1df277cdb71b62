// The contact sheet: every picture of the game on one image, each frame on a checkered backdrop
// with its frame number, so a reviewer sees the whole set at a glance.
#pragma once

#include <vector>

#include "raster.h"
#include "strip.h"

namespace assetgen {

struct SheetEntry {
  Picture picture;
  Image image;  // the rendered strip (the 2x set is used)
};

// `defaultFont` is the built-in font strip, shown at the end.
Image renderContactSheet(const std::vector<SheetEntry>& entries, const Image& defaultFont);

}  // namespace assetgen
