// The gameplay rules, frame by frame with scripted axes on arenas and generated levels; quest panels.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "game_test.h"
#include "runtime/audio/device.h"

namespace {

using PlayRules = GameTest;
using QuestPanels = GameTest;

// Whether the effect last played is sounding (only the effects a test loads can sound).
bool LastEffectSounds(c_MyApp* a) { return bb_audio_device->ChannelState(a->m_SfxChannel[a->m_SfxSlot]) == 1; }

// Whether the player stands on cell x of his row: his offset below three tenths of a cell.
bool StandsOn(const Game& g, int x) { return PlayerX(g) == x && std::fabs(g.app->m_Vars[3]) < 0.3f; }

TEST_F(PlayRules, APillIsEatenOnceTheOffsetFallsBelowThreeTenthsAndIsWorthTheFriendsPlusOne) {
  Arena(g, {"######", "#So.o#", "#....#"});
  for (int frame = 0; frame < 20 && a->Cell(2, 1, c_MyApp::kCellPill) != 0; ++frame) {
    bool standing = StandsOn(g, 2);
    Steer(g, 1, 0);
    EXPECT_EQ(a->Cell(2, 1, c_MyApp::kCellPill) == 0, standing) << "frame " << frame;
  }
  int sparks = 0;
  for (int s = 0; s <= a->m_PartCount; ++s) sparks += a->m_Parts[s * 10] == 2 && a->m_Parts[s * 10 + 8] == 3;
  // Score, the pill counter, five yellow sparks, the pill sound's alternation.
  EXPECT_EQ(V(a->m_Score, a->m_Settings[1], sparks, a->m_Vars[25]), V(1, 1, 5, 1));
  a->m_Vars[79] = 3;  // three friends following: the next pill is worth four
  for (int frame = 0; frame < 40 && a->Cell(4, 1, c_MyApp::kCellPill) != 0; ++frame) Steer(g, 1, 0);
  EXPECT_EQ(V(a->m_Score, a->m_Vars[25], a->m_Outcome, Has(g.Text(), "00000005")), V(5, 0, 0, 1)) << "and shown";
}

TEST_F(PlayRules, AFriendJoinsWithItsSoundAndFollowsAlongTheTrail) {
  a->p_LoadSFX(15);
  Arena(g, {"##########", "#S.F.....#", "#........#"});
  for (int frame = 0; frame < 60 && a->m_Vars[79] == 0; ++frame) Steer(g, 1, 0);
  // Collected within 16 units; no longer waiting; the follower starts from the friend's cell.
  EXPECT_EQ(V(a->m_Vars[79], PlayerX(g), std::fabs(a->m_Vars[3]) < 16 / 47.5f, a->m_Vars[82]), V(1, 3, 1, 0));
  EXPECT_TRUE(std::fabs(a->m_Vars[60] - 3) < 0.2f && a->m_Vars[61] == 1) << a->m_Vars[60];
  EXPECT_TRUE(LastEffectSounds(a)) << "sound 15, the first friend's";
  for (int i = 0; i < 115; ++i) Steer(g, i < 35, 0);
  // The follower walks 8 history entries behind the player: a little less than a cell.
  float behind = a->m_Vars[1] - a->m_Vars[60];
  EXPECT_TRUE(AtRest(g) && a->m_Outcome == 0 && behind > 0.8f && behind < 1.0f) << behind;
  EXPECT_NEAR(a->m_Vars[61], 1, 0.01f);
}

TEST_F(PlayRules, RaisedSpikesKillAndLoweredOnesDoNot) {
  Arena(g, {"######", "#S^..#", "#....#"});
  auto up = [this] { return a->Cell(2, 1, c_MyApp::kCellSpikeUp) == 1; };
  // Wait for the spikes to go down, step onto them and stand there.
  for (int guard = 0; !up() && guard < 200; ++guard) Steer(g, 0, 0);
  for (int guard = 0; up() && guard < 200; ++guard) Steer(g, 0, 0);
  Steer(g, 1, 0);
  bool sawDown = false;
  for (int frame = 0; frame < 200 && a->m_Outcome == 0; ++frame) {
    sawDown = sawDown || (StandsOn(g, 2) && !up());
    EXPECT_FALSE(StandsOn(g, 2) && up()) << "alive on raised spikes at frame " << frame;
    Steer(g, 0, 0);
  }
  EXPECT_TRUE(sawDown && a->m_Outcome < 0 && up()) << "standing on lowered spikes is safe";
}

// Walking right along row 1: a hole kills only where it can be entered (world 8 lets him onto it), a
// cell with no way on kills, each on arrival; the home opens only to four friends and, in Pathfinder,
// once the pills are gone, its own eaten in the frame that would box the player in.
TEST_F(PlayRules, HolesBeingBoxedInAndTheHomeEndPlayOnlyWhereTheyShould) {
  // Rows 1 and 2, world, level kind, then how play ends (1 home, -1 dead) and where.
  const std::tuple<const char*, const char*, int, int, int, int> cases[] = {
      {"#Sx.#", "#.###", 1, 1, 0, 1},           {"#Sx.#", "#.###", 8, 1, -1, 2},
      {"#S.##", "#####", 1, 1, -1, 2},          {"#SFFFF..H.#", "#.........#", 1, 1, 1, 8},
      {"#SFFF...H.#", "#.........#", 1, 1, 0, 9}, {"#SFFFF..H.#", "#........o#", 1, 2, 0, 9},
      {"#SFFFF..H.#", "#.........#", 1, 2, 1, 8}, {"#SFFFFooH#", "##########", 1, 2, 1, 8}};
  a->p_LoadSFX(2);
  for (const auto& [row1, row2, world, kind, outcome, x] : cases) {
    SCOPED_TRACE(std::string(row1) + " " + row2 + " world " + std::to_string(world));
    Arena(g, {std::string(std::strlen(row1), '#'), row1, row2}, world);
    a->m_LevelKind = kind;
    if (kind == 2) a->Cell(8, 1, c_MyApp::kCellPill) = 1;
    for (int frame = 0; frame < 120 && a->m_Outcome == 0 && PlayerX(g) < 9; ++frame) {
      bool arrived = outcome < 0 && StandsOn(g, x);
      Steer(g, 1, 0);
      ASSERT_EQ(a->m_Outcome < 0, arrived) << "frame " << frame;
    }
    EXPECT_EQ(V((a->m_Outcome > 0) - (a->m_Outcome < 0), PlayerX(g)), V(outcome, x));
    if (outcome > 0) { EXPECT_TRUE(LastEffectSounds(a)) << "sound 2 greets the player home"; }
  }
}

TEST_F(PlayRules, AHomeBelowAPatrollerStillLeadsToTheNextLevel) {
  // The patroller, boxed in, never moves; the player rises out of his home into it.
  Arena(g, {"#########", "#######P#", "#SFFFF.H#", "#########"});
  for (int frame = 0; frame < 400 && a->m_Level == 1; ++frame) Steer(g, 1, 0);
  EXPECT_EQ(a->m_Level, 2);
}

TEST_F(PlayRules, TheFrameThatEndsPlayNeitherFeedsNorMovesThePlayer) {
  for (bool patroller : {true, false}) {  // or a hole
    Arena(g, {"#####", "#S..#", "#####"});
    a->Cell(1, 1, c_MyApp::kCellPill) = 1;
    a->Cell(1, 1, c_MyApp::kCellType) = patroller ? 0 : 2;
    if (patroller) a->p_AddObj(1, 1, 1);
    Steer(g, 1, 0);
    EXPECT_EQ(V(a->m_Outcome < 0, a->m_Score + a->Cell(1, 1, c_MyApp::kCellCrumble)), V(1, 0)) << patroller;
  }
}

// A friend or the home beyond the view is a smaller, translucent marker at the screen's edge: per
// image, its x, width scale and alpha in hundredths (the home last, shut).
TEST_F(PlayRules, FriendsAndTheHomeBeyondTheViewAreMarkersAtItsEdge) {
  Arena(g, {std::string(40, '#'), "#.S.o..F.............................FH#"}), Steer(g, 0, 0);
  std::vector<double> seen;
  for (const float* e : g.EntriesOf(2))
    if (e[6] == 2 || e[6] == 4) for (float v : {e[1], e[4] * 100, e[7] * 100}) seen.push_back(std::round(v));
  EXPECT_EQ(seen, V(558, 100, 100, 624, 90, 75, 624, 50, 50));
}

TEST_F(PlayRules, StepsStartOnlyAtACellCentreOneAxisAtATimeAndTurningWins) {
  Arena(g, {"#######", "#S....#", "#.....#", "#.....#"});
  Steer(g, 1, 0);
  ASSERT_EQ(PlayerX(g), 2);
  int downAt = -1, firstRest = -1;
  for (int frame = 0; frame < 30; ++frame) {
    bool between = !AtRest(g);
    if (!between && firstRest < 0) firstRest = frame;
    int x = PlayerX(g), y = PlayerY(g);
    Steer(g, 0, 1);  // down, held from the middle of the step
    EXPECT_FALSE(a->m_Vars[3] != 0 && a->m_Vars[4] != 0) << "one axis at a time";
    if (between) { EXPECT_EQ(V(PlayerX(g), PlayerY(g)), V(x, y)) << "no step starts between cells"; }
    if (!between && downAt < 0 && PlayerY(g) == 2) downAt = frame;
  }
  EXPECT_EQ(V(firstRest > 0, downAt, PlayerX(g)), V(1, firstRest, 2)) << "down as soon as the offset is back at 0";
  // Right and down held together: down wins while moving right; right wins while moving down.
  Arena(g, {"########", "#S.....#", "####.###", "####...#"});
  std::vector<double> path;
  for (int frame = 0; frame < 100 && a->m_Outcome == 0; ++frame) {
    Steer(g, 1, 1);
    if (path.empty() || path.back() != PlayerX(g) * 10 + PlayerY(g)) path.push_back(PlayerX(g) * 10 + PlayerY(g));
  }
  EXPECT_EQ(path, V(21, 31, 41, 42, 43, 53, 63));
}

TEST_F(PlayRules, PatrollersTurnAtWallsCrossHolesKillOnTouchAndFreezeInThePause) {
  Arena(g, {"#########", "#S......#", "#.#######", "#..Px...#"});
  const float* o = a->m_Objs.Data() + 50 * 10;
  int maxX = 0, minXAfter = 99, turned = 0;
  for (int frame = 0; frame < 900; ++frame) {
    Steer(g, 0, 0);
    maxX = std::max(maxX, static_cast<int>(o[1]));
    turned = turned || o[5] == 4;  // moving left
    if (turned) minXAfter = std::min(minXAfter, static_cast<int>(o[1]));
    ASSERT_TRUE(o[1] + o[3] >= 0.99f && o[1] + o[3] <= 7.01f) << o[1] + o[3];
  }
  EXPECT_EQ(V(maxX, turned, minXAfter, a->m_Outcome, !g.EntriesOf(3).empty()), V(7, 1, 1, 0, 1)) << "across the hole to the wall and back, drawn";
  for (int frame = 0; frame < 600 && a->m_Outcome == 0; ++frame) Steer(g, 0, 1);  // down into its row
  EXPECT_TRUE(a->m_Outcome < 0 && std::fabs((o[1] + o[3]) * 47.5f - a->m_Vars[8]) < 26.125f);
  // Paused as the game pauses (the menu slides in and stays): nothing moves, nothing crumbles.
  Arena(g, {"#########", "#S......#", "#..P....#"});
  Steer(g, 1, 0), Steer(g, 1, 0);
  a->m_Paused = a->m_PauseDir = 1;
  auto state = [&] { return V(a->m_Vars[3], a->Cell(1, 1, c_MyApp::kCellCrumble), o[1] + o[3]); };
  std::vector<double> before = state();
  for (int frame = 0; frame < 50; ++frame) Steer(g, 1, 0);
  EXPECT_EQ(state(), before);
  a->m_Paused = 0;
  for (int frame = 0; frame < 200; ++frame) Steer(g, 0, 0);
  EXPECT_EQ(a->Cell(1, 1, c_MyApp::kCellType), 2) << "the cell left behind has collapsed";
}

TEST_F(PlayRules, DroppingInPastAPatrollerAFriendAndTheHomeTouchesNone) {
  // While his cell drops in, the player is drawn passing through the rows above his own.
  Arena(g, {"#######", "#..P..#", "#..H..#", "#..F..#", "#..S..#", "#.....#"});
  a->m_Vars[79] = 4;  // the home open to him
  for (int x = 0; x <= a->m_MapW; ++x)
    for (int y = 0; y < c_MyApp::kMapRows; ++y) a->Cell(x, y, c_MyApp::kCellDrop) = -4 * bb_GW_jscrh;
  a->m_Settling = 1;
  for (int frame = 0; frame < 300 && (frame < 10 || a->m_Settling == 1); ++frame) Steer(g, 0, 0);
  EXPECT_EQ(V(a->m_Settling, a->m_Outcome, a->m_Vars[79]), V(0, 0, 4));
}

// Starts level `level` of a game type (of a Quest type: world level / 10, level level % 10) and updates
// until it has dropped in, steering at random; whether the player stayed put and the landing sounded.
bool StartLevel(Game& g, int type, int level) {
  c_MyApp* a = g.app;
  a->m_LoadStep = 0, a->m_GameType = type, a->m_QuestWorld = level / 10, a->m_QuestLevel = level % 10, a->m_Mode = 11;
  g.Update();
  int x = PlayerX(g), y = PlayerY(g), frames = 0;
  bool still = a->m_Mode == 10, landed = false;
  for (; a->m_Settling == 1 && frames < 400; ++frames) {
    Steer(g, frames % 2 ? 1.0f : -1.0f, frames % 2 ? 1.0f : -1.0f);
    still = still && (a->m_Settling == 0 || (PlayerX(g) == x && PlayerY(g) == y && a->m_BannerY == bb_GW_jscrh / 2));
    landed = landed || LastEffectSounds(a);
  }
  return still && landed && frames >= 40 && a->m_Settling == 0;
}

TEST_F(PlayRules, TheLevelDropsInBeforePlayStartsAndACompletedOneLeadsToTheNextWithTheScoreKept) {
  a->p_LoadSFX(6);
  bb_GW_HasMusic = 0, bb_GW_HasMusicStream = 1;  // the recorded tunes, in the procedural-music build too
  bb_GW_jscrh = 40;  // a wide, low window: the cells drop in faster than the trail search runs
  EXPECT_TRUE(StartLevel(g, 2, 1)) << "no step and the banner in the middle while the level drops in";
  for (int x = 0; x <= a->m_MapW; ++x)
    for (int y = 0; y < c_MyApp::kMapRows; ++y) ASSERT_EQ(a->Cell(x, y, c_MyApp::kCellDrop), 0);
  float banner = a->m_BannerY;
  g.Updates(2);
  EXPECT_LT(a->m_BannerY, banner) << "then the banner leaves upwards";
  EXPECT_EQ(a->m_TunePlaying, 1) << "the tune starts once the level has dropped in";
  a->m_Score = 40, a->m_Outcome = 1;
  g.Updates(6);
  EXPECT_EQ(a->m_TunePlaying, 0) << "the tune stops as the level ends";
  g.Updates(113);
  EXPECT_EQ(a->m_Level, 1);
  g.Update();
  EXPECT_EQ(V(a->m_Level, a->m_Score, a->m_Outcome, a->m_Settling, a->m_LevelSeed), V(2, 40, 0, 1, 2 * 3 + 2 * 12345));
}

TEST_F(PlayRules, ALostLifeRebuildsTheSameLevelAndTheLastOneEndsTheGame) {
  a->p_LoadSFX(3);
  StartLevel(g, 3, 1);
  auto types = [this] {
    std::vector<float> t;
    for (int i = c_MyApp::kCellType; i < a->m_Map.Length(); i += 10) t.push_back(a->m_Map[i]);
    return t;
  };
  const std::vector<float> map = types();
  // Patrollers around the player (a step from the start at most), gone with their level.
  for (int d = 0; d < 9; ++d) a->p_AddObj(PlayerX(g) + d % 3 - 1, PlayerY(g) + d / 3 - 1, 1);
  a->m_Score = 25, a->m_Outcome = -1;
  int before = 0, dyingSound = 0;
  for (int frame = 0; frame < 200 && a->m_Lives == 3; ++frame) {
    before = a->m_Outcome;
    g.Update();
    dyingSound = dyingSound || (a->m_Outcome == -5 && LastEffectSounds(a));
  }
  // The life goes when the animation has run its course; the score stays.
  EXPECT_EQ(V(dyingSound, a->m_Lives, before, a->m_Outcome, a->m_Score), V(1, 2, -119, 0, 25));
  for (int frame = 0; frame < 400 && a->m_Settling == 1; ++frame) g.Update();
  EXPECT_EQ(a->m_Outcome, 0) << "alive through the drop-in";
  EXPECT_EQ(types(), map) << "the same level again";
  a->m_Lives = 1, a->m_Outcome = -1, g.Updates(120);
  EXPECT_EQ(V(a->m_GameOver, a->m_Lives), V(1, 0));
  g.Updates(60);
  EXPECT_EQ(V(a->m_Lives, a->m_Outcome), V(0, -121)) << "one life lost, not one per frame of the game over";
}

TEST_F(QuestPanels, ACompletedQuestLevelKeepsItsBestScoreAndOffersTheNextLevel) {
  StartLevel(g, 1, 23);
  EXPECT_EQ(a->m_Lives, 2) << "two lives in a quest";
  a->m_Quest[23] = 10, a->m_Score = 57, a->m_Outcome = 1;
  g.Updates(125);
  EXPECT_EQ(V(a->m_Outcome, a->m_Quest[23]), V(121, 57)) << "held while the panel waits";
  for (const char* word : {"Level", "Complete", "Retry", "Next", "Menu"}) EXPECT_TRUE(Has(g.Text(89), word)) << word;
  g.KeyDown(39), g.Update();
  EXPECT_EQ(V(a->m_Level, a->m_Lives, a->m_Score, a->m_Outcome, a->m_KeyLatch), V(24, 2, 0, 0, 1));
  a->m_QuestSet = 30, a->m_Score = 5, a->LevelEndPanel(1);  // a set beyond the score table keeps none
}

TEST_F(QuestPanels, MenuReturnsToTheQuestBoxAtTheLevelJustPlayed) {
  StartLevel(g, 9, 37), a->m_Outcome = 1, g.Updates(125), g.KeyDown(kUp), g.Update();
  EXPECT_EQ(V(a->m_Mode, a->m_QuestWorld, a->m_QuestLevel, a->m_QuestTarget), V(1, 3, 7, 128 - 72 * 7));
}

TEST_F(QuestPanels, AFailedQuestLevelOffersHelpOnceTheLivesAreGone) {
  StartLevel(g, 5, 12), a->m_Outcome = -1, g.Updates(125);
  EXPECT_TRUE(Has(g.Text(89), "Failed") && !Has(g.Text(89), "Help")) << "lives left: no help yet";
  g.Press(39, 1);  // right does nothing here
  EXPECT_EQ(a->m_Outcome, -121);
  g.Press(37, 1);  // Retry
  EXPECT_EQ(V(a->m_Lives, a->m_Outcome), V(1, 0));
  a->m_Lives = 0;
  for (int frame = 0; frame < 400 && a->m_Settling == 1; ++frame) g.Update();
  a->m_Outcome = -1, g.Updates(125);
  EXPECT_TRUE(Has(g.Text(89), "Help"));
  g.KeyDown(39), g.Update();
  EXPECT_EQ(V(a->m_Lives, a->m_ShowTrail, a->m_Level), V(-1, 1, 12)) << "help shows the trail";
}

}  // namespace
