// menu_steps.h: small steps shared by the menu, quest and save tests: a game ready on its title
// menu, key presses held across updates, glyphs of one font read back from the display list,
// and the state file of the game's working folder.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"

namespace menutest {

// Key codes the menus answer to.
namespace keys {
constexpr int kUp = 38, kDown = 40, kLeft = 37, kRight = 39, kEnter = 13, kEscape = 27, kN = 78;
}  // namespace keys

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Set by a test that expects the game to quit; otherwise a quit during a test fails it.
extern bool gQuitExpected;

// A game past its loader, rendered once so pointer positions map 1:1 onto design units, with
// the title menu slid fully in.
inline void Ready(gametest::Game& g) {
  g.FinishLoading();
  g.Render();
  g.Updates(40);
}

// A key held for `hold` updates, then released for one.
inline void Press(gametest::Game& g, int key, int hold = 2) {
  g.KeyDown(key);
  g.Updates(hold);
  g.KeyUp(key);
  g.Update();
}

// A tap of the pointer at (x, y): down for one update, then up for one.
inline void Tap(gametest::Game& g, float x, float y) {
  g.MouseMove(x, y);
  g.MouseDown(x, y);
  g.Update();
  g.MouseUp();
  g.Update();
}

// The characters drawn in font slot `font` in the last update, in order (spaces draw nothing).
inline std::string Glyphs(const gametest::Game& g, int font) {
  std::string text;
  for (int k = 0; k < g.Entries(); ++k) {
    const float* e = g.Entry(k);
    if (static_cast<int>(e[0]) == font) text += static_cast<char>(static_cast<int>(e[6]) + 32);
  }
  return text;
}

// Rectangle entries of the last update with the given size.
inline std::vector<const float*> Rects(const gametest::Game& g, float w, float h) {
  std::vector<const float*> found;
  for (int k = 0; k < g.Entries(); ++k) {
    const float* e = g.Entry(k);
    if (e[0] == c_MyApp::kRectMarker && e[4] == w && e[5] == h) found.push_back(e);
  }
  return found;
}

// The state file of the game's working folder; empty when there is none.
inline std::string StateFile() {
  std::ifstream in(".gamestate", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteStateFile(const std::string& text) {
  std::ofstream out(".gamestate", std::ios::binary | std::ios::trunc);
  out << text;
}

// The '|'-separated fields of a save text (without the empty one after the last separator).
inline std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields;
  std::string field;
  for (char c : text) {
    if (c == '|') {
      fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  return fields;
}

inline std::string Join(const std::vector<std::string>& fields) {
  std::string text;
  for (const std::string& f : fields) text += f + "|";
  return text;
}

}  // namespace menutest
