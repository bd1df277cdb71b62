// Wall tile sets "world-01" .. "world-09": sixteen wall pieces per world, one material per world.
// Frame f is the piece whose open sides (neighbours that are not wall) form the mask
// kWallFrameMask[f] (1 up, 2 right, 4 down, 8 left). The game draws a 64-unit frame centred on every
// wall cell at a pitch of 47.5 units, so a piece covers its own 48-unit square; on closed sides
// it runs a little past the square so that neighbours overlap without a gap, and the material
// pattern repeats every 48 units so that overlapping neighbours continue it seamlessly. Open
// sides get a lit or shaded bevel, rounded outer corners, and a front face on the lower side so
// that walls read as raised blocks.
#include <cmath>

#include "noise.h"
#include "paintkit.h"
#include "sprites.h"
#include "strip.h"

namespace assetgen {

const int kWallFrameMask[16] = {0, 7, 5, 13, 14, 6, 4, 12, 10, 2, 15, 8, 11, 3, 1, 9};

namespace {

constexpr float kHalf = 24.0f;    // half the cell square
constexpr float kReach = 26.5f;   // extent on closed sides
constexpr float kCorner = 7.0f;   // radius of outer corners
constexpr float kFace = 6.5f;     // height of the front face under an open lower side
constexpr float kPeriod = 48.0f;  // pattern repeat

float wrapCoord(float v) {  // into [0, kPeriod)
  float m = std::fmod(v + kHalf, kPeriod);
  return m < 0.0f ? m + kPeriod : m;
}

// Distance to the outline of the piece, in cell coordinates (q from the cell centre). Closed
// sides reach `reach` units out; open sides end at the cell edge (the lower one `shrinkBottom`
// units higher), with rounded corners where two open sides meet.
float pieceDistance(Vec2 q, int mask, float shrinkBottom, float reach = kReach) {
  const bool up = mask & 1, right = mask & 2, down = mask & 4, left = mask & 8;
  const bool openX = q.x >= 0.0f ? right : left;
  const bool openY = q.y >= 0.0f ? down : up;
  const float ex = openX ? kHalf : reach;
  const float ey = openY ? (q.y >= 0.0f ? kHalf - shrinkBottom : kHalf) : reach;
  const float r = (openX && openY) ? kCorner : 0.0f;
  const float qx = std::fabs(q.x) - ex + r, qy = std::fabs(q.y) - ey + r;
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

struct Material {
  Colour rim;                                    // outline on open sides
  float bevel;                                   // bevel strength
  std::function<Colour(float u, float v, float px)> top;   // u, v in [0, 48)
  std::function<Colour(float u, float depth, float px)> face;  // depth 0 at the top edge .. 1 at the floor
};

// Bricks in running bond: returns the brick's hash and the distance to the nearest mortar line.
struct Brick {
  uint32_t id;
  float edge;
  float bx, by;  // position inside the brick
};
Brick brickAt(float u, float v, float bw, float bh, uint32_t seed) {
  const int rows = static_cast<int>(kPeriod / bh);
  const int row = static_cast<int>(std::floor(v / bh));
  const float shift = (row % 2) ? bw * 0.5f : 0.0f;
  const float uu = std::fmod(u + shift, kPeriod);
  const int cols = static_cast<int>(kPeriod / bw);
  const int col = static_cast<int>(std::floor(uu / bw)) % cols;
  const float bx = uu - static_cast<float>(col) * bw, by = v - static_cast<float>(row) * bh;
  const float edge = std::min(std::min(bx, bw - bx), std::min(by, bh - by));
  return {hash2(col, row % rows, seed), edge, bx, by};
}

float n01(uint32_t h) { return static_cast<float>(h & 0xffff) / 65535.0f; }

Material stone() {
  Material m;
  m.rim = rgb(16, 18, 36);
  m.bevel = 0.55f;
  m.top = [](float u, float v, float px) {
    const Brick b = brickAt(u, v, 24, 12, 11);
    Colour c = mix(rgb(120, 132, 168), rgb(150, 160, 196), n01(b.id));
    const float grain = fbm(u / 6.0f, v / 6.0f, 5, 4, 0.55f, 8, px / 6.0f);
    c = shade(c, 0.85f + 0.3f * grain);
    const float mortar = smoothstep(0.6f, 0.6f + std::max(px, 0.4f), b.edge);
    const Colour mc = rgb(58, 62, 92);
    c = mix(mc, c, mortar);
    if (b.edge > 0.6f && b.by < 2.0f) c = mix(c, rgb(200, 210, 240), 0.25f * (1.0f - b.by / 2.0f));
    return c;
  };
  m.face = [](float u, float d, float px) {
    const Brick b = brickAt(u, d * 12.0f, 24, 12, 12);
    Colour c = mix(rgb(70, 78, 110), rgb(40, 44, 70), d);
    c = shade(c, 0.9f + 0.2f * n01(b.id));
    if (b.edge < std::max(px, 0.5f)) c = shade(c, 0.6f);
    return c;
  };
  return m;
}

Material moss() {
  Material m;
  m.rim = rgb(8, 26, 8);
  m.bevel = 0.5f;
  m.top = [](float u, float v, float px) {
    const Cell cl = cellular(u / 12.0f, v / 12.0f, 21, 4);
    Colour c = mix(rgb(104, 112, 96), rgb(132, 140, 118), n01(cl.id));
    const float grain = fbm(u / 5.0f, v / 5.0f, 22, 4, 0.5f, 48 / 5 + 1, px / 5.0f);
    c = shade(c, 0.85f + 0.3f * grain);
    const float crack = cl.d2 - cl.d1;
    c = mix(rgb(40, 48, 34), c, smoothstep(0.04f, 0.04f + std::max(px / 12.0f, 0.03f), crack));
    const float mossAmt = fbm(u / 16.0f, v / 16.0f, 23, 5, 0.55f, 3, px / 16.0f);
    const float fine = fbm(u / 2.0f, v / 2.0f, 24, 3, 0.6f, 24, px / 2.0f);
    const float t = smoothstep(0.56f, 0.63f, mossAmt + (fine - 0.5f) * 0.12f);
    const Colour mossC = mix(rgb(60, 150, 40), rgb(120, 200, 60), fine);
    return mix(c, mossC, t);
  };
  m.face = [](float u, float d, float px) {
    const float fine = fbm(u / 3.0f, d * 4.0f, 25, 3, 0.5f, 16, px / 3.0f);
    Colour c = mix(rgb(70, 76, 60), rgb(36, 44, 30), d);
    c = shade(c, 0.85f + 0.3f * fine);
    // Moss hanging over the edge.
    const float drip = 0.25f + 0.35f * valueNoise(u / 4.0f, 0.5f, 26, 12);
    if (d < drip) c = mix(c, rgb(70, 160, 45), 0.85f);
    return c;
  };
  return m;
}

Material ice() {
  Material m;
  m.rim = rgb(20, 70, 110);
  m.bevel = 0.6f;
  m.top = [](float u, float v, float px) {
    const Brick b = brickAt(u, v, 24, 24, 31);
    Colour c = mix(rgb(170, 225, 250), rgb(210, 245, 255), n01(b.id) * 0.6f + 0.2f * (b.bx + b.by) / 48.0f);
    // Diagonal sheen bands.
    const float diag = std::fmod(u + v + 96.0f, 24.0f);
    c = mix(c, rgb(255, 255, 255), 0.35f * smoothstep(2.5f, 0.0f, std::fabs(diag - 6.0f)));
    c = mix(c, rgb(255, 255, 255), 0.2f * smoothstep(1.2f, 0.0f, std::fabs(diag - 10.0f)));
    // Frost speckle and hairline cracks.
    const float frost = fbm(u / 3.0f, v / 3.0f, 32, 3, 0.5f, 16, px / 3.0f);
    c = mix(c, rgb(255, 255, 255), 0.25f * smoothstep(0.6f, 0.8f, frost));
    const Cell cl = cellular(u / 16.0f, v / 16.0f, 33, 3);
    c = mix(rgb(120, 190, 225), c, smoothstep(0.0f, std::max(px / 16.0f, 0.02f), cl.d2 - cl.d1 - 0.01f) * 0.5f + 0.5f);
    c = mix(rgb(110, 170, 210), c, smoothstep(0.4f, 0.4f + std::max(px, 0.4f), b.edge));
    return c;
  };
  m.face = [](float u, float d, float px) {
    Colour c = mix(rgb(120, 200, 240), rgb(40, 110, 170), d);
    const float icicle = 0.45f + 0.5f * std::fabs(std::sin(u * 0.39f));
    (void)px;
    if (d > icicle) c = shade(c, 0.75f);
    return c;
  };
  return m;
}

Material crystal() {
  Material m;
  m.rim = rgb(30, 0, 50);
  m.bevel = 0.6f;
  m.top = [](float u, float v, float px) {
    const Cell cl = cellular(u / 12.0f, v / 12.0f, 41, 4);
    const float facet = n01(cl.id);
    Colour c = mix(rgb(120, 50, 190), rgb(220, 130, 255), facet);
    // Gradient across each facet toward its feature point reads as a cut face.
    c = shade(c, 1.15f - 0.5f * cl.d1);
    const float edge = cl.d2 - cl.d1;
    c = mix(rgb(255, 220, 255), c, smoothstep(0.0f, std::max(px / 12.0f, 0.03f) + 0.04f, edge));
    // Sparkles at a few facet centres.
    if (facet > 0.8f) c = mix(c, rgb(255, 255, 255), 0.8f * smoothstep(0.16f, 0.0f, cl.d1));
    return c;
  };
  m.face = [](float u, float d, float) {
    const float f = std::fabs(std::fmod(u, 8.0f) - 4.0f) / 4.0f;
    return mix(mix(rgb(150, 70, 200), rgb(60, 10, 100), d), rgb(200, 140, 255), 0.3f * f);
  };
  return m;
}

// A leaf: an almond shape along `dir` from its stem at the origin; returns the distance
// (negative inside) and the position along the leaf (0 stem .. 1 tip).
float leafDistance(Vec2 q, float len, float width, float& along) {
  along = clamp01(q.x / len);
  const float half = width * std::sin(3.14159f * along);
  return std::max(std::fabs(q.y) - half, std::max(-q.x, q.x - len));
}

Material jungle() {
  Material m;
  m.rim = rgb(30, 16, 4);
  m.bevel = 0.5f;
  m.top = [](float u, float v, float px) {
    // Logs running across, 12 units thick, with bark grain and the odd knot.
    const int row = static_cast<int>(v / 12.0f);
    const float y = std::fmod(v, 12.0f);
    const float roundness = std::sin(y / 12.0f * 3.14159f);
    const float grain = fbm(u / 10.0f, v / 1.2f, 51 + static_cast<uint32_t>(row), 4, 0.5f, 5, px / 1.2f);
    Colour c = mix(rgb(112, 64, 28), rgb(172, 108, 52), grain);
    c = shade(c, 0.55f + 0.55f * roundness);
    const float knotX = 8.0f + 32.0f * n01(hash2(row, 0, 57));
    const float knot = std::sqrt((u - knotX) * (u - knotX) * 0.6f + (y - 6.0f) * (y - 6.0f));
    if (knot < 2.6f) c = mix(c, rgb(70, 36, 14), smoothstep(2.6f, 1.2f, knot));
    // Leaves hang from lattice points every 16 units; each point grows up to three leaves.
    float best = 1e9f, bestAlong = 0.0f;
    uint32_t bestId = 0;
    const int cx = static_cast<int>(std::floor(u / 16.0f)), cy = static_cast<int>(std::floor(v / 16.0f));
    for (int j = -1; j <= 1; ++j) {
      for (int i = -1; i <= 1; ++i) {
        const int gx = cx + i, gy = cy + j;
        const uint32_t h = hash2((gx % 3 + 3) % 3, (gy % 3 + 3) % 3, 58);
        if ((h & 3u) == 0) continue;  // some points stay bare, so the wood shows
        const Vec2 stem{static_cast<float>(gx) * 16.0f + 4.0f + 8.0f * n01(h), static_cast<float>(gy) * 16.0f + 4.0f +
                                                                                   8.0f * n01(h >> 7)};
        const int leaves = 2 + static_cast<int>((h >> 20) % 2u);
        for (int k = 0; k < leaves; ++k) {
          const float ang = 360.0f * n01(hash32(h + static_cast<uint32_t>(k) * 977u));
          const Vec2 q = rotate(Vec2{u - stem.x, v - stem.y}, -ang);
          float along = 0.0f;
          const float d = leafDistance(q, 9.0f, 3.2f, along);
          if (d < best) {
            best = d;
            bestAlong = along;
            bestId = h + static_cast<uint32_t>(k);
          }
        }
      }
    }
    if (best < 0.0f) {
      Colour leaf = mix(rgb(34, 120, 30), rgb(110, 200, 60), n01(bestId * 2654435761u));
      leaf = shade(leaf, 0.8f + 0.35f * bestAlong);
      leaf = mix(rgb(20, 60, 14), leaf, smoothstep(0.0f, std::max(px, 0.35f) * 1.5f, -best));
      return leaf;
    }
    // Soft shadow of the leaves on the wood.
    if (best < 1.6f) c = shade(c, 0.75f + 0.25f * best / 1.6f);
    return c;
  };
  m.face = [](float u, float d, float px) {
    const float grain = fbm(u / 1.5f, d * 3.0f, 54, 3, 0.5f, 32, px / 1.5f);
    Colour c = mix(rgb(120, 70, 30), rgb(60, 30, 10), d);
    c = shade(c, 0.85f + 0.3f * grain);
    const float vine = std::fabs(std::fmod(u, 16.0f) - 8.0f);
    if (vine < 1.3f && d < 0.8f) c = rgb(60, 160, 40);
    return c;
  };
  return m;
}

Material metal() {
  Material m;
  m.rim = rgb(0, 0, 0);
  m.bevel = 0.65f;
  m.top = [](float u, float v, float px) {
    const Brick b = brickAt(u, v, 24, 24, 61);
    const int plate = static_cast<int>(std::floor(u / 24.0f)) + 2 * static_cast<int>(std::floor(v / 24.0f));
    Colour c = mix(rgb(120, 128, 140), rgb(150, 158, 170), n01(b.id));
    // Brushed streaks, horizontal or vertical by plate.
    const bool vertical = plate % 2;
    const float streak = fbm(vertical ? u * 2.0f : u / 12.0f, vertical ? v / 12.0f : v * 2.0f, 62, 3, 0.5f, 0, px);
    c = shade(c, 0.9f + 0.2f * streak);
    // Tread pattern of short diagonal ridges.
    const float tu = std::fmod(u + 96.0f, 6.0f), tv = std::fmod(v + 96.0f, 6.0f);
    const bool odd = (static_cast<int>(u / 6.0f) + static_cast<int>(v / 6.0f)) % 2;
    const float ridge = odd ? std::fabs(tu - tv) : std::fabs(tu + tv - 6.0f);
    if (ridge < 0.9f && tu > 1 && tu < 5 && tv > 1 && tv < 5) c = shade(c, 1.18f);
    // Seams and rivets.
    c = mix(rgb(40, 44, 52), c, smoothstep(0.5f, 0.5f + std::max(px, 0.4f), b.edge));
    for (int i = 0; i < 4; ++i) {
      const float rx = (i % 2) ? 20.5f : 3.5f, ry = (i / 2) ? 20.5f : 3.5f;
      const float d = std::sqrt((b.bx - rx) * (b.bx - rx) + (b.by - ry) * (b.by - ry));
      if (d < 1.9f) c = mix(rgb(210, 216, 226), rgb(70, 74, 84), clamp01((b.bx - rx + b.by - ry) / 2.6f + 0.5f));
    }
    return c;
  };
  m.face = [](float u, float d, float) {
    Colour c = mix(rgb(96, 102, 114), rgb(44, 48, 56), d);
    const float stripe = std::fmod(u + d * 6.0f + 96.0f, 8.0f);
    if (d > 0.25f && d < 0.85f) c = stripe < 4.0f ? mix(c, rgb(240, 200, 40), 0.7f) : mix(c, rgb(20, 20, 20), 0.6f);
    return c;
  };
  return m;
}

Material clay() {
  Material m;
  m.rim = rgb(50, 16, 0);
  m.bevel = 0.5f;
  m.top = [](float u, float v, float px) {
    const Brick b = brickAt(u, v, 16, 8, 71);
    Colour c = mix(rgb(200, 96, 44), rgb(232, 128, 64), n01(b.id));
    const float grain = fbm(u / 3.0f, v / 3.0f, 72, 3, 0.55f, 16, px / 3.0f);
    c = shade(c, 0.85f + 0.3f * grain);
    const float pit = valueNoise(u / 1.0f, v / 1.0f, 73, 48);
    if (px < 0.6f && pit > 0.82f) c = shade(c, 0.8f);
    c = mix(rgb(236, 210, 170), c, smoothstep(0.5f, 0.5f + std::max(px, 0.45f), b.edge));
    return c;
  };
  m.face = [](float u, float d, float px) {
    const Brick b = brickAt(u, d * 8.0f, 16, 8, 74);
    Colour c = mix(rgb(160, 70, 30), rgb(90, 36, 12), d);
    if (b.edge < std::max(px, 0.5f)) c = rgb(190, 160, 120);
    return c;
  };
  return m;
}

Material lavaRock() {
  Material m;
  m.rim = rgb(10, 4, 4);
  m.bevel = 0.55f;
  m.top = [](float u, float v, float px) {
    const Cell cl = cellular(u / 12.0f, v / 12.0f, 81, 4);
    Colour c = mix(rgb(46, 40, 44), rgb(78, 70, 72), n01(cl.id));
    const float grain = fbm(u / 3.0f, v / 3.0f, 82, 4, 0.5f, 16, px / 3.0f);
    c = shade(c, 0.8f + 0.4f * grain);
    const float crack = cl.d2 - cl.d1;
    const float w = std::max(px / 12.0f, 0.02f);
    const float hot = smoothstep(0.09f + w, 0.0f, crack);
    const Colour lava = mix(rgb(255, 80, 0), rgb(255, 230, 90), smoothstep(0.05f, 0.0f, crack));
    return mix(c, lava, hot);
  };
  m.face = [](float u, float d, float px) {
    const float g = fbm(u / 2.0f, d * 3.0f, 83, 3, 0.5f, 24, px / 2.0f);
    Colour c = mix(rgb(50, 40, 40), rgb(120, 30, 0), d * d);
    c = shade(c, 0.8f + 0.4f * g);
    return mix(c, rgb(255, 120, 20), smoothstep(0.7f, 1.0f, d) * 0.7f);
  };
  return m;
}

Material gold() {
  Material m;
  m.rim = rgb(70, 36, 0);
  m.bevel = 0.7f;
  m.top = [](float u, float v, float px) {
    const Brick b = brickAt(u, v, 24, 24, 91);
    // Each block carries an embossed diamond; light from the upper left.
    const float dx = b.bx - 12.0f, dy = b.by - 12.0f;
    const float diamond = std::fabs(dx) + std::fabs(dy);
    Colour c = mix(rgb(250, 196, 50), rgb(255, 226, 110), clamp01(1.0f - (b.bx + b.by) / 48.0f));
    if (diamond < 8.0f) {
      const float lit = (dx < 0 ? 0.12f : -0.12f) + (dy < 0 ? 0.12f : -0.12f);
      c = shade(c, 1.0f + lit);
      if (diamond < 3.0f) c = mix(c, rgb(255, 250, 210), 0.6f);
    }
    if (std::fabs(diamond - 8.0f) < std::max(px, 0.45f)) c = shade(c, 0.7f);
    // Soft bevel on each block and a glint line.
    const float e = b.edge;
    if (e < 3.0f) c = shade(c, (b.bx < 3.0f || b.by < 3.0f) ? 1.12f : 0.82f);
    c = mix(rgb(120, 70, 0), c, smoothstep(0.4f, 0.4f + std::max(px, 0.4f), e));
    const float sheen = std::fabs(std::fmod(u - v + 96.0f, 48.0f) - 20.0f);
    c = mix(c, rgb(255, 255, 230), 0.25f * smoothstep(2.0f, 0.0f, sheen));
    return c;
  };
  m.face = [](float u, float d, float) {
    Colour c = mix(rgb(220, 150, 20), rgb(120, 70, 0), d);
    if (std::fmod(u + 96.0f, 12.0f) < 1.0f) c = shade(c, 0.7f);
    return c;
  };
  return m;
}

Material materialFor(int world) {
  switch (world) {
    case 1: return stone();
    case 2: return moss();
    case 3: return ice();
    case 4: return crystal();
    case 5: return jungle();
    case 6: return metal();
    case 7: return clay();
    case 8: return lavaRock();
    default: return gold();
  }
}

void drawWallPiece(Pen& pen, const Material& m, int mask) {
  const bool down = mask & 4;
  const float face = down ? kFace : 0.0f;
  const float px = pen.pixel();
  const Vec2 c{32, 32};
  const Shape piece = [mask, c](Vec2 p) { return pieceDistance(p - c, mask, 0.0f); };
  const Shape topShape = [mask, face, c](Vec2 p) { return pieceDistance(p - c, mask, face); };
  // The outline of the open sides alone (closed sides pushed far away), for bevel and rim.
  const Shape openTop = [mask, face, c](Vec2 p) { return pieceDistance(p - c, mask, face, 1e4f); };
  const Shape openAll = [mask, c](Vec2 p) { return pieceDistance(p - c, mask, 0.0f, 1e4f); };
  const Box all{0, 0, 64, 64};
  // Front face: the band of the piece below the top surface.
  if (down) {
    // Clipped to the cell's own columns: a neighbour with a face of its own continues it, and a
    // neighbour without one must not get a corner of ours.
    const Shape band = [piece](Vec2 p) { return std::max(piece(p), std::fabs(p.x - 32.0f) - (kHalf + 0.5f)); };
    pen.fill(all, band, [&m, px, face](Vec2 p) {
      const float depth = clamp01((p.y - (32.0f + kHalf - face)) / face);
      return m.face(wrapCoord(p.x - 32.0f), depth, px);
    });
  }
  const Paint surface = [&m, px](Vec2 p) { return m.top(wrapCoord(p.x - 32.0f), wrapCoord(p.y - 32.0f), px); };
  pen.fill(all, topShape, mask ? bevelled(openTop, surface, 4.0f, m.bevel) : surface);
  if (mask == 0) return;
  // Dark rim just inside the open outline.
  pen.fill(all, [openAll, piece](Vec2 p) { return std::max(std::fabs(openAll(p) + 0.55f) - 0.55f, piece(p)); }, m.rim);
  // A crisp line where the top surface meets the front face.
  if (down) {
    const float y0 = 32.0f + kHalf - face;
    pen.fill(all, [piece, y0](Vec2 p) {
      return std::max(std::max(std::fabs(p.y - y0) - 0.4f, piece(p)), std::fabs(p.x - 32.0f) - (kHalf + 0.5f));
    },
             withAlpha(m.rim, 0.75f));
  }
}

}  // namespace

void drawWallSprite(Pen& pen, int world, int frame) { drawWallPiece(pen, materialFor(world), kWallFrameMask[frame]); }

void addWallPictures(std::vector<Picture>& out) {
  for (int w = 1; w <= 9; ++w) {
    const std::string name = std::string("world-0") + static_cast<char>('0' + w);
    out.push_back({name, 64, 64, 16, false, [w](Pen& pen, int f) {
                     const Material m = materialFor(w);
                     drawWallPiece(pen, m, kWallFrameMask[f]);
                   }});
  }
}

}  // namespace assetgen
