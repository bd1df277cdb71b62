// Interface pictures: the menu bar, the icon sheet, the on-screen pad, the button sheet (with the
// three gear layers of the options icon and a controller picture) and the particle shapes.
// Icons, pad and particles are drawn white and grey: the game tints them when it draws them.
#include <cmath>

#include "fonts.h"
#include "noise.h"
#include "paintkit.h"
#include "strip.h"

namespace assetgen {
namespace {

// --- menubar ----------------------------------------------------------------------------------

void drawMenuBar(Pen& pen, int f) {
  const bool selected = f == 1;
  const Shape bar = [](Vec2 p) { return sdf::roundBox(p, {128, 32}, {118, 22}, 22); };
  const Box b{0, 0, 256, 64};
  if (selected) glow(pen, {128, 32}, 60, rgb(255, 200, 80, 0.0f));
  softShadow(pen, b, bar, {3, 4}, 4, 0.4f);
  const Colour top = selected ? rgb(255, 214, 90) : rgb(84, 110, 230);
  const Colour bottom = selected ? rgb(236, 104, 20) : rgb(28, 36, 120);
  const Colour rim = selected ? rgb(255, 250, 220) : rgb(150, 170, 255);
  outlined(pen, b, bar, bevelled(bar, linear({128, 10}, {128, 54}, top, bottom), 5, 0.4f),
           selected ? rgb(120, 40, 0) : rgb(8, 10, 50), 2.0f);
  // Inner rim line and a glossy band on the upper half.
  pen.fill(b, [bar](Vec2 p) { return std::fabs(bar(p) + 2.5f) - 0.6f; }, withAlpha(rim, 0.55f));
  pen.fill(b, [](Vec2 p) { return sdf::roundBox(p, {128, 21}, {108, 8}, 8); },
           linear({128, 13}, {128, 29}, Colour{1, 1, 1, 0.42f}, Colour{1, 1, 1, 0.06f}));
  if (pen.scale() >= 2.0f) {  // fine diagonal texture on the bar
    pen.fill(b, [bar](Vec2 p) {
      const float m = std::fmod(p.x + p.y, 6.0f);
      return std::max(bar(p) + 3.0f, std::fabs(m - 3.0f) - 0.5f);
    }, Colour{1, 1, 1, 0.05f});
  }
  // A chevron at the right end: grey on the normal bar, white and bold when selected.
  const float x = 222;
  const std::vector<Vec2> chev{{x - 7, 20}, {x - 1, 20}, {x + 9, 32}, {x - 1, 44}, {x - 7, 44}, {x + 3, 32}};
  pen.fill(boundsOf(chev, 2), [chev](Vec2 p) { return sdf::polygon(p, chev) - 0.6f; },
           selected ? Colour{1, 1, 1, 0.95f} : Colour{0.8f, 0.85f, 1.0f, 0.45f});
}

// --- icons (tinted) ---------------------------------------------------------------------------

const Colour kInk{0.12f, 0.12f, 0.12f, 0.75f};  // dark rim that stays dark under any tint

Paint whiteSheen(float y0, float y1) { return linear({0, y0}, {0, y1}, grey(1.0f), grey(0.78f)); }

void iconShape(Pen& pen, const Shape& s, float y0 = 2, float y1 = 30) {
  outlined(pen, {0, 0, 32, 32}, s, whiteSheen(y0, y1), kInk, 1.2f);
}

void drawIcon(Pen& pen, int f) {
  const Vec2 c{16, 16};
  switch (f) {
    case 0:  // pause
      pen.circle(c, 14.5f, Colour{0.1f, 0.1f, 0.1f, 0.45f});
      pen.ring(c, 13.5f, 2.0f, grey(0.95f));
      iconShape(pen, [](Vec2 p) { return std::min(sdf::roundBox(p, {12, 16}, {2.4f, 7}, 1), sdf::roundBox(p, {20, 16}, {2.4f, 7}, 1)); });
      break;
    case 1:  // quit: a cross in a ring
      pen.circle(c, 14.5f, Colour{0.1f, 0.1f, 0.1f, 0.45f});
      pen.ring(c, 13.5f, 2.0f, grey(0.95f));
      iconShape(pen, [](Vec2 p) {
        return std::min(sdf::segment(p, {10.5f, 10.5f}, {21.5f, 21.5f}, 2.4f), sdf::segment(p, {21.5f, 10.5f}, {10.5f, 21.5f}, 2.4f));
      });
      break;
    case 2:  // home
      iconShape(pen, [](Vec2 p) {
        const float roof = sdf::polygon(p, {{16, 4}, {29, 16}, {3, 16}});
        const float body = sdf::box(p, {16, 21}, {9, 7});
        const float door = sdf::box(p, {16, 24}, {2.5f, 4.5f});
        return sdf::subtract(std::min(roof, body), door);
      });
      break;
    case 3: {  // play arrow
      const std::vector<Vec2> tri{{8, 4}, {28, 16}, {8, 28}};
      iconShape(pen, [tri](Vec2 p) { return sdf::polygon(p, tri) - 1.5f; }, 4, 28);
      break;
    }
    case 4:
    case 5: {  // sound on / off
      iconShape(pen, [](Vec2 p) {
        const float box = sdf::box(p, {7, 16}, {3, 4});
        const float cone = sdf::polygon(p, {{8, 12}, {15, 6}, {15, 26}, {8, 20}});
        return std::min(box, cone);
      });
      if (f == 4) {
        for (int i = 0; i < 2; ++i) {
          const float r = 6.0f + static_cast<float>(i) * 5.0f;
          pen.fill({14, 0, 32, 32}, [r](Vec2 p) {
            const float ring = std::fabs(sdf::circle(p, {15, 16}, r)) - 1.2f;
            return std::max(ring, -(p.x - 18.0f) + std::fabs(p.y - 16.0f) * 0.2f);
          }, grey(0.95f));
        }
      } else {
        pen.line({19, 11}, {28, 21}, 2.6f, grey(0.95f));
        pen.line({28, 11}, {19, 21}, 2.6f, grey(0.95f));
      }
      break;
    }
    case 6:  // highlight ring
      glow(pen, c, 16, Colour{1, 1, 1, 0.35f});
      pen.ring(c, 14.0f, 2.4f, grey(1.0f));
      pen.ring(c, 11.8f, 0.8f, Colour{1, 1, 1, 0.5f});
      break;
    case 7: {  // tilt calibration: a tilted handset between two curved arrows
      const Shape phone = [](Vec2 p) { return sdf::roundBox(rotate(p - Vec2{16, 16}, -20), {0, 0}, {5.5f, 9.5f}, 2); };
      iconShape(pen, phone);
      pen.fill({0, 0, 32, 32}, [](Vec2 p) { return sdf::roundBox(rotate(p - Vec2{16, 16}, -20), {0, -1}, {3.8f, 6.5f}, 1); },
               grey(0.3f));
      for (int s = -1; s <= 1; s += 2) {
        const float sx = static_cast<float>(s);
        pen.fill({0, 0, 32, 32}, [sx](Vec2 p) {
          const float ring = std::fabs(sdf::circle(p, {16, 16}, 13.0f)) - 1.1f;
          return std::max(ring, std::max(-(p.x - 16.0f) * sx - 6.0f, std::fabs(p.y - 16.0f) - 7.0f));
        }, grey(0.95f));
        const Vec2 tip{16 + sx * 13.0f, 16 - sx * 8.0f};
        pen.polygon({tip + Vec2{-3, 0}, tip + Vec2{3, 0}, tip + Vec2{0, sx * 4.0f}}, grey(0.95f));
      }
      break;
    }
    case 8: {  // restart
      pen.fill({0, 0, 32, 32}, [](Vec2 p) {
        const float ring = std::fabs(sdf::circle(p, {16, 16}, 10.0f)) - 2.2f;
        return std::max(ring, -(std::max(p.x - 16.0f, 16.0f - p.y)));
      }, grey(0.95f));
      pen.polygon({{16, 1}, {23, 6}, {16, 11}}, grey(0.95f));
      break;
    }
    case 9: iconShape(pen, [](Vec2 p) { return sdf::star(p, {16, 16.5f}, 14, 6, 5, 0) - 0.5f; }); break;
    case 10:  // trophy: a cup with two handles on a stem and base
      iconShape(pen, [](Vec2 p) {
        const float bowl = std::max(sdf::circle(p, {16, 5}, 10.0f), 5.0f - p.y);
        const float cup = std::min(bowl, sdf::box(p, {16, 5}, {10.5f, 1.5f}));
        const float left = std::max(std::fabs(sdf::circle(p, {6.5f, 9}, 4.0f)) - 1.3f, p.x - 6.5f);
        const float right = std::max(std::fabs(sdf::circle(p, {25.5f, 9}, 4.0f)) - 1.3f, 25.5f - p.x);
        const float stem = sdf::box(p, {16, 19.5f}, {2, 4});
        const float base = sdf::roundBox(p, {16, 27}, {7.5f, 2.5f}, 1);
        return std::min(std::min(cup, std::min(left, right)), std::min(stem, base));
      });
      break;
    case 11:  // lock
      pen.fill({0, 0, 32, 32}, [](Vec2 p) { return std::max(std::fabs(sdf::circle(p, {16, 12}, 6.5f)) - 1.8f, p.y - 13.0f); },
               grey(0.9f));
      iconShape(pen, [](Vec2 p) { return sdf::subtract(sdf::roundBox(p, {16, 20}, {9, 7.5f}, 2), sdf::circle(p, {16, 19}, 2)); });
      break;
    case 12:  // info
      iconShape(pen, [](Vec2 p) { return sdf::circle(p, {16, 16}, 13.5f); });
      pen.circle({16, 9.5f}, 2.0f, kInk);
      pen.roundRect(14.2f, 13, 3.6f, 11, 1, kInk);
      break;
    case 13:  // tick
      iconShape(pen, [](Vec2 p) { return std::min(sdf::segment(p, {6, 17}, {13, 24}, 2.6f), sdf::segment(p, {13, 24}, {26, 8}, 2.6f)); });
      break;
    case 14:  // note
      iconShape(pen, [](Vec2 p) {
        const float head = sdf::circle(p, {11, 24}, 4.5f);
        const float stem = sdf::box(p, {14.5f, 14}, {1.3f, 10});
        const float flag = sdf::segment(p, {14.5f, 5}, {23, 10}, 1.8f);
        return std::min(head, std::min(stem, flag));
      });
      break;
    case 15:  // question mark in a ring
      pen.circle(c, 14.5f, Colour{0.1f, 0.1f, 0.1f, 0.45f});
      pen.ring(c, 13.5f, 2.0f, grey(0.95f));
      pen.fill({0, 0, 32, 32}, [](Vec2 p) {
        // The hook: the upper three quarters of a ring, then a short stroke down to the dot.
        const Vec2 q = p - Vec2{16, 12};
        const bool lowerLeft = q.x < 0.0f && q.y > 0.0f;  // the part of the ring a '?' leaves open
        const float hook = lowerLeft ? 1e9f : std::fabs(length(q) - 4.5f) - 1.6f;
        const float stroke = sdf::segment(p, {18.0f, 15.5f}, {16.0f, 19.5f}, 1.6f);
        return std::min(hook, stroke);
      }, grey(0.95f));
      pen.circle({16, 23.5f}, 1.8f, grey(0.95f));
      break;
    default: break;
  }
}

// --- on-screen pad (tinted) -------------------------------------------------------------------

void padKey(Pen& pen, float angle, bool round) {
  const Vec2 c{16, 16};
  const Shape key = round ? Shape([c](Vec2 p) { return sdf::circle(p, c, 12.5f); })
                          : Shape([c](Vec2 p) { return sdf::roundBox(p, c, {13, 13}, 5); });
  softShadow(pen, {0, 0, 32, 32}, key, {1, 1.5f}, 1.5f, 0.35f);
  outlined(pen, {0, 0, 32, 32}, key, bevelled(key, linear({16, 3}, {16, 29}, grey(0.97f), grey(0.66f)), 3, 0.45f), kInk, 1.1f);
  if (round) {
    pen.circle(c, 5.0f, grey(0.45f));
    pen.circle(c + Vec2{-1, -1}, 3.5f, grey(0.6f));
    return;
  }
  std::vector<Vec2> arrow{{-6, 4}, {0, -5}, {6, 4}};
  for (Vec2& v : arrow) v = rotate(v, angle) + c;
  pen.fill(boundsOf(arrow, 3), [arrow](Vec2 p) { return sdf::polygon(p, arrow) - 1.2f; }, grey(0.28f));
}

void drawPad(Pen& pen, int f) {
  switch (f) {
    case 0: {  // move handle: a four-way cross of arrows in a ring
      const Vec2 c{16, 16};
      pen.circle(c, 15, Colour{0.1f, 0.1f, 0.1f, 0.35f});
      pen.ring(c, 14, 1.4f, grey(0.95f));
      for (int i = 0; i < 4; ++i) {
        const float a = static_cast<float>(i) * 90.0f;
        std::vector<Vec2> arrow{{-4, -6}, {0, -11}, {4, -6}};
        for (Vec2& v : arrow) v = rotate(v, a) + c;
        pen.polygon(arrow, grey(0.95f));
        pen.line(c, rotate({0, -7}, a) + c, 2.0f, grey(0.95f));
      }
      break;
    }
    case 1: padKey(pen, 0, false); break;
    case 2: padKey(pen, 45, false); break;
    case 4: padKey(pen, -90, false); break;
    case 5: padKey(pen, 0, true); break;
    case 6: padKey(pen, 90, false); break;
    case 8: padKey(pen, -135, false); break;
    case 9: padKey(pen, 180, false); break;
    case 10: padKey(pen, 135, false); break;
    default: break;
  }
}

// --- Buttons: face buttons, gear layers, controller --------------------------------------------

void faceButton(Pen& pen, Colour col, char letter, bool pressed) {
  const Vec2 c{32, pressed ? 34.0f : 32.0f};
  const Shape s = [c](Vec2 p) { return sdf::circle(p, c, 24); };
  if (!pressed) softShadow(pen, {0, 0, 64, 64}, s, {2, 4}, 3, 0.45f);
  outlined(pen, {0, 0, 64, 64}, s,
           bevelled(s, radial(c + Vec2{-8, -10}, 36, mix(col, rgb(255, 255, 255), pressed ? 0.1f : 0.45f), shade(col, 0.6f)), 6,
                    pressed ? -0.3f : 0.5f),
           shade(col, 0.25f), 2.0f);
  TextStyle st;
  st.unitX = 4.0f;
  st.unitY = 4.0f;
  st.stroke = 4.0f;
  st.top = grey(1.0f);
  st.bottom = grey(0.85f);
  st.outline = 1.2f;
  st.outlineColour = shade(col, 0.3f);
  drawTextCentred(pen, std::string(1, letter), c.x, c.y - 12.0f, st, 1.0f);
}

float gearDistance(Vec2 p, Vec2 c, float rOuter, float rRoot, int teeth, float hole, float spokes) {
  const Vec2 q = p - c;
  const float a = std::atan2(q.y, q.x);
  const float r = length(q);
  const float period = 6.2831853f / static_cast<float>(teeth);
  float t = std::fmod(a + 100.0f * period, period) / period;  // 0..1 across one tooth
  t = std::fabs(t - 0.5f) * 2.0f;                              // 0 at a tooth centre, 1 between
  const float toothR = rRoot + (rOuter - rRoot) * clamp01((0.75f - t) * 3.0f);
  float d = r - toothR;
  d = std::max(d, hole - r);  // hollow centre
  if (spokes > 0.0f) {
    // Window cut-outs between spokes, on the rim band.
    const float band = std::max(r - (rRoot - 4.0f), (hole + 3.5f) - r);
    const float sp = std::fmod(a + 100.0f * 1.2566371f, 1.2566371f) / 1.2566371f;
    const float spoke = std::fabs(sp - 0.5f) * 1.2566371f * r - spokes;
    d = std::max(d, -std::max(band, -spoke));
  }
  return d;
}

void drawGear(Pen& pen, float rOuter, float rRoot, int teeth, float hole, float spokes, Colour light, Colour dark) {
  const Vec2 c{32, 32};
  const Shape s = [=](Vec2 p) { return gearDistance(p, c, rOuter, rRoot, teeth, hole, spokes); };
  softShadow(pen, {0, 0, 64, 64}, s, {1.5f, 2.5f}, 2.5f, 0.4f);
  outlined(pen, {0, 0, 64, 64}, s, bevelled(s, radial(c + Vec2{-10, -12}, rOuter * 2.0f, light, dark), 3.0f, 0.6f),
           shade(dark, 0.3f), 1.4f);
}

void drawController(Pen& pen) {
  const Shape body = [](Vec2 p) {
    const float mid = sdf::roundBox(p, {32, 28}, {22, 10}, 8);
    const float l = sdf::circle(p, {15, 34}, 10), r = sdf::circle(p, {49, 34}, 10);
    return std::min(mid, std::min(l, r));
  };
  softShadow(pen, {0, 0, 64, 64}, body, {2, 3}, 3, 0.45f);
  outlined(pen, {0, 0, 64, 64}, body, bevelled(body, linear({32, 16}, {32, 46}, rgb(90, 96, 120), rgb(36, 38, 52)), 4, 0.5f),
           rgb(8, 8, 12), 1.6f);
  // D-pad.
  pen.fill({0, 0, 64, 64}, [](Vec2 p) { return std::min(sdf::roundBox(p, {17, 30}, {6.5f, 2.2f}, 0.8f), sdf::roundBox(p, {17, 30}, {2.2f, 6.5f}, 0.8f)); },
           rgb(20, 20, 26));
  // Four face buttons.
  const Colour cols[4] = {rgb(90, 220, 90), rgb(240, 80, 80), rgb(80, 140, 250), rgb(250, 210, 60)};
  const Vec2 at[4] = {{47, 35}, {52, 30}, {42, 30}, {47, 25}};
  for (int i = 0; i < 4; ++i) {
    pen.circle(at[i], 2.9f, rgb(10, 10, 14));
    pen.circle(at[i], 2.2f, cols[i]);
    pen.circle(at[i] + Vec2{-0.6f, -0.6f}, 0.8f, Colour{1, 1, 1, 0.7f});
  }
  pen.roundRect(27, 24, 4, 2, 1, rgb(150, 150, 170));
  pen.roundRect(33, 24, 4, 2, 1, rgb(150, 150, 170));
  pen.circle({26, 36}, 3.6f, rgb(20, 20, 26));
  pen.circle({38, 36}, 3.6f, rgb(20, 20, 26));
  pen.circle({25.5f, 35.5f}, 2.4f, rgb(70, 74, 90));
  pen.circle({37.5f, 35.5f}, 2.4f, rgb(70, 74, 90));
  pen.fill({0, 0, 64, 64}, [](Vec2 p) { return sdf::roundBox(p, {32, 21}, {14, 1.5f}, 1.5f); }, Colour{1, 1, 1, 0.18f});
}

void drawKeyboard(Pen& pen) {
  const Shape body = [](Vec2 p) { return sdf::roundBox(p, {32, 34}, {27, 14}, 4); };
  softShadow(pen, {0, 0, 64, 64}, body, {2, 3}, 3, 0.45f);
  outlined(pen, {0, 0, 64, 64}, body, linear({32, 20}, {32, 48}, rgb(80, 84, 100), rgb(40, 42, 54)), rgb(8, 8, 12), 1.5f);
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 9; ++col) {
      const float x = 9.5f + static_cast<float>(col) * 5.5f + (row == 1 ? 1.5f : 0.0f);
      if (x > 52) continue;
      pen.roundRect(x, 24.0f + static_cast<float>(row) * 6.0f, 4.3f, 4.5f, 1.0f, rgb(200, 204, 220));
    }
  }
  pen.roundRect(17, 42, 30, 4, 1.0f, rgb(200, 204, 220));
}

void drawButtonsFrame(Pen& pen, int f) {
  const Colour faces[4] = {rgb(70, 200, 80), rgb(230, 60, 60), rgb(60, 120, 240), rgb(240, 200, 40)};
  const char letters[4] = {'A', 'B', 'X', 'Y'};
  if (f < 8) {
    faceButton(pen, faces[f % 4], letters[f % 4], f >= 4);
    return;
  }
  switch (f) {
    case 8: drawGear(pen, 30, 25, 14, 17, 0, rgb(230, 236, 246), rgb(100, 110, 130)); break;
    case 9: drawGear(pen, 18, 14, 9, 8.5f, 0, rgb(255, 226, 130), rgb(170, 110, 20)); break;
    case 10:
      drawGear(pen, 9.5f, 7, 6, 0, 0, rgb(255, 150, 110), rgb(170, 50, 30));
      pen.circle({32, 32}, 3.0f, rgb(50, 20, 10));
      pen.circle({31.4f, 31.4f}, 1.2f, rgb(255, 220, 200));
      break;
    case 12: drawController(pen); break;
    case 13: drawKeyboard(pen); break;
    default: break;
  }
}

// --- parts: particle shapes (tinted) -----------------------------------------------------------

void drawPart(Pen& pen, int f) {
  Rng rng(static_cast<uint32_t>(f) * 2654435761u + 17u);
  const Vec2 c{4, 4};
  const int kind = f / 64;
  switch (kind) {
    case 0: {  // sparks: short bright streaks with a hot core
      const float a = rng.range(0, 180), len = rng.range(2.0f, 3.6f), w = rng.range(0.8f, 1.4f);
      const Vec2 d = rotate({len, 0}, a);
      pen.line(c - d, c + d, w + 0.8f, Colour{0.75f, 0.75f, 0.75f, 0.6f});
      pen.line(c - d * 0.7f, c + d * 0.7f, w, grey(1.0f));
      break;
    }
    case 1: {  // stars
      const int points = rng.chance(0.5f) ? 4 : 5;
      const float r = rng.range(2.6f, 3.8f);
      const float rot = rng.range(0, 90);
      pen.fill({0, 0, 8, 8}, [=](Vec2 p) { return sdf::star(p, c, r, r * (points == 4 ? 0.35f : 0.45f), points, rot); },
               radial(c, r, grey(1.0f), grey(0.75f)));
      break;
    }
    case 2: {  // dots: soft round blobs of different sizes
      const float r = rng.range(1.2f, 3.2f);
      glow(pen, c, r + 1.0f, Colour{1, 1, 1, 0.5f});
      pen.fill({0, 0, 8, 8}, [=](Vec2 p) { return sdf::circle(p, c, r); }, radial(c - Vec2{r * 0.3f, r * 0.3f}, r * 1.3f, grey(1.0f), grey(0.7f)));
      break;
    }
    default: {  // chunks: irregular shards with a lit face
      const int n = 4 + rng.below(3);
      std::vector<Vec2> pts;
      const float base = rng.range(0, 360);
      for (int i = 0; i < n; ++i) {
        const float a = base + 360.0f * static_cast<float>(i) / static_cast<float>(n) + rng.range(-20, 20);
        pts.push_back(c + rotate({0, -rng.range(1.8f, 3.5f)}, a));
      }
      const Shape s = [pts](Vec2 p) { return sdf::polygon(p, pts); };
      pen.fill({0, 0, 8, 8}, s, bevelled(s, [](Vec2) { return grey(0.82f); }, 1.0f, 0.5f));
      break;
    }
  }
}

}  // namespace

void addInterfacePictures(std::vector<Picture>& out) {
  out.push_back({"menubar", 256, 64, 2, false, drawMenuBar});
  out.push_back({"common/icons", 32, 32, 16, true, drawIcon});
  out.push_back({"common/dpad", 32, 32, 16, true, drawPad});
  out.push_back({"common/Buttons", 64, 64, 16, false, drawButtonsFrame});
  out.push_back({"parts", 8, 8, 256, true, drawPart});
}

}  // namespace assetgen
