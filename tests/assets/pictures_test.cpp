// The pictures the game loads: every name at all three resolutions with a frame grid that fits,
// tinted pictures in grey only, wall pieces that match their open-side masks and join without a
// seam, and fonts with ink for every printable character.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "asset_files.h"

using assets_test::dataPath;
using assets_test::loadPicture;
using assets_test::Picture;

namespace {

struct Loaded {
  std::string name;
  int frameW, frameH, frames;
  bool tinted;
};

// Every picture the game loads, with the frame size (in virtual units) and count it asks for.
std::vector<Loaded> manifest() {
  std::vector<Loaded> m = {
      {"garvolin", 64, 64, 16, false},         {"bits", 64, 64, 16, false},
      {"nme", 64, 64, 16, false},              {"dislike", 64, 64, 16, false},
      {"menubar", 256, 64, 2, false},          {"BadgesA", 64, 64, 64, false},
      {"fonts/garvolin", 16, 16, 128, true},   {"fonts/small", 16, 16, 128, true},
      {"common/Testcard_Circle", 256, 256, 1, false}, {"common/StudioLogo", 256, 256, 1, false},
      {"common/dpad", 32, 32, 16, true},       {"common/Buttons", 64, 64, 16, false},
      {"parts", 8, 8, 256, true},              {"common/icons", 32, 32, 16, true},
      {"logo", 256, 128, 1, false},            {"menu", 256, 256, 4, false},
  };
  for (int w = 1; w <= 9; ++w) m.push_back({"world-0" + std::to_string(w), 64, 64, 16, false});
  return m;
}

const int kLevels[3] = {1, 2, 4};
std::string fileFor(const std::string& name, int level) {
  return dataPath(name + (level == 2 ? "-hd" : level == 4 ? "-hd2" : "") + ".png");
}

// Frame origins exactly as the graphics module lays out a grid: left to right, wrapping to x = 0
// on the next row when a frame would stick out. Returns false if a frame leaves the surface.
bool gridFits(int surfaceW, int surfaceH, int fw, int fh, int frames, std::vector<std::pair<int, int>>* origins) {
  int ix = 0, iy = 0;
  for (int i = 0; i < frames; ++i) {
    if (ix + fw > surfaceW) {
      ix = 0;
      iy += fh;
    }
    if (ix + fw > surfaceW || iy + fh > surfaceH) return false;
    if (origins) origins->push_back({ix, iy});
    ix += fw;
  }
  return true;
}

bool frameHasInk(const Picture& p, int x0, int y0, int w, int h) {
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if (p.alpha(x, y) > 0) return true;
  return false;
}

TEST(Assets_Pictures, EveryLoadedNameExistsAtAllThreeResolutionsWithAFittingFrameGrid) {
  for (const Loaded& l : manifest()) {
    for (int level : kLevels) {
      SCOPED_TRACE(l.name + " at level " + std::to_string(level));
      const Picture p = loadPicture(fileFor(l.name, level));
      ASSERT_TRUE(p.ok()) << "missing or unreadable";
      EXPECT_LE(p.width, 2048);
      EXPECT_LE(p.height, 2048);
      std::vector<std::pair<int, int>> origins;
      EXPECT_TRUE(gridFits(p.width, p.height, l.frameW * level, l.frameH * level, l.frames, &origins));
      // A frame grid that leaves whole unused columns or rows would mean a wrong frame size.
      EXPECT_EQ(p.width % (l.frameW * level), 0);
      EXPECT_EQ(p.height % (l.frameH * level), 0);
    }
  }
}

TEST(Assets_Pictures, HigherResolutionsShareTheLayoutOfTheBaseSet) {
  for (const Loaded& l : manifest()) {
    SCOPED_TRACE(l.name);
    const Picture base = loadPicture(fileFor(l.name, 1));
    ASSERT_TRUE(base.ok());
    for (int level : {2, 4}) {
      const Picture hd = loadPicture(fileFor(l.name, level));
      ASSERT_TRUE(hd.ok());
      EXPECT_EQ(hd.width, base.width * level);
      EXPECT_EQ(hd.height, base.height * level);
    }
  }
}

TEST(Assets_Pictures, TintedPicturesAreGreyAndTheOthersAreInColour) {
  for (const Loaded& l : manifest()) {
    SCOPED_TRACE(l.name);
    const Picture p = loadPicture(fileFor(l.name, 2));
    ASSERT_TRUE(p.ok());
    int coloured = 0, inked = 0;
    for (int y = 0; y < p.height; ++y) {
      for (int x = 0; x < p.width; ++x) {
        const uint8_t* c = p.at(x, y);
        if (c[3] == 0) continue;
        ++inked;
        const int spread = std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]});
        if (spread > 24) ++coloured;
      }
    }
    ASSERT_GT(inked, 0);
    if (l.tinted) {
      EXPECT_EQ(coloured, 0) << "a tinted picture must be grey so that the game's colour shows true";
    } else {
      EXPECT_GT(coloured, inked / 200) << "a full-colour picture came out grey";
    }
  }
}

TEST(Assets_Pictures, FramesTheGameDrawsAreNotEmpty) {
  struct Used {
    const char* name;
    int frameW, frameH;
    std::vector<int> frames;
  };
  const std::vector<Used> used = {
      {"garvolin", 64, 64, {0, 1, 4, 5, 6, 7, 8, 9, 10, 11}},
      {"bits", 64, 64, {0, 1, 2, 4, 5, 6}},
      {"nme", 64, 64, {0, 1, 2}},
      {"dislike", 64, 64, {0, 1, 2, 3}},
      {"menubar", 256, 64, {0, 1}},
      {"BadgesA", 64, 64, {0}},
      {"common/dpad", 32, 32, {0, 1, 4, 5, 6, 9}},
      {"common/Buttons", 64, 64, {8, 9, 10, 12}},
      {"common/icons", 32, 32, {0, 1, 3, 6, 7}},
      {"menu", 256, 256, {0, 1, 2, 3}},
  };
  for (const Used& u : used) {
    for (int level : kLevels) {
      const Picture p = loadPicture(fileFor(u.name, level));
      ASSERT_TRUE(p.ok()) << u.name;
      std::vector<std::pair<int, int>> origins;
      const int fw = u.frameW * level, fh = u.frameH * level;
      gridFits(p.width, p.height, fw, fh, u.frames.back() + 1, &origins);
      for (int f : u.frames) {
        ASSERT_LT(static_cast<size_t>(f), origins.size());
        EXPECT_TRUE(frameHasInk(p, origins[f].first, origins[f].second, fw, fh))
            << u.name << " frame " << f << " at level " << level;
      }
    }
  }
}

TEST(Assets_Pictures, SpikeFramesRiseFromFlatToFullyRaised) {
  // The dark holes of the plate are covered more and more by the rising spikes.
  const Picture p = loadPicture(fileFor("dislike", 2));
  ASSERT_TRUE(p.ok());
  std::vector<std::pair<int, int>> origins;
  ASSERT_TRUE(gridFits(p.width, p.height, 128, 128, 4, &origins));
  int previous = 1 << 30;
  for (int f = 0; f < 4; ++f) {
    int dark = 0;
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 128; ++x) {
        const uint8_t* c = p.at(origins[f].first + x, origins[f].second + y);
        if (c[3] > 200 && c[0] < 40 && c[1] < 40 && c[2] < 50) ++dark;
      }
    EXPECT_LT(dark, previous) << "frame " << f;
    previous = dark;
  }
}

// Pixels of one frame, for comparing frames with each other.
std::vector<uint8_t> framePixels(const Picture& p, int fw, int fh, int frame) {
  std::vector<std::pair<int, int>> origins;
  gridFits(p.width, p.height, fw, fh, frame + 1, &origins);
  std::vector<uint8_t> out;
  for (int y = 0; y < fh; ++y)
    for (int x = 0; x < fw; ++x) out.insert(out.end(), p.at(origins[frame].first + x, origins[frame].second + y),
                                            p.at(origins[frame].first + x, origins[frame].second + y) + 4);
  return out;
}

TEST(Assets_Pictures, AnimationFramesChangeFromOneToTheNext) {
  struct Anim {
    const char* name;
    int fw, fh;
    std::vector<int> frames;
  };
  const std::vector<Anim> anims = {
      {"garvolin", 64, 64, {0, 1}},                   // walk cycle
      {"garvolin", 64, 64, {4, 5, 6, 7, 8, 9, 10, 11}},  // death sequence
      {"nme", 64, 64, {0, 1, 2}},                     // patroller
      {"dislike", 64, 64, {0, 1, 2, 3}},              // spikes rising
      {"menubar", 256, 64, {0, 1}},                   // normal and selected
  };
  for (const Anim& a : anims) {
    const Picture p = loadPicture(fileFor(a.name, 2));
    ASSERT_TRUE(p.ok()) << a.name;
    for (size_t i = 1; i < a.frames.size(); ++i)
      EXPECT_NE(framePixels(p, a.fw * 2, a.fh * 2, a.frames[i - 1]), framePixels(p, a.fw * 2, a.fh * 2, a.frames[i]))
          << a.name << " frames " << a.frames[i - 1] << " and " << a.frames[i];
  }
}

TEST(Assets_Pictures, PlayArrowPointsRight) {
  // The icon is also drawn mirrored as the back arrow, so its direction matters: a triangle
  // pointing right has its broad base, and most of its ink, on the left.
  const Picture p = loadPicture(fileFor("common/icons", 2));
  ASSERT_TRUE(p.ok());
  const std::vector<uint8_t> px = framePixels(p, 64, 64, 3);
  long left = 0, right = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) (x < 32 ? left : right) += px[(y * 64 + x) * 4 + 3];
  EXPECT_GT(left, right * 3 / 2);
}

TEST(Assets_Walls, EveryWorldHasItsOwnMaterial) {
  std::vector<std::vector<double>> means;
  for (int w = 1; w <= 9; ++w) {
    const Picture p = loadPicture(fileFor("world-0" + std::to_string(w), 1));
    ASSERT_TRUE(p.ok());
    std::vector<double> m(3, 0.0);
    for (int y = 8; y < 56; ++y)
      for (int x = 8; x < 56; ++x)
        for (int c = 0; c < 3; ++c) m[c] += p.at(x, y)[c] / (48.0 * 48.0);
    for (size_t i = 0; i < means.size(); ++i) {
      const double d = std::fabs(m[0] - means[i][0]) + std::fabs(m[1] - means[i][1]) + std::fabs(m[2] - means[i][2]);
      EXPECT_GT(d, 20.0) << "worlds " << i + 1 << " and " << w << " look alike";
    }
    means.push_back(m);
  }
}

// Open-side mask of each wall frame: 1 up, 2 right, 4 down, 8 left.
const int kWallMask[16] = {0, 7, 5, 13, 14, 6, 4, 12, 10, 2, 15, 8, 11, 3, 1, 9};

TEST(Assets_Walls, EachFrameIsOpenExactlyOnTheSidesOfItsMask) {
  // Just outside the cell square (2 units in from the frame edge is outside the 48-unit cell, which
  // starts 8 units in) a piece is transparent on an open side and solid on a closed one.
  for (int w = 1; w <= 9; ++w) {
    for (int level : kLevels) {
      const std::string name = "world-0" + std::to_string(w);
      const Picture p = loadPicture(fileFor(name, level));
      ASSERT_TRUE(p.ok()) << name;
      std::vector<std::pair<int, int>> origins;
      ASSERT_TRUE(gridFits(p.width, p.height, 64 * level, 64 * level, 16, &origins));
      for (int f = 0; f < 16; ++f) {
        SCOPED_TRACE(name + " frame " + std::to_string(f) + " level " + std::to_string(level));
        const int ox = origins[f].first, oy = origins[f].second;
        const auto a = [&](float ux, float uy) {
          return p.alpha(ox + static_cast<int>(ux * level), oy + static_cast<int>(uy * level));
        };
        EXPECT_EQ(a(32, 32), 255) << "centre";
        const int m = kWallMask[f];
        EXPECT_EQ(a(32, 6.5f) == 0, (m & 1) != 0) << "up";
        EXPECT_EQ(a(57.5f, 32) == 0, (m & 2) != 0) << "right";
        EXPECT_EQ(a(32, 57.5f) == 0, (m & 4) != 0) << "down";
        EXPECT_EQ(a(6.5f, 32) == 0, (m & 8) != 0) << "left";
        // The cell square itself is covered right up to its edge on every side.
        EXPECT_EQ(a(32, 8.5f), 255);
        EXPECT_EQ(a(55.5f, 32), 255);
      }
    }
  }
}

TEST(Assets_Walls, NeighbouringPiecesContinueThePatternAcrossTheJoin) {
  // Cells are 48 units apart in the pattern: the strip a closed side reaches into the neighbour's
  // square must show the same pixels the neighbour has there, or a seam shows.
  for (int w = 1; w <= 9; ++w) {
    for (int level : kLevels) {
      const std::string name = "world-0" + std::to_string(w);
      SCOPED_TRACE(name + " level " + std::to_string(level));
      const Picture p = loadPicture(fileFor(name, level));
      ASSERT_TRUE(p.ok());
      // Frame 0 is closed on every side.
      int mismatches = 0, compared = 0;
      for (int y = 10 * level; y < 54 * level; ++y) {
        for (int x = 6 * level; x < 8 * level; ++x) {
          const uint8_t* a = p.at(x, y);
          const uint8_t* b = p.at(x + 48 * level, y);
          ++compared;
          if (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 12) ++mismatches;
        }
      }
      for (int y = 6 * level; y < 8 * level; ++y) {
        for (int x = 10 * level; x < 54 * level; ++x) {
          const uint8_t* a = p.at(x, y);
          const uint8_t* b = p.at(x, y + 48 * level);
          ++compared;
          if (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 12) ++mismatches;
        }
      }
      EXPECT_LE(mismatches, compared / 50);
    }
  }
}

struct Ink {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  bool any() const { return x1 >= 0; }
};
Ink inkOf(const Picture& p, int ox, int oy, int w, int h) {
  Ink k;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (p.at(ox + x, oy + y)[3] > 64 && p.at(ox + x, oy + y)[0] > 128) {  // light ink, not the outline
        k.x0 = std::min(k.x0, x);
        k.y0 = std::min(k.y0, y);
        k.x1 = std::max(k.x1, x);
        k.y1 = std::max(k.y1, y);
      }
  return k;
}

TEST(Assets_Fonts, EveryPrintableCharacterHasInkAndSpaceHasNone) {
  for (const char* font : {"fonts/garvolin", "fonts/small"}) {
    for (int level : kLevels) {
      SCOPED_TRACE(std::string(font) + " level " + std::to_string(level));
      const Picture p = loadPicture(fileFor(font, level));
      ASSERT_TRUE(p.ok());
      std::vector<std::pair<int, int>> origins;
      const int cell = 16 * level;
      ASSERT_TRUE(gridFits(p.width, p.height, cell, cell, 128, &origins));
      EXPECT_FALSE(frameHasInk(p, origins[0].first, origins[0].second, cell, cell)) << "space";
      for (int code = 33; code < 127; ++code) {
        const int f = code - 32;
        const Ink k = inkOf(p, origins[f].first, origins[f].second, cell, cell);
        EXPECT_TRUE(k.any()) << "character " << static_cast<char>(code);
      }
    }
  }
}

TEST(Assets_Fonts, GlyphsSitInTheirPlaceOfTheCellAndShareABaseline) {
  // The game draws a glyph with its centre on the pen position and starts every text with a
  // space: the display font's letters, as wide as its advance, are centred in their cells, the
  // small font's in the 7-unit advance at the left of the cell. Capitals must line up.
  for (const char* font : {"fonts/garvolin", "fonts/small"}) {
    const double centre = std::string(font) == "fonts/small" ? 14.0 : 32.0;
    const Picture p = loadPicture(fileFor(font, 4));
    ASSERT_TRUE(p.ok());
    std::vector<std::pair<int, int>> origins;
    ASSERT_TRUE(gridFits(p.width, p.height, 64, 64, 128, &origins));
    const Ink h = inkOf(p, origins['H' - 32].first, origins['H' - 32].second, 64, 64);
    for (const char* letters : {"ABCDEHKNOPRSUXZ", "0123456789"}) {
      for (const char* c = letters; *c; ++c) {
        const int f = *c - 32;
        const Ink k = inkOf(p, origins[f].first, origins[f].second, 64, 64);
        SCOPED_TRACE(std::string(font) + " '" + *c + "'");
        ASSERT_TRUE(k.any());
        EXPECT_NEAR((k.x0 + k.x1) * 0.5, centre, 6.0);
        EXPECT_NEAR(k.y1, h.y1, 2) << "baseline";
        EXPECT_NEAR(k.y0, h.y0, 2) << "cap height";
      }
    }
  }
}

TEST(Assets_Fonts, SmallFontWidthsFollowTheKerningOfTheTextLayout) {
  // The layout gives 'i', 'l' and 'f' 4 units, 'm' and 'w' 9, most letters 7: the glyphs must be
  // narrow or wide to match, or text looks unevenly spaced.
  const Picture p = loadPicture(fileFor("fonts/small", 1));
  ASSERT_TRUE(p.ok());
  std::vector<std::pair<int, int>> origins;
  ASSERT_TRUE(gridFits(p.width, p.height, 16, 16, 128, &origins));
  const auto width = [&](char c) {
    const Ink k = inkOf(p, origins[c - 32].first, origins[c - 32].second, 16, 16);
    return k.x1 - k.x0 + 1;
  };
  for (char c : {'i', 'l', 'f'}) EXPECT_LE(width(c), 3) << c;
  for (char c : {'a', 'e', 'o', 'A', 'H'}) EXPECT_LE(width(c), 6) << c;
  for (char c : {'m', 'w'}) EXPECT_GE(width(c), 7) << c;
}

TEST(Assets_Fonts, BuiltInFontHas96PaddedCells) {
  const Picture p = loadPicture(dataPath("default_font.png"));
  ASSERT_TRUE(p.ok());
  ASSERT_EQ(p.width % 96, 0);
  const int cell = p.width / 96;
  ASSERT_GE(cell, 4);
  for (int i = 0; i < 96; ++i) {
    const int x0 = i * cell;
    // The one-pixel columns on either side of a cell are never drawn (the font is loaded padded).
    EXPECT_FALSE(frameHasInk(p, x0, 0, 1, p.height)) << "cell " << i;
    EXPECT_FALSE(frameHasInk(p, x0 + cell - 1, 0, 1, p.height)) << "cell " << i;
    const int code = i + 32;
    if (code > 32 && code < 127) {
      EXPECT_TRUE(frameHasInk(p, x0 + 1, 0, cell - 2, p.height)) << "character " << code;
    }
  }
  EXPECT_FALSE(frameHasInk(p, 0, 0, cell, p.height)) << "space";
}

}  // namespace
