// The saved state: its text, checksums, incremental writing and block-by-block loading; and hostile
// state files (a folder in the file's place, a file that cannot be read, a huge file, numbers
// beyond 32 bits, a working folder that cannot be written), after which the game still starts,
// plays, and either saves or reports "Save Failed", never losing a previous state file.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>

#include "game_test.h"

namespace {

using SaveLoad = GameTest;
using HostileState = GameTest;

// Field positions in a save text: the highscore blocks of 21 fields, the quest blocks of 201.
constexpr int kScores = 35, kQuests = kScores + 24 * 21, kFieldCount = 20639;

// Everything a save holds: settings, badges, highscores (top ten, then last ten, per type), quest.
std::vector<double> Held(c_MyApp* a) {
  std::vector<double> v;
  for (int i = 0; i < 20000; ++i)
    v.insert(v.end(), {i < 25 ? a->m_Settings[i] : 0.0, i < 256 ? a->m_BadgeGot[i] : 0.0, i < 480 ? a->m_Scores[i] : 0.0, 1.0 * a->m_Quest[i]});
  return v;
}

// The status lines a call prints.
template <class Call>
std::string Printed(Call call) {
  testing::internal::CaptureStdout();
  call();
  return testing::internal::GetCapturedStdout();
}

std::string SaveNow(c_MyApp* a) {
  Printed([a] { a->p_Save(), a->p_FinishSave(); });
  return StateFile();
}

std::string LoadFrom(c_MyApp* a, const std::string& text) {
  std::ofstream(".gamestate", std::ios::binary) << text;
  return Printed([a] { a->p_Load(); });
}

TEST_F(SaveLoad, VariedDataRoundTripsAndAChangedDigitOrACutResetsOnlyItsBlocks) {
  std::uint32_t seed = 99;  // varied values, negatives and large ones, settings above their floors
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    if (i < 25) a->m_Settings[i] = i == 10 || i == 11 ? 200 : i == 12 ? 12 : i == 14 ? 1 : static_cast<int>(seed) % 1000;
    if (i < 256) a->m_BadgeGot[i] = i == 2 * 32 + 31 || i == 5 * 32;
    if (i < 480) a->m_Scores[i] = static_cast<int>(seed) % 100000;
    a->m_Quest[i] = i % 7 == 0 ? static_cast<int>(seed) : i % 3;
  }
  std::string text = SaveNow(a);
  std::vector<std::string> fields = Fields(text);
  ASSERT_TRUE(fields.size() == kFieldCount && text.back() == '|');
  // Badge words, where flag 31 is the sign and the sum wraps; type 3's top-ten and last-ten entry 2
  // interleaved; a quest value.
  EXPECT_EQ(fields[28] + " " + fields[31] + " " + fields[34], "-2147483648 1 -2147483647");
  EXPECT_EQ(fields[kScores + 3 * 21 + 4] + " " + fields[kScores + 3 * 21 + 5] + " " + fields[kQuests + 5 * 201 + 7],
            std::to_string(a->m_Scores[32]) + " " + std::to_string(a->m_Scores[272]) + " " + std::to_string(a->m_Quest[1007]));
  Game g2;
  EXPECT_FALSE(Has(LoadFrom(g2.app, text), "Invalid"));
  EXPECT_TRUE(Held(g2.app) == Held(a));
  std::string& digit = fields[kScores + 3 * 21 + 6];
  digit.back() = digit.back() == '9' ? '8' : static_cast<char>(digit.back() + 1);
  std::string out = LoadFrom(g2.app, Join(fields));
  EXPECT_TRUE(Has(out, "Highscore 2 Loaded\nHighscore 3 Checksum Invalid\nHighscore 4 Loaded\n") &&
              out.find("Invalid") == out.rfind("Invalid")) << out;
  for (int i = 0; i < 480; ++i) EXPECT_EQ(g2.app->m_Scores[i], i % 240 / 10 == 3 ? 0 : a->m_Scores[i]) << i;
  // Cut in the middle of the sixth highscore block: that type and every later one keep theirs.
  fields = Fields(text);
  fields.resize(kScores + 5 * 21 + 10);
  for (int i = 0; i < 480; ++i) a->m_Scores[i] = -7;
  a->m_Quest[0] = -7;
  EXPECT_EQ(LoadFrom(a, Join(fields)), "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\n"
                                       "Highscore 2 Loaded\nHighscore 3 Loaded\nHighscore 4 Loaded\n");
  EXPECT_EQ(V(a->m_Scores[49], a->m_Scores[50], a->m_Scores[239], a->m_Quest[0]), V(g2.app->m_Scores[49], -7, -7, -7));
  // Cut just before a block's checksum, without the closing bar: that block and those after it are not read.
  const std::pair<int, const char*> cuts[] = {
      {kScores + 20, "Settings Loaded\nBadges Loaded\n"}, {kScores - 1, "Settings Loaded\n"}, {25, ""}};
  for (const auto& [cut, loaded] : cuts) {
    fields.resize(cut);
    const std::string cutText = Join(fields);
    EXPECT_EQ(LoadFrom(g2.app, cutText.substr(0, cutText.size() - 1)), loaded) << cut;
  }
}

TEST_F(SaveLoad, SettingsBelowTheirFloorsAreRepairedAndABadSettingsBlockResetsToSoundOn) {
  // Setting 0 weighs nothing in the checksum; 10, 11 and 12 have floors; 14 cannot be 0 on the desktop.
  std::vector<std::string> fields(kFieldCount, "0");
  fields[0] = "777", fields[5] = "3", fields[10] = "5", fields[11] = "63", fields[12] = "7", fields[15] = "1";
  ASSERT_TRUE(Reseal(fields));
  fields.resize(26), fields[0] = "5";
  EXPECT_EQ(LoadFrom(a, Join(fields)), "Settings Loaded\n");
  EXPECT_EQ(V(a->m_Settings[0], a->m_Settings[5], a->m_Settings[10], a->m_Settings[11], a->m_Settings[12], a->m_Settings[14],
              a->m_Settings[15], bb_GW_overscan),
            V(5, 3, 64, 64, 10, 1, 1, 0));
  fields[15] = "0";
  EXPECT_EQ(LoadFrom(a, Join(fields)), "Settings Checksum Invalid\n");
  for (int i = 0; i < 25; ++i)
    EXPECT_EQ(a->m_Settings[i], i == 5 || i == 14 ? 1 : i == 10 || i == 11 ? 64 : i == 12 ? 10 : 0) << i;
}

TEST_F(SaveLoad, ASaveStartedTwiceWritesOnceAHundredUpdatesAfterTheSecondStartOrAtOnceOnSuspend) {
  std::ofstream(".gamestate") << "old";
  testing::internal::CaptureStdout();
  a->p_Save();
  g.Updates(40);
  EXPECT_EQ(a->m_SaveCursor, 40 * 200);
  a->m_Quest[0] = 4321;
  a->p_Save();
  EXPECT_EQ(a->m_SaveCursor, 0) << "a running save restarts";
  for (int i = 1; i < 100; ++i) {
    g.Update();
    ASSERT_EQ(StateFile(), "old") << "the file changes only at the last step (update " << i << ")";
  }
  g.Update();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Saved\n");
  EXPECT_TRUE(a->m_SaveCursor == -1 && ValidState(StateFile()) && Fields(StateFile()).at(kQuests) == "4321");
  a->m_Quest[8004] = 12;
  Printed([this] { a->p_OnSuspend(); });  // and the game wakes seldom while suspended
  EXPECT_EQ(V(a->m_SaveCursor, std::stoi(Fields(StateFile()).at(kQuests + 40 * 201 + 4)), bb_app__updateRate), V(-1, 12, 5));
}

// Through the title menu into a game and its pause menu and back, as a player would, for a few
// hundred updates (no escape: on the title menu it quits); then a save, and the lines it printed.
std::string PlayAndSave(Game& g) {
  g.Ready();
  bool played = false;
  for (int round = 0; round < 3; ++round) {
    g.Press(kEnter), g.Updates(60);
    played = played || g.app->m_Mode == 10;
    for (int key : {37, 38, 39, 40, 32}) g.Press(key, 8);
    g.Render();
  }
  std::string out = Printed([&g] { g.app->p_Save(), g.app->p_FinishSave(); });
  EXPECT_TRUE(played && g.app->m_SaveCursor == -1) << "played, and the save is over";
  return out;
}

// A save written by the game itself, which the later games should keep.
std::string RealSave(c_MyApp* a) {
  a->m_Scores[0] = 4242;
  a->m_Quest[7] = 99;
  a->m_BadgeGot[31] = true;
  return SaveNow(a);
}

// In the state file's place: a folder, a link to itself or a file without read permission (none
// can be read); a score of twenty digits and a quest value below -2^31, which break their blocks'
// sums but not the badges'; a saturated score with its checksum, which loads as it is; 100 MB of
// digits, no save, which read and split whole would take half a gigabyte. The game starts with what
// it can load and plays; its save leaves what it could not read in place, and replaces the rest.
TEST_F(HostileState, WhatCannotBeReadIsKeptAndEachBlockLoadsOnlyWhenItIsSound) {
  std::string save = RealSave(a);
  std::vector<std::string> broken = Fields(save), saturated = Fields(save);
  broken[kScores] = "99999999999999999999";
  broken[kQuests + 7] = "-99999999999";
  saturated[kScores] = "2147483647";
  ASSERT_TRUE(Reseal(saturated));
  // The file (or "dir", "loop", "locked"), what loading prints, then badge 31, score 0 and quest 7.
  const std::tuple<std::string, const char*, std::vector<double>> cases[] = {
      {"dir", "", V(0, 0, 0)}, {"loop", "", V(0, 0, 0)}, {"locked", "", V(0, 0, 0)},
      {Join(broken), "Badges Loaded\nHighscore 0 Checksum Invalid\n", V(1, 0, 0)},
      {Join(saturated), "Highscore 0 Loaded\n", V(1, 2147483647, 99)},
      {std::string(100 << 20, '7'), "", V(0, 0, 0)}};
  for (const auto& [file, loaded, held] : cases) {
    if (file == "locked" && geteuid() == 0) continue;  // root reads every file
    const std::string folder = NewFolder(), path = folder + "/.gamestate";
    const bool unreadable = file.size() < 8;
    if (file == "locked" || !unreadable) std::ofstream(path) << (unreadable ? save : file);
    ASSERT_EQ(file == "dir"    ? mkdir(path.c_str(), 0755) + mkdir((path + "/keep").c_str(), 0755)
              : file == "loop" ? symlink(".gamestate", path.c_str())
                               : chmod(path.c_str(), file == "locked" ? 0 : 0644), 0);
    struct stat before, after;
    struct rusage start, end;
    ASSERT_EQ(lstat(path.c_str(), &before), 0);
    getrusage(RUSAGE_SELF, &start);
    testing::internal::CaptureStdout();
    Game g(folder, false);
    std::string out = testing::internal::GetCapturedStdout();
    getrusage(RUSAGE_SELF, &end);
    EXPECT_LT(end.ru_maxrss - start.ru_maxrss, 64 * 1024) << "kilobytes more at the peak";
    EXPECT_TRUE(*loaded ? Has(out, loaded) : out.empty()) << out;
    EXPECT_EQ(Has(out, "Quest Score 0 Checksum Invalid"), held[0] == 1 && held[1] == 0) << out;
    EXPECT_EQ(V(g.app->m_BadgeGot[31], g.app->m_Scores[0], g.app->m_Quest[7]), held);
    EXPECT_EQ(PlayAndSave(g), unreadable ? "Save Failed\n" : "Saved\n");
    if (unreadable) {
      EXPECT_TRUE(lstat(path.c_str(), &after) == 0 && after.st_ino == before.st_ino && after.st_mode == before.st_mode);
    } else {
      EXPECT_TRUE(ValidState(StateFile()) && Fields(StateFile())[kScores] == std::to_string(int(held[1]))) << "a full save";
    }
  }
}

// Not a fixture's game: the body may run as another user, who cannot enter its folder.
TEST(HostileFolder, AReadOnlyWorkingFolderKeepsThePreviousSave) {
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  std::string save = RealSave(Game().app);
  auto body = [&] {
    const std::string folder = NewFolder();
    std::ofstream(folder + "/.gamestate") << save;
    ASSERT_EQ(symlink(ZUDODO_SOURCE_DIR "/data", (folder + "/data").c_str()) + chmod(folder.c_str(), 0555), 0);
    testing::internal::CaptureStdout();
    Game g(folder, false);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(Has(out, "Highscore 0 Loaded") && g.app->m_Scores[0] == 4242) << "the previous save loads: " << out;
    EXPECT_EQ(PlayAndSave(g), "Save Failed\n");
    EXPECT_EQ(StateFile(), save) << "and stays as it was";
  };
  if (geteuid() != 0) return body();
  // Root writes into any folder: the body runs in a child that has dropped to an ordinary user.
  EXPECT_EXIT(
      {
        if (setgid(65534) != 0 || setuid(65534) != 0) std::_Exit(3);
        body();
        std::fflush(stdout);
        std::_Exit(testing::Test::HasFailure() ? 1 : 0);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
