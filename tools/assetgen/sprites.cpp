// Level sprites: the hero ("garvolin"), the small sprites sheet ("bits": pills, friend, home,
// life icon, one-way arrow and spares), the patroller ("nme") and the floor spikes ("dislike").
// The game rotates the hero by his facing angle, so he is drawn from above, facing right: eyes at
// the front edge, feet at his sides.
#include <cmath>

#include "paintkit.h"
#include "sprites.h"
#include "strip.h"

namespace assetgen {
namespace {

const Vec2 kCentre{32, 32};

enum class Eyes { Open, Wide, Closed, Crossed, Happy, Gone };

struct Body {
  Colour light, dark, rim, foot;
  float size = 1.0f;      // 1 = the hero's 34-unit body
  float footPhase = 0.0f; // -1..1: top foot forward (+) or back (-)
  float squashX = 1.0f, squashY = 1.0f;
  Eyes eyes = Eyes::Open;
  Vec2 look{1.0f, 0.0f};  // pupil direction
  float greyed = 0.0f;    // 0..1 toward ash grey
  float alpha = 1.0f;
  float rotation = 0.0f;  // degrees, about the centre
  Vec2 offset{0, 0};
  bool feet = true;
};

Colour ashen(Colour c, float t, float alpha) {
  const float l = c.r * 0.3f + c.g * 0.5f + c.b * 0.2f;
  Colour g = mix(c, Colour{l * 0.8f, l * 0.8f, l * 0.85f, c.a}, t);
  g.a *= alpha;
  return g;
}

// A block creature seen from above, facing right.
void drawBlock(Pen& pen, const Body& b) {
  const float s = b.size;
  const Vec2 c = kCentre + b.offset;
  const float hx = 17.0f * s * b.squashX, hy = 17.0f * s * b.squashY;
  const auto local = [c, &b](Vec2 p) { return rotate(p - c, -b.rotation); };
  const Box all{c.x - 30 * s, c.y - 30 * s, c.x + 30 * s, c.y + 30 * s};
  const Shape body = [=](Vec2 p) { return sdf::roundBox(local(p), {0, 0}, {hx, hy}, 7.0f * s); };

  softShadow(pen, all, body, {2.0f * s, 3.0f * s}, 3.0f * s, 0.35f * b.alpha);

  if (b.feet) {
    for (int side = -1; side <= 1; side += 2) {
      const float fx = b.footPhase * 6.0f * s * static_cast<float>(-side);
      const Vec2 fc{fx, static_cast<float>(side) * (hy + 1.5f * s)};
      const Shape foot = [=](Vec2 p) {
        const Vec2 q = local(p) - fc;
        return (length(Vec2{q.x / (7.5f * s), q.y / (5.0f * s)}) - 1.0f) * 5.0f * s;
      };
      outlined(pen, all, foot, bevelled(foot, [=](Vec2) { return ashen(b.foot, b.greyed, b.alpha); }, 2.5f * s, 0.5f),
               ashen(b.rim, b.greyed, b.alpha), 1.4f * s);
    }
  }

  const Colour light = ashen(b.light, b.greyed, b.alpha), dark = ashen(b.dark, b.greyed, b.alpha);
  const Paint grad = [=](Vec2 p) {
    const Vec2 q = local(p);
    return mix(light, dark, clamp01((q.x + q.y) / (2.2f * (hx + hy) * 0.5f) + 0.5f));
  };
  outlined(pen, all, body, bevelled(body, grad, 4.0f * s, 0.45f), ashen(b.rim, b.greyed, b.alpha), 1.6f * s);

  // Shine on the upper left.
  const Shape shine = [=](Vec2 p) {
    const Vec2 q = local(p) - Vec2{-hx * 0.45f, -hy * 0.55f};
    return (length(Vec2{q.x / 6.5f, q.y / 3.2f}) - 1.0f) * 3.2f * s;
  };
  pen.fill(all, shine, Colour{1, 1, 1, 0.35f * b.alpha});
  if (pen.scale() >= 2.0f) {
    // Fine grain on the block at the higher resolutions: a faint inner seam.
    const Shape seam = [=](Vec2 p) {
      return std::fabs(sdf::roundBox(local(p), {0, 0}, {hx - 4.5f * s, hy - 4.5f * s}, 4.0f * s)) - 0.35f * s;
    };
    pen.fill(all, seam, withAlpha(shade(dark, 0.8f), 0.25f * b.alpha));
  }

  // Eyes at the front (right) edge, one above the other.
  for (int side = -1; side <= 1; side += 2) {
    const Vec2 ec{hx * 0.42f, static_cast<float>(side) * 7.0f * s * b.squashY};
    const auto at = [=](Vec2 q) { return rotate(q, b.rotation) + c; };
    const Vec2 e = at(ec);
    const Colour ink = Colour{0.08f, 0.06f, 0.1f, b.alpha};
    switch (b.eyes) {
      case Eyes::Open:
      case Eyes::Wide: {
        const float r = (b.eyes == Eyes::Wide ? 6.3f : 5.2f) * s;
        pen.circle(e, r + 1.1f * s, ink);
        pen.circle(e, r, Colour{1, 1, 1, b.alpha});
        const float pr = (b.eyes == Eyes::Wide ? 1.8f : 2.8f) * s;
        const Vec2 pc = e + rotate(b.look, b.rotation) * (r - pr - 0.6f * s);
        pen.circle(pc, pr, ink);
        pen.circle(pc + Vec2{-0.8f * s, -0.9f * s}, 0.8f * s, Colour{1, 1, 1, 0.9f * b.alpha});
        break;
      }
      case Eyes::Closed:
        pen.line(at(ec + Vec2{0, -4.5f * s}), at(ec + Vec2{0, 4.5f * s}), 1.8f * s, ink);
        break;
      case Eyes::Happy: {
        const Vec2 a = at(ec + Vec2{-2.5f * s, -4 * s}), m = at(ec + Vec2{2.0f * s, 0}), z = at(ec + Vec2{-2.5f * s, 4 * s});
        pen.line(a, m, 1.8f * s, ink);
        pen.line(m, z, 1.8f * s, ink);
        break;
      }
      case Eyes::Crossed: {
        const float r = 3.6f * s;
        pen.line(at(ec + Vec2{-r, -r}), at(ec + Vec2{r, r}), 1.9f * s, ink);
        pen.line(at(ec + Vec2{-r, r}), at(ec + Vec2{r, -r}), 1.9f * s, ink);
        break;
      }
      case Eyes::Gone:
        break;
    }
  }
}

Body heroBody() {
  Body b;
  b.light = rgb(255, 214, 84);
  b.dark = rgb(236, 118, 24);
  b.rim = rgb(72, 30, 8);
  b.foot = rgb(150, 64, 24);
  return b;
}

Body friendBody() {
  Body b;
  b.light = rgb(255, 180, 226);
  b.dark = rgb(214, 70, 160);
  b.rim = rgb(70, 12, 52);
  b.foot = rgb(120, 40, 110);
  b.size = 0.74f;
  return b;
}

void miniStar(Pen& pen, Vec2 c, float r, Colour col) {
  pen.fill({c.x - r - 1, c.y - r - 1, c.x + r + 1, c.y + r + 1}, [=](Vec2 p) { return sdf::star(p, c, r, r * 0.45f, 5, 0); },
           col);
}

// Four quarters of the block flying apart, for the end of the death sequence.
void drawShattered(Pen& pen, float spread, float shrink, float spin, float alpha) {
  Body b = heroBody();
  b.greyed = 0.6f;
  b.alpha = alpha;
  b.feet = false;
  b.eyes = Eyes::Gone;
  b.size = 0.5f * shrink;
  for (int i = 0; i < 4; ++i) {
    const float sx = (i % 2) ? 1.0f : -1.0f, sy = (i / 2) ? 1.0f : -1.0f;
    b.offset = {sx * (8.5f + spread), sy * (8.5f + spread)};
    b.rotation = spin * sx * sy;
    drawBlock(pen, b);
  }
}

void drawHeroFrame(Pen& pen, int f) {
  Body b = heroBody();
  switch (f) {
    case 0: b.footPhase = 1.0f; b.squashX = 1.02f; b.squashY = 0.98f; break;
    case 1: b.footPhase = -1.0f; b.squashX = 0.98f; b.squashY = 1.02f; break;
    case 2: b.eyes = Eyes::Closed; break;
    case 3: b.eyes = Eyes::Happy; break;
    case 4: b.eyes = Eyes::Wide; b.squashX = 0.94f; b.squashY = 1.06f; b.footPhase = 0.4f; break;
    case 5: b.eyes = Eyes::Crossed; b.squashX = 1.12f; b.squashY = 0.88f; b.greyed = 0.15f; break;
    case 6:
      b.eyes = Eyes::Crossed; b.squashX = 1.18f; b.squashY = 0.8f; b.greyed = 0.3f;
      drawBlock(pen, b);
      for (int i = 0; i < 3; ++i) {
        const float a = static_cast<float>(i) * 120.0f + 20.0f;
        miniStar(pen, kCentre + rotate({0, -25}, a), 4.5f, rgb(255, 240, 120));
      }
      return;
    case 7: {
      b.eyes = Eyes::Crossed; b.greyed = 0.55f; b.feet = false;
      drawBlock(pen, b);
      const Colour crack = rgb(40, 30, 30);
      pen.line({32, 15}, {29, 26}, 1.5f, crack);
      pen.line({29, 26}, {34, 33}, 1.5f, crack);
      pen.line({34, 33}, {30, 44}, 1.5f, crack);
      pen.line({34, 33}, {44, 36}, 1.2f, crack);
      return;
    }
    case 8: drawShattered(pen, 1.5f, 1.0f, 6.0f, 1.0f); return;
    case 9: drawShattered(pen, 5.0f, 0.9f, 18.0f, 0.95f); return;
    case 10: drawShattered(pen, 10.0f, 0.75f, 35.0f, 0.75f); return;
    case 11: {
      for (int i = 0; i < 7; ++i) {
        const Vec2 p = kCentre + rotate({0, -16.0f - static_cast<float>(i % 3) * 3.0f}, static_cast<float>(i) * 51.0f);
        pen.circle(p, 4.5f - static_cast<float>(i % 3), Colour{0.85f, 0.85f, 0.88f, 0.45f});
      }
      pen.circle(kCentre, 6.0f, Colour{0.9f, 0.9f, 0.92f, 0.3f});
      return;
    }
    case 12: b.look = {0.3f, -1.0f}; break;
    case 13: b.look = {0.3f, 1.0f}; break;
    case 14:
      b.eyes = Eyes::Happy;
      drawBlock(pen, b);
      for (int i = 0; i < 4; ++i) miniStar(pen, kCentre + rotate({0, -27}, static_cast<float>(i) * 90.0f + 45.0f), 4.0f, rgb(255, 255, 200));
      return;
    case 15: b.look = {-1.0f, 0.0f}; break;
    default: break;
  }
  drawBlock(pen, b);
}

// --- bits ---------------------------------------------------------------------------------

void drawPill(Pen& pen, float r, Colour core, Colour edge) {
  glow(pen, kCentre, r * 2.1f, withAlpha(core, 0.45f));
  const Shape s = [r](Vec2 p) { return sdf::circle(p, kCentre, r); };
  const Box b{32 - r - 2, 32 - r - 2, 32 + r + 2, 32 + r + 2};
  outlined(pen, b, s, radial(kCentre + Vec2{-r * 0.35f, -r * 0.35f}, r * 1.4f, Colour{1, 1, 0.92f, 1}, edge),
           shade(edge, 0.45f), std::max(0.8f, r * 0.14f));
  pen.circle(kCentre + Vec2{-r * 0.35f, -r * 0.38f}, r * 0.28f, Colour{1, 1, 1, 0.9f});
}

void drawHome(Pen& pen) {
  const Colour rim = rgb(50, 24, 16);
  const Shape walls = [](Vec2 p) { return sdf::box(p, {32, 40}, {19, 14}); };
  softShadow(pen, {8, 10, 58, 60}, walls, {2, 3}, 3, 0.35f);
  outlined(pen, {10, 24, 54, 56}, walls,
           bevelled(walls, linear({32, 26}, {32, 54}, rgb(255, 244, 214), rgb(236, 200, 150)), 3.0f, 0.3f), rim, 1.5f);
  if (pen.scale() >= 2.0f) {
    for (int row = 0; row < 4; ++row) {  // plank lines
      const float y = 30.0f + static_cast<float>(row) * 6.5f;
      pen.line({14, y}, {50, y}, 0.4f, Colour{0.55f, 0.4f, 0.3f, 0.35f});
    }
  }
  // Chimney, then the roof over it.
  const Shape chimney = [](Vec2 p) { return sdf::box(p, {43, 14}, {3.5f, 7}); };
  outlined(pen, {36, 4, 50, 24}, chimney, linear({40, 8}, {47, 8}, rgb(200, 90, 70), rgb(140, 50, 40)), rim, 1.3f);
  const std::vector<Vec2> roof{{32, 6}, {57, 28}, {7, 28}};
  const Shape roofS = [roof](Vec2 p) { return sdf::polygon(p, roof) - 0.8f; };
  outlined(pen, boundsOf(roof, 2), roofS,
           bevelled(roofS, linear({32, 6}, {32, 28}, rgb(250, 90, 70), rgb(190, 40, 40)), 3.0f, 0.35f), rim, 1.5f);
  if (pen.scale() >= 2.0f) {
    for (int row = 1; row < 4; ++row) {  // roof tile rows
      const float y = 6.0f + static_cast<float>(row) * 5.5f;
      const float half = (y - 6.0f) * 25.0f / 22.0f - 1.5f;
      pen.line({32 - half, y}, {32 + half, y}, 0.5f, Colour{0.45f, 0.1f, 0.1f, 0.55f});
    }
  }
  // Door (arched) and a round window.
  const Shape door = [](Vec2 p) {
    return sdf::unite(sdf::box(p, {32, 48}, {5.5f, 6}), sdf::circle(p, {32, 42}, 5.5f));
  };
  outlined(pen, {24, 34, 40, 56}, door, linear({28, 40}, {36, 54}, rgb(150, 86, 40), rgb(100, 50, 20)), rim, 1.2f);
  pen.circle({35, 48}, 0.9f, rgb(255, 220, 90));
  const Shape win = [](Vec2 p) { return sdf::circle(p, {44, 37}, 4.0f); };
  outlined(pen, {38, 31, 50, 43}, win, radial({43, 36}, 5, rgb(255, 250, 190), rgb(255, 190, 60)), rim, 1.2f);
  pen.line({44, 33}, {44, 41}, 0.8f, rim);
  pen.line({40, 37}, {48, 37}, 0.8f, rim);
  const Shape win2 = [](Vec2 p) { return sdf::circle(p, {20, 37}, 4.0f); };
  outlined(pen, {14, 31, 26, 43}, win2, radial({19, 36}, 5, rgb(255, 250, 190), rgb(255, 190, 60)), rim, 1.2f);
  pen.line({20, 33}, {20, 41}, 0.8f, rim);
  pen.line({16, 37}, {24, 37}, 0.8f, rim);
}

void drawOneWay(Pen& pen) {
  const Colour rim{0.1f, 0.12f, 0.2f, 0.85f};
  for (int i = 0; i < 2; ++i) {
    const float x = 20.0f + static_cast<float>(i) * 18.0f;
    const std::vector<Vec2> chev{{x - 6, 16}, {x + 2, 16}, {x + 14, 32}, {x + 2, 48}, {x - 6, 48}, {x + 6, 32}};
    const Shape s = [chev](Vec2 p) { return sdf::polygon(p, chev) - 0.5f; };
    outlined(pen, boundsOf(chev, 2), s,
             bevelled(s, linear({x, 16}, {x, 48}, Colour{0.85f, 1.0f, 1.0f, 0.92f}, Colour{0.35f, 0.85f, 1.0f, 0.92f}), 2.0f,
                      0.4f),
             rim, 1.4f);
  }
}

void drawHeart(Pen& pen, Vec2 c, float r, Colour a, Colour b2) {
  const Shape s = [c, r](Vec2 p) {
    const Vec2 q = p - c;
    const float d1 = sdf::circle(q, {-r * 0.5f, -r * 0.25f}, r * 0.58f);
    const float d2 = sdf::circle(q, {r * 0.5f, -r * 0.25f}, r * 0.58f);
    const float d3 = sdf::polygon(q, {{-r * 1.03f, -r * 0.05f}, {r * 1.03f, -r * 0.05f}, {0, r * 1.05f}});
    return std::min(std::min(d1, d2), d3);
  };
  outlined(pen, {c.x - r * 1.3f, c.y - r * 1.2f, c.x + r * 1.3f, c.y + r * 1.3f}, s,
           bevelled(s, linear(c - Vec2{r, r}, c + Vec2{r, r}, a, b2), r * 0.3f, 0.45f), shade(b2, 0.35f), 1.4f);
}

void drawBitsFrame(Pen& pen, int f) {
  switch (f) {
    case 0: drawPill(pen, 4.6f, rgb(255, 240, 150), rgb(255, 196, 40)); break;
    case 1: drawPill(pen, 8.5f, rgb(255, 255, 200), rgb(120, 230, 255)); break;
    case 2: { Body b = friendBody(); b.footPhase = 0.6f; drawBlock(pen, b); break; }
    case 3: drawHeart(pen, kCentre, 18, rgb(255, 120, 140), rgb(200, 20, 60)); break;
    case 4: drawHome(pen); break;
    case 5: { Body b = heroBody(); b.feet = false; b.look = {0.4f, 0.2f}; b.size = 1.3f; drawBlock(pen, b); break; }
    case 6: drawOneWay(pen); break;
    case 7: {
      const Shape s = [](Vec2 p) { return sdf::star(p, kCentre, 22, 10, 5, 0) - 1.0f; };
      outlined(pen, {6, 6, 58, 58}, s, bevelled(s, linear({14, 10}, {50, 54}, rgb(255, 250, 170), rgb(250, 170, 20)), 5, 0.5f),
               rgb(90, 50, 0), 1.5f);
      break;
    }
    case 8: {
      const std::vector<Vec2> gem{{20, 16}, {44, 16}, {54, 28}, {32, 54}, {10, 28}};
      const Shape s = [gem](Vec2 p) { return sdf::polygon(p, gem); };
      outlined(pen, boundsOf(gem, 2), s, linear({10, 16}, {54, 54}, rgb(170, 240, 255), rgb(20, 90, 220)), rgb(10, 30, 80), 1.5f);
      pen.line({10, 28}, {54, 28}, 0.9f, Colour{1, 1, 1, 0.6f});
      pen.line({20, 16}, {26, 28}, 0.9f, Colour{1, 1, 1, 0.5f});
      pen.line({44, 16}, {38, 28}, 0.9f, Colour{1, 1, 1, 0.5f});
      pen.line({26, 28}, {32, 54}, 0.9f, Colour{1, 1, 1, 0.4f});
      pen.line({38, 28}, {32, 54}, 0.9f, Colour{0, 0, 0.3f, 0.3f});
      break;
    }
    case 9: {
      const Colour gold = rgb(250, 200, 50), rim = rgb(90, 50, 0);
      pen.ring({22, 32}, 8, 5, rim);
      pen.ring({22, 32}, 8, 3, gold);
      pen.roundRect(29, 29.5f, 25, 5, 1.5f, rim);
      pen.roundRect(30, 30.5f, 23, 3, 1, gold);
      pen.rect(44, 33, 3, 7, rim);
      pen.rect(50, 33, 3, 5, rim);
      break;
    }
    case 10: {
      const Shape s = [](Vec2 p) { return sdf::circle(p, kCentre, 17); };
      outlined(pen, {12, 12, 52, 52}, s, bevelled(s, radial({26, 26}, 24, rgb(255, 240, 150), rgb(230, 160, 20)), 4, 0.5f),
               rgb(100, 60, 0), 1.5f);
      pen.ring(kCentre, 12, 1.0f, Colour{0.6f, 0.38f, 0.0f, 0.6f});
      pen.rect(30, 24, 4, 16, Colour{0.6f, 0.38f, 0.0f, 0.8f});
      break;
    }
    case 11: {
      const Shape s = [](Vec2 p) { return sdf::circle(p, {30, 36}, 16); };
      outlined(pen, {12, 18, 48, 54}, s, bevelled(s, radial({24, 30}, 22, rgb(110, 110, 130), rgb(20, 20, 30)), 4, 0.5f),
               rgb(0, 0, 0), 1.5f);
      pen.line({40, 24}, {46, 14}, 2.0f, rgb(160, 120, 80));
      glow(pen, {47, 12}, 7, rgb(255, 220, 80, 0.9f));
      pen.circle({47, 12}, 2.2f, rgb(255, 255, 220));
      break;
    }
    default: break;
  }
}

// --- nme: the horizontal patroller, a spiked roller ----------------------------------------

void drawRoller(Pen& pen, int phase, Colour light, Colour dark, Colour rim) {
  const float spin = static_cast<float>(phase) * 10.0f;
  const Shape body = [](Vec2 p) { return sdf::circle(p, kCentre, 15); };
  softShadow(pen, {4, 4, 60, 60}, body, {2, 4}, 4, 0.35f);
  const Colour steelA = rgb(235, 238, 245), steelB = rgb(120, 126, 140);
  for (int i = 0; i < 12; ++i) {
    const float a = spin + static_cast<float>(i) * 30.0f;
    const Vec2 tip = kCentre + rotate({0, -25}, a);
    const Vec2 l = kCentre + rotate({-5, -13}, a), r = kCentre + rotate({5, -13}, a);
    const std::vector<Vec2> tri{l, tip, r};
    const Shape s = [tri](Vec2 p) { return sdf::polygon(p, tri); };
    outlined(pen, boundsOf(tri, 2), s, linear(l, r, steelA, steelB), rgb(30, 30, 40), 1.0f);
  }
  outlined(pen, {14, 14, 50, 50}, body, bevelled(body, radial({27, 26}, 20, light, dark), 4, 0.5f), rim, 1.6f);
  // Angry face: two eyes and slanted brows.
  const Colour ink = rgb(20, 10, 14);
  for (int side = -1; side <= 1; side += 2) {
    const float sx = static_cast<float>(side);
    const Vec2 e{32 + sx * 6.0f, 31};
    pen.circle(e, 4.6f, ink);
    pen.circle(e, 3.6f, rgb(255, 250, 220));
    pen.circle(e + Vec2{0.3f * sx, 0.8f}, 1.8f, ink);
    pen.line({32 + sx * 2.0f, 25.5f}, {32 + sx * 10.5f, 23.0f}, 2.4f, ink);
  }
  pen.line({28, 40}, {36, 40}, 1.6f, ink);
  if (pen.scale() >= 2.0f) {
    for (int i = 0; i < 3; ++i) {
      const float x = 29.5f + static_cast<float>(i) * 2.5f;
      pen.line({x, 39.2f}, {x + 1.0f, 41.2f}, 0.5f, rgb(255, 255, 255));
    }
  }
}

void drawNmeFrame(Pen& pen, int f) {
  if (f < 3) drawRoller(pen, f, rgb(255, 110, 90), rgb(170, 20, 30), rgb(60, 0, 10));
  else if (f < 6) drawRoller(pen, f - 3, rgb(120, 180, 255), rgb(30, 60, 190), rgb(5, 15, 60));
  else if (f < 9) drawRoller(pen, f - 6, rgb(170, 255, 120), rgb(40, 150, 40), rgb(5, 50, 10));
}

// --- dislike: floor spikes, from flat (0) to fully raised (3) -------------------------------

void drawSpikes(Pen& pen, int f) {
  const float rise = static_cast<float>(f) / 3.0f;
  const Shape plate = [](Vec2 p) { return sdf::roundBox(p, kCentre, {20, 20}, 4); };
  outlined(pen, {10, 10, 54, 54}, plate,
           bevelled(plate, linear({12, 12}, {52, 52}, rgb(170, 176, 190), rgb(100, 104, 118)), 3.0f, 0.5f), rgb(30, 30, 40),
           1.4f);
  if (pen.scale() >= 2.0f) {
    for (int i = 0; i < 4; ++i) {  // corner bolts
      const Vec2 b{i % 2 ? 48.0f : 16.0f, i / 2 ? 48.0f : 16.0f};
      pen.circle(b, 1.3f, rgb(60, 62, 72));
      pen.circle(b + Vec2{-0.3f, -0.3f}, 0.7f, rgb(210, 214, 224));
    }
  }
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 3; ++i) {
      const Vec2 c{20.0f + static_cast<float>(i) * 12.0f, 20.0f + static_cast<float>(j) * 12.0f};
      pen.circle(c, 4.0f, rgb(24, 22, 30));
      pen.circle(c + Vec2{0.6f, 0.6f}, 3.0f, rgb(8, 8, 12));
      if (f == 0) continue;
      const float r = 1.8f + 3.4f * rise;
      const float h = 2.0f + 6.0f * rise;  // apparent height: shadow length
      // Shadow of the spike cast to the lower right.
      const std::vector<Vec2> sh{c + Vec2{-r * 0.7f, r * 0.7f}, c + Vec2{h, h}, c + Vec2{r * 0.7f, -r * 0.7f}};
      pen.polygon(sh, Colour{0, 0, 0, 0.35f});
      // Four facets of a pyramid seen from above.
      const Vec2 t = c + Vec2{-rise * 1.2f, -rise * 1.2f};
      const Vec2 n{c.x, c.y - r}, e{c.x + r, c.y}, s{c.x, c.y + r}, w{c.x - r, c.y};
      const Colour tipTint = f == 3 ? rgb(255, 120, 110) : rgb(240, 244, 250);
      pen.polygon({w, n, t}, mix(rgb(250, 252, 255), tipTint, 0.25f));
      pen.polygon({n, e, t}, rgb(190, 196, 210));
      pen.polygon({e, s, t}, rgb(110, 114, 130));
      pen.polygon({s, w, t}, rgb(160, 166, 182));
      if (f == 3) glow(pen, t, 3.0f, rgb(255, 80, 60, 0.8f));
    }
  }
}

}  // namespace

void drawHeroSprite(Pen& pen, int frame) { drawHeroFrame(pen, frame); }
void drawBitsSprite(Pen& pen, int frame) { drawBitsFrame(pen, frame); }
void drawPatrollerSprite(Pen& pen, int frame) { drawNmeFrame(pen, frame); }
void drawSpikeSprite(Pen& pen, int frame) {
  if (frame < 4) drawSpikes(pen, frame);
}

void addSpritePictures(std::vector<Picture>& out) {
  out.push_back({"garvolin", 64, 64, 16, false, drawHeroFrame});
  out.push_back({"bits", 64, 64, 16, false, drawBitsFrame});
  out.push_back({"nme", 64, 64, 16, false, drawNmeFrame});
  out.push_back({"dislike", 64, 64, 16, false, drawSpikeSprite});
}

}  // namespace assetgen
