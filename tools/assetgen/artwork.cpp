// Full-colour artwork: the title logo, the studio logo, the test-card circle, the four
// title-screen panels and the badge pictures.
#include <cmath>
#include <string>

#include "fonts.h"
#include "noise.h"
#include "paintkit.h"
#include "sprites.h"
#include "strip.h"

namespace assetgen {
namespace {

// Chunky title lettering: an extruded back in a dark shade, then the face with a gradient.
void titleText(Pen& pen, const std::string& text, float cx, float y, float ux, float uy, float stroke, Colour top,
               Colour bottom, Colour side, float depth) {
  TextStyle back;
  back.unitX = ux;
  back.unitY = uy;
  back.stroke = stroke;
  back.outline = 2.2f;
  back.outlineColour = rgb(24, 8, 40);
  back.top = back.bottom = side;
  const float step = std::max(0.5f, pen.pixel());
  for (float d = depth; d > 0.0f; d -= step) drawTextCentred(pen, text, cx + d * 0.6f, y + d, back, 1.6f);
  TextStyle face = back;
  face.top = top;
  face.bottom = bottom;
  drawTextCentred(pen, text, cx, y, face, 1.6f);
  TextStyle gleam = face;
  gleam.outline = 0.0f;
  gleam.stroke = stroke * 0.28f;
  gleam.top = Colour{1, 1, 1, 0.75f};
  gleam.bottom = Colour{1, 1, 1, 0.0f};
  drawTextCentred(pen, text, cx - stroke * 0.18f, y - stroke * 0.18f, gleam, 1.6f);
}

void drawLogo(Pen& pen, int) {
  // A soft dark plate behind the title so it reads over any background.
  const Shape plate = [](Vec2 p) { return sdf::roundBox(p, {128, 64}, {124, 60}, 26); };
  pen.fill({0, 0, 256, 128}, plate, [](Vec2 p) {
    const float t = clamp01(p.y / 128.0f);
    return Colour{0.08f, 0.02f + 0.05f * t, 0.22f, 0.55f};
  });
  pen.fill({0, 0, 256, 128}, [plate](Vec2 p) { return std::fabs(plate(p) + 1.5f) - 1.0f; }, Colour{1, 0.85f, 0.4f, 0.7f});
  titleText(pen, "GARVOLIN", 128, 12, 4.6f, 4.2f, 5.2f, rgb(255, 250, 170), rgb(255, 170, 30), rgb(190, 70, 10), 4.0f);
  titleText(pen, "ZUDODO", 124, 62, 6.2f, 6.0f, 6.6f, rgb(140, 255, 255), rgb(40, 150, 255), rgb(20, 50, 160), 5.0f);
  // Sparkles.
  const Vec2 sp[3] = {{20, 14}, {238, 56}, {30, 106}};
  for (const Vec2& c : sp) {
    glow(pen, c, 9, Colour{1, 1, 0.8f, 0.8f});
    pen.fill({c.x - 8, c.y - 8, c.x + 8, c.y + 8}, [c](Vec2 p) { return sdf::star(p, c, 7, 1.6f, 4, 0); }, grey(1.0f));
  }
}

// The studio emblem: a crumbling cube in a ring with the studio's name under it, drawn on a
// 256-unit square.
void drawStudioEmblem(Pen& pen) {
  const Vec2 c{128, 128};
  const Shape disc = [c](Vec2 p) { return sdf::circle(p, c, 118); };
  softShadow(pen, {0, 0, 256, 256}, disc, {4, 6}, 6, 0.45f);
  outlined(pen, {0, 0, 256, 256}, disc, radial({100, 80}, 190, rgb(60, 70, 150), rgb(14, 14, 44)), rgb(255, 210, 80), 5.0f);
  pen.ring(c, 108, 1.5f, Colour{1, 0.85f, 0.4f, 0.6f});
  // Isometric cube.
  const Vec2 top{128, 38}, mid{128, 82}, left{88, 60}, right{168, 60}, bl{88, 108}, br{168, 108}, bot{128, 130};
  pen.polygon({top, right, mid, left}, rgb(255, 214, 90));
  pen.polygon({left, mid, bot, bl}, rgb(236, 130, 30));
  pen.polygon({mid, right, br, bot}, rgb(170, 70, 20));
  const Colour edge = rgb(60, 20, 0);
  const Vec2 outline[] = {top, right, br, bot, bl, left, top};
  for (int i = 0; i < 6; ++i) pen.line(outline[i], outline[i + 1], 2.5f, edge);
  pen.line(left, mid, 2.0f, edge);
  pen.line(mid, right, 2.0f, edge);
  pen.line(mid, bot, 2.0f, edge);
  // Crumbs falling off the lower right corner.
  const Vec2 crumbs[4] = {{176, 120}, {184, 134}, {172, 140}, {190, 124}};
  for (int i = 0; i < 4; ++i) {
    const float r = 4.5f - static_cast<float>(i) * 0.6f;
    pen.roundRect(crumbs[i].x - r, crumbs[i].y - r, r * 2, r * 2, 1.2f, i % 2 ? rgb(170, 70, 20) : rgb(236, 130, 30));
  }
  // Eyes on the cube's front face: the studio's mascot.
  pen.circle({108, 92}, 6, rgb(255, 255, 255));
  pen.circle({110, 93}, 3, rgb(20, 10, 10));
  pen.circle({122, 99}, 5, rgb(255, 255, 255));
  pen.circle({124, 100}, 2.5f, rgb(20, 10, 10));
  TextStyle st;
  st.unitX = 3.4f;
  st.unitY = 3.4f;
  st.stroke = 3.4f;
  st.top = rgb(255, 255, 255);
  st.bottom = rgb(200, 210, 255);
  st.outline = 1.4f;
  st.outlineColour = rgb(10, 10, 30);
  drawTextCentred(pen, "BLOCKWORKS", 128, 150, st, 1.4f);
  TextStyle small = st;
  small.unitX = small.unitY = 2.0f;
  small.stroke = 2.0f;
  small.outline = 0.8f;
  small.top = small.bottom = rgb(255, 210, 80);
  drawTextCentred(pen, "GAMES", 128, 184, small, 2.5f);
}

// The emblem fills a little over half of its frame: the title menu shows it small in the corner
// above the score panel, whose heading must stay clear of it.
void drawStudioLogo(Pen& pen, int) {
  constexpr float k = 0.56f;
  Pen emblem = pen.sub({128 * (1 - k), 128 * (1 - k)}, k, 256, 256);
  drawStudioEmblem(emblem);
}

// A test-card circle: colour bars, a dark caption band through the middle, where the credits
// scroll, a grey wedge and gratings.
void drawTestcard(Pen& pen, int) {
  const Vec2 c{128, 128};
  const float R = 124;
  const Shape circle = [c, R](Vec2 p) { return sdf::circle(p, c, R); };
  pen.circle(c, R + 2.5f, rgb(20, 20, 20));
  const Colour bars[8] = {rgb(235, 235, 235), rgb(235, 235, 20), rgb(20, 235, 235), rgb(20, 235, 20),
                          rgb(235, 20, 235),  rgb(235, 20, 20),  rgb(20, 20, 235),  rgb(16, 16, 16)};
  pen.fill({0, 0, 256, 256}, circle, [&](Vec2 p) -> Colour {
    const float y = p.y - c.y, x = p.x - c.x;
    const bool line = std::fabs(std::fmod(p.x + 256, 32.0f) - 16) > 14.5f || std::fabs(std::fmod(p.y + 256, 32.0f) - 16) > 14.5f;
    if (y < -80 || y >= 104) return line ? rgb(240, 240, 240) : rgb(120, 120, 128);  // the grid goes on behind
    if (y < -62) return bars[std::min(7, std::max(0, static_cast<int>((x + R) / (2 * R) * 8)))];
    if (y < 62) return rgb(14, 14, 20);  // the caption band
    if (y < 84) {  // grey wedge
      const int step = std::min(5, std::max(0, static_cast<int>((x + R) / (2 * R) * 6)));
      return grey(static_cast<float>(step) / 5.0f);
    }
    const int band = std::min(4, std::max(0, static_cast<int>((x + R) / (2 * R) * 5)));  // gratings
    const float period = 12.0f / static_cast<float>(1 << band) * 2.0f;
    return std::fmod(p.x + 256, period) < period * 0.5f ? grey(0.92f) : grey(0.08f);
  });
  // The outer ring and the band's edges.
  pen.ring(c, R - 1.5f, 3, rgb(250, 250, 250));
  pen.fill({0, 0, 256, 256}, [c, R](Vec2 p) {
    return std::max(std::fabs(std::fabs(p.y - c.y) - 62) - 0.75f, sdf::circle(p, c, R - 2));
  }, rgb(250, 250, 250));
  TextStyle st;
  st.unitX = st.unitY = 2.2f;
  st.stroke = 2.0f;
  st.top = st.bottom = rgb(250, 250, 250);
  st.outline = 0.8f;
  st.outlineColour = rgb(0, 0, 0);
  drawTextCentred(pen, "ZUDODO", 128, 30, st, 1.5f);
}

// --- title-screen panels --------------------------------------------------------------------

struct Scene {
  int world;
  Colour background, floor;
};
const Scene kScenes[4] = {
    {1, rgb(0, 0, 80), rgb(0, 80, 180)},
    {5, rgb(0, 90, 0), rgb(0, 127, 0)},
    {8, rgb(140, 0, 0), rgb(50, 50, 50)},
    {9, rgb(140, 80, 0), rgb(220, 160, 0)},
};

// Panel maps: '#' wall, '.' floor, ' ' hole; 6 x 6 cells of 42 units.
const char* const kPanelMaps[4][6] = {
    {"######", "#....#", "#.##.#", "#.#..#", "#...##", "######"},
    {"######", "#...##", "#.#..#", "#.#..#", "#....#", "######"},
    {"######", "#....#", "#.#..#", "#  ..#", "##...#", "######"},
    {"######", "#....#", "##.#.#", "#....#", "#.#..#", "######"},
};

bool panelWall(int panel, int x, int y) {
  if (x < 0 || y < 0 || x > 5 || y > 5) return true;
  return kPanelMaps[panel][y][x] == '#';
}

void drawPanel(Pen& pen, int f) {
  const Scene& sc = kScenes[f];
  pen.rect(0, 0, 256, 256, sc.background);
  // Star field in the background.
  Rng rng(static_cast<uint32_t>(f) + 900u);
  for (int i = 0; i < 40; ++i) {
    const Vec2 p{rng.range(0, 256), rng.range(0, 256)};
    pen.circle(p, rng.range(0.5f, 1.3f), Colour{1, 1, 1, rng.range(0.2f, 0.6f)});
  }
  const float cell = 42.0f, k = cell / 47.5f;
  const Vec2 origin{128 - 2.5f * cell, 128 - 2.5f * cell};
  for (int x = 0; x < 6; ++x) {
    for (int y = 0; y < 6; ++y) {
      const Vec2 cc = origin + Vec2{cell * static_cast<float>(x), cell * static_cast<float>(y)};
      const char t = kPanelMaps[f][y][x];
      if (t == '.') pen.rect(cc.x - 24.225f * k, cc.y - 24.225f * k, 48.45f * k, 48.45f * k, sc.floor);
      if (t != '#') continue;
      const int mask = (panelWall(f, x, y - 1) ? 0 : 1) | (panelWall(f, x + 1, y) ? 0 : 2) | (panelWall(f, x, y + 1) ? 0 : 4) |
                       (panelWall(f, x - 1, y) ? 0 : 8);
      int frame = 0;
      for (int i = 0; i < 16; ++i)
        if (kWallFrameMask[i] == mask) frame = i;
      Pen sub = pen.sub(cc - Vec2{32 * k, 32 * k}, k, 64, 64);
      drawWallSprite(sub, sc.world, frame);
    }
  }
  const auto sprite = [&](void (*draw)(Pen&, int), int frame, int cx, int cy, float scale) {
    const Vec2 cc = origin + Vec2{cell * static_cast<float>(cx), cell * static_cast<float>(cy)};
    Pen sub = pen.sub(cc - Vec2{32 * scale, 32 * scale}, scale, 64, 64);
    draw(sub, frame);
  };
  switch (f) {
    case 0:
      sprite(drawBitsSprite, 0, 2, 1, k);
      sprite(drawBitsSprite, 0, 3, 1, k);
      sprite(drawBitsSprite, 0, 4, 2, k);
      sprite(drawBitsSprite, 2, 1, 3, k);
      sprite(drawHeroSprite, 0, 1, 1, k * 1.1f);
      break;
    case 1:
      sprite(drawBitsSprite, 4, 4, 3, k * 1.2f);
      sprite(drawBitsSprite, 2, 3, 4, k);
      sprite(drawBitsSprite, 2, 2, 4, k);
      sprite(drawHeroSprite, 3, 1, 4, k * 1.1f);
      break;
    case 2:
      sprite(drawSpikeSprite, 3, 3, 3, k);
      sprite(drawPatrollerSprite, 1, 2, 1, k);
      sprite(drawHeroSprite, 4, 4, 4, k * 1.1f);
      break;
    default:
      sprite(drawBitsSprite, 1, 1, 1, k);
      sprite(drawBitsSprite, 1, 2, 1, k);
      sprite(drawBitsSprite, 1, 3, 1, k);
      sprite(drawBitsSprite, 7, 4, 4, k);
      sprite(drawHeroSprite, 14, 4, 1, k * 1.1f);
      break;
  }
  // Vignette and a frame.
  pen.shadePixels({0, 0, 256, 256}, [](Vec2 p) {
    const float d = length(p - Vec2{128, 128}) / 181.0f;
    return Colour{0, 0, 0, 0.5f * smoothstep(0.55f, 1.0f, d)};
  });
  pen.fill({0, 0, 256, 256}, [](Vec2 p) { return std::fabs(sdf::roundBox(p, {128, 128}, {124, 124}, 14)) - 2.0f; },
           rgb(255, 210, 80));
}

// --- badges -------------------------------------------------------------------------------

void drawBadge(Pen& pen, int f) {
  const Vec2 c{32, 30};
  Colour light, dark;
  const Colour palettes[8][2] = {
      {rgb(255, 236, 140), rgb(210, 140, 20)}, {rgb(230, 236, 246), rgb(120, 130, 150)}, {rgb(255, 190, 140), rgb(170, 80, 30)},
      {rgb(150, 230, 255), rgb(20, 110, 200)}, {rgb(190, 255, 160), rgb(40, 150, 50)},  {rgb(255, 160, 210), rgb(190, 40, 120)},
      {rgb(220, 180, 255), rgb(110, 50, 190)}, {rgb(255, 150, 140), rgb(190, 30, 30)},
  };
  const int pal = f == 0 ? 0 : (f * 3) % 8;
  light = palettes[pal][0];
  dark = palettes[pal][1];
  const int shape = f == 0 ? 0 : f % 4;
  // Ribbon tails behind the medal.
  const Colour ribbon = f == 0 ? rgb(60, 120, 230) : palettes[(pal + 3) % 8][1];
  pen.polygon({{20, 40}, {28, 40}, {26, 62}, {21, 57}, {15, 61}}, shade(ribbon, 0.8f));
  pen.polygon({{36, 40}, {44, 40}, {49, 61}, {43, 57}, {38, 62}}, ribbon);
  Shape s;
  switch (shape) {
    case 0: s = [c](Vec2 p) { return sdf::circle(p, c, 24); }; break;
    case 1: s = [c](Vec2 p) {
        return sdf::polygon(p, {{c.x - 22, c.y - 24}, {c.x + 22, c.y - 24}, {c.x + 22, c.y + 2}, {c.x, c.y + 26}, {c.x - 22, c.y + 2}}) - 1.0f;
      };
      break;
    case 2: s = [c](Vec2 p) {
        std::vector<Vec2> hex;
        for (int i = 0; i < 6; ++i) hex.push_back(c + rotate({0, -25}, 60.0f * static_cast<float>(i)));
        return sdf::polygon(p, hex) - 1.0f;
      };
      break;
    default: s = [c](Vec2 p) { return sdf::star(p, c, 28, 17, 8, 0) - 1.5f; }; break;
  }
  softShadow(pen, {0, 0, 64, 64}, s, {1.5f, 2.5f}, 2.5f, 0.45f);
  outlined(pen, {0, 0, 64, 64}, s, bevelled(s, radial(c - Vec2{8, 10}, 40, light, dark), 4.0f, 0.55f), shade(dark, 0.3f), 1.5f);
  pen.fill({0, 0, 64, 64}, [s](Vec2 p) { return std::fabs(s(p) + 5.0f) - 0.6f; }, withAlpha(shade(dark, 0.7f), 0.6f));
  TextStyle st;
  st.stroke = 2.4f;
  st.outline = 0.9f;
  st.outlineColour = shade(dark, 0.3f);
  st.top = grey(1.0f);
  st.bottom = mix(light, grey(1.0f), 0.5f);
  if (f == 0) {
    // The test badge: a flask over the word TEST.
    const Shape flask = [](Vec2 p) {
      const float neck = sdf::box(p, {32, 16}, {3, 5});
      const float body = sdf::polygon(p, {{29, 19}, {35, 19}, {42, 33}, {22, 33}});
      return std::min(neck, body) - 0.8f;
    };
    outlined(pen, {0, 0, 64, 64}, flask, linear({32, 10}, {32, 33}, grey(1.0f), rgb(200, 230, 255)), rgb(60, 40, 0), 1.2f);
    pen.polygon({{26.5f, 27}, {37.5f, 27}, {41, 32}, {23, 32}}, rgb(90, 220, 120));
    st.unitX = st.unitY = 1.6f;
    st.stroke = 1.7f;
    drawTextCentred(pen, "TEST", 32, 37, st, 1.5f);
    return;
  }
  const int symbols[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', 133, 132, 134, 135, 137, 138, 139, 'Z', 'G', 'S', 'A'};
  const int sym = symbols[(f * 7) % 20];
  st.unitX = st.unitY = 3.0f;
  const Glyph& g = glyphFor(sym, true);
  drawGlyph(pen, g, {c.x - static_cast<float>(g.width) * 1.5f, c.y - 9.0f}, st);
}

}  // namespace

void addArtworkPictures(std::vector<Picture>& out) {
  out.push_back({"logo", 256, 128, 1, false, drawLogo});
  out.push_back({"common/StudioLogo", 256, 256, 1, false, drawStudioLogo});
  out.push_back({"common/Testcard_Circle", 256, 256, 1, false, drawTestcard});
  out.push_back({"menu", 256, 256, 4, false, drawPanel});
  out.push_back({"BadgesA", 64, 64, 64, false, drawBadge});
}

}  // namespace assetgen
