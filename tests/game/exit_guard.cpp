// exit_guard.cpp: the menus end the program with status 0 on the back key. A test that got there
// by mistake would end its process "successfully"; this turns such an exit into a failure unless
// the test has announced it (a death test expecting the quit).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace gametest {

bool gQuitExpected = false;

static const int kInstalled = std::atexit([] {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  if (gQuitExpected || !test) return;
  std::fprintf(stderr, "the program quit during %s.%s\n", test->test_suite_name(), test->name());
  _exit(1);
});

}  // namespace gametest
