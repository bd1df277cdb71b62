// The real window under an X server: title and size, keys and characters from real X events
// arriving with the runtime's codes, and a close request ending the process with status 0.
// Runs the window_probe program; needs DISPLAY (the test command provides Xvfb).
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::string Shell(const std::string& command) {
  std::string out;
  if (std::FILE* p = popen(command.c_str(), "r")) {
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  return out;
}

// The probe process with its standard output on a pipe.
class Probe {
 public:
  bool Start() {
    int fds[2];
    if (pipe(fds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    char* args[] = {const_cast<char*>(ZUDODO_PROBE), nullptr};
    int rc = posix_spawn(&pid_, ZUDODO_PROBE, &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out_ = fds[0];
    return rc == 0;
  }
  ~Probe() {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
  }
  // Reads output until a line equal to want arrives (true) or the time runs out (false).
  bool WaitFor(const std::string& want, int ms = 10000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
      for (size_t nl; (nl = buffer_.find('\n')) != std::string::npos;) {
        std::string line = buffer_.substr(0, nl);
        buffer_.erase(0, nl + 1);
        lines.push_back(line);
        if (line == want) return true;
      }
      int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      end - std::chrono::steady_clock::now()).count());
      if (left <= 0) return false;
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, left) <= 0) return false;
      char buf[256];
      ssize_t n = read(out_, buf, sizeof buf);
      if (n <= 0) return false;
      buffer_.append(buf, static_cast<size_t>(n));
    }
  }
  // Waits for the process to end; returns its exit status, or -1000 on timeout or a signal.
  int Wait(int ms = 10000) {
    for (int waited = 0; waited < ms; waited += 20) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reaped_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
      }
      usleep(20000);
    }
    return -1000;
  }
  pid_t pid() const { return pid_; }
  std::vector<std::string> lines;

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  bool reaped_ = false;
  std::string buffer_;
};

class RealWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    ASSERT_TRUE(probe.Start());
    ASSERT_TRUE(probe.WaitFor("ready")) << "the probe never ran an update";
    window = Shell("xdotool search --sync --onlyvisible --pid " + std::to_string(probe.pid()) + " | head -n1");
    while (!window.empty() && (window.back() == '\n')) window.pop_back();
    ASSERT_FALSE(window.empty());
    // No window manager runs under Xvfb: give the window the keyboard focus ourselves.
    Shell("xdotool windowfocus --sync " + window);
  }
  // Sends keys through the X test extension and waits until the probe reports the marker key's hit.
  void Keys(const std::string& keys) {
    Shell("xdotool key --delay 30 " + keys + " F9");
    ASSERT_TRUE(probe.WaitFor("hit 120")) << "F9 marks the end of a key sequence";
  }
  bool Saw(const std::string& line) const {
    for (const auto& l : probe.lines)
      if (l == line) return true;
    return false;
  }

  Probe probe;
  std::string window;
};

TEST_F(RealWindow, TitleAndSize) {
  EXPECT_NE(Shell("xprop -id " + window + " WM_NAME").find("\"Garvolin Zudodo\""), std::string::npos);
  std::string info = Shell("xwininfo -id " + window);
  EXPECT_NE(info.find("Width: 640"), std::string::npos) << info;
  EXPECT_NE(info.find("Height: 480"), std::string::npos) << info;
  Shell(std::string(ZUDODO_CLOSE) + " " + window);
  EXPECT_EQ(probe.Wait(), 0);
}

TEST_F(RealWindow, KeysAndCharactersArriveWithRuntimeCodes) {
  Keys("Right a shift+b Delete Alt_L KP_Add F1");
  for (const char* want : {"hit 39", "char 65575", "hit 65", "char 97", "hit 16", "hit 66",
                           "char 66", "hit 46", "char 127", "hit 107", "char 43", "hit 112"})
    EXPECT_TRUE(Saw(want)) << want;
  // The left Alt key has no runtime code: nothing but the keys above may have been reported.
  for (const auto& l : probe.lines)
    if (l.rfind("hit ", 0) == 0) {
      int code = std::atoi(l.c_str() + 4);
      EXPECT_TRUE(code == 39 || code == 65 || code == 16 || code == 66 || code == 46 ||
                  code == 107 || code == 112 || code == 120)
          << l;
    }
  Shell(std::string(ZUDODO_CLOSE) + " " + window);
  EXPECT_EQ(probe.Wait(), 0);
}

TEST_F(RealWindow, MouseClicksArriveInWindowPixels) {
  Shell("xdotool mousemove --window " + window + " 100 50 click 1");
  ASSERT_TRUE(probe.WaitFor("mouse 100 50"));
  EXPECT_TRUE(Saw("hit 1"));
  EXPECT_TRUE(probe.WaitFor("hit 384")) << "touch 0 goes with the left button";
  Shell(std::string(ZUDODO_CLOSE) + " " + window);
  EXPECT_EQ(probe.Wait(), 0);
}

}  // namespace
