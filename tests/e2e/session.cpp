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
#include <sstream>
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
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

int Run(const std::string& command) { return std::system(command.c_str()); }

void Sleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool UpdatingGoldens() {
  const char* update = std::getenv("GARVOLIN_UPDATE_GOLDEN");
  return update && *update && std::strcmp(update, "0") != 0;
}

// The current test's name, for the names of its screenshots.
std::string TestName() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  return info ? std::string(info->test_suite_name()) + "." + info->name() : "outside-a-test";
}

// A window that goes away between finding and grabbing it raises an X error; the grab then
// fails instead of ending the test.
int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

double Picture::Mismatch(const Picture& other, int tolerance) const {
  return Mismatch(other, 0, 0, 1, 1, tolerance);
}

double Picture::Mismatch(const Picture& other, float x, float y, float w, float h, int tolerance) const {
  if (Empty() || width != other.width || height != other.height) return 1;
  int x0 = static_cast<int>(x * width), y0 = static_cast<int>(y * height);
  int x1 = std::min(width, static_cast<int>(std::ceil((x + w) * width)));
  int y1 = std::min(height, static_cast<int>(std::ceil((y + h) * height)));
  int differing = 0, total = 0;
  for (int py = y0; py < y1; ++py) {
    for (int px = x0; px < x1; ++px) {
      size_t at = (static_cast<size_t>(py) * width + px) * 3;
      bool differs = false;
      for (int c = 0; c < 3; ++c) differs |= std::abs(rgb[at + c] - other.rgb[at + c]) > tolerance;
      differing += differs;
      ++total;
    }
  }
  return total ? static_cast<double>(differing) / total : 1;
}

int Picture::Colours() const {
  std::set<unsigned> colours;
  for (size_t at = 0; at + 2 < rgb.size(); at += 3) colours.insert(rgb[at] << 16 | rgb[at + 1] << 8 | rgb[at + 2]);
  return static_cast<int>(colours.size());
}

Picture Picture::Reduced(int w, int h) const {
  Picture small;
  if (Empty() || w <= 0 || h <= 0) return small;
  small.width = w;
  small.height = h;
  small.rgb.resize(static_cast<size_t>(w) * h * 3);
  for (int y = 0; y < h; ++y) {
    const int y0 = y * height / h, y1 = std::max(y0 + 1, (y + 1) * height / h);
    for (int x = 0; x < w; ++x) {
      const int x0 = x * width / w, x1 = std::max(x0 + 1, (x + 1) * width / w);
      unsigned sum[3] = {0, 0, 0};
      for (int py = y0; py < y1; ++py)
        for (int px = x0; px < x1; ++px)
          for (int c = 0; c < 3; ++c) sum[c] += rgb[(static_cast<size_t>(py) * width + px) * 3 + c];
      const unsigned n = static_cast<unsigned>((y1 - y0) * (x1 - x0));
      for (int c = 0; c < 3; ++c) small.rgb[(static_cast<size_t>(y) * w + x) * 3 + c] = static_cast<unsigned char>(sum[c] / n);
    }
  }
  return small;
}

void WritePicture(const Picture& picture, const std::string& path) {
  if (picture.Empty()) return;
  FILE* pipe = popen(("convert -size " + std::to_string(picture.width) + "x" + std::to_string(picture.height) +
                      " -depth 8 rgb:- " + Quote(path)).c_str(),
                     "w");
  if (!pipe) return;
  std::fwrite(picture.rgb.data(), 1, picture.rgb.size(), pipe);
  pclose(pipe);
}

Picture ReadPicture(const std::string& path, int w, int h) {
  Picture picture;
  std::string raw = Capture("convert " + Quote(path) + " -resize " + std::to_string(w) + "x" + std::to_string(h) +
                            "! -depth 8 rgb:- 2>/dev/null");
  if (raw.size() != static_cast<size_t>(w) * h * 3) return picture;
  picture.width = w;
  picture.height = h;
  picture.rgb.assign(raw.begin(), raw.end());
  return picture;
}

std::string GoldenDir() { return E2E_SOURCE_DIR "/golden"; }
std::string ShotDir() { return E2E_WORK_DIR "/shots/" + TestName(); }

std::string Session::FreshFolder(const std::string& name, bool data) {
  std::string folder = E2E_WORK_DIR "/" + name;
  Run("rm -rf " + Quote(ShotDir()) + " " + Quote(folder) + " && mkdir -p " + Quote(folder) +
      (data ? " && cp -r " + Quote(ZUDODO_SOURCE_DIR "/data") + " " + Quote(folder + "/data") : ""));
  return folder;
}

Session::Session(const std::string& folder, const std::string& wave, const std::string& program) : folder_(folder) {
  const std::string exe = program.empty() ? GARVOLIN_EXE : program;
  Run("mkdir -p " + Quote(ShotDir()));
  std::string conf = folder + "/alsoft.conf";
  if (!wave.empty()) {
    std::ofstream out(conf);
    out << "[wave]\nfile = " << wave << "\n";
  }
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
  if (Running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (display_) XCloseDisplay(display_);
}

bool Session::WaitWindow(double seconds) {
  const double deadline = Now() + seconds;
  while (!FindWindow()) {
    if (Now() > deadline || !Running()) return false;
    Sleep(0.1);
  }
  return true;
}

bool Session::FindWindow() {
  // Going full screen and back opens a new window, so the window is looked up again each time.
  std::string found = Capture("xdotool search --onlyvisible --pid " + std::to_string(pid_) + " 2>/dev/null");
  unsigned long window = 0;
  std::istringstream lines(found);
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) window = std::strtoul(line.c_str(), nullptr, 10);
  if (window == 0) return false;
  if (window != window_) {
    window_ = window;
    // No window manager runs on the test display: give the window the focus as a desktop would.
    Run("xdotool windowfocus --sync " + std::to_string(window_) + " 2>/dev/null");
  }
  return true;
}

void Session::Size(int* w, int* h) {
  FindWindow();
  std::string info = Capture("xwininfo -id " + std::to_string(window_) + " 2>/dev/null");
  *w = *h = 0;
  size_t at = info.find("Width:");
  if (at != std::string::npos) *w = std::atoi(info.c_str() + at + 6);
  at = info.find("Height:");
  if (at != std::string::npos) *h = std::atoi(info.c_str() + at + 7);
}

std::string Session::Title() {
  char* name = nullptr;
  if (!display_ || !FindWindow() || !XFetchName(display_, window_, &name) || !name) return "";
  std::string title = name;
  XFree(name);
  return title;
}

double Session::Key(const std::string& name, double hold, const std::string& expect, double share) {
  const std::string before = lastGolden_;
  for (int attempt = 0;; ++attempt) {
    FindWindow();
    Run("xdotool keydown " + name);
    Sleep(hold);
    Run("xdotool keyup " + name);
    Sleep(0.1);
    if (expect.empty()) return 0;
    const double mismatch = WaitForScreen(expect, 5, share);
    if (mismatch <= share || attempt == 3 || before.empty() || UpdatingGoldens()) return mismatch;
    if (Grab().Reduced().Mismatch(ReadPicture(GoldenDir() + "/" + before + ".png")) > share) return mismatch;
  }
}

void Session::Click(int x, int y) {
  FindWindow();
  Run("xdotool mousemove --window " + std::to_string(window_) + " " + std::to_string(x) + " " +
      std::to_string(y) + " click 1");
  Sleep(0.1);
}

void Session::Keys(const std::vector<std::string>& names) {
  for (const std::string& name : names) Key(name);
}

void Session::Type(const std::string& keys) {
  FindWindow();
  Run("xdotool key --delay 30 " + keys);
}

Picture Session::Grab() {
  Picture picture;
  if (!display_) return picture;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (window_ == 0 || attempt == 1) {
      if (!FindWindow()) return picture;
    }
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
        unsigned long pixel = XGetPixel(image, x, y);
        *out++ = static_cast<unsigned char>((pixel & image->red_mask) >> 16);
        *out++ = static_cast<unsigned char>((pixel & image->green_mask) >> 8);
        *out++ = static_cast<unsigned char>(pixel & image->blue_mask);
      }
    }
    XDestroyImage(image);
    return picture;
  }
  return picture;
}

void Session::Keep(const Picture& picture, const std::string& name) {
  static int counter = 0;
  char number[8];
  std::snprintf(number, sizeof number, "%02d-", ++counter % 100);
  WritePicture(picture, ShotDir() + "/" + number + name + ".png");
}

Picture Session::Shot(const std::string& name) {
  Picture picture = Grab();
  Keep(picture, name);
  return picture;
}

double Session::WaitForScreen(const std::string& golden, double seconds, double share) {
  const std::string goldenPath = GoldenDir() + "/" + golden + ".png";
  const double deadline = Now() + seconds;
  // A golden picture is renewed once a run; later steps that show the same screen compare.
  static std::set<std::string> renewed;
  if (UpdatingGoldens() && renewed.insert(golden).second) {
    // The screen is taken once it has held still for two seconds: loading screens, banners and
    // slides do not. A screen that never does (checked with a looser tolerance) is taken half a
    // second in, and its golden picture kept once it exists: it is best chosen by hand from the
    // screenshots of a run.
    if (share > 0.05) {
      if (access(goldenPath.c_str(), F_OK) == 0) return 0;
      Sleep(0.5);
      Picture now = Grab();
      Keep(now, golden);
      WritePicture(now.Reduced(), goldenPath);
      return 0;
    }
    Picture still, now;
    double stillSince = Now();
    while (Now() < deadline) {
      now = Grab();
      if (still.Empty() || now.Reduced().Mismatch(still.Reduced()) >= 0.005) {
        still = now;
        stillSince = Now();
      } else if (Now() - stillSince >= 2) {
        break;
      }
      Sleep(0.1);
    }
    Keep(now, golden);
    WritePicture(now.Reduced(), goldenPath);
    lastGolden_ = golden;
    return 0;
  }
  const Picture want = ReadPicture(goldenPath);
  double best = 1;
  Picture now;
  do {
    now = Grab();
    double mismatch = now.Reduced().Mismatch(want);
    best = std::min(best, mismatch);
    if (mismatch <= share) {
      Keep(now, golden);
      lastGolden_ = golden;
      return mismatch;
    }
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
  const double deadline = Now() + seconds;
  while (Running()) {
    if (Now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
      return -1;
    }
    Sleep(0.05);
  }
  return exitStatus_;
}

bool Session::WaitOutput(const std::string& line, double seconds) {
  const double deadline = Now() + seconds;
  while (("\n" + Output()).find("\n" + line + "\n") == std::string::npos) {
    if (Now() > deadline) return false;
    Sleep(0.02);
  }
  return true;
}

double Session::Seconds() const { return Now() - startedAt_; }

std::string Session::Output() const {
  std::ifstream in(folder_ + "/game.out");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

double Recording::Rms(double from, double to) const {
  if (rate <= 0) return 0;
  size_t a = static_cast<size_t>(std::max(0.0, from) * rate);
  size_t b = std::min(samples.size(), static_cast<size_t>(std::max(0.0, to) * rate));
  if (b <= a) return 0;
  double sum = 0;
  for (size_t i = a; i < b; ++i) sum += static_cast<double>(samples[i]) * samples[i];
  return std::sqrt(sum / static_cast<double>(b - a));
}

Recording ReadRecording(const std::string& path) {
  Recording recording;
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto u16 = [&](size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[at])) |
                                     static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8; };
  auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return recording;
  unsigned format = 0, channels = 0, bits = 0, rate = 0;
  size_t at = 12;
  while (at + 8 <= bytes.size()) {
    std::string id = bytes.substr(at, 4);
    size_t size = u32(at + 4);
    if (id == "fmt " && at + 24 <= bytes.size()) {
      format = u16(at + 8);
      channels = u16(at + 10);
      rate = u32(at + 12);
      bits = u16(at + 22);
      if (format == 0xFFFE && at + 34 <= bytes.size()) format = u16(at + 32);  // the sub-format's tag
    } else if (id == "data") {
      if (channels > 0 && bits >= 8) recording.headerSeconds = static_cast<double>(size) / (rate * channels * (bits / 8));
      at += 8;
      break;
    }
    at += 8 + size + (size & 1);
  }
  if (channels == 0 || rate == 0 || at > bytes.size()) return recording;
  const size_t frameBytes = channels * (bits / 8);
  if (frameBytes == 0) return recording;
  recording.rate = static_cast<int>(rate);
  for (; at + frameBytes <= bytes.size(); at += frameBytes) {
    float mixed = 0;
    for (unsigned c = 0; c < channels; ++c) {
      size_t s = at + c * (bits / 8);
      float value = 0;
      if (format == 3 && bits == 32) {
        unsigned word = u32(s);
        std::memcpy(&value, &word, sizeof value);
      } else if (bits == 16) {
        value = static_cast<int16_t>(u16(s)) / 32768.0f;
      } else if (bits == 8) {
        value = (static_cast<unsigned char>(bytes[s]) - 128) / 128.0f;
      } else if (bits == 32) {
        value = static_cast<int32_t>(u32(s)) / 2147483648.0f;
      }
      mixed += value;
    }
    recording.samples.push_back(mixed / static_cast<float>(channels));
  }
  return recording;
}

}  // namespace e2e
