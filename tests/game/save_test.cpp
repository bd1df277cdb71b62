// The saved state: its text, checksums, incremental writing and block-by-block loading; and hostile
// state files (a folder in the file's place, a file that cannot be read, a huge file, numbers
// beyond 32 bits, a working folder that cannot be written), after which the game still starts,
// plays, and either saves or reports "Save Failed", never losing a previous state file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using namespace gametest;

// Field positions in a save text.
constexpr int kScoreStart = 35, kQuestStart = kScoreStart + 24 * 21, kFieldCount = 20639;

// Varied values, negatives and large ones included, with settings the load keeps as they are.
void FillReal(c_MyApp* app) {
  std::uint32_t seed = 99;
  auto next = [&seed] { return static_cast<int>(seed = seed * 1664525u + 1013904223u); };
  for (int i = 0; i < 25; ++i) app->m_Settings[i] = next() % 1000;
  for (int i : {10, 11, 12, 14}) app->m_Settings[i] = i == 10 ? 200 : i == 11 ? 90 : i == 12 ? 12 : 1;
  for (int i = 0; i < 256; ++i) app->m_BadgeGot[i] = (next() & 0x100) != 0;
  for (int i = 0; i < 480; ++i) app->m_Scores[i] = next() % 100000;
  for (int i = 0; i < 20000; ++i) app->m_Quest[i] = i % 7 == 0 ? next() : i % 3;
}

// Everything a save holds, as the game holds it.
std::vector<double> Held(c_MyApp* app) {
  std::vector<double> v;
  for (int i = 0; i < 25; ++i) v.push_back(app->m_Settings[i]);
  for (int i = 0; i < 256; ++i) v.push_back(app->m_BadgeGot[i]);
  for (int i = 0; i < 480; ++i) v.push_back(app->m_Scores[i]);
  for (int i = 0; i < 20000; ++i) v.push_back(app->m_Quest[i]);
  return v;
}

std::string SaveNow(c_MyApp* app) {
  testing::internal::CaptureStdout();
  app->p_Save();
  app->p_FinishSave();
  testing::internal::GetCapturedStdout();
  return StateFile();
}

// Loads `text` as the game's state file; the status lines printed.
std::string LoadInto(Game& g, const std::string& text) {
  WriteStateFile(text);
  testing::internal::CaptureStdout();
  g.app->p_Load();
  return testing::internal::GetCapturedStdout();
}

std::string Loaded(int scoreTypes) {
  std::string out = "Settings Loaded\nBadges Loaded\n";
  for (int t = 0; t < scoreTypes; ++t) out += "Highscore " + std::to_string(t) + " Loaded\n";
  return out;
}

TEST(SaveText, AllZeroDataIsTheDigitZeroTwentyThousandSixHundredAndThirtyNineTimesAndLoadsClean) {
  Game g;
  for (int i = 0; i < 20000; ++i) {
    if (i < 25) g.app->m_Settings[i] = 0;
    if (i < 256) g.app->m_BadgeGot[i] = false;
    if (i < 480) g.app->m_Scores[i] = 0;
    g.app->m_Quest[i] = 0;
  }
  std::string zeros;
  for (int i = 0; i < kFieldCount; ++i) zeros += "0|";
  EXPECT_EQ(SaveNow(g.app), zeros);
  std::string out = LoadInto(g, zeros);
  EXPECT_EQ(out.substr(0, Loaded(24).size()), Loaded(24));
  EXPECT_FALSE(Has(out, "Invalid")) << out;
  EXPECT_EQ(V(g.app->m_Settings[5], g.app->m_Settings[10], g.app->m_Settings[12]), V(0, 64, 10)) << "floors repaired";
}

TEST(SaveText, RealDataRoundTripsThroughARestartAndBadgeFlagThirtyOneIsWrittenNegative) {
  std::string text;
  std::vector<double> held;
  {
    Game g;
    FillReal(g.app);
    for (int i = 0; i < 256; ++i) g.app->m_BadgeGot[i] = i == 2 * 32 + 31 || i == 5 * 32;
    text = SaveNow(g.app);
    held = Held(g.app);
  }
  std::vector<std::string> fields = Fields(text);
  ASSERT_EQ(fields.size(), static_cast<size_t>(kFieldCount));
  ASSERT_EQ(text.back(), '|');
  EXPECT_EQ(fields[26 + 2] + " " + fields[26 + 5] + " " + fields[34], "-2147483648 1 -2147483647") << "the sum wraps";
  // The interleaved highscore layout: type 3's top-ten entry 2 and its last-ten entry 2.
  EXPECT_EQ(fields[kScoreStart + 3 * 21 + 4], std::to_string(static_cast<int>(held[25 + 256 + 32])));
  EXPECT_EQ(fields[kScoreStart + 3 * 21 + 5], std::to_string(static_cast<int>(held[25 + 256 + 240 + 32])));
  EXPECT_EQ(fields[kQuestStart + 5 * 201 + 7], std::to_string(static_cast<int>(held[25 + 256 + 480 + 1007])));
  Game g;
  EXPECT_FALSE(Has(LoadInto(g, text), "Invalid"));
  EXPECT_TRUE(Held(g.app) == held);
}

TEST(SaveLoad, AChangedDigitResetsOnlyItsBlockAndATruncatedFileLoadsItsCompleteLeadingBlocks) {
  std::string text;
  std::vector<double> held;
  {
    Game g;
    FillReal(g.app);
    text = SaveNow(g.app);
    held = Held(g.app);
  }
  std::vector<std::string> fields = Fields(text);
  std::string& digit = fields[kScoreStart + 3 * 21 + 6];
  digit.back() = digit.back() == '9' ? '8' : static_cast<char>(digit.back() + 1);
  Game g;
  std::string out = LoadInto(g, Join(fields));
  EXPECT_EQ(out.find("Invalid"), out.rfind("Invalid")) << out;
  EXPECT_TRUE(Has(out, "Highscore 2 Loaded\nHighscore 3 Checksum Invalid\nHighscore 4 Loaded\n")) << out;
  for (int i = 0; i < 480; ++i) EXPECT_EQ(g.app->m_Scores[i], i % 240 / 10 == 3 ? 0 : held[25 + 256 + i]) << i;
  // Cut in the middle of the sixth highscore block: the incomplete type and every later one keep
  // their fields.
  fields = Fields(text);
  fields.resize(kScoreStart + 5 * 21 + 10);
  for (int i = 0; i < 480; ++i) g.app->m_Scores[i] = -7;
  g.app->m_Quest[0] = -7;
  EXPECT_EQ(LoadInto(g, Join(fields)), Loaded(5));
  EXPECT_EQ(V(g.app->m_Scores[49], g.app->m_Scores[50], g.app->m_Scores[239], g.app->m_Quest[0]), V(held[25 + 256 + 49], -7, -7, -7));
}

TEST(SaveLoad, SettingsBelowTheirFloorsAreRepairedAndABadSettingsBlockResetsToSoundOn) {
  Game g;
  std::remove(".gamestate");
  testing::internal::CaptureStdout();
  g.app->p_Load();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "no state file";
  EXPECT_EQ(V(g.app->m_Settings[5], g.app->m_Settings[11]), V(1, 64)) << "the defaults stay";
  std::vector<std::string> fields(26, "0");
  // Setting 0 weighs nothing in the checksum; 10, 11 and 12 have floors; 14 cannot be 0 on the desktop.
  const int values[][2] = {{0, 777}, {5, 3}, {10, 5}, {11, 63}, {12, 7}, {14, 0}, {15, 1}};
  for (const auto& v : values) fields[v[0]] = std::to_string(v[1]);
  fields.resize(kFieldCount, "0");
  ASSERT_TRUE(Reseal(fields));
  fields.resize(26);
  fields[0] = "5";
  EXPECT_EQ(LoadInto(g, Join(fields)), "Settings Loaded\n");
  EXPECT_EQ(V(g.app->m_Settings[0], g.app->m_Settings[5], g.app->m_Settings[10], g.app->m_Settings[11],
              g.app->m_Settings[12], g.app->m_Settings[14], g.app->m_Settings[15], bb_GW_overscan),
            V(5, 3, 64, 64, 10, 1, 1, 0));
  fields[15] = "0";
  EXPECT_EQ(LoadInto(g, Join(fields)), "Settings Checksum Invalid\n");
  for (int i = 0; i < 25; ++i)
    EXPECT_EQ(g.app->m_Settings[i], i == 5 || i == 14 ? 1 : i == 10 || i == 11 ? 64 : i == 12 ? 10 : 0) << i;
}

TEST(SaveIncremental, ASaveStartedTwiceWritesOnceAHundredUpdatesAfterTheSecondStartOrAtOnceOnSuspend) {
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
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Saved\n");
  std::vector<std::string> fields = Fields(StateFile());
  ASSERT_EQ(fields.size(), static_cast<size_t>(kFieldCount));
  EXPECT_EQ(V(g.app->m_SaveCursor, std::stoi(fields[kQuestStart]), std::stoi(fields[kQuestStart + 200])), V(-1, 4321, 4 * 4321));
  g.app->m_Quest[8004] = 12;
  testing::internal::CaptureStdout();
  g.app->p_OnSuspend();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(g.app->m_SaveCursor, -1);
  EXPECT_EQ(Fields(StateFile())[kQuestStart + 40 * 201 + 4], "12");
}

// A working folder made before the game starts, so that the state file is in place at its start.
struct Folder {
  std::string path = [] {
    char path[] = "/tmp/zudodo-hostile-XXXXXX";
    if (!mkdtemp(path)) std::abort();
    return std::string(path);
  }();
  ~Folder() {
    if (std::system(("chmod -R u+rwx '" + path + "' 2>/dev/null; rm -rf '" + path + "'").c_str()) != 0) std::abort();
  }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
};

void WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
}

// Through the title menu into a game and its pause menu and back, as a player would, for a few
// hundred updates; then a save. The status lines of the save.
std::string PlayAndSave(Game& g) {
  g.Ready();
  bool played = false;
  for (int round = 0; round < 3; ++round) {  // no escape: on the title menu it quits
    g.Press(kEnter);
    g.Updates(60);
    played = played || g.app->m_Mode == 10;
    for (int key : {37, 38, 39, 40, 32}) g.Press(key, 8);
    g.Render();
  }
  EXPECT_TRUE(played);
  testing::internal::CaptureStdout();
  g.app->p_Save();
  g.app->p_FinishSave();
  EXPECT_EQ(g.app->m_SaveCursor, -1) << "the save is over";
  return testing::internal::GetCapturedStdout();
}

// A complete save of varied values, written by the game itself in its own folder.
std::string RealSave() {
  Game g;
  g.app->m_Scores[0] = 4242;
  g.app->m_Quest[7] = 99;
  g.app->m_BadgeGot[31] = true;
  return SaveNow(g.app);
}

TEST(HostileState, AFolderInTheStateFilesPlaceOrAFileThatCannotBeReadIsKept) {
  Folder folder;
  ASSERT_EQ(mkdir((folder / ".gamestate/").c_str(), 0755) + mkdir((folder / ".gamestate/keep").c_str(), 0755), 0);
  testing::internal::CaptureStdout();
  {
    Game g(folder.path);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "nothing to load";
    EXPECT_EQ(g.app->m_Settings[5], 1) << "the defaults stay";
    EXPECT_EQ(PlayAndSave(g), "Save Failed\n");
  }
  struct stat st;
  EXPECT_TRUE(stat((folder / ".gamestate/keep").c_str(), &st) == 0 && S_ISDIR(st.st_mode));
  // A link that leads to itself cannot be opened by anyone; without root, neither can a file
  // without read permission.
  std::string save = RealSave();
  Folder loop;
  ASSERT_EQ(symlink(".gamestate", (loop / ".gamestate").c_str()), 0);
  {
    Game g(loop.path);
    EXPECT_EQ(g.app->m_Scores[0], 0);
    EXPECT_EQ(PlayAndSave(g), "Save Failed\n");
  }
  char target[64] = {};
  EXPECT_GT(readlink((loop / ".gamestate").c_str(), target, sizeof target - 1), 0);
  EXPECT_STREQ(target, ".gamestate") << "the link is left as it was";
  if (geteuid() == 0) return;  // root reads every file
  Folder locked;
  WriteFile(locked / ".gamestate", save);
  ASSERT_EQ(chmod((locked / ".gamestate").c_str(), 0), 0);
  Game g(locked.path);
  EXPECT_EQ(g.app->m_Scores[0], 0);
  EXPECT_EQ(PlayAndSave(g), "Save Failed\n");
  chmod((locked / ".gamestate").c_str(), 0644);
  EXPECT_EQ(StateFile(), save);
}

TEST(HostileState, AHugeFileOfDigitsIsNotRead) {
  // 100 MB of digits: not a save. Reading and splitting it whole would take half a gigabyte.
  Folder folder;
  std::FILE* f = std::fopen((folder / ".gamestate").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::string block(1 << 20, '7');
  for (int i = 0; i < 100; ++i) ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), f), block.size());
  std::fclose(f);
  struct rusage before, after;
  getrusage(RUSAGE_SELF, &before);
  Game g(folder.path);
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes more at the peak";
  EXPECT_EQ(g.app->m_Settings[5], 1);
  EXPECT_EQ(PlayAndSave(g), "Saved\n");
  EXPECT_TRUE(ValidState(StateFile())) << "a complete save replaced it";
}

TEST(HostileState, NumbersBeyondThirtyTwoBitsResetTheirBlocksOnly) {
  std::string save = RealSave();
  std::vector<std::string> fields = Fields(save);
  // A score of twenty digits and a quest value below -2^31 break their blocks' sums; the badge
  // and settings blocks stay intact.
  fields[kScoreStart] = "99999999999999999999";
  fields[kQuestStart + 7] = "-99999999999";
  Folder folder;
  WriteFile(folder / ".gamestate", Join(fields));
  testing::internal::CaptureStdout();
  Game g(folder.path);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(Has(out, "Settings Loaded\nBadges Loaded\nHighscore 0 Checksum Invalid\n")) << out;
  EXPECT_TRUE(Has(out, "Quest Score 0 Checksum Invalid")) << out;
  EXPECT_EQ(V(g.app->m_BadgeGot[31], g.app->m_Scores[0], g.app->m_Quest[7]), V(1, 0, 0));
  EXPECT_EQ(PlayAndSave(g), "Saved\n");
  EXPECT_TRUE(ValidState(StateFile()));
  // Saturated values that pass their checksum load as they are and save back the same.
  fields = Fields(save);
  fields[kScoreStart] = "2147483647";
  ASSERT_TRUE(Reseal(fields));
  Folder big;
  WriteFile(big / ".gamestate", Join(fields));
  Game h(big.path);
  EXPECT_EQ(h.app->m_Scores[0], 2147483647);
  EXPECT_EQ(PlayAndSave(h), "Saved\n");
  EXPECT_EQ(Fields(StateFile())[kScoreStart], "2147483647");
}

TEST(HostileState, AReadOnlyWorkingFolderKeepsThePreviousSave) {
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  std::string save = RealSave();
  auto body = [&] {
    Folder folder;
    WriteFile(folder / ".gamestate", save);
    ASSERT_EQ(symlink(ZUDODO_SOURCE_DIR "/data", (folder / "data").c_str()), 0);
    ASSERT_EQ(chmod(folder.path.c_str(), 0555), 0);
    testing::internal::CaptureStdout();
    Game g(folder.path);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(Has(out, "Highscore 0 Loaded")) << out;
    EXPECT_EQ(g.app->m_Scores[0], 4242) << "the previous save loads";
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
