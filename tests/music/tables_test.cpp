// The player's pitch table and its draw from the shared generator.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "music_support.h"
#include "runtime/host/app.h"

namespace {

using kxtest::NewPlayer;

class KxTables : public ::testing::Test {
 protected:
  void SetUp() override {
    gc_init();
    player = NewPlayer();
  }
  c_KxPlayer* player = nullptr;
};

TEST_F(KxTables, NotesAreEqualTemperedSemitonesAroundUnisonAndTheirKeysAgree) {
  const std::string keys = "zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]";
  EXPECT_EQ(player->p_GetPitch(13), 1.0f);
  EXPECT_EQ(player->p_GetPitch(1), 0.5f);
  EXPECT_EQ(player->p_GetPitch(25), 2.0f);
  for (int n = 1; n <= 32; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(player->p_GetPitch_Alpha(keys[static_cast<size_t>(n - 1)]), player->p_GetPitch(n));
    // The listed constants are rounded to about a tenth of a percent.
    EXPECT_NEAR(player->p_GetPitch(n), std::pow(2.0, (n - 13) / 12.0), 0.0015 * std::pow(2.0, (n - 13) / 12.0));
  }
}

TEST_F(KxTables, NotesAndKeysOutsideTheTablesGiveZero) {
  EXPECT_EQ(player->p_GetPitch(0), 0.0f);
  EXPECT_EQ(player->p_GetPitch(33), 0.0f);
  EXPECT_EQ(player->p_GetPitch(-1), 0.0f);
  EXPECT_EQ(player->p_GetPitch_Alpha(' '), 0.0f);
  EXPECT_EQ(player->p_GetPitch_Alpha('a'), 0.0f);
  EXPECT_EQ(player->p_GetPitch_Alpha('Q'), 0.0f);
  EXPECT_EQ(player->p_GetPitch_Alpha(0), 0.0f);
}

TEST_F(KxTables, RandStepsTheSharedGeneratorAndCoversItsWholeRange) {
  bb_random_Seed = 0;
  EXPECT_EQ(player->p_Rand(0, 1), 0);  // floor(1.99 * 0.23607)
  EXPECT_EQ(bb_random_Seed, 1013904223);
  // The same step as the runtime's own generator.
  bb_random_Seed = 4242;
  const float r = bb_random_Rnd();
  const int after = bb_random_Seed;
  bb_random_Seed = 4242;
  EXPECT_EQ(player->p_Rand(0, 62), static_cast<int>(std::floor(62.99f * r)));
  EXPECT_EQ(bb_random_Seed, after);

  int seen[5] = {};
  for (int i = 0; i < 2000; ++i) {
    const int n = player->p_Rand(0, 4);
    ASSERT_GE(n, 0);
    ASSERT_LE(n, 4);
    ++seen[n];
  }
  for (int n = 0; n < 5; ++n) EXPECT_GT(seen[n], 300) << n;
  for (int i = 0; i < 200; ++i) {
    const int n = player->p_Rand(3, 5);
    ASSERT_GE(n, 3);
    ASSERT_LE(n, 5);
  }
}

}  // namespace
