// Fonts and text drawing. The game's two bitmap fonts ("fonts/garvolin", the bold display font,
// and "fonts/small", the compact text font) hold 128 cells of 16 x 16 units, cell n showing
// character n + 32. The game draws a glyph with its handle at the cell centre and starts every
// text with a space: the display font, whose advance is the whole cell, is centred on its cells;
// the small font's glyphs sit in the left part of theirs, as wide as their advance, with a dark
// outline. The built-in font "default_font.png" is a single row of 96 cells for characters 32-127
// with one spare pixel column on either side of every cell. Text drawing is also offered to the
// other picture modules (logo, badges, labels of the contact sheet).
#pragma once

#include <string>

#include "glyphs.h"
#include "raster.h"

namespace assetgen {

struct TextStyle {
  float unitX = 1.0f;         // units per grid step, horizontally
  float unitY = 1.0f;         // and vertically
  float stroke = 1.0f;        // stroke width in units
  Colour top{1, 1, 1, 1};     // fill at the cap line
  Colour bottom{1, 1, 1, 1};  // fill at the baseline (a vertical gradient between the two)
  float outline = 0.0f;       // outline width in units around the stroke, 0 for none
  Colour outlineColour{0, 0, 0, 1};
  Vec2 shadowOffset{0, 0};    // drop shadow offset in units; no shadow when both are 0
  Colour shadowColour{0, 0, 0, 0.5f};
  bool hard = false;          // no anti-aliasing (pixel-exact strokes at one pixel per grid step)
  bool narrow = true;         // monospace-friendly forms of m, w, M, W
};

// Draws one glyph with its grid origin (left ink column, cap line) at `origin`.
void drawGlyph(Pen& pen, const Glyph& g, Vec2 origin, const TextStyle& st);

// Width in units of a text drawn with `advance` units per character plus the glyph's own width.
float textWidth(const std::string& text, const TextStyle& st, float spacing);
// Draws a text line centred horizontally on cx, with its cap line at y. Proportional: each
// glyph takes its ink width plus `spacing` grid steps.
void drawTextCentred(Pen& pen, const std::string& text, float cx, float y, const TextStyle& st, float spacing);

// Advance of a character in the small font, in units (7 plus the game's kerning adjustment).
int smallFontAdvance(int code);
// Width of the small font's dark outline around its strokes, in units.
constexpr float kSmallFontOutline = 1.0f;

// The built-in font: 96 cells of kDefaultFontCellW x kDefaultFontCellH pixels.
constexpr int kDefaultFontCellW = 8;
constexpr int kDefaultFontCellH = 12;
Image renderDefaultFont();

}  // namespace assetgen
