// The pictures the game loads: every name at all three resolutions with a frame grid that fits and
// ink in every frame the game draws, tinted pictures in grey only, wall pieces open exactly on the
// sides of their masks and joining without a seam, and fonts with ink for every printable character.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "asset_files.h"

using assets_test::dataPath;
using assets_test::loadPicture;
using assets_test::Picture;

namespace {

const int kLevels[3] = {1, 2, 4};

std::string FileFor(const std::string& name, int level) {
  return dataPath(name + (level == 2 ? "-hd" : level == 4 ? "-hd2" : "") + ".png");
}

// Frame origins as the graphics module lays out a grid: left to right, wrapping to the next row
// when a frame would stick out. Empty if a frame leaves the surface.
std::vector<std::pair<int, int>> Grid(const Picture& p, int fw, int fh, int frames) {
  std::vector<std::pair<int, int>> origins;
  int x = 0, y = 0;
  for (int i = 0; i < frames; ++i, x += fw) {
    if (x + fw > p.width) x = 0, y += fh;
    if (x + fw > p.width || y + fh > p.height) return {};
    origins.push_back({x, y});
  }
  return origins;
}

bool HasInk(const Picture& p, int x0, int y0, int w, int h) {
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if (p.alpha(x, y) > 0) return true;
  return false;
}

TEST(Assets_Pictures, EveryLoadedNameAtEachResolutionWithItsGridItsInkAndItsColours) {
  struct Loaded {
    std::string name;
    int frameW, frameH, frames;
    bool tinted;
    std::vector<int> drawn;  // frames the game draws, which must not be empty
  };
  std::vector<Loaded> manifest = {
      {"garvolin", 64, 64, 16, false, {0, 1, 4, 5, 6, 7, 8, 9, 10, 11}},
      {"bits", 64, 64, 16, false, {0, 1, 2, 4, 5, 6}},
      {"nme", 64, 64, 16, false, {0, 1, 2}},
      {"dislike", 64, 64, 16, false, {0, 1, 2, 3}},
      {"menubar", 256, 64, 2, false, {0, 1}},
      {"BadgesA", 64, 64, 64, false, {0}},
      {"fonts/garvolin", 16, 16, 128, true, {}},
      {"fonts/small", 16, 16, 128, true, {}},
      {"common/Testcard_Circle", 256, 256, 1, false, {0}},
      {"common/StudioLogo", 256, 256, 1, false, {0}},
      {"common/dpad", 32, 32, 16, true, {0, 1, 4, 5, 6, 9}},
      {"common/Buttons", 64, 64, 16, false, {8, 9, 10, 12}},
      {"parts", 8, 8, 256, true, {}},
      {"common/icons", 32, 32, 16, true, {0, 1, 3, 6, 7}},
      {"logo", 256, 128, 1, false, {0}},
      {"menu", 256, 256, 4, false, {0, 1, 2, 3}},
  };
  for (int w = 1; w <= 9; ++w) manifest.push_back({"world-0" + std::to_string(w), 64, 64, 16, false, {}});
  for (const Loaded& l : manifest) {
    const Picture base = loadPicture(FileFor(l.name, 1));
    for (int level : kLevels) {
      SCOPED_TRACE(l.name + " at level " + std::to_string(level));
      const Picture p = loadPicture(FileFor(l.name, level));
      ASSERT_TRUE(p.ok() && base.ok()) << "missing or unreadable";
      EXPECT_EQ(p.width, base.width * level);
      EXPECT_EQ(p.height, base.height * level);
      EXPECT_LE(std::max(p.width, p.height), 2048);
      const int fw = l.frameW * level, fh = l.frameH * level;
      const auto origins = Grid(p, fw, fh, l.frames);
      ASSERT_EQ(origins.size(), static_cast<size_t>(l.frames)) << "the frame grid does not fit";
      EXPECT_EQ(p.width % fw + p.height % fh, 0) << "unused columns or rows: a wrong frame size";
      for (int f : l.drawn) EXPECT_TRUE(HasInk(p, origins[f].first, origins[f].second, fw, fh)) << "frame " << f;
    }
    // The game tints grey pictures with its own colours; a full-colour picture must not come out grey.
    int coloured = 0, inked = 0;
    for (int y = 0; y < base.height; ++y)
      for (int x = 0; x < base.width; ++x) {
        const uint8_t* c = base.at(x, y);
        inked += c[3] > 0;
        coloured += c[3] > 0 && std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]}) > 24;
      }
    EXPECT_TRUE(l.tinted ? coloured == 0 : coloured > inked / 200) << l.name << ": " << coloured << " of " << inked;
  }
}

TEST(Assets_Walls, EachPieceIsOpenOnTheSidesOfItsMaskAndJoinsItsNeighbourWithoutASeam) {
  // Open sides of each frame: 1 up, 2 right, 4 down, 8 left.
  const int kMask[16] = {0, 7, 5, 13, 14, 6, 4, 12, 10, 2, 15, 8, 11, 3, 1, 9};
  for (int w = 1; w <= 9; ++w) {
    for (int level : kLevels) {
      const std::string name = "world-0" + std::to_string(w);
      SCOPED_TRACE(name + " level " + std::to_string(level));
      const Picture p = loadPicture(FileFor(name, level));
      const auto origins = Grid(p, 64 * level, 64 * level, 16);
      ASSERT_EQ(origins.size(), 16u);
      // The 48-unit cell square starts 8 units in: just outside it a piece is transparent on an
      // open side and solid on a closed one; the square itself is covered to its edges.
      for (int f = 0; f < 16; ++f) {
        const auto a = [&](float ux, float uy) {
          return p.alpha(origins[f].first + static_cast<int>(ux * level), origins[f].second + static_cast<int>(uy * level));
        };
        const int m = kMask[f];
        EXPECT_EQ(a(32, 32) + a(32, 8.5f) + a(55.5f, 32), 3 * 255) << "frame " << f;
        EXPECT_EQ(a(32, 6.5f) == 0, (m & 1) != 0) << "frame " << f << " up";
        EXPECT_EQ(a(57.5f, 32) == 0, (m & 2) != 0) << "frame " << f << " right";
        EXPECT_EQ(a(32, 57.5f) == 0, (m & 4) != 0) << "frame " << f << " down";
        EXPECT_EQ(a(6.5f, 32) == 0, (m & 8) != 0) << "frame " << f << " left";
      }
      // Cells are 48 units apart in the pattern: the strip a closed side of frame 0 reaches into
      // the neighbour's square must show the pixels the neighbour has there.
      int mismatches = 0, compared = 0;
      for (int along = 10 * level; along < 54 * level; ++along)
        for (int across = 6 * level; across < 8 * level; ++across)
          for (bool vertical : {false, true}) {
            const int x = vertical ? along : across, y = vertical ? across : along;
            const uint8_t *a = p.at(x, y), *b = p.at(x + (vertical ? 0 : 48 * level), y + (vertical ? 48 * level : 0));
            ++compared;
            mismatches += std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 12;
          }
      EXPECT_LE(mismatches, compared / 50);
    }
  }
}

TEST(Assets_Fonts, EveryPrintableCharacterHasInkAndSpaceHasNone) {
  for (const char* font : {"fonts/garvolin", "fonts/small"}) {
    for (int level : kLevels) {
      SCOPED_TRACE(std::string(font) + " level " + std::to_string(level));
      const Picture p = loadPicture(FileFor(font, level));
      const int cell = 16 * level;
      const auto origins = Grid(p, cell, cell, 128);
      ASSERT_EQ(origins.size(), 128u);
      for (int code = 32; code < 127; ++code)
        EXPECT_EQ(HasInk(p, origins[code - 32].first, origins[code - 32].second, cell, cell), code != 32)
            << "character " << static_cast<char>(code);
    }
  }
  // The built-in font: 96 cells in a row, loaded padded, so the outer columns of a cell stay clear.
  const Picture p = loadPicture(dataPath("default_font.png"));
  ASSERT_TRUE(p.ok());
  ASSERT_EQ(p.width % 96, 0);
  const int cell = p.width / 96;
  for (int i = 0; i < 96; ++i) {
    SCOPED_TRACE("built-in cell " + std::to_string(i));
    EXPECT_FALSE(HasInk(p, i * cell, 0, 1, p.height) || HasInk(p, i * cell + cell - 1, 0, 1, p.height));
    if (i < 95) {
      EXPECT_EQ(HasInk(p, i * cell + 1, 0, cell - 2, p.height), i > 0);
    }
  }
}

}  // namespace
