// Loading through real OpenGL: the render hook's loading steps, pattern decoding by drawing each
// frame of the song image and reading it back, and the demo song from the game's data folder
// loaded, decoded and played into OpenAL Soft's loopback output.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audio.h"
#include "game/music/demo_song.h"
#include "music.h"
#include "music_support.h"
#include "runtime/graphics/graphics.h"
#include "tests/graphics/graphics_support.h"

namespace {

namespace fs = std::filesystem;
using kxtest::Command;

class KxLoadingGl : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
    ASSERT_TRUE(bbtest::OpenTestWindow(kxtest::Clock())) << "a display is set but no OpenGL window could be opened";
    if (!bb_graphics_context) gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
    device = new gxtkGraphics;
    bb_graphics_SetGraphicsDevice(device);
    out = std::make_unique<kxtest::Loopback>();
    previous = fs::current_path();
  }
  void TearDown() override {
    if (!previous.empty()) fs::current_path(previous);
    if (!scratch.empty()) fs::remove_all(scratch);
    out.reset();
  }

  // A scratch working folder with a data folder, made current.
  fs::path Scratch() {
    std::string pattern = (fs::temp_directory_path() / "zudodo-music-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    scratch = pattern;
    fs::create_directories(scratch / "data");
    fs::current_path(scratch);
    return scratch / "data";
  }

  // One rendered frame as the game renders it: the player's hook first. Returns the colour (0xRRGGBB)
  // of a pixel inside the decoding area right after the hook.
  int Frame(c_KxPlayer* player) {
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
  int Load(c_KxPlayer* player) {
    int frames = 0;
    while (player->m_loadStep != 0 && frames < 100) {
      EXPECT_EQ(Frame(player), 0) << "the decoding is hidden by the clear";
      ++frames;
    }
    return frames;
  }

  gxtkGraphics* device = nullptr;
  std::unique_ptr<kxtest::Loopback> out;
  fs::path previous, scratch;
};

// The hand-made song: data in frames 0 to 3 for voices 0 and 2 only.
int Value(int p, int v, int s, int k) {
  if (p > 3 || (v != 0 && v != 2)) return 0;
  if (p == 0 && v == 0 && s == 0 && k == 0) return 31;
  if (p == 0 && v == 0 && s == 0 && k == 1) return 0;
  return (p * 7 + v * 3 + s * 5 + k * 11) % 32;
}

std::vector<unsigned char> HandMadeSong() {
  const int size = 512;
  std::vector<unsigned char> rows;
  for (int y = 0; y < size; ++y) {
    rows.push_back(0);
    for (int x = 0; x < size; ++x) {
      const int p = (y / 64) * 8 + x / 64, v = (x % 64) / 8, k = x % 8, s = y % 64;
      int blue = Value(p, v, s, k) * 8 + (x + y) % 8;  // the low bits carry nothing
      if (p == 0 && v == 0 && s == 0 && k == 0) blue = 255;
      if (p == 0 && v == 0 && s == 0 && k == 1) blue = 7;
      if (p == 63 && v == 5) blue = 200;  // never decoded
      rows.insert(rows.end(), {static_cast<unsigned char>(x * 3 + y), static_cast<unsigned char>(255 - y),
                               static_cast<unsigned char>(blue), 255});
    }
  }
  return bbtest::Png(size, size, 6, rows);
}

TEST_F(KxLoadingGl, ASongImageDecodesFromBlueAndLoadsInTwentyFourFramesWithItsInstruments) {
  const fs::path data = Scratch();
  const std::vector<unsigned char> png = HandMadeSong();
  std::FILE* f = std::fopen((data / "song.png").c_str(), "wb");
  ASSERT_TRUE(f);
  std::fwrite(png.data(), 1, png.size(), f);
  std::fclose(f);
  for (const char* name : {"d3-1", "d3-8", "d4-2", "lead5", "accompany6", "bass7"}) {
    ASSERT_TRUE(assetgen::writeWav((data / "inst" / (std::string(name) + ".wav")).string(), std::vector<float>(200, 0.25f), 22050));
  }

  c_KxPlayer* player = kxtest::NewPlayer();
  for (int slot = 1; slot <= 8; ++slot) player->m_drumsA[slot] = player->m_drumsB[slot] = nullptr;
  for (int v = 2; v <= 4; ++v) player->m_voiceSound[v] = nullptr;
  player->m_songPath = String("song.png");
  const int numbers[] = {0, 3, 4, 5, 6, 7};
  for (int i = 1; i <= 5; ++i) player->m_instrument[i] = numbers[i];
  player->m_loadStep = 1;
  for (int frame = 0; frame < 23; ++frame) Frame(player);
  EXPECT_EQ(player->m_loadStep, 70);
  Frame(player);
  EXPECT_EQ(player->m_loadStep, 0);
  EXPECT_EQ(player->m_nextStepMs, kxtest::Clock()->now + 100);

  ASSERT_TRUE(player->m_songImage);
  EXPECT_EQ(player->m_songImage->m_frames.Length(), 64);
  for (int slot = 1; slot <= 8; ++slot) {
    EXPECT_EQ(player->m_drumsA[slot] != nullptr, slot == 1 || slot == 8) << slot;
    EXPECT_EQ(player->m_drumsB[slot] != nullptr, slot == 2) << slot;
  }
  for (int v = 2; v <= 4; ++v) EXPECT_TRUE(player->m_voiceSound[v]) << v;

  EXPECT_EQ(player->m_patterns[c_KxPlayer::kNote], 31);    // blue 255
  EXPECT_EQ(player->m_patterns[c_KxPlayer::kVolume], 0);   // blue 7
  int wrong = 0;
  for (int p = 0; p < 64; ++p) {
    for (int v = 0; v < 8; ++v) {
      for (int s = 0; s < 64; ++s) {
        for (int k = 0; k < 8; ++k) {
          const int got = player->m_patterns[p * 4096 + v * 512 + s * 8 + k];
          if (got != Value(p, v, s, k) && wrong++ < 5) {
            ADD_FAILURE() << "pattern " << p << " voice " << v << " step " << s << " value " << k << ": " << got;
          }
        }
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  const int counts[8] = {3, 0, 3, 0, 0, 0, 0, 0};
  for (int v = 0; v < 8; ++v) EXPECT_EQ(player->m_patternCount[v], counts[v]) << v;
}

TEST_F(KxLoadingGl, AMissingSongImageLeavesTheSongSilentAndLoadingStillEnds) {
  Scratch();
  c_KxPlayer* player = kxtest::NewPlayer();
  player->m_songPath = String("nothing.png");
  player->m_loadStep = 1;
  EXPECT_EQ(Load(player), 24);
  EXPECT_FALSE(player->m_songImage);
  for (int v = 0; v < 8; ++v) EXPECT_EQ(player->m_patternCount[v], 0);
  // Instruments that are not there leave empty slots.
  EXPECT_FALSE(player->m_drumsA[1]);
  EXPECT_FALSE(player->m_voiceSound[2]);
}

TEST_F(KxLoadingGl, TheDemoSongLoadsFromTheDataFolderAndPlaysTheSameMusicEachTime) {
  fs::current_path(ZUDODO_SOURCE_DIR);
  c_KxPlayer* player = kxtest::NewPlayer();
  player->p_Kx_Stop(1);
  bb_music_StartDemoSong(player);
  EXPECT_EQ(Load(player), 24);

  // The patterns are exactly what the generator wrote.
  const std::vector<uint8_t> song = assetgen::makeDemoSongPatterns();
  int wrong = 0;
  for (int i = 0; i < 63 * 4096; ++i) wrong += player->m_patterns[i] != song[size_t(i)];
  EXPECT_EQ(wrong, 0);
  for (int v = 0; v < 5; ++v) {
    int highest = 0;
    for (int p = 0; p < 63; ++p) {
      for (int i = 0; i < 512; ++i) {
        if (song[size_t(assetgen::songIndex(p, v, 0, 0) + i)]) highest = p;
      }
    }
    EXPECT_EQ(player->m_patternCount[v], highest) << v;
  }
  for (int slot = 1; slot <= 8; ++slot) {
    EXPECT_TRUE(player->m_drumsA[slot]) << slot;
    EXPECT_TRUE(player->m_drumsB[slot]) << slot;
  }
  for (int v = 2; v <= 4; ++v) EXPECT_TRUE(player->m_voiceSound[v]) << v;

  // Eight bars into the loopback output, a step's worth of sound after every step.
  const int frames = 84 * kxtest::Loopback::kRate / 1000;
  std::vector<float> mix;
  out->audio->log.clear();
  for (int step = 0; step < 8 * 64; ++step) {
    kxtest::Tick(player);
    if (step == 63) {
      // Every voice plays in the first bar.
      for (int ch = 27; ch <= 31; ++ch) EXPECT_FALSE(out->audio->Of(Command::Play, ch).empty()) << ch;
    }
    const std::vector<float> part = out->Render(frames);
    mix.insert(mix.end(), part.begin(), part.end());
  }
  const std::vector<kxtest::Event> first = kxtest::Heard(out->audio->log, player);
  double left = 0, right = 0;
  float peak = 0;
  for (size_t i = 0; i < mix.size(); i += 2) {
    left += double(mix[i]) * mix[i];
    right += double(mix[i + 1]) * mix[i + 1];
    peak = std::max(peak, std::max(std::fabs(mix[i]), std::fabs(mix[i + 1])));
  }
  const double frameCount = double(mix.size() / 2);
  EXPECT_GT(std::sqrt(left / frameCount), 0.03);
  EXPECT_GT(std::sqrt(right / frameCount), 0.03);
  EXPECT_LT(peak, 1.0f) << "the mix clips";

  // Stopped, moved on and started again, the song plays exactly as before.
  player->p_Kx_Stop(1);
  player->m_songSeed = 5;
  player->m_section = 12;
  bb_music_StartDemoSong(player);
  EXPECT_EQ(Load(player), 24);
  out->audio->log.clear();
  for (int step = 0; step < 8 * 64; ++step) kxtest::Tick(player);
  EXPECT_TRUE(kxtest::Heard(out->audio->log, player) == first);
}

}  // namespace
