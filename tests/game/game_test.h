// game_test.h: a fresh headless game for each test, and its application object.
#pragma once

#include <gtest/gtest.h>

#include "harness.h"

using namespace gametest;

class GameTest : public ::testing::Test {
 protected:
  Game g;
  c_MyApp* a = g.app;
};
