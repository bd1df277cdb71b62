// The display list, the draw state, bitmap text and the render pass's scaling.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

using gametest::Game;

TEST(DisplayList, HoldsAtMost2499EntriesAFrame) {
  Game g;
  g.app->p_CLS2D(0, 0, 0, 1);
  for (int i = 0; i < 2600; ++i) g.app->p_Rect(static_cast<float>(i), 0, 1, 1);
  EXPECT_EQ(g.Entries(), 2499);
  EXPECT_EQ(g.Entry(2498)[1], 2498.0f);
}

}  // namespace
