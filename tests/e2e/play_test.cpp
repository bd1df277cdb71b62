// The game as a player meets it: the real program on the X display (Mesa), OpenAL Soft recording
// what it plays, keys sent as real X events. Each screen is checked against a golden picture;
// a run's screenshots stay in the build folder (e2e/shots); docs/testing.md says how to renew them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "session.h"
#include "tests/game/harness.h"

namespace {

using e2e::Session;

// The golden pictures' tolerance: the share of pixels of the reduced picture that may differ.
constexpr double kSame = 0.04;

int Count(const std::string& haystack, const std::string& needle) {
  int n = 0;
  for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) ++n;
  return n;
}

// A state file prepared through the game's own save code, as a player who has got that far
// would have it: `questLevel` completed in the Classic quest, and the given sound setting.
void PrepareState(const std::string& folder, int questLevel, int sound) {
  gametest::Game g(folder);
  g.FinishLoading();
  g.app->m_Quest[questLevel] = 1;
  g.app->m_Settings[5] = sound;
  g.app->p_Save();
  g.app->p_FinishSave();
}

struct Loaded {
  std::string status;  // the status lines the load printed
  int top = 0, last = 0;
};

// Loads the folder's state file through the game's own code: the status lines printed, and the
// first entries of the given game type's top-ten and last-ten lists.
Loaded LoadState(const std::string& folder, int gameType) {
  Loaded loaded;
  testing::internal::CaptureStdout();
  {
    gametest::Game g(folder);
    g.FinishLoading();
    loaded.top = g.app->m_Scores[10 * (gameType - 1)];
    loaded.last = g.app->m_Scores[240 + 10 * (gameType - 1)];
  }
  loaded.status = testing::internal::GetCapturedStdout();
  return loaded;
}

// A new player: the loading screen, the title menu, the Classic quest's first level, steering,
// the pause menu, quitting the game, game over, and F4; sound is heard while playing.
TEST(FirstStart, QuestLevelPausedAndQuitThenF4) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  const std::string folder = Session::FreshFolder("first-start");
  Session game(folder, folder + "/sound.wav");
  ASSERT_TRUE(game.WaitWindow()) << game.Output();
  int w, h;
  game.Size(&w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  EXPECT_LE(game.WaitForScreen("loading", 20, 0.10), 0.10);
  EXPECT_LE(game.WaitForScreen("title", 40), kSame);

  // Only the Classic quest is open to a new player, and it is selected: a quick click on Start
  // opens it.
  game.Click(570, 432);
  EXPECT_LE(game.WaitForScreen("quest-box", 5), kSame);
  game.Key("Return");
  const double playFrom = game.Seconds();
  EXPECT_LE(game.WaitForScreen("tutorial", 30), kSame);
  const e2e::Picture standing = game.Shot("standing");

  // Held across many updates, the key walks the player along his row, eating pills, to the wall
  // at its end.
  game.Key("Right", 2);
  const e2e::Picture walked = game.Shot("walked");
  EXPECT_GT(walked.Mismatch(standing, 0.3f, 0, 0.4f, 0.1f), 0.0) << "the score at the top did not change";
  EXPECT_GT(walked.Mismatch(standing, 0, 0.3f, 1, 0.5f), 0.003) << "the player did not move";

  EXPECT_LE(game.Key("Escape", 0.8, "paused"), kSame);
  const double playTo = game.Seconds();
  game.Key("Left");
  game.Key("Return");
  EXPECT_LE(game.WaitForScreen("game-over", 5, 0.08), 0.08);
  // Game over leads back to the quest's list of levels, and the back key to the title menu.
  EXPECT_LE(game.WaitForScreen("quest-box", 10), kSame);
  EXPECT_LE(game.Key("Escape", 0.8, "title"), kSame);

  game.Key("F4");
  EXPECT_EQ(game.WaitExit(), 0);
  const std::string out = game.Output();
  EXPECT_EQ(Count(out, "Runtime Error"), 0) << out;
  EXPECT_EQ(Count(out, "OpenAl error"), 0) << out;

  // The effects and the level's tune were heard while playing.
  bool closed = false;
  const double level = e2e::RecordedRms(folder + "/sound.wav", playFrom + 1, playTo, &closed);
  ASSERT_GE(level, 0) << "no recording";
  EXPECT_GT(level, 0.005);
  EXPECT_TRUE(closed) << "the output was not closed: the header's length is not the data's";

  // The game saved on its way out, with every block's checksum valid.
  Loaded state = LoadState(folder, 1);
  EXPECT_EQ(Count(state.status, "Invalid"), 0) << state.status;
  EXPECT_EQ(Count(state.status, "Settings Loaded"), 1) << state.status;
}

// A player whose quest progress opens the path games: a Path A game by keys, quit through the
// pause menu; its score is in the title menu's lists, in the state file, and again after a
// restart. The sound setting is off: nothing is heard.
TEST(PathGame, ScoreListedSavedAndShownAfterARestart) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  const std::string folder = Session::FreshFolder("path-game");
  PrepareState(folder, 4, 0);
  // The score panels on the right of the title menu, compared at full size: their digits are
  // small.
  const auto panels = [](const e2e::Picture& a, const e2e::Picture& b) { return a.Mismatch(b, 0.75f, 0.1f, 0.25f, 0.85f); };
  e2e::Picture scored;
  {
    Session game(folder, folder + "/sound.wav");
    ASSERT_TRUE(game.WaitWindow()) << game.Output();
    EXPECT_LE(game.WaitForScreen("title-paths", 40), kSame);
    EXPECT_LE(game.Key("Down", 0.8, "path-a-empty"), kSame);
    const e2e::Picture empty = game.Shot("path-a-empty");
    game.Key("Return");
    EXPECT_LE(game.WaitForScreen("path-a-start", 30), kSame);
    // The first stretch of the trail runs left along the start row to a wall: holding the key
    // long enough, even on a busy machine, always eats the same pills and stops there.
    game.Key("Left", 4);
    EXPECT_LE(game.Key("Escape", 0.8, "path-a-paused"), kSame);
    game.Key("Left");
    game.Key("Return");
    EXPECT_LE(game.WaitForScreen("path-a-scored", 15), kSame);
    scored = game.Shot("path-a-scored");
    EXPECT_GT(panels(scored, empty), 0.0003) << "the score is not in the lists";
    // Closed while the score is still being saved: the save is finished first.
    game.RequestClose();
    EXPECT_EQ(game.WaitExit(), 0);
    const double level = e2e::RecordedRms(folder + "/sound.wav", 0, 1e9);
    ASSERT_GE(level, 0) << "no recording";
    EXPECT_LT(level, 1e-4) << "sound was heard with the sound setting off";
  }

  Loaded state = LoadState(folder, 2);
  EXPECT_EQ(Count(state.status, "Invalid"), 0) << state.status;
  EXPECT_GT(state.last, 0);
  EXPECT_EQ(state.top, state.last);

  Session again(folder);
  ASSERT_TRUE(again.WaitWindow()) << again.Output();
  EXPECT_LE(again.WaitForScreen("title-paths", 40), kSame);
  EXPECT_LE(again.Key("Down", 0.8, "path-a-scored"), kSame);
  const e2e::Picture shown = again.Shot("path-a-shown");
  EXPECT_LE(panels(shown, scored), 0.01);
  again.Key("F4");
  EXPECT_EQ(again.WaitExit(), 0);
  EXPECT_EQ(Count(again.Output(), "Invalid"), 0) << again.Output();
}

// Full screen and back rebuilds every texture; the desktop's close request ends the game with 0.
TEST(Window, FullScreenAndBackThenCloseRequest) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  const std::string folder = Session::FreshFolder("window");
  Session game(folder);
  ASSERT_TRUE(game.WaitWindow()) << game.Output();
  EXPECT_LE(game.WaitForScreen("title", 40), kSame);

  game.Key("F11");
  EXPECT_LE(game.WaitForScreen("title-full-screen", 40), kSame);
  int w, h;
  game.Size(&w, &h);
  EXPECT_GT(w, 640);
  EXPECT_GT(h, 480);

  game.Key("F11");
  EXPECT_LE(game.WaitForScreen("title", 40), kSame);
  game.Size(&w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  const e2e::Picture back = game.Shot("windowed-again").Reduced();
  EXPECT_GT(back.Colours(), 500) << "textures were not rebuilt";

  game.RequestClose();
  EXPECT_EQ(game.WaitExit(), 0);
}

}  // namespace
