// The game object's creation, loader and screen flow, driven headless.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

using gametest::Game;

TEST(GameStart, CreationLoadsTheLogoAndFontAtOnceThenOneStepPerUpdate) {
  Game g;
  c_MyApp* app = g.app;
  EXPECT_EQ(app->m_Mode, 1);
  EXPECT_EQ(app->m_GameType, 2);
  EXPECT_EQ(app->m_LoadStep, 1);
  EXPECT_NE(app->m_Img[93], nullptr) << "the studio logo is there for the first loading screen";
  EXPECT_NE(app->m_Img[90], nullptr);
  EXPECT_EQ(app->m_Font, 90);
  EXPECT_EQ(app->m_Settings[5], 1);
  for (int i = 0; i < 33; ++i) EXPECT_EQ(app->m_SfxChannel[i], i);
  EXPECT_EQ(bb_app__updateRate, 60);

  g.Update();
  EXPECT_EQ(app->m_LoadStep, 2);
  EXPECT_NE(app->m_Img[97], nullptr);
  EXPECT_NE(app->m_Sfx[96], nullptr);
  g.FinishLoading();
  EXPECT_EQ(app->m_LoadStep, 0);
  // Every slot of the loader's table holds its image; a 640 x 480 window takes the "-hd" set.
  for (int slot : {1, 2, 3, 4, 5, 10, 80, 89, 90, 91, 93, 94, 95, 96, 97, 98, 99})
    EXPECT_NE(app->m_Img[slot], nullptr) << "slot " << slot;
  for (int n : {1, 2, 3, 10, 21, 95, 96, 98, 99}) EXPECT_NE(app->m_Sfx[n], nullptr) << "sound " << n;
  EXPECT_EQ(app->m_GfxLevel, 2);
  EXPECT_EQ(app->m_ImgScale, 0.5f);
  EXPECT_EQ(app->m_ImgInfo[3 * 1], 128) << "sizes are kept in loaded pixels";
  EXPECT_EQ(app->m_ImgInfo[3 * 90], 7) << "a font slot holds its advance";
  EXPECT_EQ(app->m_ImgInfo[3 * 90 + 1], 10);
}

}  // namespace
