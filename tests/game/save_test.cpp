// The saved state: its text, checksums, incremental writing and block-by-block loading.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "menu_steps.h"

namespace {

using gametest::Game;
using menutest::Fields;
using menutest::Join;
using menutest::StateFile;
using menutest::WriteStateFile;

// Field positions in a save text.
constexpr int kSettingsSum = 25;
constexpr int kBadgeStart = 26;
constexpr int kScoreStart = 35;
constexpr int ScoreBlock(int t) { return kScoreStart + 21 * t; }
constexpr int kQuestStart = kScoreStart + 24 * 21;
constexpr int QuestBlock(int q) { return kQuestStart + 201 * q; }
constexpr int kFieldCount = 20639;

// Everything a save holds, set to zero.
void ClearAll(c_MyApp* app) {
  for (int i = 0; i < 25; ++i) app->m_Settings[i] = 0;
  for (int i = 0; i < 256; ++i) app->m_BadgeGot[i] = false;
  for (int i = 0; i < 1200; ++i) app->m_Scores[i] = 0;
  for (int i = 0; i < 21000; ++i) app->m_Quest[i] = 0;
}

// Varied values, negatives and large ones included, with settings the load keeps as they are.
void FillReal(c_MyApp* app) {
  std::uint32_t seed = 99;
  auto next = [&seed]() {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<int>(seed);
  };
  for (int i = 0; i < 25; ++i) app->m_Settings[i] = next() % 1000;
  app->m_Settings[10] = 200;
  app->m_Settings[11] = 90;
  app->m_Settings[12] = 12;
  app->m_Settings[14] = 1;
  for (int i = 0; i < 256; ++i) app->m_BadgeGot[i] = (next() & 0x100) != 0;
  for (int i = 0; i < 480; ++i) app->m_Scores[i] = next() % 100000;
  for (int i = 0; i < 20000; ++i) app->m_Quest[i] = i % 7 == 0 ? next() : i % 3;
}

std::string SaveNow(c_MyApp* app) {
  app->p_Save();
  app->p_FinishSave();
  return StateFile();
}

// Loads `text` as the game's state file and returns the status lines printed.
std::string LoadInto(Game& g, const std::string& text) {
  WriteStateFile(text);
  testing::internal::CaptureStdout();
  g.app->p_Load();
  return testing::internal::GetCapturedStdout();
}

int Count(const std::string& haystack, const std::string& needle) {
  int n = 0;
  for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) ++n;
  return n;
}

TEST(SaveText, AllZeroDataIsTheDigitZeroTwentyThousandSixHundredAndThirtyNineTimesAndLoadsClean) {
  std::string text;
  {
    Game g;
    ClearAll(g.app);
    text = SaveNow(g.app);
  }
  std::string expected;
  for (int i = 0; i < kFieldCount; ++i) expected += "0|";
  EXPECT_EQ(text, expected);

  Game g;
  std::string out = LoadInto(g, text);
  EXPECT_EQ(Count(out, "Invalid"), 0) << out;
  EXPECT_EQ(Count(out, "Settings Loaded\n"), 1);
  EXPECT_EQ(Count(out, "Badges Loaded\n"), 1);
  for (int t = 0; t < 24; ++t) EXPECT_EQ(Count(out, "Highscore " + std::to_string(t) + " Loaded\n"), 1) << t;
  // Loaded zeros are repaired where the settings have floors.
  EXPECT_EQ(g.app->m_Settings[5], 0);
  EXPECT_EQ(g.app->m_Settings[10], 64);
  EXPECT_EQ(g.app->m_Settings[12], 10);
}

TEST(SaveText, RealDataRoundTripsThroughARestart) {
  std::string text;
  std::vector<int> settings, scores, quest;
  std::vector<bool> badges;
  {
    Game g;
    FillReal(g.app);
    text = SaveNow(g.app);
    for (int i = 0; i < 25; ++i) settings.push_back(g.app->m_Settings[i]);
    for (int i = 0; i < 480; ++i) scores.push_back(g.app->m_Scores[i]);
    for (int i = 0; i < 20000; ++i) quest.push_back(g.app->m_Quest[i]);
    for (int i = 0; i < 256; ++i) badges.push_back(g.app->m_BadgeGot[i]);
  }
  std::vector<std::string> fields = Fields(text);
  ASSERT_EQ(fields.size(), static_cast<size_t>(kFieldCount));
  ASSERT_EQ(text.back(), '|');
  // The interleaved highscore layout: type 3's top-ten entry 2 and its last-ten entry 2.
  EXPECT_EQ(fields[ScoreBlock(3) + 4], std::to_string(scores[32]));
  EXPECT_EQ(fields[ScoreBlock(3) + 5], std::to_string(scores[240 + 32]));
  EXPECT_EQ(fields[QuestBlock(5) + 7], std::to_string(quest[1007]));

  Game g;
  std::string out = LoadInto(g, text);
  EXPECT_EQ(Count(out, "Invalid"), 0) << out;
  for (int i = 0; i < 25; ++i) EXPECT_EQ(g.app->m_Settings[i], settings[i]) << "setting " << i;
  for (int i = 0; i < 256; ++i) EXPECT_EQ(g.app->m_BadgeGot[i], badges[i]) << "badge " << i;
  for (int i = 0; i < 480; ++i) EXPECT_EQ(g.app->m_Scores[i], scores[i]) << "score " << i;
  for (int i = 0; i < 20000; ++i) ASSERT_EQ(g.app->m_Quest[i], quest[i]) << "quest " << i;
}

TEST(SaveText, BadgeFlagThirtyOneIsWrittenNegativeAndReadsBack) {
  std::string text;
  {
    Game g;
    g.app->m_BadgeGot[2 * 32 + 31] = true;
    g.app->m_BadgeGot[5 * 32] = true;
    text = SaveNow(g.app);
  }
  std::vector<std::string> fields = Fields(text);
  EXPECT_EQ(fields[kBadgeStart + 2], "-2147483648");
  EXPECT_EQ(fields[kBadgeStart + 5], "1");
  EXPECT_EQ(fields[kBadgeStart + 8], "-2147483647") << "the sum wraps";

  Game g;
  std::string out = LoadInto(g, text);
  EXPECT_NE(out.find("Badges Loaded"), std::string::npos) << out;
  for (int i = 0; i < 256; ++i) EXPECT_EQ(g.app->m_BadgeGot[i], i == 95 || i == 160) << i;
}

TEST(SaveLoad, AChangedHighscoreDigitResetsOnlyThatGameType) {
  std::string text;
  std::vector<int> scores;
  {
    Game g;
    FillReal(g.app);
    text = SaveNow(g.app);
    for (int i = 0; i < 480; ++i) scores.push_back(g.app->m_Scores[i]);
  }
  std::vector<std::string> fields = Fields(text);
  std::string& digit = fields[ScoreBlock(3) + 6];
  digit.back() = digit.back() == '9' ? '8' : static_cast<char>(digit.back() + 1);

  Game g;
  std::string out = LoadInto(g, Join(fields));
  EXPECT_EQ(Count(out, "Invalid"), 1) << out;
  EXPECT_EQ(Count(out, "Highscore 3 Checksum Invalid\n"), 1) << out;
  EXPECT_EQ(Count(out, "Highscore 4 Loaded\n"), 1);
  for (int t = 0; t < 24; ++t) {
    for (int s = 0; s < 10; ++s) {
      int top = 10 * t + s, last = 240 + 10 * t + s;
      EXPECT_EQ(g.app->m_Scores[top], t == 3 ? 0 : scores[top]) << t << "," << s;
      EXPECT_EQ(g.app->m_Scores[last], t == 3 ? 0 : scores[last]) << t << "," << s;
    }
  }
}

TEST(SaveLoad, ATruncatedFileLoadsItsCompleteLeadingBlocksOnly) {
  std::string text;
  {
    Game g;
    FillReal(g.app);
    text = SaveNow(g.app);
  }
  std::vector<std::string> fields = Fields(text);
  // Cut in the middle of the sixth highscore block.
  fields.resize(ScoreBlock(5) + 10);

  Game g;
  for (int i = 0; i < 480; ++i) g.app->m_Scores[i] = -7;
  g.app->m_Quest[0] = -7;
  std::string out = LoadInto(g, Join(fields));
  EXPECT_EQ(Count(out, "Invalid"), 0) << out;
  EXPECT_EQ(Count(out, "Loaded\n"), 2 + 5) << out;
  EXPECT_EQ(out.find("Highscore 5"), std::string::npos);
  EXPECT_EQ(g.app->m_Scores[49], std::stoi(fields[ScoreBlock(4) + 18]));
  for (int s = 0; s < 10; ++s) {
    EXPECT_EQ(g.app->m_Scores[50 + s], -7) << "the incomplete type keeps its fields";
    EXPECT_EQ(g.app->m_Scores[230 + s], -7) << "every later type is skipped as well";
  }
  EXPECT_EQ(g.app->m_Quest[0], -7);
}

TEST(SaveLoad, SettingsBelowTheirFloorsAreRepairedAndABadSettingsBlockResetsToSoundOn) {
  {
    Game g;
    ClearAll(g.app);
    g.app->m_Settings[0] = 777;  // weight 0: not part of the checksum
    g.app->m_Settings[5] = 3;
    g.app->m_Settings[10] = 5;
    g.app->m_Settings[11] = 63;
    g.app->m_Settings[12] = 7;
    g.app->m_Settings[14] = 0;
    g.app->m_Settings[15] = 1;
    std::vector<std::string> fields = Fields(SaveNow(g.app));
    fields[0] = "5";  // a change of setting 0 alone still passes
    fields.resize(26);  // the settings block alone
    std::string out = LoadInto(g, Join(fields));
    EXPECT_EQ(out, "Settings Loaded\n");
    EXPECT_EQ(g.app->m_Settings[0], 5);
    EXPECT_EQ(g.app->m_Settings[5], 3);
    EXPECT_EQ(g.app->m_Settings[10], 64);
    EXPECT_EQ(g.app->m_Settings[11], 64);
    EXPECT_EQ(g.app->m_Settings[12], 10);
    EXPECT_EQ(g.app->m_Settings[14], 1) << "the desktop keeps no overscan";
    EXPECT_EQ(g.app->m_Settings[15], 1);
    EXPECT_EQ(bb_GW_overscan, 0.0f);

    fields[15] = "0";
    out = LoadInto(g, Join(fields));
    EXPECT_EQ(out, "Settings Checksum Invalid\n");
    for (int i = 0; i < 25; ++i) {
      int expected = i == 5 ? 1 : i == 10 || i == 11 ? 64 : i == 12 ? 10 : i == 14 ? 1 : 0;
      EXPECT_EQ(g.app->m_Settings[i], expected) << i;
    }
  }
  // No state file: the defaults stay, repaired, and nothing is printed.
  Game g;
  std::remove(".gamestate");
  testing::internal::CaptureStdout();
  g.app->p_Load();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(g.app->m_Settings[5], 1);
  EXPECT_EQ(g.app->m_Settings[11], 64);
}

TEST(SaveIncremental, ASaveStartedTwiceWritesOnceAHundredUpdatesAfterTheSecondStart) {
  Game g;
  WriteStateFile("old");
  testing::internal::CaptureStdout();
  g.app->p_Save();
  g.Updates(40);
  EXPECT_EQ(g.app->m_SaveCursor, 40 * 200);
  g.app->m_Quest[0] = 4321;
  g.app->p_Save();
  EXPECT_EQ(g.app->m_SaveCursor, 0) << "a running save restarts";
  for (int i = 1; i < 100; ++i) {
    g.Update();
    ASSERT_EQ(StateFile(), "old") << "the file changes only at the last step (update " << i << ")";
  }
  g.Update();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(g.app->m_SaveCursor, -1);
  EXPECT_EQ(Count(out, "Saved\n"), 1) << out;
  std::vector<std::string> fields = Fields(StateFile());
  ASSERT_EQ(fields.size(), static_cast<size_t>(kFieldCount));
  EXPECT_EQ(fields[QuestBlock(0)], "4321");
  EXPECT_EQ(fields[QuestBlock(0) + 200], std::to_string(4 * 4321));
}

TEST(SaveIncremental, SuspendingWritesTheSaveAtOnce) {
  Game g;
  g.app->m_Quest[8004] = 12;
  g.app->p_OnSuspend();
  EXPECT_EQ(g.app->m_SaveCursor, -1);
  std::vector<std::string> fields = Fields(StateFile());
  ASSERT_EQ(fields.size(), static_cast<size_t>(kFieldCount));
  EXPECT_EQ(fields[QuestBlock(40) + 4], "12");
}

}  // namespace
