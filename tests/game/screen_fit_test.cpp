// Texts against their panels, from the display list and the ink of the font pictures: every text
// on the level-end panels, the title menu's panels and the quest box's rows lies within its panel
// without touching another text there, and the credits and the score are drawn in a font whose
// glyphs carry a dark outline they stand out from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

#include "game_test.h"
#include "runtime/graphics/image_data.h"

namespace {

constexpr int kN = 78;

// A font picture at 1x (16 x 16 pixel cells, 32 a row): 8-bit RGBA, top row first.
struct FontPicture {
  int w = 0, h = 0, depth = 0;
  unsigned char* px = nullptr;
  explicit FontPicture(int slot) {
    std::FILE* f = std::fopen(slot == 89 ? ZUDODO_SOURCE_DIR "/data/fonts/garvolin.png" : ZUDODO_SOURCE_DIR "/data/fonts/small.png", "rb");
    if (f) px = bbDecodeImageFile(f, &w, &h, &depth), std::fclose(f);
  }
  ~FontPicture() { std::free(px); }
  const unsigned char* At(int f, int x, int y) const { return px + ((y + f / 32 * 16) * w + f % 32 * 16 + x) * 4; }
};

struct Box {
  float x0, y0, x1, y1;
  bool Meets(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};

// The ink of every glyph in the display list, texts apart (a run of one font's glyphs on a line).
std::vector<std::vector<Box>> Texts(const Game& g) {
  static std::map<int, std::vector<Box>> cells;  // per font: each frame's ink, from the cell centre
  std::vector<std::vector<Box>> texts;
  float lastY = NAN, lastSlot = -1;
  for (int k = 0; k < g.Entries(); ++k) {
    const float* e = g.Entry(k);
    const int slot = static_cast<int>(e[0]);
    if ((slot != 89 && slot != 90) || e[0] != static_cast<float>(slot) || e[3] != 0) continue;
    if (cells[slot].empty()) {
      FontPicture p(slot);
      for (int f = 0; f < 128; ++f) {
        Box b{16, 16, -16, -16};
        for (int y = 0; y < 16 && p.px; ++y)
          for (int x = 0; x < 16; ++x)
            if (p.At(f, x, y)[3] > 64) b = {std::fmin(b.x0, x - 8.f), std::fmin(b.y0, y - 8.f), std::fmax(b.x1, x - 7.f), std::fmax(b.y1, y - 7.f)};
        cells[slot].push_back(b);
      }
    }
    const Box c = cells[slot][static_cast<int>(e[6])];
    if (slot != lastSlot || e[2] != lastY) texts.emplace_back();
    texts.back().push_back({e[1] + c.x0 * e[4], e[2] + c.y0 * e[5], e[1] + c.x1 * e[4], e[2] + c.y1 * e[5]});
    lastSlot = slot, lastY = e[2];
  }
  return texts;
}

void Menu(Game& g, int progress, int select) {
  if (progress) g.app->m_Quest[progress] = 1;
  for (int i = 0; i < 1200; ++i) g.app->m_Scores[i] = 99999999 - i;
  g.Ready();
  for (int i = 1; i < select; ++i) g.Press(kDown);
  g.Updates(30);
}

void Panel(Game& g, int complete, int lives) {
  g.FinishLoading();
  g.Render();
  g.app->m_Lives = lives;
  g.app->m_PointerLatch = g.app->m_KeyLatch = 1;
  g.app->p_CLS2D(0, 0, 0, 1);
  g.app->LevelEndPanel(complete);
}

void Quest(Game& g, int type) {
  for (int i = 0; i < 20; ++i) g.app->m_Quest[(type - 1) * 1000 + i] = 99999999;
  Menu(g, 9, type);
  g.Press(kEnter);
  g.Updates(40);
}

// Screens with the panels' sizes as recorded (0 matches any), and whether their texts keep clear
// of each other: the score panel's last row meets the Start button's label, a layout left as it is.
const std::vector<std::tuple<float, float, bool>> kMenuPanels = {{280, 480, true}, {140, 480, false}};
const struct {
  const char* name;
  std::function<void(Game&)> reach;
  std::vector<std::tuple<float, float, bool>> panels;
} kScreens[] = {
    {"level complete", [](Game& g) { Panel(g, 1, 2); }, {{0, 192, true}}},
    {"level failed, help offered", [](Game& g) { Panel(g, 0, 0); }, {{0, 192, true}}},
    {"title menu, new player", [](Game& g) { Menu(g, 0, 1); }, kMenuPanels},
    {"title menu, paths unlocked, Path A's scores", [](Game& g) { Menu(g, 4, 2); }, kMenuPanels},
    {"quest box with best scores", [](Game& g) { Quest(g, 1); }, {{320, 64, true}}},
    {"Pathfinder quest box", [](Game& g) { Quest(g, 5); }, {{320, 64, true}}},
};

TEST(ScreenFit, EveryTextOnAPanelLiesInsideItAndClearOfTheOthers) {
  for (const auto& screen : kScreens) {
    SCOPED_TRACE(screen.name);
    Game g;
    screen.reach(g);
    const std::vector<std::vector<Box>> texts = Texts(g);
    int panels = 0;
    for (const float* e : g.EntriesOf(c_MyApp::kRectMarker)) {
      bool match = false, clear = false;
      for (auto [w, h, c] : screen.panels)
        if ((!w || e[4] == w) && (!h || e[5] == h)) match = true, clear = c;
      if (!match) continue;
      const Box panel{e[1], e[2], e[1] + e[4], e[2] + e[5]};
      std::vector<const std::vector<Box>*> on;  // the texts with a glyph centred on the panel
      for (const std::vector<Box>& text : texts)
        if (std::any_of(text.begin(), text.end(), [&panel](const Box& b) {
              const float x = (b.x0 + b.x1) / 2, y = (b.y0 + b.y1) / 2;
              return panel.Meets({x, y, x + 0.01f, y + 0.01f});
            }))
          on.push_back(&text);
      panels += on.empty() ? 0 : 1;
      for (size_t t = 0; t < on.size(); ++t)
        for (const Box& glyph : *on[t]) {
          EXPECT_GE(glyph.x0, panel.x0 - 0.5f) << "text " << t << " leaves the panel at the left";
          EXPECT_LE(glyph.x1, panel.x1 + 0.5f) << "text " << t << " leaves the panel at the right";
          for (size_t u = t + 1; clear && u < on.size(); ++u)
            for (const Box& other : *on[u]) EXPECT_FALSE(glyph.Meets(other)) << "texts " << t << " and " << u << " meet";
        }
    }
    EXPECT_GT(panels, 0) << "no panel with text";
  }
}

// WCAG relative luminance of a colour with channels in 0-1.
double Luminance(double r, double g, double b) {
  auto lin = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b);
}

TEST(ScreenFit, TheCreditsAndTheScoreAreDrawnWithAnOutlineTheyStandOutFrom) {
  FontPicture font(90);
  ASSERT_TRUE(font.px);
  for (int carrier = 0; carrier < 2; ++carrier) {  // the credits, and the score during play
    SCOPED_TRACE(carrier);
    Game g;
    Menu(g, 4, 1 + carrier);
    g.Press(carrier ? kEnter : kN);
    g.Updates(90);
    int glyphs = 0;
    for (const float* e : g.EntriesOf(90)) {
      if (carrier && std::fabs(e[2] - 32) > 1) continue;
      ++glyphs;
      // Each pixel of the glyph's fill is enclosed by opaque pixels; the darkest fill pixel and the
      // lightest outline pixel, tinted as drawn, differ by a contrast ratio of 3 at least.
      double fill = 1, outline = 0;
      int open = 0;
      const int f = static_cast<int>(e[6]);
      for (int y = 1; y < 15; ++y)
        for (int x = 1; x < 15; ++x) {
          const unsigned char* p = font.At(f, x, y);
          if (p[3] < 200) continue;
          const double l = Luminance(e[10] / 255 * p[0] / 255, e[11] / 255 * p[1] / 255, e[12] / 255 * p[2] / 255);
          (p[0] <= 128 ? outline : fill) = p[0] <= 128 ? std::fmax(outline, l) : std::fmin(fill, l);
          for (int n = 0; n < 9 && p[0] > 128; ++n) open += font.At(f, x + n % 3 - 1, y + n / 3 - 1)[3] < 200 ? 1 : 0;
        }
      EXPECT_EQ(open, 0) << "frame " << f;
      EXPECT_GE((fill + 0.05) / (outline + 0.05), 3.0) << "frame " << f;
    }
    EXPECT_GT(glyphs, 5);
  }
}

}  // namespace
