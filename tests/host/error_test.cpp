// Output lines and the runtime-error path: bbPrint's encoding, quitting, the debugger stop's
// commands over standard input, fatal signals and uncaught exceptions.
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <cstdio>
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

TEST(RuntimeError, EmptyMessageQuitsSilentlyWithStatusZero) {
  EXPECT_EXIT(
      {
        dup2(2, 1);
        bbError(String());
      },
      ::testing::ExitedWithCode(0), "^$");
}

// Reports a runtime error with the given debugger commands waiting on standard input.
void StopWith(const std::string& input, const char* message) {
  FeedStdin(input);
  bbError(String(message));
}

TEST(RuntimeError, DebuggerStopCommands) {
  const struct {
    const char* input;
    int status;
    const char* output;
  } cases[] = {
      // At the end of input the stop ends the process with -1.
      {"", 255, "Runtime Error : boom\n\n\\{\\{~~~~\\}\\}"},
      // "?" reads on, "r" resumes (the report repeats), "q" quits with status 0.
      {"?\nr\nq\n", 0, "Runtime Error : boom(.|\n)*Runtime Error : boom"},
      // "s" returns from the stop; the loop reports again and hits end of input.
      {"s\n", 255, "Runtime Error : boom(.|\n)*Runtime Error : boom"},
      // An unknown command is echoed and ends the process with -1.
      {"zap\n", 255, "\\?\\?\\?\\?\\? zap \\?\\?\\?\\?\\?"},
      // A last line without a line break ends it too.
      {"?", 255, "boom"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    EXPECT_EXIT(StopWith(c.input, "boom"), ::testing::ExitedWithCode(c.status), c.output);
  }
}

TEST(RuntimeError, ObjectDisplayOnlyForObjectsTheCollectorHolds) {
  gc_init();
  Object* held = new Object;
  char address[64];
  std::snprintf(address, sizeof address, "@%p\n", static_cast<void*>(held));
  int on_stack = 0;
  char bogus[64];
  std::snprintf(bogus, sizeof bogus, "@%p\n", static_cast<void*>(&on_stack));
  EXPECT_EXIT(StopWith(std::string(address) + "q\n", "inspect"), ::testing::ExitedWithCode(0), "\\+Object");
  // A stack address, a wild one and a non-number each print an empty line and go on.
  EXPECT_EXIT(StopWith(std::string(bogus) + "@0x10\n@zz\n@\nq\n", "inspect"), ::testing::ExitedWithCode(0),
              "\\{\\{~~~~\\}\\}\n\n\n\n\n\n$");
}

TEST(RuntimeError, FatalSignalsReportTheirNames) {
  EXPECT_EXIT(
      {
        FeedStdin("");
        bbInstallSignalHandlers();
        std::raise(SIGFPE);
      },
      ::testing::ExitedWithCode(255), "Runtime Error : Floating point exception");
  EXPECT_EXIT(
      {
        FeedStdin("");
        sighandler(99);
      },
      ::testing::ExitedWithCode(255), "Runtime Error : Unknown signal");
}

TEST(RuntimeError, UncaughtExceptionFromGameCodeDies) {
  gc_init();
  struct Thrower : BBGameDelegate {
    void UpdateGame() override { throw new ThrowableObject; }
  };
  EXPECT_EXIT(
      {
        dup2(2, 1);
        BBGame host;
        host.SetDelegate(new Thrower);
        host.StartGame();
        host.UpdateGame();
      },
      ::testing::ExitedWithCode(255), "Runtime Error : Uncaught Exception");
}

}  // namespace
