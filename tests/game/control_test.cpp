// Game actions from keys, joysticks and virtual keys; the control axes; hit tests.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

using gametest::Game;

TEST(Controls, KeysReportTheirActions) {
  Game g;
  EXPECT_EQ(g.app->p_PlayKey(0, 0, -1), 0);
  g.KeyDown(38);
  EXPECT_EQ(g.app->p_PlayKey(0, 0, -1), 1);
  EXPECT_EQ(g.app->p_PlayKey(0, 0, -2), 0) << "ports below -1 report nothing";
}

}  // namespace
