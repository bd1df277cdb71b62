// Hostile state files: a folder in the file's place, a file that cannot be read, a huge file,
// numbers beyond 32 bits, and a working folder that cannot be written. In each case the game
// starts, plays, and either saves or reports "Save Failed", never losing a previous state file.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "menu_steps.h"

namespace {

using gametest::Game;
using menutest::Fields;
using menutest::StateFile;

// A working folder made before the game starts, so that the state file is in place at its start.
class Folder {
 public:
  Folder() {
    char path[] = "/tmp/zudodo-hostile-XXXXXX";
    if (!mkdtemp(path)) std::abort();
    path_ = path;
    chmod(path, 0755);
  }
  ~Folder() {
    chmod(path_.c_str(), 0755);
    std::string remove = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
    if (std::system(remove.c_str()) != 0) std::abort();
  }
  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  const std::string& Dir() const { return path_; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  std::fclose(f);
}

// Through the title menu into a game and its pause menu and back, as a player would, for a few
// hundred updates; then a save. Returns the status lines of the save.
std::string PlayAndSave(Game& g) {
  menutest::Ready(g);
  bool played = false;
  // No escape: on the title menu it quits.
  for (int round = 0; round < 3; ++round) {
    menutest::Press(g, 13);  // start the chosen entry
    g.Updates(60);
    played = played || g.app->m_Mode == 10;
    for (int key : {37, 38, 39, 40, 32}) menutest::Press(g, key, 8);
    g.Render();
  }
  EXPECT_TRUE(played);
  testing::internal::CaptureStdout();
  g.app->p_Save();
  g.app->p_FinishSave();
  return testing::internal::GetCapturedStdout();
}

// A complete save of varied values, written by the game itself in its own folder.
std::string RealSave() {
  Game g;
  g.app->m_Scores[0] = 4242;
  g.app->m_Quest[7] = 99;
  g.app->m_BadgeGot[31] = true;
  testing::internal::CaptureStdout();
  g.app->p_Save();
  g.app->p_FinishSave();
  testing::internal::GetCapturedStdout();
  return StateFile();
}

TEST(HostileState, AFolderInTheStateFilesPlace) {
  Folder folder;
  ASSERT_EQ(mkdir(folder.Path(".gamestate").c_str(), 0755), 0);
  ASSERT_EQ(mkdir(folder.Path(".gamestate/keep").c_str(), 0755), 0);
  testing::internal::CaptureStdout();
  Game g(folder.Dir());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "nothing to load";
  EXPECT_EQ(g.app->m_Settings[5], 1) << "the defaults stay";
  EXPECT_EQ(PlayAndSave(g), "Save Failed\n");
  EXPECT_EQ(g.app->m_SaveCursor, -1) << "the failed save is over";
  struct stat st;
  ASSERT_EQ(stat(folder.Path(".gamestate/keep").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST(HostileState, AStateFileThatCannotBeReadIsKept) {
  // A link that leads to itself cannot be opened by anyone; without root, neither can a file
  // without read permission.
  std::string save = RealSave();
  Folder loop;
  ASSERT_EQ(symlink(".gamestate", loop.Path(".gamestate").c_str()), 0);
  {
    Game g(loop.Dir());
    EXPECT_EQ(g.app->m_Scores[0], 0);
    EXPECT_EQ(PlayAndSave(g), "Save Failed\n");
  }
  char target[64] = {};
  ASSERT_GT(readlink(loop.Path(".gamestate").c_str(), target, sizeof target - 1), 0);
  EXPECT_STREQ(target, ".gamestate") << "the link is left as it was";

  if (geteuid() == 0) return;  // root reads every file
  Folder locked;
  WriteFile(locked.Path(".gamestate"), save);
  ASSERT_EQ(chmod(locked.Path(".gamestate").c_str(), 0), 0);
  Game g(locked.Dir());
  EXPECT_EQ(g.app->m_Scores[0], 0);
  EXPECT_EQ(PlayAndSave(g), "Save Failed\n");
  chmod(locked.Path(".gamestate").c_str(), 0644);
  EXPECT_EQ(StateFile(), save);
}

TEST(HostileState, AHugeFileOfDigitsIsNotRead) {
  // 100 MB of digits: not a save. Reading and splitting it whole would take half a gigabyte.
  Folder folder;
  {
    std::FILE* f = std::fopen(folder.Path(".gamestate").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::string block(1 << 20, '7');
    for (int i = 0; i < 100; ++i) ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), f), block.size());
    std::fclose(f);
  }
  struct rusage before, after;
  getrusage(RUSAGE_SELF, &before);
  Game g(folder.Dir());
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "kilobytes more at the peak";
  EXPECT_EQ(g.app->m_Settings[5], 1);
  EXPECT_EQ(PlayAndSave(g), "Saved\n");
  EXPECT_EQ(Fields(StateFile()).size(), 20639u) << "a complete save replaced it";
}

TEST(HostileState, NumbersBeyondThirtyTwoBitsResetTheirBlocksOnly) {
  std::string save = RealSave();
  std::vector<std::string> fields = Fields(save);
  ASSERT_EQ(fields.size(), 20639u);
  // A score of twenty digits and a quest value below -2^31 break their blocks' sums; the badge
  // and settings blocks stay intact.
  fields[35] = "99999999999999999999";
  fields[35 + 24 * 21 + 7] = "-99999999999";
  Folder folder;
  WriteFile(folder.Path(".gamestate"), menutest::Join(fields));
  testing::internal::CaptureStdout();
  Game g(folder.Dir());
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Settings Loaded"), std::string::npos) << out;
  EXPECT_NE(out.find("Badges Loaded"), std::string::npos) << out;
  EXPECT_NE(out.find("Highscore 0 Checksum Invalid"), std::string::npos) << out;
  EXPECT_NE(out.find("Quest Score 0 Checksum Invalid"), std::string::npos) << out;
  EXPECT_TRUE(g.app->m_BadgeGot[31]);
  EXPECT_EQ(g.app->m_Scores[0], 0);
  EXPECT_EQ(g.app->m_Quest[7], 0);
  EXPECT_EQ(PlayAndSave(g), "Saved\n");
  EXPECT_EQ(Fields(StateFile()).size(), 20639u);

  // Saturated values that pass their checksum load as they are and save back the same.
  fields = Fields(save);
  fields[35] = "2147483647";
  long long sum = 0;
  for (int s = 0; s < 10; ++s) {
    sum += (s + 4) * std::stoll(fields[size_t(35 + 2 * s)]) + (s + 3) * std::stoll(fields[size_t(36 + 2 * s)]);
  }
  fields[55] = std::to_string(static_cast<int>(static_cast<unsigned>(sum)));
  Folder big;
  WriteFile(big.Path(".gamestate"), menutest::Join(fields));
  Game h(big.Dir());
  EXPECT_EQ(h.app->m_Scores[0], 2147483647);
  EXPECT_EQ(PlayAndSave(h), "Saved\n");
  EXPECT_EQ(Fields(StateFile())[35], "2147483647");
}

// Runs body where the folder's permissions bind: as root, in a child that has dropped to an
// ordinary user (root writes into any folder).
template <class Body>
void Unprivileged(Body body) {
  if (geteuid() != 0) {
    body();
    return;
  }
  EXPECT_EXIT(
      {
        if (setgid(65534) != 0 || setuid(65534) != 0) std::_Exit(3);
        body();
        std::fflush(stdout);
        std::_Exit(testing::Test::HasFailure() ? 1 : 0);
      },
      testing::ExitedWithCode(0), "");
}

TEST(HostileState, AReadOnlyWorkingFolderKeepsThePreviousSave) {
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  std::string save = RealSave();
  Unprivileged([&] {
    Folder folder;
    WriteFile(folder.Path(".gamestate"), save);
    ASSERT_EQ(symlink(ZUDODO_SOURCE_DIR "/data", folder.Path("data").c_str()), 0);
    ASSERT_EQ(chmod(folder.Dir().c_str(), 0555), 0);
    testing::internal::CaptureStdout();
    Game g(folder.Dir());
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Highscore 0 Loaded"), std::string::npos) << out;
    EXPECT_EQ(g.app->m_Scores[0], 4242) << "the previous save loads";
    EXPECT_EQ(PlayAndSave(g), "Save Failed\n");
    EXPECT_EQ(StateFile(), save) << "and stays as it was";
  });
}

}  // namespace
