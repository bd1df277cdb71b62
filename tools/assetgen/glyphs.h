// Stroke glyphs shared by every font the generator draws. Each glyph is a few polylines on a
// small grid: x from 0 (the glyph's left ink column), y from 0 (cap and ascender top) through 2
// (x-height) and 6 (baseline) to 8 (descender). The chamfered corners and 45-degree diagonals
// fall on grid points, so at one pixel per grid step the strokes are pixel-exact, and at larger
// sizes they render as smooth round-capped strokes.
#pragma once

#include <vector>

#include "raster.h"

namespace assetgen {

using Polyline = std::vector<Vec2>;

struct Glyph {
  std::vector<Polyline> strokes;  // empty for a blank glyph (space)
  int width = 0;                  // grid width: the largest x of any point (ink spans width + 1)
};

// Glyph of character code 32-159. `narrow` picks the four-step-wide forms of m, w, M and W, for
// monospaced fonts. Codes without a glyph return an empty one.
const Glyph& glyphFor(int code, bool narrow);

}  // namespace assetgen
