// Output lines and the runtime-error path: bbPrint's encoding, quitting, the debugger stop's
// commands over standard input, fatal signals and uncaught exceptions.
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

#include "runtime/host/error.h"
#include "runtime/host/game.h"
#include "runtime/object/gc.h"
#include "runtime/object/object.h"

namespace {

// Feeds text to standard input and sends standard output to standard error, so that a death
// test sees everything the process wrote.
void FeedStdin(const std::string& text) {
  std::FILE* f = std::tmpfile();
  std::fwrite(text.data(), 1, text.size(), f);
  std::rewind(f);
  dup2(fileno(f), 0);
  std::clearerr(stdin);
  dup2(2, 1);
}

TEST(Output, PrintWritesUtf8Lines) {
  testing::internal::CaptureStdout();
  const Char units[] = {u'c', u'a', u'f', 0xe9};
  bbPrint(String(units, 4));
  bbDebugLog(String("two"));
  bbPrint(String());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "caf\xc3\xa9\ntwo\n\n");
}

// Reports a runtime error with the given debugger commands waiting on standard input.
void StopWith(const std::string& input, const char* message) {
  FeedStdin(input);
  bbError(String(message));
}

TEST(RuntimeError, DebuggerStopCommandsSignalsAndAnEmptyMessage) {
  auto boom = [] { bbError(String("boom")); };
  const char* const again = "Runtime Error : boom(.|\n)*Runtime Error : boom";  // the report repeats
  const struct {
    const char* input;
    std::function<void()> stop;
    int status;
    const char* output;
  } cases[] = {
      {"", boom, 255, "Runtime Error : boom\n\n\\{\\{~~~~\\}\\}"},  // the end of input: status -1
      {"?\nr\nq\n", boom, 0, again},  // "?" reads on, "r" resumes, "q" quits with status 0
      {"s\n", boom, 255, again},  // "s" returns from the stop; the error is reported again
      {"zap\n", boom, 255, "\\?\\?\\?\\?\\? zap \\?\\?\\?\\?\\?"},  // unknown: echoed, status -1
      {"?", boom, 255, "boom"},  // a last line without a line break ends it too
      {"", [] { bbError(String()); }, 0, "^$"},  // an empty message quits silently
      {"", [] { bbInstallSignalHandlers(), std::raise(SIGFPE); }, 255, "Error : Floating point exception"},
      {"", [] { sighandler(99); }, 255, "Runtime Error : Unknown signal"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    EXPECT_EXIT((FeedStdin(c.input), c.stop()), ::testing::ExitedWithCode(c.status), c.output);
  }
}

// "@<address>" shows an object the collector holds; a stack address, a wild one and a non-number
// each print an empty line and the stop reads on.
TEST(RuntimeError, ObjectDisplayOnlyForObjectsTheCollectorHolds) {
  gc_init();
  int on_stack = 0;
  char held[64], bogus[64];
  std::snprintf(held, sizeof held, "@%p\nq\n", static_cast<void*>(new Object));
  std::snprintf(bogus, sizeof bogus, "@%p\n@0x10\n@zz\n@\nq\n", static_cast<void*>(&on_stack));
  EXPECT_EXIT(StopWith(held, "inspect"), ::testing::ExitedWithCode(0), "\\+Object");
  EXPECT_EXIT(StopWith(bogus, "inspect"), ::testing::ExitedWithCode(0), "\\{\\{~~~~\\}\\}\n\n\n\n\n\n$");
}

TEST(RuntimeError, UncaughtExceptionFromGameCodeDies) {
  gc_init();
  struct Thrower : BBGameDelegate {
    void UpdateGame() override { throw new ThrowableObject; }
  };
  BBGame host;
  host.SetDelegate(new Thrower);
  host.StartGame();
  EXPECT_EXIT((dup2(2, 1), host.UpdateGame()), ::testing::ExitedWithCode(255),
              "Runtime Error : Uncaught Exception");
}

}  // namespace
