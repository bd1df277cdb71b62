// exit_guard.cpp: the menus end the program with status 0 on the back key. A test that got
// there by mistake would end its process "successfully"; this guard turns such an exit into a
// failure unless the test has announced it (a death test expecting the quit).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace menutest {

bool gQuitExpected = false;

namespace {

void RefuseUnexpectedExit() {
  if (gQuitExpected) return;
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  if (!test) return;
  std::fprintf(stderr, "the program quit during %s.%s\n", test->test_suite_name(), test->name());
  std::fflush(stderr);
  _exit(1);
}

const int kInstalled = std::atexit(RefuseUnexpectedExit);

}  // namespace
}  // namespace menutest
