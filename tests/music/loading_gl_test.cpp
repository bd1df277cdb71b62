// Loading through real OpenGL: the render hook's loading steps, pattern decoding by drawing each
// frame of the song image and reading it back, and the demo song from the game's data folder
// loaded, decoded and played into the loopback output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "audio.h"
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
    device = new gxtkGraphics;
    bb_graphics_SetGraphicsDevice(device);
    previous = fs::current_path();
  }
  void TearDown() override {
    if (!previous.empty()) fs::current_path(previous);
    KxFixture::TearDown();
  }

  // One frame as the game renders it, the player's hook first; the colour (0xRRGGBB) of a pixel of
  // the decoding area right after the hook.
  int Frame() {
    device->BeginRender();
    bb_graphics_BeginRender();
    player->p_Kx_Alive_R();
    Array<int> one(1);
    device->ReadPixels(one, 20, 20, 1, 1, 0, 1);
    device->EndRender();
    bb_graphics_EndRender();
    return one[0] & 0xffffff;
  }
  // Renders frames until loading is done; the number of frames it took.
  int Load() {
    int frames = 0;
    for (; player->m_loadStep != 0 && frames < 100; ++frames) EXPECT_EQ(Frame(), 0) << "the decoding is hidden by the clear";
    return frames;
  }
  // The kit entries and voices that have a sound.
  Log Loaded() {
    Log names;
    for (int slot = 1; slot <= 8; ++slot) {
      if (player->m_drumsA[slot]) names.push_back("A" + std::to_string(slot));
      if (player->m_drumsB[slot]) names.push_back("B" + std::to_string(slot));
    }
    for (int v = 2; v <= 4; ++v) {
      if (player->m_voiceSound[v]) names.push_back("v" + std::to_string(v));
    }
    return names;
  }

  gxtkGraphics* device = nullptr;
  fs::path previous;
};

// The hand-made song: data in frames 0 to 3 for voices 0 and 2 only.
int Value(int p, int v, int s, int k) {
  if (p > 3 || (v != 0 && v != 2)) return 0;
  if (p == 0 && v == 0 && s == 0 && k < 2) return k == 0 ? 31 : 0;
  return (p * 7 + v * 3 + s * 5 + k * 11) % 32;
}

bbtest::Bytes HandMadeSong() {
  bbtest::Bytes rows;
  for (int y = 0; y < 512; ++y) {
    rows.push_back(0);
    for (int x = 0; x < 512; ++x) {
      const int p = (y / 64) * 8 + x / 64, v = (x % 64) / 8, k = x % 8, s = y % 64;
      int blue = Value(p, v, s, k) * 8 + (x + y) % 8;  // the low bits carry nothing
      if (p == 0 && v == 0 && s == 0 && k < 2) blue = k == 0 ? 255 : 7;
      if (p == 63 && v == 5) blue = 200;  // never decoded
      rows.insert(rows.end(), {static_cast<unsigned char>(x * 3 + y), static_cast<unsigned char>(255 - y),
                               static_cast<unsigned char>(blue), 255});
    }
  }
  return bbtest::Png(512, 512, 6, rows);
}

TEST_F(KxLoadingGl, ASongImageDecodesFromBlueAndLoadsInTwentyFourFramesWithTheInstrumentsItNames) {
  const std::string folder = bbtest::ScratchFolder() + "song/";
  fs::create_directories(folder + "data/inst");
  bbtest::WriteScratch("song/data/song.png", HandMadeSong());
  for (const char* name : {"d3-1", "d3-8", "d4-2", "lead5", "accompany6", "bass7"}) {
    ASSERT_TRUE(assetgen::writeWav(folder + "data/inst/" + name + ".wav", std::vector<float>(200, 0.25f), 22050));
  }
  fs::current_path(folder);
  player->m_songPath = String("song.png");
  for (int i = 1; i <= 5; ++i) player->m_instrument[i] = i + 2;
  player->m_loadStep = 1;
  EXPECT_EQ(Load(), 24);
  EXPECT_EQ(player->m_nextStepMs, Clock()->now + 100);
  ASSERT_TRUE(player->m_songImage);
  EXPECT_EQ(Loaded(), (Log{"A1", "B2", "A8", "v2", "v3", "v4"}));
  int wrong = 0;
  for (int i = 0; i < 64 * 4096; ++i) wrong += player->m_patterns[i] != Value(i / 4096, i / 512 % 8, i / 8 % 64, i % 8);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(std::vector<int>(player->m_patternCount.Data(), player->m_patternCount.Data() + 8),
            std::vector<int>({3, 0, 3, 0, 0, 0, 0, 0}));
  // A missing song image leaves the song silent and missing instruments their slots empty.
  player = NewPlayer();
  player->m_songPath = String("nothing.png");
  player->m_loadStep = 1;
  EXPECT_EQ(Load(), 24);
  EXPECT_FALSE(player->m_songImage);
  EXPECT_EQ(Loaded(), Log{});
}

TEST_F(KxLoadingGl, TheDemoSongLoadsFromTheDataFolderAndPlaysTheSameMusicEachTime) {
  fs::current_path(ZUDODO_SOURCE_DIR);
  bb_music_StartDemoSong(player);
  EXPECT_EQ(Load(), 24);
  EXPECT_EQ(Loaded().size(), 19u);
  // The patterns are exactly what the generator wrote.
  const std::vector<uint8_t> song = assetgen::makeDemoSongPatterns();
  int wrong = 0, highest[5] = {};
  for (int i = 0; i < 63 * 4096; ++i) {
    wrong += player->m_patterns[i] != song[size_t(i)];
    if (song[size_t(i)] && i / 512 % 8 < 5) highest[i / 512 % 8] = i / 4096;
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(std::vector<int>(player->m_patternCount.Data(), player->m_patternCount.Data() + 5), std::vector<int>(highest, highest + 5));

  // Eight bars into the loopback output, a step's worth of sound after every step.
  bbtest::Mix mix;
  Commands().clear();
  for (int step = 0; step < 8 * 64; ++step) {
    Tick();
    for (int ch = kBass; step == 63 && ch <= kDrumsA; ++ch) EXPECT_FALSE(Sent(ch, "play").empty()) << "every voice plays in the first bar";
    const bbtest::Mix part = out->Render(0.084);
    mix.left.insert(mix.left.end(), part.left.begin(), part.left.end());
    mix.right.insert(mix.right.end(), part.right.begin(), part.right.end());
  }
  EXPECT_GT(bbtest::Rms(mix.left), 0.03);
  EXPECT_GT(bbtest::Rms(mix.right), 0.03);
  float peak = 0;
  for (float x : mix.left) peak = std::max(peak, std::fabs(x));
  for (float x : mix.right) peak = std::max(peak, std::fabs(x));
  EXPECT_LT(peak, 1.0f) << "the mix clips";

  // Stopped, moved on and started again, the song plays exactly as before.
  const Log first = Commands();
  player->p_Kx_Stop(1);
  player->m_songSeed = 5;
  player->m_section = 12;
  bb_music_StartDemoSong(player);
  EXPECT_EQ(Load(), 24);
  Commands().clear();
  Tick(8 * 64);
  EXPECT_TRUE(Commands() == first);
}

}  // namespace
