// save.cpp: the saved game state. Settings, earned badges, highscore lists and quest progress
// form one text of decimal integers, each followed by '|', in blocks that each end with a
// weighted checksum. A save builds the small blocks at once and the 100 quest blocks one per
// update, and writes the file only at the end; a load checks every block on its own and resets
// only the blocks that fail.
#include <cstdint>
#include <string>

#include "game/app.h"
#include "runtime/host/error.h"

namespace {

constexpr int kSettings = 25;
constexpr int kBadgeWords = 8;
constexpr int kScoreTypes = 24;
constexpr int kLastTen = 240;
constexpr int kQuestBlock = 200;
constexpr int kQuestSaved = 20000;
// A file may hold one quest block more than a save writes; it is read when present.
constexpr int kQuestBlocksRead = 101;

// Checksums are 32-bit sums that wrap on overflow.
class Sum {
 public:
  void Add(int weight, int value) {
    sum_ += static_cast<std::uint32_t>(weight) * static_cast<std::uint32_t>(value);
  }
  int Value() const { return static_cast<int>(sum_); }

 private:
  std::uint32_t sum_ = 0;
};

void Put(std::string& text, int value) {
  text += std::to_string(value);
  text += '|';
}

String ToString(const std::string& text) { return String(text.c_str()); }

// The badge word w: bit b holds flag 32 w + b.
int BadgeWord(const Array<bool>& got, int w) {
  std::uint32_t word = 0;
  for (int b = 0; b < 32; ++b)
    if (got[32 * w + b]) word |= std::uint32_t{1} << b;
  return static_cast<int>(word);
}

}  // namespace

int c_MyApp::p_Save() {
  std::string text;
  Sum settings;
  for (int i = 0; i < kSettings; ++i) {
    Put(text, m_Settings[i]);
    settings.Add(i, m_Settings[i]);
  }
  Put(text, settings.Value());

  Sum badges;
  for (int w = 0; w < kBadgeWords; ++w) {
    int word = BadgeWord(m_BadgeGot, w);
    Put(text, word);
    badges.Add(1, word);
  }
  Put(text, badges.Value());

  // Each game type's top-ten and last-ten lists, interleaved.
  for (int t = 0; t < kScoreTypes; ++t) {
    Sum scores;
    for (int s = 0; s < 10; ++s) {
      int top = m_Scores[10 * t + s], last = m_Scores[kLastTen + 10 * t + s];
      Put(text, top);
      Put(text, last);
      scores.Add(s + 4, top);
      scores.Add(t + s + 3, last);
    }
    Put(text, scores.Value());
  }

  if (bb_GW_DebugMode == 1) bbPrint(ToString(text));
  m_SaveText = ToString(text);
  m_SaveCursor = 0;
  return 0;
}

int c_MyApp::p_SaveExtra() {
  if (m_SaveCursor < 0 || m_SaveCursor >= kQuestSaved) return 0;
  std::string text;
  Sum quest;
  for (int k = 0; k < kQuestBlock; ++k) {
    int value = m_Quest[m_SaveCursor];
    Put(text, value);
    quest.Add(k + 4, value);
    ++m_SaveCursor;
  }
  Put(text, quest.Value());
  m_SaveText = m_SaveText + ToString(text);
  if (m_SaveCursor >= kQuestSaved) {
    int result = bb_app_SaveState(m_SaveText);
    m_SaveCursor = -1;
    m_SaveText = String();
    bbPrint(String(result == 0 ? "Saved" : "Save Failed"));
  }
  return 0;
}

int c_MyApp::p_FinishSave() {
  while (m_SaveCursor >= 0) p_SaveExtra();
  return 0;
}

int c_MyApp::p_Load() {
  String state = bb_app_LoadState();
  Array<String> parts = state.Split(String("|"));
  if (bb_GW_DebugMode == 1) bbPrint(state);
  const int n = parts.Length();
  int pos = 0;

  if (n > kSettings) {
    Sum sum;
    for (int i = 0; i < kSettings; ++i) {
      m_Settings[i] = parts[i].ToInt();
      sum.Add(i, m_Settings[i]);
    }
    if (sum.Value() == parts[kSettings].ToInt()) {
      bbPrint(String("Settings Loaded"));
    } else {
      bbPrint(String("Settings Checksum Invalid"));
      for (int i = 0; i < kSettings; ++i) m_Settings[i] = 0;
      m_Settings[5] = 1;
    }
    pos = kSettings + 1;
  }

  // On-screen pad position and size, and the overscan, have floors of their own.
  if (m_Settings[10] < 64) m_Settings[10] = 64;
  if (m_Settings[11] < 64) m_Settings[11] = 64;
  if (m_Settings[12] < 8) m_Settings[12] = 10;
  if (m_Settings[14] < 1) m_Settings[14] = 64;
  if (bb_GW_isOuya == 1) {
    bb_GW_overscan = static_cast<float>(m_Settings[14]);
  } else {
    m_Settings[14] = 1;
    bb_GW_overscan = 0;
  }

  // A file too short to hold its settings holds nothing more: the blocks after them are not read
  // from the settings' fields.
  if (n <= kSettings) return 0;

  if (pos + kBadgeWords < n) {
    Sum sum;
    for (int w = 0; w < kBadgeWords; ++w) {
      int word = parts[pos + w].ToInt();
      sum.Add(1, word);
      for (int b = 0; b < 32; ++b) m_BadgeGot[32 * w + b] = ((static_cast<std::uint32_t>(word) >> b) & 1) != 0;
    }
    if (sum.Value() == parts[pos + kBadgeWords].ToInt()) {
      bbPrint(String("Badges Loaded"));
    } else {
      bbPrint(String("Badge Checksum Invalid"));
      for (int i = 0; i < 32 * kBadgeWords; ++i) m_BadgeGot[i] = false;
    }
    pos += kBadgeWords + 1;
  }

  for (int t = 0; t < kScoreTypes; ++t) {
    if (pos + 20 >= n) continue;
    Sum sum;
    for (int s = 0; s < 10; ++s) {
      int top = parts[pos + 2 * s].ToInt(), last = parts[pos + 2 * s + 1].ToInt();
      m_Scores[10 * t + s] = top;
      m_Scores[kLastTen + 10 * t + s] = last;
      sum.Add(s + 4, top);
      sum.Add(t + s + 3, last);
    }
    String type = String("Highscore ") + String(t);
    if (sum.Value() == parts[pos + 20].ToInt()) {
      bbPrint(type + String(" Loaded"));
    } else {
      bbPrint(type + String(" Checksum Invalid"));
      for (int s = 0; s < 10; ++s) {
        m_Scores[10 * t + s] = 0;
        m_Scores[kLastTen + 10 * t + s] = 0;
      }
    }
    pos += 21;
  }

  for (int q = 0; q < kQuestBlocksRead; ++q) {
    if (pos + kQuestBlock >= n) continue;
    Sum sum;
    for (int k = 0; k < kQuestBlock; ++k) {
      int value = parts[pos + k].ToInt();
      m_Quest[kQuestBlock * q + k] = value;
      sum.Add(k + 4, value);
    }
    if (sum.Value() != parts[pos + kQuestBlock].ToInt()) {
      bbPrint(String("Quest Score ") + String(q) + String(" Checksum Invalid"));
      for (int k = 0; k < kQuestBlock; ++k) m_Quest[kQuestBlock * q + k] = 0;
    }
    pos += kQuestBlock + 1;
  }
  return 0;
}
