// Loading through real OpenGL: the render hook's loading steps, patterns decoded by drawing the song
// image's frames and reading them back, and the game's demo song played into the loopback output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "game/music/demo_song.h"
#include "music.h"
#include "music_support.h"

namespace {

namespace fs = std::filesystem;
using namespace kxtest;

class KxLoadingGl : public KxFixture {
 protected:
  void SetUp() override {
    KxFixture::SetUp();
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
    ASSERT_TRUE(bbtest::OpenTestWindow(Clock())) << "a display is set but no OpenGL window could be opened";
    if (!bb_graphics_context) gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
    bb_graphics_SetGraphicsDevice(device = new gxtkGraphics);
    previous = fs::current_path(), fs::current_path(ZUDODO_SOURCE_DIR);
  }
  void TearDown() override { if (!previous.empty()) fs::current_path(previous); }

  // Renders frames as the game does, the player's hook first, until loading is done; how many it took.
  int Load() {
    int frames = 0;
    for (; player->m_loadStep != 0 && frames < 100; ++frames) {
      device->BeginRender(), bb_graphics_BeginRender(), player->p_Kx_Alive_R();
      Array<int> one(1);
      device->ReadPixels(one, 20, 20, 1, 1, 0, 1);
      EXPECT_EQ(one[0] & 0xffffff, 0) << "the decoding is hidden by the clear";
      device->EndRender(), bb_graphics_EndRender();
    }
    return frames;
  }
  // How many kit entries and voices have a sound.
  int Loaded() {
    int n = 0;
    for (int i = 1; i <= 8; ++i) n += !!player->m_drumsA[i] + !!player->m_drumsB[i] + !!player->m_voiceSound[i % 8];
    return n;
  }

  gxtkGraphics* device = nullptr;
  fs::path previous;
};

TEST_F(KxLoadingGl, TheDemoSongLoadsInTwentyFourFramesDecodesExactlyAndPlaysTheSameMusicEachTime) {
  player->m_songPath = String("nothing.png"), player->m_loadStep = 1;  // missing: silent, and loading ends
  EXPECT_EQ(Load(), 24);
  EXPECT_EQ(Loaded(), 0);  // instrument 0 does not exist either
  bb_music_StartDemoSong(player);
  EXPECT_EQ(Load(), 24);
  EXPECT_EQ(Loaded(), 19);
  // The patterns are the generator's (frame 63, never decoded, stays empty); each voice counts to its last.
  const std::vector<uint8_t> song = assetgen::makeDemoSongPatterns();
  ASSERT_EQ(song.size(), 64 * 4096u);
  EXPECT_TRUE(std::equal(song.begin(), song.end(), player->m_patterns.Data()));
  int last[8] = {};
  for (size_t i = 0; i < song.size(); ++i) if (song[i]) last[i / 512 % 8] = int(i / 4096);
  EXPECT_EQ(std::vector<int>(player->m_patternCount.Data(), player->m_patternCount.Data() + 8),
            std::vector<int>(last, last + 8));

  // Eight bars into the loopback output, a step's worth of sound after every step.
  std::vector<float> mix;
  Commands().clear();
  for (int step = 0; step < 8 * 64; ++step) {
    Tick();
    for (int ch = kBass; step == 63 && ch <= kDrumsA; ++ch) EXPECT_FALSE(Sent(ch, "play").empty()) << ch;
    const bbtest::Mix part = out->Render(0.084);
    mix.insert(mix.end(), part.left.begin(), part.left.end());
    mix.insert(mix.end(), part.right.begin(), part.right.end());
  }
  EXPECT_GT(bbtest::Rms(mix), 0.03);
  for (float x : mix) ASSERT_LT(std::fabs(x), 1.0f) << "the mix clips";

  // Stopped, moved on and started again, the song plays exactly as before.
  const Log first = Commands();
  player->p_Kx_Stop(1), player->m_songSeed = 5, player->m_section = 12;
  bb_music_StartDemoSong(player);
  EXPECT_EQ(Load(), 24);
  Commands().clear(), Tick(8 * 64);
  EXPECT_TRUE(Commands() == first);
}

}  // namespace
