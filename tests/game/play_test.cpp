// The gameplay rules, frame by frame with scripted control axes on hand-drawn arenas and on
// generated levels; the quest panels; what the level screen records; particles and the trail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"
#include "runtime/audio/device.h"

namespace {

using gametest::Arena;
using gametest::AtRest;
using gametest::Game;
using gametest::Has;
using gametest::PlayerX;
using gametest::PlayerY;
using gametest::Steer;
using gametest::V;

// Whether the effect last played is sounding (only the effects a test loads can sound).
bool LastEffectSounds(c_MyApp* app) { return bb_audio_device->ChannelState(app->m_SfxChannel[app->m_SfxSlot]) == 1; }

// Whether the player stands on cell x of his row: his offset below three tenths of a cell.
bool StandsOn(const Game& g, int x) { return PlayerX(g) == x && std::fabs(g.app->m_Vars[3]) < 0.3f; }

TEST(PlayRules, APillIsEatenOnceTheOffsetFallsBelowThreeTenthsAndIsWorthTheFriendsPlusOne) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"######", "#So.o#", "#....#"});
  bool eaten = false;
  for (int frame = 0; frame < 20 && !eaten; ++frame) {
    bool standing = StandsOn(g, 2);
    Steer(g, 1, 0);
    eaten = app->Cell(2, 1, c_MyApp::kCellPill) == 0;
    EXPECT_EQ(eaten, standing) << "frame " << frame;
  }
  int sparks = 0;
  for (int s = 0; s <= app->m_PartCount; ++s) sparks += app->m_Parts[s * 10] == 2 && app->m_Parts[s * 10 + 8] == 3;
  // Score, the pill counter, five yellow sparks, the pill sound's alternation.
  EXPECT_EQ(V(eaten, app->m_Score, app->m_Settings[1], sparks, app->m_Vars[25]), V(1, 1, 1, 5, 1));
  app->m_Vars[79] = 3;  // three friends following: the next pill is worth four
  for (int frame = 0; frame < 40 && app->Cell(4, 1, c_MyApp::kCellPill) != 0; ++frame) Steer(g, 1, 0);
  EXPECT_EQ(V(app->m_Score, app->m_Vars[25], app->m_Outcome), V(5, 0, 0));
}

TEST(PlayRules, AFriendJoinsWithItsSoundAndFollowsAlongTheTrail) {
  Game g;
  c_MyApp* app = g.app;
  app->p_LoadSFX(15);
  Arena(g, {"##########", "#S.F.....#", "#........#"});
  for (int frame = 0; frame < 60 && app->m_Vars[79] == 0; ++frame) Steer(g, 1, 0);
  ASSERT_EQ(app->m_Vars[79], 1);
  EXPECT_EQ(PlayerX(g), 3);
  EXPECT_LT(std::fabs(app->m_Vars[3]), 16 / 47.5f) << "collected within 16 units";
  EXPECT_EQ(V(app->m_Vars[82], app->m_Vars[61]), V(0, 1)) << "no longer waiting; following from its row";
  EXPECT_NEAR(app->m_Vars[60], 3, 0.2f) << "the follower starts from the friend's cell";
  EXPECT_TRUE(LastEffectSounds(app)) << "sound 15, the first friend's";
  for (int i = 0; i < 115; ++i) Steer(g, i < 35, 0);
  ASSERT_TRUE(AtRest(g));
  EXPECT_EQ(app->m_Outcome, 0);
  float behind = app->m_Vars[1] - app->m_Vars[60];
  EXPECT_TRUE(behind > 0.8f && behind < 1.0f) << "8 history entries behind: a little less than a cell, " << behind;
  EXPECT_NEAR(app->m_Vars[61], 1, 0.01f);
}

TEST(PlayRules, HolesKillOnlyWhereTheyCanBeEnteredAndBeingBoxedInKillsOnArrival) {
  for (int world : {1, 8}) {
    Game g;
    Arena(g, {"#####", "#Sx.#", "#.###"}, world);
    for (int frame = 0; frame < 30 && g.app->m_Outcome == 0; ++frame) Steer(g, 1, 0);
    if (world == 8) { EXPECT_TRUE(g.app->m_Outcome < 0 && StandsOn(g, 2)) << "world 8 lets him onto the hole, to die"; }
    if (world == 1) { EXPECT_EQ(V(g.app->m_Outcome, PlayerX(g)), V(0, 1)) << "a hole blocks the way"; }
  }
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"#####", "#S.##"});
  Steer(g, 0, 0);
  EXPECT_EQ(app->m_Outcome, 0) << "the start has a way out";
  for (int frame = 0; frame < 20 && app->m_Outcome == 0; ++frame) {
    bool arrived = StandsOn(g, 2);
    Steer(g, 1, 0);
    EXPECT_EQ(app->m_Outcome < 0, arrived) << "frame " << frame << ": the cell left behind crumbles";
  }
  EXPECT_TRUE(app->m_Outcome < 0 && PlayerX(g) == 2 && app->Cell(1, 1, c_MyApp::kCellCrumble) > 0);
}

TEST(PlayRules, RaisedSpikesKillAndLoweredOnesDoNot) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"######", "#S^..#", "#....#"});
  auto up = [app] { return app->Cell(2, 1, c_MyApp::kCellSpikeUp) == 1; };
  // Wait for the spikes to go down, step onto them and stand there.
  for (int guard = 0; !up() && guard < 200; ++guard) Steer(g, 0, 0);
  for (int guard = 0; up() && guard < 200; ++guard) Steer(g, 0, 0);
  Steer(g, 1, 0);
  bool sawDown = false;
  for (int frame = 0; frame < 200 && app->m_Outcome == 0; ++frame) {
    sawDown = sawDown || (StandsOn(g, 2) && !up());
    EXPECT_FALSE(StandsOn(g, 2) && up()) << "alive on raised spikes at frame " << frame;
    Steer(g, 0, 0);
  }
  EXPECT_TRUE(sawDown) << "standing on lowered spikes is safe";
  EXPECT_TRUE(app->m_Outcome < 0 && up());
}

// Walks right along row 1 until the player has passed the home (x = 8) or play ends; true when
// he reached home.
bool WalkPastHome(Game& g) {
  for (int frame = 0; frame < 120 && g.app->m_Outcome == 0 && PlayerX(g) < 9; ++frame) Steer(g, 1, 0);
  EXPECT_GE(g.app->m_Outcome, 0);
  return g.app->m_Outcome > 0;
}

TEST(PlayRules, TheHomeOpensOnlyToFourFriendsAndInPathfinderOnlyOnceThePillsAreGone) {
  // Friends, pathfinder, the second row; whether he gets home.
  const std::vector<std::pair<std::vector<std::string>, bool>> cases = {
      {{"#SFFFF..H.#", "#.........#"}, true},  {{"#SFFF...H.#", "#.........#"}, false},
      {{"#SFFFF..H.#", "#........o#"}, false}, {{"#SFFFF..H.#", "#.........#"}, true}};
  for (size_t c = 0; c < cases.size(); ++c) {
    Game g;
    g.app->p_LoadSFX(2);
    Arena(g, {"###########", cases[c].first[0], cases[c].first[1]});
    g.app->m_LevelKind = c >= 2 ? 2 : 1;
    EXPECT_EQ(WalkPastHome(g), cases[c].second) << "case " << c;
    if (c == 0) { EXPECT_TRUE(PlayerX(g) == 8 && LastEffectSounds(g.app)) << "sound 2 greets the player home"; }
  }
  // A Pathfinder home at the end of its trail with a pill of its own: eating it empties the level
  // in the very frame that would box the player in.
  Game g;
  Arena(g, {"#########", "#SFFFFooH#"});
  g.app->m_LevelKind = 2;
  g.app->Cell(8, 1, c_MyApp::kCellPill) = 1;
  for (int frame = 0; frame < 120 && g.app->m_Outcome == 0; ++frame) Steer(g, 1, 0);
  EXPECT_EQ(V(g.app->m_Outcome > 0, PlayerX(g), g.app->m_Vars[24]), V(1, 8, 0));
}

TEST(PlayRules, StepsStartOnlyAtACellCentreOneAxisAtATimeAndTurningWins) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"#######", "#S....#", "#.....#", "#.....#"});
  Steer(g, 1, 0);
  ASSERT_EQ(PlayerX(g), 2);
  int downAt = -1, firstRest = -1;
  for (int frame = 0; frame < 30; ++frame) {
    bool between = !AtRest(g);
    if (!between && firstRest < 0) firstRest = frame;
    int x = PlayerX(g), y = PlayerY(g);
    Steer(g, 0, 1);  // down, held from the middle of the step
    EXPECT_FALSE(app->m_Vars[3] != 0 && app->m_Vars[4] != 0) << "one axis at a time";
    if (between) { EXPECT_EQ(V(PlayerX(g), PlayerY(g)), V(x, y)) << "no step starts between cells"; }
    if (!between && downAt < 0 && PlayerY(g) == 2) downAt = frame;
  }
  EXPECT_GT(firstRest, 0);
  EXPECT_EQ(downAt, firstRest) << "the down step starts as soon as the offset is back at 0";
  EXPECT_EQ(PlayerX(g), 2);
  // Right and down held together: down wins while moving right; right wins while moving down.
  Arena(g, {"########", "#S.....#", "####.###", "####...#"});
  std::vector<std::pair<int, int>> path;
  for (int frame = 0; frame < 100 && app->m_Outcome == 0; ++frame) {
    Steer(g, 1, 1);
    if (path.empty() || path.back() != std::make_pair(PlayerX(g), PlayerY(g))) path.push_back({PlayerX(g), PlayerY(g)});
  }
  EXPECT_EQ(path, (std::vector<std::pair<int, int>>{{2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}, {5, 3}, {6, 3}}));
}

TEST(PlayRules, InWorldThreeThePlayerNeverStops) {
  for (int world : {1, 3}) {
    Game g;
    Arena(g, {"########", "#S.....#", "#......#"}, world);
    for (int frame = 0; frame < 101; ++frame) Steer(g, frame == 0, 0);
    EXPECT_EQ(V(PlayerX(g), g.app->m_Outcome), V(world == 3 ? 6 : 2, 0)) << "world " << world;
    for (int frame = 0; frame < 31; ++frame) Steer(g, 0, frame == 0);
    EXPECT_EQ(PlayerY(g), 2) << "blocked ahead, he turns when asked";
  }
}

TEST(PlayRules, PatrollersTurnAtWallsCrossHolesAndKillOnTouch) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"#########", "#S......#", "#.#######", "#..Px...#"});
  const float* o = app->m_Objs.Data() + 50 * 10;
  int maxX = 0, minXAfter = 99;
  bool turned = false;
  for (int frame = 0; frame < 900; ++frame) {
    Steer(g, 0, 0);
    maxX = std::max(maxX, static_cast<int>(o[1]));
    turned = turned || o[5] == 4;
    if (turned) minXAfter = std::min(minXAfter, static_cast<int>(o[1]));
    ASSERT_TRUE(o[1] + o[3] >= 0.99f && o[1] + o[3] <= 7.01f) << o[1] + o[3];
  }
  EXPECT_EQ(V(maxX, turned, minXAfter, app->m_Outcome), V(7, 1, 1, 0)) << "across the hole to the wall and back";
  // The player walks down into its row and is caught.
  for (int frame = 0; frame < 600 && app->m_Outcome == 0; ++frame) Steer(g, 0, 1);
  EXPECT_LT(app->m_Outcome, 0);
  EXPECT_LT(std::fabs((o[1] + o[3]) * 47.5f - app->m_Vars[8]), 26.125f);
}

TEST(PlayRules, DroppingInPastAPatrollerAndAFriendTouchesNeither) {
  // While his cell drops in, the player is drawn passing through the rows above his own.
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"#######", "#..P..#", "#..F..#", "#..S..#", "#.....#"});
  for (int x = 0; x <= app->m_MapW; ++x)
    for (int y = 0; y < c_MyApp::kMapRows; ++y) app->Cell(x, y, c_MyApp::kCellDrop) = -4 * bb_GW_jscrh;
  app->m_Settling = 1;
  for (int frame = 0; frame < 300 && (frame < 10 || app->m_Settling == 1); ++frame) Steer(g, 0, 0);
  EXPECT_EQ(V(app->m_Settling, app->m_Outcome, app->m_Vars[79]), V(0, 0, 0));
}

TEST(PlayRules, PauseFreezesThePlayerTheFloorAndThePatrollers) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, {"#########", "#S......#", "#..P....#"});
  Steer(g, 1, 0);
  Steer(g, 1, 0);
  app->m_Paused = app->m_PauseDir = 1;  // as the game pauses: the menu slides in and stays
  auto state = [app] { return V(app->m_Vars[3], app->Cell(1, 1, c_MyApp::kCellCrumble), app->m_Objs[501] + app->m_Objs[503]); };
  std::vector<double> before = state();
  for (int frame = 0; frame < 50; ++frame) Steer(g, 1, 0);
  EXPECT_EQ(state(), before);
  app->m_Paused = 0;
  for (int frame = 0; frame < 200; ++frame) Steer(g, 0, 0);
  EXPECT_EQ(app->Cell(1, 1, c_MyApp::kCellType), 2) << "the cell left behind has collapsed";
}

// A generated level of a game type, in play and dropped in.
void StartLevel(Game& g, int type, int level) {
  c_MyApp* app = g.app;
  app->m_LoadStep = 0;
  app->m_GameType = type;
  app->m_QuestWorld = level / 10;
  app->m_QuestLevel = level % 10;
  app->m_Mode = 11;
  g.Update();
  ASSERT_EQ(app->m_Mode, 10);
  for (int frame = 0; frame < 400 && app->m_Settling == 1; ++frame) g.Update();
  ASSERT_EQ(app->m_Settling, 0);
}

std::vector<double> MapTypes(c_MyApp* app) {
  std::vector<double> types;
  for (int x = 0; x <= app->m_MapW; ++x)
    for (int y = 0; y < c_MyApp::kMapRows; ++y) types.push_back(app->Cell(x, y, c_MyApp::kCellType));
  return types;
}

TEST(PlayRules, ALostLifeRebuildsTheSameLevelAndTheLastOneEndsTheGame) {
  Game g;
  c_MyApp* app = g.app;
  app->p_LoadSFX(3);
  StartLevel(g, 3, 1);
  EXPECT_EQ(app->m_Lives, 3);
  std::vector<double> map = MapTypes(app);
  app->m_Score = 25;
  app->m_Outcome = -1;
  bool dyingSound = false;
  int before = 0;
  for (int frame = 0; frame < 200 && app->m_Lives == 3; ++frame) {
    before = app->m_Outcome;
    g.Update();
    dyingSound = dyingSound || (app->m_Outcome == -5 && LastEffectSounds(app));
  }
  // The life goes when the animation has run its course; the score stays.
  EXPECT_EQ(V(dyingSound, app->m_Lives, before, app->m_Outcome, app->m_Score), V(1, 2, -119, 0, 25));
  for (int frame = 0; frame < 400 && app->m_Settling == 1; ++frame) g.Update();
  EXPECT_EQ(MapTypes(app), map) << "the same level again";
  app->m_Lives = 1;
  app->m_Outcome = -1;
  g.Updates(120);
  EXPECT_EQ(V(app->m_GameOver, app->m_Lives), V(1, 0));
  g.Updates(60);
  EXPECT_EQ(V(app->m_Lives, app->m_Outcome), V(0, -121)) << "one life lost, not one per frame of the game over";
}

TEST(PlayRules, ACompletedLevelLeadsToTheNextWithTheScoreKept) {
  Game g;
  c_MyApp* app = g.app;
  StartLevel(g, 2, 1);
  EXPECT_EQ(app->m_TunePlaying, 1) << "the tune starts once the level has dropped in";
  app->m_Score = 40;
  app->m_Outcome = 1;
  g.Updates(6);
  EXPECT_EQ(app->m_TunePlaying, 0) << "the tune stops as the level ends";
  g.Updates(113);
  EXPECT_EQ(app->m_Level, 1);
  g.Update();
  EXPECT_EQ(V(app->m_Level, app->m_Score, app->m_Outcome, app->m_Settling, app->m_LevelSeed), V(2, 40, 0, 1, 2 * 3 + 2 * 12345));
}

TEST(PlayRules, TheLevelDropsInBeforePlayStarts) {
  Game g;
  c_MyApp* app = g.app;
  app->p_LoadSFX(6);
  app->m_LoadStep = 0;
  app->m_GameType = 6;
  app->m_Mode = 11;
  g.Update();
  int startX = PlayerX(g), startY = PlayerY(g), frames = 0;
  bool landingSound = false;
  for (; app->m_Settling == 1 && frames < 400; ++frames) {
    Steer(g, frames % 2 ? 1.0f : -1.0f, frames % 2 ? 1.0f : -1.0f);
    if (app->m_Settling == 0) break;
    EXPECT_EQ(app->m_BannerY, bb_GW_jscrh / 2) << "the banner waits in the middle";
    EXPECT_EQ(V(PlayerX(g), PlayerY(g)), V(startX, startY)) << "no step while the level drops in";
    landingSound = landingSound || LastEffectSounds(app);
  }
  EXPECT_GE(frames, 40);
  EXPECT_TRUE(landingSound);
  for (int x = 0; x <= app->m_MapW; ++x)
    for (int y = 0; y < c_MyApp::kMapRows; ++y) ASSERT_EQ(app->Cell(x, y, c_MyApp::kCellDrop), 0);
  float banner = app->m_BannerY;
  g.Updates(2);
  EXPECT_LT(app->m_BannerY, banner) << "then the banner leaves upwards";
}

TEST(QuestPanels, ACompletedQuestLevelKeepsItsBestScoreAndOffersTheNextLevel) {
  Game g;
  c_MyApp* app = g.app;
  StartLevel(g, 1, 23);
  EXPECT_EQ(app->m_Lives, 2);
  app->m_Quest[23] = 10;
  app->m_Score = 57;
  app->m_Outcome = 1;
  g.Updates(125);
  EXPECT_EQ(app->m_Outcome, 121) << "held while the panel waits";
  for (const char* word : {"Level", "Complete", "Retry", "Next", "Menu"}) EXPECT_TRUE(Has(g.Text(89), word)) << word;
  EXPECT_EQ(app->m_Quest[23], 57);
  g.KeyDown(39);
  g.Update();
  EXPECT_EQ(V(app->m_Level, app->m_Lives, app->m_Score, app->m_Outcome, app->m_KeyLatch), V(24, 2, 0, 0, 1));
}

TEST(QuestPanels, AFailedQuestLevelOffersHelpOnceTheLivesAreGone) {
  Game g;
  c_MyApp* app = g.app;
  StartLevel(g, 5, 12);
  app->m_Outcome = -1;
  g.Updates(125);
  EXPECT_TRUE(Has(g.Text(89), "Failed"));
  EXPECT_FALSE(Has(g.Text(89), "Help")) << "lives left: no help yet";
  g.Press(39, 1);  // right does nothing here
  EXPECT_EQ(app->m_Outcome, -121);
  g.Press(37, 1);  // Retry
  EXPECT_EQ(V(app->m_Lives, app->m_Outcome), V(1, 0));
  app->m_Lives = 0;
  for (int frame = 0; frame < 400 && app->m_Settling == 1; ++frame) g.Update();
  app->m_Outcome = -1;
  g.Updates(125);
  EXPECT_TRUE(Has(g.Text(89), "Help"));
  g.KeyDown(39);
  g.Update();
  EXPECT_EQ(V(app->m_Lives, app->m_ShowTrail, app->m_Level), V(-1, 1, 12)) << "help shows the trail";
}

TEST(QuestPanels, MenuReturnsToTheQuestBoxAtTheLevelJustPlayed) {
  Game g;
  c_MyApp* app = g.app;
  StartLevel(g, 9, 37);
  app->m_Outcome = 1;
  g.Updates(125);
  g.Render();
  // A click on the up arrow's box.
  float cx = std::floor(bb_GW_jscrw / 2), cy = std::floor(bb_GW_jscrh / 2);
  g.MouseDown(cx * app->m_ScaleX, (cy - 80) * app->m_ScaleY);
  g.Update();
  EXPECT_EQ(V(app->m_Mode, app->m_QuestWorld, app->m_QuestLevel, app->m_QuestTarget), V(1, 3, 7, 128 - 72 * 7));
}

const std::vector<std::string> kWide = {"########################################",
                                        "#.S.o..F.............................FH#",
                                        "#......................................#"};

TEST(LevelScreen, FriendsAndTheHomeOffScreenAreSmallTranslucentMarkersAtTheEdge) {
  Game g;
  Arena(g, kWide);
  Steer(g, 0, 0);
  std::vector<const float*> friends = g.Drawn(2, {{6, 2}});
  ASSERT_EQ(friends.size(), 2u);
  if (friends[0][1] > friends[1][1]) std::swap(friends[0], friends[1]);
  // x, scale and alpha: the near friend as it stands, the far one clamped to the right edge.
  EXPECT_EQ(V(friends[0][1], friends[0][4], friends[0][7]), V(7 * 47.5f - g.app->m_CamX, 1, 1));
  EXPECT_EQ(V(friends[1][1], friends[1][4], friends[1][7]), V(bb_GW_jscrw - 16, 0.9f, 0.75f));
  for (int following : {0, 4}) {  // shut and far away, then open
    g.app->m_Vars[79] = static_cast<float>(following);
    Steer(g, 0, 0);
    std::vector<const float*> home = g.Drawn(2, {{6, 4}});
    ASSERT_EQ(home.size(), 1u);
    EXPECT_EQ(V(home[0][1], home[0][4], home[0][7]), V(bb_GW_jscrw - 16, following ? 0.7f : 0.5f, following ? 0.75f : 0.5f));
  }
}

TEST(LevelScreen, OnlyCellsNearTheViewAreRecordedAndPillsOfTheTrailShowLargeOnRequest) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, kWide);
  app->Cell(4, 1, c_MyApp::kCellTrail) = 2;
  Steer(g, 0, 0);
  std::vector<const float*> floors = g.Drawn(c_MyApp::kRectMarker, {{4, 48.45f}});
  int nearView = 0;
  for (int x = 0; x <= app->m_MapW; ++x) {
    float sx = 47.5f * static_cast<float>(x) - app->m_CamX;
    if (sx > -128 && sx < bb_GW_jscrw + 128) nearView += (app->Cell(x, 1, 0) == 0) + (app->Cell(x, 2, 0) == 0);
  }
  EXPECT_EQ(static_cast<int>(floors.size()), nearView);
  EXPECT_LT(nearView, 70) << "the far part of the row is not recorded";
  for (const float* e : floors) {
    EXPECT_TRUE(e[1] + 24.225f > -128 && e[1] + 24.225f < bb_GW_jscrw + 128) << e[1];
    EXPECT_EQ(V(e[10], e[11], e[12]), V(0, 80, 180)) << "world 1's floor colour";
  }
  EXPECT_EQ(g.Drawn(2, {{6, 0}}).size(), 1u) << "the pill";
  app->m_ShowTrail = 1;
  Steer(g, 0, 0);
  EXPECT_EQ(g.Drawn(2, {{6, 0}}).size(), 0u);
  ASSERT_EQ(g.Drawn(2, {{6, 1}}).size(), 1u) << "drawn large on the trail";
  float y = g.Drawn(2, {{6, 1}})[0][2];
  EXPECT_TRUE(y <= 47.5f - app->m_CamY + 2 && y >= 47.5f - app->m_CamY - 4) << "it bobs by up to 6 units: " << y;
}

TEST(LevelScreen, ThePlayerFacesHisWayAndSpinsAsHeDies) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, kWide);
  Steer(g, -1, 0);
  std::vector<const float*> player = g.Drawn(1, {{6, 0}});
  ASSERT_EQ(player.size(), 1u);
  EXPECT_EQ(V(player[0][4], player[0][3]), V(-1, 0)) << "facing left is drawn mirrored";
  for (int i = 0; i < 6; ++i) Steer(g, -1, 0);
  EXPECT_EQ(g.Drawn(1, {{6, 1}}).size(), 1u) << "the second walking frame after six frames";
  app->m_Outcome = -12;
  Steer(g, 0, 0);  // the outcome moves on to -13
  std::vector<const float*> dying = g.Drawn(1, {{6, 5}});
  ASSERT_EQ(dying.size(), 1u);
  EXPECT_EQ(dying[0][3], 13 / 5 * 90) << "a quarter turn every five frames";
  app->m_Outcome = -100;
  Steer(g, 0, 0);
  EXPECT_EQ(g.Drawn(1).size(), 0u) << "gone after the last death frame";
}

TEST(LevelScreen, TheHudShowsAnEasedEightDigitScoreAndTheLivesAndTheTutorialTalks) {
  Game g;
  c_MyApp* app = g.app;
  Arena(g, kWide);
  app->m_Score = 600;
  Steer(g, 0, 0);
  EXPECT_EQ(app->m_ShownScore, 100);
  EXPECT_TRUE(Has(g.Text(), "00000100")) << g.Text();
  g.Updates(40);
  EXPECT_EQ(app->m_ShownScore, 600);
  EXPECT_TRUE(Has(g.Text(), "00000600"));
  EXPECT_EQ(g.Drawn(2, {{6, 5}}).size(), 3u) << "three lives";
  app->m_LevelKind = 2;
  Steer(g, 0, 0);
  EXPECT_TRUE(Has(g.Text(), "Left:1")) << g.Text();
  app->m_HideHud = 1;
  Steer(g, 0, 0);
  EXPECT_FALSE(Has(g.Text(), "Left"));
  EXPECT_EQ(g.Drawn(2, {{6, 5}}).size(), 0u);
  Arena(g, kWide);
  app->m_Tutorial = 1;
  app->m_Score = 0;
  Steer(g, 0, 0);
  EXPECT_TRUE(Has(g.Text(), "Welcometo") && Has(g.Text(), "thelargerpills.")) << g.Text();
  app->m_Score = 150;
  Steer(g, 0, 0);
  EXPECT_TRUE(Has(g.Text(), "Followthetrailaround") && Has(g.Text(), "Themorefriendsyou've")) << g.Text();
  EXPECT_FALSE(Has(g.Text(), "Welcome"));
  app->m_Paused = 1;
  Steer(g, 0, 0);
  EXPECT_FALSE(Has(g.Text(), "Follow")) << "quiet while paused";
}

TEST(Particles, AThrowTakesTheLastFreeSlotFliesFallsFadesAndIsDrawnAgainstTheCamera) {
  Game g;
  c_MyApp* app = g.app;
  app->p_ResetParticles(250);
  app->p_ThrowParticle(100, 200, 1, 5, 0, 4);
  const float* p = app->m_Parts.Data() + 250 * 10;
  EXPECT_EQ(V(p[0], p[4]), V(1, -4));
  EXPECT_NEAR(p[3], 0, 1e-6f) << "angle 0 is straight up";
  app->p_ThrowParticle(0, 0, 2, 1, 90, 2);
  EXPECT_NEAR(app->m_Parts[2493], 2, 1e-6f) << "90 degrees is to the right";
  EXPECT_NEAR(app->m_Parts[2494], 0, 1e-6f);
  for (int i = 0; i < 100; ++i) app->p_ThrowParticle(0, 0, 1, 1, kOmittedF, kOmittedF);
  for (int s = 149; s <= 248; ++s) {
    float speed = std::hypot(app->m_Parts[s * 10 + 3], app->m_Parts[s * 10 + 4]);
    EXPECT_TRUE(speed > 2.999f && speed < 8.001f) << "random speeds stay in range: " << speed;
  }
  app->p_ResetParticles(250);
  app->m_CamX = 10;
  app->m_CamY = 20;
  app->p_ThrowParticle(50, 50, 2, 9, 90, 5);
  app->m_Parts[2507] = 1.2f;
  app->m_DrawCount = 0;
  app->p_DoParticles();
  EXPECT_TRUE(p[3] < 5 && p[4] > 0) << "falling particles slow sideways and gain speed downwards";
  ASSERT_EQ(g.Entries(), 1);
  EXPECT_EQ(V(g.Entry(0)[1], g.Entry(0)[7]), V(45, 1)) << "against the camera; alpha is the life, up to 1";
  EXPECT_NEAR(g.Entry(0)[2], 30, 1e-5f);
  int frames = 1;
  for (; p[0] != 0 && frames < 500; ++frames) app->p_DoParticles();
  EXPECT_NEAR(frames, 120, 1) << "life 1.2 at 0.01 a frame";
  EXPECT_EQ(V(app->m_DrawSX, app->m_DrawR), V(1, 255)) << "the draw state is left reset";
}

TEST(Particles, AFullPoolDropsThrowsUntilAParticleDiesAndKeepsItsSizeOutsideItsRange) {
  Game g;
  c_MyApp* app = g.app;
  auto busy = [app] {
    int n = 0;
    for (int s = 0; s <= app->m_PartCount; ++s) n += app->m_Parts[s * 10] != 0;
    return n;
  };
  app->p_ResetParticles(250);
  for (int i = 0; i < 300; ++i) app->p_ThrowParticle(0, 0, 1, 3, 10, 1);
  EXPECT_EQ(V(busy(), app->p_FreeParticle()), V(251, -1));
  app->m_Parts[7 * 10 + 7] = 0.005f;  // nearly spent
  app->p_DoParticles();
  EXPECT_EQ(V(busy(), app->p_FreeParticle()), V(250, 70));
  app->p_ThrowParticle(0, 0, 1, 3, 10, 1);
  EXPECT_EQ(busy(), 251);
  app->p_ResetParticles(40);
  for (int i = 0; i < 60; ++i) app->p_ThrowParticle(0, 0, 1, 1, 0, 1);
  EXPECT_EQ(V(app->m_PartCount, busy()), V(40, 41));
  app->p_ResetParticles(0);
  EXPECT_EQ(V(app->m_PartCount, busy()), V(40, 0));
  app->p_ResetParticles(500);
  EXPECT_EQ(app->m_PartCount, 40);
  app->p_ResetParticles(499);
  EXPECT_EQ(app->m_PartCount, 499);
}

TEST(TrailHistory, TheNewestPositionGoesLastAndTheOldestFallsOff) {
  Game g;
  c_MyApp* app = g.app;
  app->p_ResetPlayers();
  for (int i = 0; i < 60; ++i) {
    app->m_Vars[1] = static_cast<float>(i);
    app->m_Vars[2] = 3;
    app->m_Vars[3] = 0.5f;
    app->m_Vars[4] = -0.25f;
    app->m_Vars[5] = static_cast<float>(i % 4 * 90);
    app->p_enTrail();
  }
  for (int e = 0; e < 52; ++e)
    EXPECT_EQ(V(app->m_Trail[e * 5], app->m_Trail[e * 5 + 1], app->m_Trail[e * 5 + 2]), V(8.5 + e, 2.75, (8 + e) % 4 * 90)) << e;
  EXPECT_EQ(app->m_Trail[52 * 5], 0) << "nothing written past the history";
  app->p_ResetPlayers();
  for (int i = 0; i < 500; ++i) ASSERT_EQ(app->m_Trail[i] + app->m_Vars[i], 0);
}

TEST(SpeechBubbles, ABubbleIsABoxWithUpToThreeCentredLines) {
  Game g;
  c_MyApp* app = g.app;
  app->m_CamX = 100;
  app->m_CamY = 50;
  app->m_DrawCount = 0;
  app->p_Speak(String("ab"), String(""), String("cd"), 400, 300);
  // The box first, centred on the speaker against the camera; the empty middle line draws nothing.
  ASSERT_EQ(g.Entries(), 5);
  EXPECT_EQ(V(g.Entry(0)[0], g.Entry(0)[1]), V(c_MyApp::kRectMarker, 400 - 100 - 180));
  EXPECT_EQ(g.Text(), "abcd");
  EXPECT_NEAR(g.Entry(3)[2] - g.Entry(1)[2], 40, 1e-4f) << "the outer lines are 40 units apart";
  EXPECT_EQ(app->m_DrawSX, 1);
}

}  // namespace
