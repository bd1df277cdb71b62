// session.h: the real game executable on the X display, as a player runs it. A session starts the
// program in a folder of its own, finds its window, sends real key events through the X test
// extension (xdotool), grabs the window's pixels from the X server, compares them with golden
// pictures, keeps them as PNG files (ImageMagick), and waits for the program to end.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct _XDisplay;  // Xlib's Display

namespace e2e {

// RGB pixels, row by row: a screenshot, or one reduced to a small grid for comparisons that
// forgive scaling and small animations.
struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  // The share of pixels inside the rectangle (x, y, w, h), in fractions of the picture, whose
  // colour differs from `other`'s by more than 40 in any channel; 1 when the sizes differ.
  double Mismatch(const Picture& other, float x = 0, float y = 0, float w = 1, float h = 1) const;
  int Colours() const;  // the number of distinct colours
  // The picture shrunk to 160 x 120, each pixel the mean of the pixels it covers.
  Picture Reduced() const;
};

class Session {
 public:
  // Makes `folder` afresh, with a copy of the game's data/ in it unless `data` is false.
  static std::string FreshFolder(const std::string& name, bool data = true);

  // Starts the game (or another program of the runtime's) in `folder`; its output goes to
  // folder/game.out. With `wave` set, OpenAL Soft records everything the program plays into that
  // WAV file; otherwise it plays into nothing.
  Session(const std::string& folder, const std::string& wave = "", const std::string& program = "");
  ~Session();

  bool WaitWindow(double seconds = 30);  // false if no window appears in time
  void Size(int* w, int* h);             // as X reports them
  std::string Title();

  // A key held for `hold` seconds, then released (key repeat is off: a held key is one press).
  // With `expect` named, the key is pressed again while the screen still shows the last golden
  // picture matched (a busy machine may starve the game for longer than a press), until the screen
  // matches `expect`; returns that mismatch as WaitForScreen does.
  double Key(const std::string& name, double hold = 0.8, const std::string& expect = "");
  // Keys typed at once, as xdotool names them ("a shift+b Delete").
  void Type(const std::string& keys);
  // A click of the left button at (x, y) in window pixels.
  void Click(int x, int y);

  // A screenshot of the window, kept in the run's screenshot folder as NN-<name>.png.
  Picture Shot(const std::string& name);
  // Takes screenshots until one matches the golden picture `golden` (at most `share` of its
  // pixels differing), and keeps it. Updates the golden picture instead when GARVOLIN_UPDATE_GOLDEN
  // is set. Returns the best mismatch seen.
  double WaitForScreen(const std::string& golden, double seconds, double share = 0.04);

  // Asks the window to close as a window manager does.
  void RequestClose();
  // Waits for the program to end: its exit status, or -1 if it is still running after `seconds`
  // (it is then killed), or 128 + the signal that ended it.
  int WaitExit(double seconds = 10);

  std::string Output() const;  // everything the game printed so far
  // Waits until the program has printed the line `line`; false if it does not in time.
  bool WaitOutput(const std::string& line, double seconds = 10);
  double Seconds() const;  // since the program was started

 private:
  std::string folder_;
  pid_t pid_ = -1;
  unsigned long window_ = 0;
  int exitStatus_ = -1;
  ::_XDisplay* display_ = nullptr;
  std::string lastGolden_;  // the golden picture the screen last matched
  double startedAt_ = 0;
  bool Running();
  bool FindWindow();
  Picture Grab();  // the window's pixels now; empty if there is no window to grab
  void Keep(const Picture& picture, const std::string& name);
};

// The root mean square level of a WAV file's sound, mixed to mono, between two times in seconds
// from its start; -1 if it cannot be read.
double RecordedRms(const std::string& path, double from, double to);

}  // namespace e2e
