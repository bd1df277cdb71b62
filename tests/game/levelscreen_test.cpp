// What the level screen records: cells, the player, edge markers, the HUD and the tutorial.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"
#include "level_support.h"

namespace {

using gametest::Arena;
using gametest::Game;
using gametest::Steer;

// The image entries of a slot and frame in the last update.
std::vector<const float*> Images(Game& g, int slot, int frame) {
  std::vector<const float*> found;
  for (int k = 0; k < g.Entries(); ++k) {
    const float* e = g.Entry(k);
    if (e[0] == slot && e[6] == frame) found.push_back(e);
  }
  return found;
}

const std::vector<std::string> kWide = {
    "########################################",
    "#.S.o..F.............................FH#",
    "#......................................#",
    "########################################"};

TEST(LevelScreen, FriendsAndTheHomeOffScreenAreSmallTranslucentMarkersAtTheEdge) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, kWide);
  Steer(g, 0, 0);
  std::vector<const float*> friends = Images(g, 2, 2);
  ASSERT_EQ(friends.size(), 2u);
  const float* near = friends[0][1] < friends[1][1] ? friends[0] : friends[1];
  const float* far = friends[0][1] < friends[1][1] ? friends[1] : friends[0];
  EXPECT_FLOAT_EQ(near[1], 7 * 47.5f - app->m_CamX);
  EXPECT_EQ(near[4], 1);
  EXPECT_EQ(near[7], 1);
  EXPECT_EQ(far[1], bb_GW_jscrw - 16) << "clamped to the right edge";
  EXPECT_FLOAT_EQ(far[4], 0.9f);
  EXPECT_FLOAT_EQ(far[7], 0.75f);
  std::vector<const float*> home = Images(g, 2, 4);
  ASSERT_EQ(home.size(), 1u);
  EXPECT_EQ(home[0][1], bb_GW_jscrw - 16);
  EXPECT_FLOAT_EQ(home[0][4], 0.5f) << "shut and far away";
  EXPECT_FLOAT_EQ(home[0][7], 0.5f);
  app->m_Vars[79] = 4;
  Steer(g, 0, 0);
  home = Images(g, 2, 4);
  EXPECT_FLOAT_EQ(home[0][4], 0.7f) << "open and far away";
  EXPECT_FLOAT_EQ(home[0][7], 0.75f);
}

TEST(LevelScreen, OnlyCellsNearTheViewAreRecordedAndPillsOfTheTrailShowLargeOnRequest) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, kWide);
  app->Cell(4, 1, c_MyApp::kCellTrail) = 2;
  Steer(g, 0, 0);
  int floors = 0;
  for (int k = 0; k < g.Entries(); ++k) {
    const float* e = g.Entry(k);
    if (e[0] != c_MyApp::kRectMarker || e[4] != 48.45f) continue;
    ++floors;
    EXPECT_GT(e[1] + 24.225f, -128);
    EXPECT_LT(e[1] + 24.225f, bb_GW_jscrw + 128);
    EXPECT_EQ(e[10], 0) << "world 1's floor colour";
    EXPECT_EQ(e[11], 80);
    EXPECT_EQ(e[12], 180);
  }
  int nearView = 0;
  for (int x = 0; x <= app->m_MapW; ++x) {
    float sx = 47.5f * static_cast<float>(x) - app->m_CamX;
    if (sx > -128 && sx < bb_GW_jscrw + 128) nearView += (app->Cell(x, 1, 0) == 0) + (app->Cell(x, 2, 0) == 0);
  }
  EXPECT_EQ(floors, nearView);
  EXPECT_LT(floors, 70) << "the far part of the row is not recorded";
  EXPECT_EQ(Images(g, 2, 0).size(), 1u) << "the pill";
  app->m_ShowTrail = 1;
  Steer(g, 0, 0);
  EXPECT_EQ(Images(g, 2, 0).size(), 0u);
  ASSERT_EQ(Images(g, 2, 1).size(), 1u) << "drawn large on the trail";
  float y = Images(g, 2, 1)[0][2];
  EXPECT_LE(y, 47.5f - app->m_CamY + 2);
  EXPECT_GE(y, 47.5f - app->m_CamY - 4) << "it bobs by up to 6 units";
}

TEST(LevelScreen, ThePlayerFacesHisWayAndSpinsAsHeDies) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, kWide);
  Steer(g, -1, 0);
  std::vector<const float*> player = Images(g, 1, 0);
  ASSERT_EQ(player.size(), 1u);
  EXPECT_EQ(player[0][4], -1) << "facing left is drawn mirrored";
  EXPECT_EQ(player[0][3], 0);
  for (int i = 0; i < 6; ++i) Steer(g, -1, 0);
  EXPECT_EQ(Images(g, 1, 1).size(), 1u) << "the second walking frame after six frames";
  app->m_Outcome = -12;
  Steer(g, 0, 0);  // the outcome moves on to -13
  std::vector<const float*> dying = Images(g, 1, 5);
  ASSERT_EQ(dying.size(), 1u);
  EXPECT_EQ(dying[0][3], -(-13 / 5 * 90)) << "a quarter turn every five frames";
  app->m_Outcome = -100;
  Steer(g, 0, 0);
  for (int f = 0; f < 16; ++f) EXPECT_EQ(Images(g, 1, f).size(), 0u) << "gone after the last death frame";
}

TEST(LevelScreen, TheHudShowsAnEasedEightDigitScoreAndTheLives) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, kWide);
  app->m_Lives = 3;
  app->m_Score = 600;
  Steer(g, 0, 0);
  EXPECT_EQ(app->m_ShownScore, 100);
  EXPECT_NE(g.RecordedText().find("00000100"), std::string::npos) << g.RecordedText();
  for (int i = 0; i < 40; ++i) Steer(g, 0, 0);
  EXPECT_EQ(app->m_ShownScore, 600);
  EXPECT_NE(g.RecordedText().find("00000600"), std::string::npos);
  std::vector<const float*> lives = Images(g, 2, 5);
  ASSERT_EQ(lives.size(), 3u);
  app->m_LevelKind = 2;
  Steer(g, 0, 0);
  EXPECT_NE(g.RecordedText().find("Left:1"), std::string::npos) << g.RecordedText();
  app->m_HideHud = 1;
  Steer(g, 0, 0);
  EXPECT_EQ(g.RecordedText().find("Left"), std::string::npos);
  EXPECT_EQ(Images(g, 2, 5).size(), 0u);
}

TEST(LevelScreen, TheTutorialTalksAccordingToTheScore) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, kWide);
  app->m_Tutorial = 1;
  Steer(g, 0, 0);
  std::string text = g.RecordedText();
  EXPECT_NE(text.find("Welcometo"), std::string::npos) << text;
  EXPECT_NE(text.find("thelargerpills."), std::string::npos);
  app->m_Score = 150;
  Steer(g, 0, 0);
  text = g.RecordedText();
  EXPECT_NE(text.find("Followthetrailaround"), std::string::npos) << text;
  EXPECT_NE(text.find("Themorefriendsyou've"), std::string::npos);
  EXPECT_EQ(text.find("Welcome"), std::string::npos);
  app->m_Paused = 1;
  Steer(g, 0, 0);
  EXPECT_EQ(g.RecordedText().find("Follow"), std::string::npos) << "quiet while paused";
}

}  // namespace
