// Rendering of the stroke glyphs into the game's fonts, and general text drawing.
#include "fonts.h"

#include <algorithm>
#include <cmath>

#include "strip.h"

namespace assetgen {
namespace {

float glyphDistance(const Glyph& g, Vec2 p, Vec2 origin, float ux, float uy) {
  float d = 1e9f;
  for (const Polyline& pl : g.strokes) {
    if (pl.size() == 1) {
      const Vec2 a{origin.x + pl[0].x * ux, origin.y + pl[0].y * uy};
      d = std::min(d, length(p - a));
      continue;
    }
    for (size_t i = 0; i + 1 < pl.size(); ++i) {
      const Vec2 a{origin.x + pl[i].x * ux, origin.y + pl[i].y * uy};
      const Vec2 b{origin.x + pl[i + 1].x * ux, origin.y + pl[i + 1].y * uy};
      d = std::min(d, sdf::segment(p, a, b, 0.0f));
    }
  }
  return d;
}

Box glyphBox(const Glyph& g, Vec2 origin, const TextStyle& st, float extra) {
  const float m = st.stroke * 0.5f + st.outline + extra + 1.0f;
  return {origin.x - m, origin.y - m, origin.x + static_cast<float>(g.width) * st.unitX + m,
          origin.y + 8.0f * st.unitY + m};
}

}  // namespace

void drawGlyph(Pen& pen, const Glyph& g, Vec2 origin, const TextStyle& st) {
  if (g.strokes.empty()) return;
  const float hw = st.stroke * 0.5f;
  const auto layer = [&](Vec2 offset, float grow, const Paint& paint) {
    const Vec2 o = origin + offset;
    const Box b = glyphBox(g, o, st, 0.0f);
    const auto shape = [&g, o, &st, hw, grow](Vec2 p) { return glyphDistance(g, p, o, st.unitX, st.unitY) - hw - grow; };
    if (st.hard) {
      const Colour c = paint({0, 0});
      pen.fillHard(b, shape, c);
    } else {
      pen.fill(b, shape, paint);
    }
  };
  if (st.shadowOffset.x != 0.0f || st.shadowOffset.y != 0.0f) {
    const Colour sc = st.shadowColour;
    layer(st.shadowOffset, st.outline, [sc](Vec2) { return sc; });
  }
  if (st.outline > 0.0f) {
    const Colour oc = st.outlineColour;
    layer({0, 0}, st.outline, [oc](Vec2) { return oc; });
  }
  const Colour top = st.top, bottom = st.bottom;
  const float y0 = origin.y, y1 = origin.y + 6.0f * st.unitY;
  layer({0, 0}, 0.0f, [=](Vec2 p) { return mix(top, bottom, clamp01((p.y - y0) / (y1 - y0))); });
}

float textWidth(const std::string& text, const TextStyle& st, float spacing) {
  float w = 0.0f;
  for (size_t i = 0; i < text.size(); ++i) {
    const int code = static_cast<unsigned char>(text[i]);
    const Glyph& g = glyphFor(code, st.narrow);
    const float gw = code == ' ' ? 3.0f : static_cast<float>(g.width);
    w += gw * st.unitX;
    if (i + 1 < text.size()) w += spacing * st.unitX;
  }
  return w;
}

void drawTextCentred(Pen& pen, const std::string& text, float cx, float y, const TextStyle& st, float spacing) {
  float x = cx - textWidth(text, st, spacing) * 0.5f;
  for (char ch : text) {
    const int code = static_cast<unsigned char>(ch);
    const Glyph& g = glyphFor(code, st.narrow);
    if (code != ' ') drawGlyph(pen, g, {x, y}, st);
    const float gw = code == ' ' ? 3.0f : static_cast<float>(g.width);
    x += (gw + spacing) * st.unitX;
  }
}

int smallFontAdvance(int code) {
  switch (code) {
    case 'w': case 'm': return 9;
    case 'W': case 'M': return 8;
    case 'i': case 'f': case 'l': return 4;
    case 'j': case 's': case 'k': case 'r': case 'z': case 't': case 'n': return 6;
    default: return 7;
  }
}

namespace {

// The small font: one-unit strokes on a one-unit grid, so the 1x image is pixel-exact. The game
// draws a glyph centred on its pen position and starts every text with a space, so a character's
// place is the left part of its cell, as wide as its advance: a text then starts where it is put,
// a right-aligned one ends there, and the ink is centred within the advance so that spacing stays
// even with the game's kerning. A one-unit dark outline, opaque at every resolution, keeps the
// text readable on any picture: the game tints the fill and leaves the outline dark.
void drawSmallGlyph(Pen& pen, int frame) {
  const int code = frame + 32;
  const Glyph& g = glyphFor(code, false);
  if (g.strokes.empty()) return;
  const int adv = smallFontAdvance(code);
  const float centre = static_cast<float>(adv) * 0.5f;
  const float ink = static_cast<float>(g.width + 1);
  const float left = std::floor(centre - ink * 0.5f + 0.5f);
  TextStyle st;
  st.stroke = 1.0f;
  st.hard = pen.scale() < 1.5f;
  st.narrow = false;
  st.top = grey(1.0f);
  st.bottom = grey(0.86f);
  st.outline = kSmallFontOutline;
  st.outlineColour = grey(0.06f);
  drawGlyph(pen, g, {left + 0.5f, 4.5f}, st);
}

// The display font: bold strokes with a dark rim and a light top-to-bottom sheen.
void drawLargeGlyph(Pen& pen, int frame) {
  const int code = frame + 32;
  const Glyph& g = glyphFor(code, true);
  if (g.strokes.empty()) return;
  TextStyle st;
  st.narrow = true;
  st.unitY = 1.4f;
  st.unitX = g.width > 0 ? std::min(2.25f, 9.5f / static_cast<float>(g.width)) : 2.25f;
  st.stroke = 2.5f;
  st.outline = 0.9f;
  st.outlineColour = grey(0.16f);
  st.top = grey(1.0f);
  st.bottom = grey(0.72f);
  const float w = static_cast<float>(g.width) * st.unitX;
  drawGlyph(pen, g, {8.0f - w * 0.5f, 2.5f}, st);
  // A small gleam on the upper left of every stroke at the higher resolutions.
  if (pen.scale() >= 2.0f) {
    TextStyle gleam = st;
    gleam.outline = 0.0f;
    gleam.stroke = 0.7f;
    gleam.top = {1, 1, 1, 0.55f};
    gleam.bottom = {1, 1, 1, 0.0f};
    drawGlyph(pen, g, {8.0f - w * 0.5f - 0.45f, 2.5f - 0.45f}, gleam);
  }
}

}  // namespace

Image renderDefaultFont() {
  Image img(96 * kDefaultFontCellW, kDefaultFontCellH);
  for (int i = 0; i < 96; ++i) {
    const int code = i + 32;
    const Glyph& g = glyphFor(code, true);
    Pen pen(img, i * kDefaultFontCellW, 0, 1.0f, kDefaultFontCellW, kDefaultFontCellH);
    const int ink = g.width + 1;
    const int left = 1 + (5 - ink) / 2;
    TextStyle st;
    st.hard = true;
    st.narrow = true;
    drawGlyph(pen, g, {static_cast<float>(left) + 0.5f, 2.5f}, st);
  }
  return img;
}

void addFontPictures(std::vector<Picture>& out) {
  out.push_back({"fonts/garvolin", 16, 16, 128, true, drawLargeGlyph});
  out.push_back({"fonts/small", 16, 16, 128, true, drawSmallGlyph});
}

}  // namespace assetgen
