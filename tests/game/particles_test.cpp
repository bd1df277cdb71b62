// Particles, the trail history, speech bubbles and the small random helper.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "harness.h"

namespace {

using gametest::Game;

int Busy(c_MyApp* app) {
  int n = 0;
  for (int s = 0; s <= app->m_PartCount; ++s) n += app->m_Parts[s * 10] != 0;
  return n;
}

TEST(Particles, AThrowFillsTheLastFreeSlotAndFlies) {
  Game g;
  c_MyApp* app = g.app;
  app->p_ResetParticles(250);
  app->p_ThrowParticle(100, 200, 1, 5, 0, 4);
  const float* p = app->m_Parts.Data() + 250 * 10;
  EXPECT_EQ(p[0], 1);
  EXPECT_NEAR(p[3], 0, 1e-6f) << "angle 0 is straight up";
  EXPECT_FLOAT_EQ(p[4], -4);
  app->p_ThrowParticle(0, 0, 2, 1, 90, 2);
  const float* q = app->m_Parts.Data() + 249 * 10;
  EXPECT_FLOAT_EQ(q[3], 2) << "90 degrees is to the right";
  EXPECT_NEAR(q[4], 0, 1e-6f);
  // Random angles and speeds stay within their ranges.
  for (int i = 0; i < 100; ++i) app->p_ThrowParticle(0, 0, 1, 1, kOmittedF, kOmittedF);
  for (int s = 149; s <= 248; ++s) {
    const float* r = app->m_Parts.Data() + s * 10;
    float speed = std::hypot(r[3], r[4]);
    EXPECT_GE(speed, 2.999f);
    EXPECT_LT(speed, 8.001f);
  }
}

TEST(Particles, AFullPoolDropsThrowsUntilAParticleDies) {
  Game g;
  c_MyApp* app = g.app;
  app->p_ResetParticles(250);
  for (int i = 0; i < 300; ++i) app->p_ThrowParticle(0, 0, 1, 3, 10, 1);
  EXPECT_EQ(Busy(app), 251);
  EXPECT_EQ(app->p_FreeParticle(), -1);
  app->m_Parts[7 * 10 + 7] = 0.005f;  // nearly spent
  app->p_DoParticles();
  EXPECT_EQ(Busy(app), 250);
  EXPECT_EQ(app->p_FreeParticle(), 70);
  app->p_ThrowParticle(0, 0, 1, 3, 10, 1);
  EXPECT_EQ(Busy(app), 251);
}

TEST(Particles, ParticlesMoveFallFadeAndAreDrawnAgainstTheCamera) {
  Game g;
  c_MyApp* app = g.app;
  app->p_ResetParticles(250);
  app->m_CamX = 10;
  app->m_CamY = 20;
  app->p_ThrowParticle(50, 50, 2, 9, 90, 5);
  float* p = app->m_Parts.Data() + 250 * 10;
  p[7] = 1.2f;
  app->m_DrawCount = 0;
  app->p_DoParticles();
  EXPECT_LT(p[3], 5) << "falling particles slow sideways";
  EXPECT_GT(p[4], 0) << "and gain speed downwards";
  ASSERT_EQ(g.Entries(), 1);
  const float* e = g.Entry(0);
  EXPECT_FLOAT_EQ(e[1], 45) << "drawn against the camera";
  EXPECT_NEAR(e[2], 30, 1e-5f);
  EXPECT_EQ(e[7], 1) << "alpha is the life, capped at 1";
  // A particle lives on until its life drops below 0, fading over the last 100 frames.
  int frames = 1;
  while (p[0] != 0 && frames < 500) {
    app->p_DoParticles();
    ++frames;
  }
  EXPECT_NEAR(frames, 120, 1) << "life 1.2 at 0.01 a frame";
  EXPECT_EQ(app->m_DrawSX, 1);
  EXPECT_EQ(app->m_DrawR, 255) << "the draw state is left reset";
}

TEST(Particles, ResetKeepsThePoolSizeOutsideItsRange) {
  Game g;
  c_MyApp* app = g.app;
  app->p_ResetParticles(40);
  EXPECT_EQ(app->m_PartCount, 40);
  for (int i = 0; i < 60; ++i) app->p_ThrowParticle(0, 0, 1, 1, 0, 1);
  EXPECT_EQ(Busy(app), 41);
  app->p_ResetParticles(0);
  EXPECT_EQ(app->m_PartCount, 40);
  EXPECT_EQ(Busy(app), 0);
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
    app->m_Vars[3] = 0.5f;
    app->m_Vars[2] = 3;
    app->m_Vars[4] = -0.25f;
    app->m_Vars[5] = static_cast<float>(i % 4 * 90);
    app->p_enTrail();
  }
  for (int e = 0; e < 52; ++e) {
    EXPECT_EQ(app->m_Trail[e * 5], static_cast<float>(8 + e) + 0.5f) << e;
    EXPECT_EQ(app->m_Trail[e * 5 + 1], 2.75f);
    EXPECT_EQ(app->m_Trail[e * 5 + 2], static_cast<float>((8 + e) % 4 * 90));
  }
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
  ASSERT_GE(g.Entries(), 5);
  EXPECT_EQ(g.Entry(0)[0], c_MyApp::kRectMarker) << "the box first, then the lines";
  EXPECT_EQ(g.Entry(0)[1], 400 - 100 - 180) << "centred on the speaker against the camera";
  EXPECT_EQ(g.RecordedText(), "abcd");
  EXPECT_EQ(g.Entries(), 5) << "the empty middle line draws nothing";
  EXPECT_NEAR(g.Entry(3)[2] - g.Entry(1)[2], 40, 1e-4f) << "the outer lines are 40 units apart";
  EXPECT_EQ(app->m_DrawSX, 1);
}

}  // namespace
