// Contact sheet layout: pictures one below the other, frames left to right with their numbers.
#include "contact_sheet.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "fonts.h"

namespace assetgen {
namespace {

constexpr int kSheetWidth = 2200;
constexpr int kMargin = 16;
constexpr int kGap = 6;
constexpr int kLabelH = 20;

// Copies frame f of an entry, resampled by the rational factor num/den (nearest neighbour).
void blitFrame(Image& dst, const SheetEntry& e, int f, int dx, int dy, int num, int den) {
  const Picture& p = e.picture;
  const int cols = columnsFor(p);
  const int fw = p.frameW * 2, fh = p.frameH * 2;
  const int sx0 = (f % cols) * fw, sy0 = (f / cols) * fh;
  const int ow = fw * num / den, oh = fh * num / den;
  for (int y = 0; y < oh; ++y)
    for (int x = 0; x < ow; ++x) dst.blend(dx + x, dy + y, e.image.at(sx0 + x * den / num, sy0 + y * den / num), 1.0f);
}

void checker(Image& dst, int x0, int y0, int w, int h, bool tinted) {
  const Colour a = tinted ? grey(0.16f) : grey(0.42f);
  const Colour b = tinted ? grey(0.24f) : grey(0.52f);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) dst.blend(x0 + x, y0 + y, ((x / 8 + y / 8) % 2) ? a : b, 1.0f);
}

TextStyle labelStyle(float unit) {
  TextStyle st;
  st.unitX = st.unitY = unit;
  st.stroke = unit;
  st.hard = true;
  st.narrow = true;
  return st;
}

// Display factor num/den applied to the 2x frames so that small frames are enlarged and big ones
// reduced to a comfortable size.
void factorFor(const Picture& p, int& num, int& den) {
  const int px = p.frameW * 2;
  if (px <= 16) { num = 4; den = 1; }
  else if (px <= 32) { num = 2; den = 1; }
  else if (px >= 512) { num = 1; den = 2; }
  else { num = 1; den = 1; }
}

struct Placed {
  int height;
};

int layoutHeight(const SheetEntry& e) {
  int num, den;
  factorFor(e.picture, num, den);
  const int ow = e.picture.frameW * 2 * num / den, oh = e.picture.frameH * 2 * num / den;
  const int perRow = std::max(1, (kSheetWidth - 2 * kMargin + kGap) / (ow + kGap));
  const int rows = (e.picture.frames + perRow - 1) / perRow;
  return 20 + rows * (oh + kLabelH + kGap) + 10;
}

// A small maze drawn the way the level screen draws it (background, floor squares, wall pieces
// at a 47.5-unit pitch, in column order), so that the joins of every tile set can be checked.
const char* const kDemoMaze[] = {
    "##############",
    "#....#.......#",
    "#.##.#.###.#.#",
    "#.#....#...#.#",
    "#.#.##.#.###.#",
    "#...#......#.#",
    "###.#.####.#.#",
    "#...#.#....#.#",
    "#.###.#.##...#",
    "##############",
};
constexpr int kDemoW = 14, kDemoH = 10;
constexpr int kDemoPixelsW = static_cast<int>((kDemoW - 1) * 47.5f) + 64;
constexpr int kDemoPixelsH = static_cast<int>((kDemoH - 1) * 47.5f) + 64;

struct WorldColours {
  Colour background, floor;
};
const WorldColours kWorldColours[9] = {
    {rgb(0, 0, 80), rgb(0, 80, 180)},   {rgb(0, 30, 0), rgb(0, 100, 0)},    {rgb(0, 60, 100), rgb(0, 130, 180)},
    {rgb(60, 0, 100), rgb(130, 0, 160)}, {rgb(0, 90, 0), rgb(0, 127, 0)},    {rgb(0, 0, 0), rgb(64, 64, 64)},
    {rgb(80, 40, 0), rgb(180, 80, 0)},   {rgb(140, 0, 0), rgb(50, 50, 50)}, {rgb(140, 80, 0), rgb(220, 160, 0)},
};

bool isWall(int x, int y) {
  if (x < 0 || y < 0 || x >= kDemoW || y >= kDemoH) return true;
  return kDemoMaze[y][x] == '#';
}

// Frame of a wall cell: the inverse of the tile set's frame -> mask table.
int frameForMask(int mask, const int* frameMask) {
  for (int f = 0; f < 16; ++f)
    if (frameMask[f] == mask) return f;
  return 0;
}

// Draws the demo maze of one world at one unit per pixel (every other pixel of the 2x images),
// cell (0, 0) centred 32 pixels in from the region's corner.
void drawDemoMaze(Image& sheet, int x0, int y0, const SheetEntry& tiles, int world, const int* frameMask) {
  const WorldColours& wc = kWorldColours[world - 1];
  const int w = kDemoPixelsW, h = kDemoPixelsH;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) sheet.blend(x0 + x, y0 + y, wc.background, 1.0f);
  const int cols = columnsFor(tiles.picture);
  for (int cx = 0; cx < kDemoW; ++cx) {
    for (int cy = 0; cy < kDemoH; ++cy) {
      const float sx = static_cast<float>(x0) + 32.0f + 47.5f * static_cast<float>(cx);
      const float sy = static_cast<float>(y0) + 32.0f + 47.5f * static_cast<float>(cy);
      if (!isWall(cx, cy)) {
        const int fx = static_cast<int>(std::floor(sx - 24.225f)), fy = static_cast<int>(std::floor(sy - 24.225f));
        for (int y = 0; y < 48; ++y)
          for (int x = 0; x < 48; ++x) sheet.blend(fx + x, fy + y, wc.floor, 1.0f);
        continue;
      }
      const int mask = (isWall(cx, cy - 1) ? 0 : 1) | (isWall(cx + 1, cy) ? 0 : 2) | (isWall(cx, cy + 1) ? 0 : 4) |
                       (isWall(cx - 1, cy) ? 0 : 8);
      const int f = frameForMask(mask, frameMask);
      const int srcX = (f % cols) * 128, srcY = (f / cols) * 128;
      const int dx = static_cast<int>(std::floor(sx - 32.0f)), dy = static_cast<int>(std::floor(sy - 32.0f));
      for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) sheet.blend(dx + x, dy + y, tiles.image.at(srcX + x * 2, srcY + y * 2), 1.0f);
    }
  }
}

}  // namespace

Image renderContactSheet(const std::vector<SheetEntry>& entries, const Image& defaultFont) {
  int height = 60;
  for (const SheetEntry& e : entries) height += layoutHeight(e);
  height += 20 + defaultFont.height() * 2 + 20;
  const int demoW = kDemoPixelsW, demoH = kDemoPixelsH;
  const int demoPerRow = (kSheetWidth - 2 * kMargin) / (demoW + kGap);
  height += 30 + ((9 + demoPerRow - 1) / demoPerRow) * (demoH + kGap + 14);
  Image sheet(kSheetWidth, height);
  sheet.fill(rgb(24, 26, 36));
  Pen pen(sheet, 0, 0, 1.0f, kSheetWidth, height);
  TextStyle title = labelStyle(3.0f);
  title.top = rgb(255, 220, 90);
  title.bottom = rgb(255, 160, 40);
  title.hard = false;
  drawTextCentred(pen, "GARVOLIN ZUDODO - PICTURES", kSheetWidth * 0.5f, 14.0f, title, 2.0f);

  int y = 60;
  for (const SheetEntry& e : entries) {
    const Picture& p = e.picture;
    int num, den;
    factorFor(p, num, den);
    const int ow = p.frameW * 2 * num / den, oh = p.frameH * 2 * num / den;
    TextStyle head = labelStyle(2.0f);
    head.top = head.bottom = rgb(150, 220, 255);
    const std::string caption = p.name + "  " + std::to_string(p.frameW) + "x" + std::to_string(p.frameH) + " x" +
                                std::to_string(p.frames) + (p.tinted ? "  (tinted)" : "");
    const float w = textWidth(caption, head, 1.0f);
    drawTextCentred(pen, caption, kMargin + w * 0.5f, static_cast<float>(y), head, 1.0f);
    y += 20;
    const int perRow = std::max(1, (kSheetWidth - 2 * kMargin + kGap) / (ow + kGap));
    for (int f = 0; f < p.frames; ++f) {
      const int fx = kMargin + (f % perRow) * (ow + kGap);
      const int fy = y + (f / perRow) * (oh + kLabelH + kGap);
      checker(sheet, fx, fy, ow, oh, p.tinted);
      blitFrame(sheet, e, f, fx, fy, num, den);
      TextStyle lab = labelStyle(2.0f);
      lab.top = lab.bottom = grey(0.8f);
      drawTextCentred(pen, std::to_string(f), static_cast<float>(fx) + ow * 0.5f, static_cast<float>(fy + oh + 3), lab,
                      1.0f);
    }
    y += layoutHeight(e) - 20;
  }
  TextStyle head = labelStyle(2.0f);
  head.top = head.bottom = rgb(150, 220, 255);
  const std::string caption = "default_font  (built-in font, 96 cells, shown 2x)";
  drawTextCentred(pen, caption, kMargin + textWidth(caption, head, 1.0f) * 0.5f, static_cast<float>(y), head, 1.0f);
  y += 20;
  const Image big = defaultFont.enlarged(2);
  checker(sheet, kMargin, y, std::min(big.width(), kSheetWidth - 2 * kMargin), big.height(), true);
  sheet.draw(big, kMargin, y);
  y += big.height() + 20;

  const std::string demoCaption = "wall tile sets joined in a maze, as the level screen draws them (1x)";
  drawTextCentred(pen, demoCaption, kMargin + textWidth(demoCaption, head, 1.0f) * 0.5f, static_cast<float>(y), head, 1.0f);
  y += 24;
  int shown = 0;
  for (const SheetEntry& e : entries) {
    if (e.picture.name.rfind("world-", 0) != 0) continue;
    const int world = e.picture.name[7] - '0';
    const int dx = kMargin + (shown % demoPerRow) * (demoW + kGap);
    const int dy = y + (shown / demoPerRow) * (demoH + kGap + 14);
    drawDemoMaze(sheet, dx, dy, e, world, kWallFrameMask);
    ++shown;
  }
  return sheet;
}

}  // namespace assetgen
