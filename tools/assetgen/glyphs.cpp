// Glyph outlines. Format of a glyph string: polylines separated by '|', points by spaces,
// each point "x,y" on the glyph grid. A polyline of one point is a dot.
#include "glyphs.h"

#include <array>
#include <cstdlib>
#include <string>

namespace assetgen {
namespace {

struct Def {
  int code;
  const char* wide;
  const char* narrow;  // nullptr: same as wide
};

const Def kDefs[] = {
    {'!', "0,0 0,4|0,6", nullptr},
    {'"', "0,0 0,1|2,0 2,1", nullptr},
    {'#', "1,0 1,6|3,0 3,6|0,2 4,2|0,4 4,4", nullptr},
    {'$', "4,1 1,1 0,2 1,3 3,3 4,4 3,5 0,5|2,0 2,6", nullptr},
    {'%', "0,0 1,0 1,1 0,1 0,0|4,1 0,5|3,5 4,5 4,6 3,6 3,5", nullptr},
    {'&', "4,6 0,2 0,1 1,0 2,1 2,2 0,4 0,5 1,6 2,6 4,4", nullptr},
    {'\'', "0,0 0,1", nullptr},
    {'(', "1,0 0,1 0,5 1,6", nullptr},
    {')', "0,0 1,1 1,5 0,6", nullptr},
    {'*', "2,1 2,5|0,3 4,3|1,2 3,4|3,2 1,4", nullptr},
    {'+', "2,1 2,5|0,3 4,3", nullptr},
    {',', "1,5 1,6 0,7", nullptr},
    {'-', "0,3 4,3", nullptr},
    {'.', "0,6", nullptr},
    {'/', "0,6 0,5 4,1 4,0", nullptr},
    {'0', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|1,4 3,2", nullptr},
    {'1', "1,1 2,0 2,6|1,6 3,6", nullptr},
    {'2', "0,1 1,0 3,0 4,1 4,2 0,6 4,6", nullptr},
    {'3', "0,1 1,0 3,0 4,1 4,2 3,3 4,4 4,5 3,6 1,6 0,5|1,3 3,3", nullptr},
    {'4', "3,6 3,0 0,3 0,4 4,4", nullptr},
    {'5', "4,0 0,0 0,3 3,3 4,4 4,5 3,6 0,6", nullptr},
    {'6', "3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,4 3,3 0,3", nullptr},
    {'7', "0,0 4,0 4,1 2,3 2,6", nullptr},
    {'8', "1,0 3,0 4,1 4,2 3,3 1,3 0,2 0,1 1,0|1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3", nullptr},
    {'9', "4,3 1,3 0,2 0,1 1,0 3,0 4,1 4,5 3,6 1,6", nullptr},
    {':', "0,2|0,5", nullptr},
    {';', "1,2|1,5 1,6 0,7", nullptr},
    {'<', "3,0 0,3 3,6", nullptr},
    {'=', "0,2 4,2|0,4 4,4", nullptr},
    {'>', "0,0 3,3 0,6", nullptr},
    {'?', "0,1 1,0 3,0 4,1 4,2 2,4|2,6", nullptr},
    {'@', "4,6 1,6 0,5 0,1 1,0 3,0 4,1 4,4 2,4 2,2 4,2", nullptr},
    {'A', "0,6 0,1 1,0 3,0 4,1 4,6|0,3 4,3", nullptr},
    {'B', "0,0 3,0 4,1 4,2 3,3 0,3|3,3 4,4 4,5 3,6 0,6 0,0", nullptr},
    {'C', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5", nullptr},
    {'D', "0,0 3,0 4,1 4,5 3,6 0,6 0,0", nullptr},
    {'E', "4,0 0,0 0,6 4,6|0,3 3,3", nullptr},
    {'F', "4,0 0,0 0,6|0,3 3,3", nullptr},
    {'G', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3 2,3", nullptr},
    {'H', "0,0 0,6|4,0 4,6|0,3 4,3", nullptr},
    {'I', "0,0 2,0|1,0 1,6|0,6 2,6", nullptr},
    {'J', "4,0 4,5 3,6 1,6 0,5", nullptr},
    {'K', "0,0 0,6|4,0 1,3 0,3|1,3 4,6", nullptr},
    {'L', "0,0 0,6 4,6", nullptr},
    {'M', "0,6 0,0 2,2 3,2 5,0 5,6", "0,6 0,0 2,2 4,0 4,6"},
    {'N', "0,6 0,0|0,1 4,5|4,0 4,6", nullptr},
    {'O', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0", nullptr},
    {'P', "0,6 0,0 3,0 4,1 4,2 3,3 0,3", nullptr},
    {'Q', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|2,4 4,6", nullptr},
    {'R', "0,6 0,0 3,0 4,1 4,2 3,3 0,3|2,3 4,5 4,6", nullptr},
    {'S', "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5", nullptr},
    {'T', "0,0 4,0|2,0 2,6", nullptr},
    {'U', "0,0 0,5 1,6 3,6 4,5 4,0", nullptr},
    {'V', "0,0 0,4 2,6 4,4 4,0", nullptr},
    {'W', "0,0 0,6 2,4 3,4 5,6 5,0", "0,0 0,6 2,4 4,6 4,0"},
    {'X', "0,0 0,1 4,5 4,6|4,0 4,1 0,5 0,6", nullptr},
    {'Y', "0,0 0,1 2,3 4,1 4,0|2,3 2,6", nullptr},
    {'Z', "0,0 4,0 4,1 0,5 0,6 4,6", nullptr},
    {'[', "1,0 0,0 0,6 1,6", nullptr},
    {'\\', "0,0 0,1 4,5 4,6", nullptr},
    {']', "0,0 1,0 1,6 0,6", nullptr},
    {'^', "0,2 2,0 4,2", nullptr},
    {'_', "0,7 4,7", nullptr},
    {'`', "0,0 1,1", nullptr},
    {'a', "1,2 3,2 4,3 4,6 1,6 0,5 1,4 4,4", nullptr},
    {'b', "0,0 0,6 3,6 4,5 4,3 3,2 0,2", nullptr},
    {'c', "4,2 1,2 0,3 0,5 1,6 4,6", nullptr},
    {'d', "4,0 4,6 1,6 0,5 0,3 1,2 4,2", nullptr},
    {'e', "4,6 1,6 0,5 0,3 1,2 3,2 4,3 4,4 0,4", nullptr},
    {'f', "1,0 0,1 0,6|0,2 1,2", nullptr},
    {'g', "4,2 1,2 0,3 0,4 1,5 4,5|4,2 4,7 3,8 0,8", nullptr},
    {'h', "0,0 0,6|0,2 3,2 4,3 4,6", nullptr},
    {'i', "0,0|0,2 0,6", nullptr},
    {'j', "3,0|3,2 3,7 2,8 0,8", nullptr},
    {'k', "0,0 0,6|3,2 1,4 0,4|1,4 3,6", nullptr},
    {'l', "0,0 0,6", nullptr},
    {'m', "0,6 0,2 2,2 3,3 3,6|3,3 4,2 5,2 6,3 6,6", "0,6 0,2 1,2 2,3 2,6|2,3 3,2 4,3 4,6"},
    {'n', "0,6 0,2 2,2 3,3 3,6", nullptr},
    {'o', "1,2 3,2 4,3 4,5 3,6 1,6 0,5 0,3 1,2", nullptr},
    {'p', "0,8 0,2 3,2 4,3 4,4 3,5 0,5", nullptr},
    {'q', "4,8 4,2 1,2 0,3 0,4 1,5 4,5", nullptr},
    {'r', "0,6 0,2|0,3 1,2 3,2", nullptr},
    {'s', "3,2 1,2 0,3 1,4 2,4 3,5 2,6 0,6", nullptr},
    {'t', "1,0 1,5 2,6 3,6|0,2 3,2", nullptr},
    {'u', "0,2 0,5 1,6 3,6 4,5|4,2 4,6", nullptr},
    {'v', "0,2 0,4 2,6 4,4 4,2", nullptr},
    {'w', "0,2 0,5 1,6 2,6 3,5 3,4|3,5 4,6 5,6 6,5 6,2", "0,2 0,5 1,6 2,5 3,6 4,5 4,2|2,5 2,3"},
    {'x', "0,2 4,6|4,2 0,6", nullptr},
    {'y', "0,2 0,4 1,5 4,5|4,2 4,7 3,8 0,8", nullptr},
    {'z', "0,2 3,2 3,3 0,6 3,6", nullptr},
    {'{', "2,0 1,1 1,2 0,3 1,4 1,5 2,6", nullptr},
    {'|', "0,0 0,7", nullptr},
    {'}', "0,0 1,1 1,2 2,3 1,4 1,5 0,6", nullptr},
    {'~', "0,3 1,2 2,3 3,4 4,3", nullptr},
    {127, "0,0 4,0 4,6 0,6 0,0|0,0 4,6|4,0 0,6", nullptr},  // a crossed box: "no glyph"
    {128, "4,3 0,3|2,1 0,3 2,5", nullptr},                  // arrow left
    {129, "2,6 2,1|0,3 2,1 4,3", nullptr},                  // arrow up
    {130, "0,3 4,3|2,1 4,3 2,5", nullptr},                  // arrow right
    {131, "2,0 2,5|0,3 2,5 4,3", nullptr},                  // arrow down
    {132, "2,5 0,3 0,1 1,0 2,1 3,0 4,1 4,3 2,5", nullptr},  // heart
    {133, "2,0 3,2 4,2 3,4 4,6 2,5 0,6 1,4 0,2 1,2 2,0", nullptr},  // star
    {134, "1,6 0,5 1,4 2,5 1,6|2,5 2,0 4,1", nullptr},      // note
    {135, "0,4 1,5 4,2", nullptr},                          // tick
    {136, "0,2 4,6|4,2 0,6|2,0", nullptr},                  // times
    {137, "2,0 4,2 2,4 0,2 2,0", nullptr},                  // diamond
    {138, "0,6 4,6 4,2 2,0 0,2 0,6|1,6 1,4 3,4 3,6", nullptr},  // house
    {139, "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|1,2|3,2|1,4 2,5 3,4", nullptr},  // smile
};

Glyph parse(const char* text) {
  Glyph g;
  Polyline cur;
  std::string s(text);
  size_t i = 0;
  while (i < s.size()) {
    if (s[i] == '|') {
      g.strokes.push_back(cur);
      cur.clear();
      ++i;
      continue;
    }
    if (s[i] == ' ') {
      ++i;
      continue;
    }
    char* end = nullptr;
    const float x = std::strtof(s.c_str() + i, &end);
    i = static_cast<size_t>(end - s.c_str()) + 1;  // skip ','
    const float y = std::strtof(s.c_str() + i, &end);
    i = static_cast<size_t>(end - s.c_str());
    cur.push_back({x, y});
    if (static_cast<int>(x) > g.width) g.width = static_cast<int>(x);
  }
  if (!cur.empty()) g.strokes.push_back(cur);
  return g;
}

struct Table {
  std::array<Glyph, 160> wide, narrow;
  Table() {
    for (const Def& d : kDefs) {
      wide[static_cast<size_t>(d.code)] = parse(d.wide);
      narrow[static_cast<size_t>(d.code)] = parse(d.narrow ? d.narrow : d.wide);
    }
  }
};

const Table& table() {
  static const Table t;
  return t;
}

}  // namespace

const Glyph& glyphFor(int code, bool narrow) {
  static const Glyph empty;
  if (code < 0 || code >= 160) return empty;
  return narrow ? table().narrow[static_cast<size_t>(code)] : table().wide[static_cast<size_t>(code)];
}

}  // namespace assetgen
