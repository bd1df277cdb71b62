// session.cpp: the real game on the X display; see session.h.
#include "session.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <thread>

namespace e2e {
namespace {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs a shell command and returns what it printed.
std::string Capture(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

int Run(const std::string& command) { return std::system(command.c_str()); }

void Sleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Polls `done` every `step` seconds until it holds (true) or `seconds` have passed (false).
template <class Done>
bool Until(double seconds, double step, Done done) {
  for (const double deadline = Now() + seconds; !done(); Sleep(step))
    if (Now() > deadline) return false;
  return true;
}

bool UpdatingGoldens() {
  const char* update = std::getenv("GARVOLIN_UPDATE_GOLDEN");
  return update && *update && std::strcmp(update, "0") != 0;
}

std::string GoldenPath(const std::string& golden) { return E2E_SOURCE_DIR "/golden/" + golden + ".png"; }

// This test's screenshots, kept for a person to look at.
std::string ShotDir() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  return E2E_WORK_DIR "/shots/" + (info ? std::string(info->test_suite_name()) + "." + info->name() : "outside-a-test");
}

// A golden picture through ImageMagick, at the reduced size.
Picture ReadPicture(const std::string& path) {
  const std::string raw = Capture("convert " + Quote(path) + " -resize 160x120! -depth 8 rgb:- 2>/dev/null");
  if (raw.size() != 160 * 120 * 3) return {};
  return {160, 120, {raw.begin(), raw.end()}};
}

void WritePicture(const Picture& picture, const std::string& path) {
  if (picture.rgb.empty()) return;
  FILE* pipe = popen(("convert -size " + std::to_string(picture.width) + "x" + std::to_string(picture.height) +
                      " -depth 8 rgb:- " + Quote(path)).c_str(), "w");
  if (!pipe) return;
  std::fwrite(picture.rgb.data(), 1, picture.rgb.size(), pipe);
  pclose(pipe);
}

// A window that goes away between finding and grabbing it raises an X error; the grab then
// fails instead of ending the test.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

double Picture::Mismatch(const Picture& other, float x, float y, float w, float h) const {
  if (rgb.empty() || width != other.width || height != other.height) return 1;
  const int x1 = std::min(width, static_cast<int>(std::ceil((x + w) * width)));
  const int y1 = std::min(height, static_cast<int>(std::ceil((y + h) * height)));
  int differing = 0, total = 0;
  for (int py = static_cast<int>(y * height); py < y1; ++py) {
    for (int px = static_cast<int>(x * width); px < x1; ++px, ++total) {
      const size_t at = (static_cast<size_t>(py) * width + px) * 3;
      const unsigned char *a = &rgb[at], *b = &other.rgb[at];
      differing += std::abs(a[0] - b[0]) > 40 || std::abs(a[1] - b[1]) > 40 || std::abs(a[2] - b[2]) > 40;
    }
  }
  return total ? static_cast<double>(differing) / total : 1;
}

int Picture::Colours() const {
  std::set<unsigned> colours;
  for (size_t at = 0; at + 2 < rgb.size(); at += 3) colours.insert(rgb[at] << 16 | rgb[at + 1] << 8 | rgb[at + 2]);
  return static_cast<int>(colours.size());
}

Picture Picture::Reduced() const {
  if (rgb.empty()) return {};
  // A pixel goes to the small one whose span of rows (columns), from its index * height / 120 (width
  // / 160) up to where the next one starts, holds it.
  const auto to = [](int at, int from, int into) { return ((at + 1) * into + from - 1) / from - 1; };
  std::vector<unsigned> sum(160 * 120 * 3), count(160 * 120);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int at = to(y, height, 120) * 160 + to(x, width, 160);
      ++count[at];
      for (int c = 0; c < 3; ++c) sum[at * 3 + c] += rgb[(static_cast<size_t>(y) * width + x) * 3 + c];
    }
  Picture small{160, 120, std::vector<unsigned char>(sum.size())};
  for (size_t i = 0; i < sum.size(); ++i) small.rgb[i] = static_cast<unsigned char>(sum[i] / std::max(1u, count[i / 3]));
  return small;
}

std::string Session::FreshFolder(const std::string& name, bool data) {
  std::string folder = E2E_WORK_DIR "/" + name;
  Run("rm -rf " + Quote(ShotDir()) + " " + Quote(folder) + " && mkdir -p " + Quote(folder) +
      (data ? " && cp -r " + Quote(ZUDODO_SOURCE_DIR "/data") + " " + Quote(folder + "/data") : ""));
  return folder;
}

Session::Session(const std::string& folder, const std::string& wave, const std::string& program) : folder_(folder) {
  const std::string exe = program.empty() ? GARVOLIN_EXE : program;
  Run("mkdir -p " + Quote(ShotDir()));
  const std::string conf = folder + "/alsoft.conf";
  if (!wave.empty()) std::ofstream(conf) << "[wave]\nfile = " << wave << "\n";
  display_ = XOpenDisplay(nullptr);
  XSetErrorHandler(IgnoreXErrors);
  // A key held across a busy moment must stay one press, as a player's would.
  if (display_) XAutoRepeatOff(display_);
  std::fflush(nullptr);
  startedAt_ = Now();
  pid_ = fork();
  if (pid_ == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    if (!freopen("game.out", "w", stdout) || !freopen("game.err", "w", stderr)) _exit(126);
    setenv("ALSOFT_DRIVERS", wave.empty() ? "null" : "wave", 1);
    if (!wave.empty()) setenv("ALSOFT_CONF", conf.c_str(), 1);
    execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
}

Session::~Session() {
  WaitExit(0);
  if (display_) XCloseDisplay(display_);
}

bool Session::WaitWindow(double seconds) {
  bool found = false;
  Until(seconds, 0.1, [&] { return (found = FindWindow()) || !Running(); });
  return found;
}

bool Session::FindWindow() {
  // Going full screen and back opens a new window, so the window is looked up again each time.
  const unsigned long window = std::strtoul(
      Capture("xdotool search --onlyvisible --pid " + std::to_string(pid_) + " 2>/dev/null | tail -n 1").c_str(),
      nullptr, 10);
  if (window == 0) return false;
  if (window != window_) {
    window_ = window;
    // No window manager runs on the test display: give the window the focus as a desktop would.
    Run("xdotool windowfocus --sync " + std::to_string(window_) + " 2>/dev/null");
  }
  return true;
}

void Session::Size(int* w, int* h) {
  XWindowAttributes attributes;
  *w = *h = 0;
  if (display_ && FindWindow() && XGetWindowAttributes(display_, window_, &attributes))
    *w = attributes.width, *h = attributes.height;
}

std::string Session::Title() {
  const std::string title = FindWindow() ? Capture("xdotool getwindowname " + std::to_string(window_)) : "";
  return title.substr(0, title.find('\n'));
}

double Session::Key(const std::string& name, double hold, const std::string& expect) {
  const std::string before = lastGolden_;
  for (int attempt = 0;; ++attempt) {
    FindWindow();
    Run("xdotool keydown " + name);
    Sleep(hold);
    Run("xdotool keyup " + name);
    Sleep(0.1);
    if (expect.empty()) return 0;
    const double mismatch = WaitForScreen(expect, 5);
    if (mismatch <= 0.04 || attempt == 3 || before.empty() || UpdatingGoldens()) return mismatch;
    if (Grab().Reduced().Mismatch(ReadPicture(GoldenPath(before))) > 0.04) return mismatch;
  }
}

void Session::Click(int x, int y) {
  FindWindow();
  Run("xdotool mousemove --window " + std::to_string(window_) + " " + std::to_string(x) + " " +
      std::to_string(y) + " click 1");
  Sleep(0.1);
}

void Session::Type(const std::string& keys) {
  FindWindow();
  Run("xdotool key --delay 30 " + keys);
}

Picture Session::Grab() {
  Picture picture;
  // The window is looked up again when there is none yet, or when the one known cannot be grabbed.
  for (int attempt = 0; display_ && attempt < 2; ++attempt) {
    if ((window_ == 0 || attempt == 1) && !FindWindow()) break;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window_, &attributes) || attributes.map_state != IsViewable) continue;
    XImage* image = XGetImage(display_, window_, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) continue;
    picture.width = attributes.width;
    picture.height = attributes.height;
    picture.rgb.resize(static_cast<size_t>(picture.width) * picture.height * 3);
    unsigned char* out = picture.rgb.data();
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        const unsigned long pixel = XGetPixel(image, x, y);
        *out++ = static_cast<unsigned char>((pixel & image->red_mask) >> 16);
        *out++ = static_cast<unsigned char>((pixel & image->green_mask) >> 8);
        *out++ = static_cast<unsigned char>(pixel & image->blue_mask);
      }
    }
    XDestroyImage(image);
    break;
  }
  return picture;
}

void Session::Keep(const Picture& picture, const std::string& name) {
  static int counter = 0;
  WritePicture(picture, ShotDir() + "/" + std::to_string(100 + ++counter % 100).substr(1) + "-" + name + ".png");
}

Picture Session::Shot(const std::string& name) {
  Picture picture = Grab();
  Keep(picture, name);
  return picture;
}

double Session::WaitForScreen(const std::string& golden, double seconds, double share) {
  const std::string path = GoldenPath(golden);
  const double deadline = Now() + seconds;
  Picture now;
  // A golden picture is renewed once a run; later steps that show the same screen compare.
  static std::set<std::string> renewed;
  if (UpdatingGoldens() && renewed.insert(golden).second) {
    // The screen is taken once it has held still for two seconds: loading screens, banners and
    // slides do not. A screen that never does (checked with a looser tolerance) is taken half a
    // second in, and its golden picture kept once it exists: it is best chosen by hand from the
    // screenshots of a run.
    if (share > 0.05) {
      if (access(path.c_str(), F_OK) == 0) return 0;
      Sleep(0.5);
      now = Grab();
    } else {
      Picture still;
      for (double since = Now(); Now() < deadline && Now() - since < 2; Sleep(0.1)) {
        now = Grab();
        if (now.Reduced().Mismatch(still) >= 0.005) still = now.Reduced(), since = Now();
      }
    }
    Keep(now, golden);
    WritePicture(now.Reduced(), path);
    lastGolden_ = golden;
    return 0;
  }
  const Picture want = ReadPicture(path);
  double best = 1;
  do {
    now = Grab();
    const double mismatch = now.Reduced().Mismatch(want);
    if (mismatch <= share) {
      Keep(now, golden);
      lastGolden_ = golden;
      return mismatch;
    }
    best = std::min(best, mismatch);
    Sleep(0.02);
  } while (Now() < deadline);
  Keep(now, golden + "-MISMATCH");
  return best;
}

// xdotool can only destroy a window; a window manager asks it to close with WM_DELETE_WINDOW.
void Session::RequestClose() {
  if (!display_ || !FindWindow()) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window_;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window_, False, NoEventMask, &event);
  XFlush(display_);
}

bool Session::Running() {
  if (pid_ <= 0) return false;
  int status;
  pid_t done = waitpid(pid_, &status, WNOHANG);
  if (done == 0) return true;
  if (done == pid_) exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  pid_ = -1;
  return false;
}

int Session::WaitExit(double seconds) {
  if (Until(seconds, 0.05, [&] { return !Running(); })) return exitStatus_;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
  return -1;
}

bool Session::WaitOutput(const std::string& line, double seconds) {
  return Until(seconds, 0.02, [&] { return ("\n" + Output()).find("\n" + line + "\n") != std::string::npos; });
}

double Session::Seconds() const { return Now() - startedAt_; }

std::string Session::Output() const {
  std::ifstream in(folder_ + "/game.out");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Read through sox; OpenAL Soft's writer fixes the header's sizes only when the device closes, so
// the data is taken to the file's end.
double RecordedRms(const std::string& path, double from, double to, bool* closed) {
  const int rate = std::atoi(Capture("soxi -r " + Quote(path) + " 2>/dev/null").c_str());
  if (rate <= 0) return -1;
  const std::string raw = Capture("sox --ignore-length " + Quote(path) + " -t f32 -c 1 - 2>/dev/null");
  const size_t a = static_cast<size_t>(std::max(0.0, from) * rate);
  const size_t b = std::min(raw.size() / sizeof(float), static_cast<size_t>(std::max(0.0, to) * rate));
  if (closed) {
    const double header = std::atof(Capture("soxi -D " + Quote(path) + " 2>/dev/null").c_str());
    *closed = std::fabs(header - static_cast<double>(raw.size() / sizeof(float)) / rate) < 0.01;
  }
  double sum = 0;
  for (size_t i = a; i < b; ++i) {
    float sample;
    std::memcpy(&sample, &raw[i * sizeof sample], sizeof sample);
    sum += static_cast<double>(sample) * sample;
  }
  return b > a ? std::sqrt(sum / static_cast<double>(b - a)) : 0;
}

}  // namespace e2e
