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
  bool Empty() const { return rgb.empty(); }
  // The share of pixels whose colour differs from `other`'s by more than `tolerance` in any
  // channel; 1 when the sizes differ.
  double Mismatch(const Picture& other, int tolerance = 40) const;
  // The same, inside the rectangle (x, y, w, h) given in fractions of the picture.
  double Mismatch(const Picture& other, float x, float y, float w, float h, int tolerance = 40) const;
  // The number of distinct colours.
  int Colours() const;
  // The picture shrunk to w x h, each pixel the mean of the pixels it covers.
  Picture Reduced(int w = 160, int h = 120) const;
};

// Reads a PNG through ImageMagick, at w x h.
Picture ReadPicture(const std::string& path, int w = 160, int h = 120);
// Writes a picture as a PNG through ImageMagick.
void WritePicture(const Picture& picture, const std::string& path);

// The folder of golden pictures, and the folder this run's screenshots are kept in.
std::string GoldenDir();
std::string ShotDir();

class Session {
 public:
  // Makes `folder` afresh, with a copy of the game's data/ in it unless `data` is false.
  static std::string FreshFolder(const std::string& name, bool data = true);

  // Starts the game (or another program of the runtime's) in `folder`; its output goes to
  // folder/game.out. With `wave` set, OpenAL Soft records everything the program plays into that
  // WAV file; otherwise it plays into nothing.
  Session(const std::string& folder, const std::string& wave = "", const std::string& program = "");
  ~Session();

  // Waits for the game's window; false if none appears in time.
  bool WaitWindow(double seconds = 30);
  unsigned long Window() const { return window_; }
  // The window's size and title as X reports them.
  void Size(int* w, int* h);
  std::string Title();

  // A key held long enough for the game to see it down in an update even on a busy machine, then
  // released (key repeat is off: a held key is one press). With
  // `expect` named, the key is pressed again while the screen still shows the last golden picture
  // matched (a busy machine may starve the game for longer than a press), until the screen matches
  // `expect`; returns that mismatch as WaitForScreen does.
  double Key(const std::string& name, double hold = 0.8, const std::string& expect = "", double share = 0.04);
  void Keys(const std::vector<std::string>& names);
  // Keys typed at once, as xdotool names them ("a shift+b Delete").
  void Type(const std::string& keys);
  // A click of the left button at (x, y) in the window: pressed and released at once, as a
  // touchpad's tap does.
  void Click(int x, int y);

  // The window's pixels now; empty if there is no window to grab.
  Picture Grab();
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
  bool Running();

  // Everything the game printed so far.
  std::string Output() const;
  // Waits until the program has printed the line `line`; false if it does not in time.
  bool WaitOutput(const std::string& line, double seconds = 10);

  const std::string& Folder() const { return folder_; }
  // Seconds since the program was started.
  double Seconds() const;

 private:
  std::string folder_;
  pid_t pid_ = -1;
  unsigned long window_ = 0;
  int exitStatus_ = -1;
  ::_XDisplay* display_ = nullptr;
  bool FindWindow();
  void Keep(const Picture& picture, const std::string& name);
  std::string lastGolden_;  // the golden picture the screen last matched
  double startedAt_ = 0;
};

// The samples of a WAV file written by OpenAL Soft, mixed to mono in -1..1, with its rate. The
// writer fixes the header's sizes only when the device closes, so the data runs to the file's end.
struct Recording {
  int rate = 0;
  std::vector<float> samples;
  // The length in seconds that the header gives the data.
  double headerSeconds = 0;
  // Root mean square level between two times, in seconds from the start.
  double Rms(double from, double to) const;
};
Recording ReadRecording(const std::string& path);

}  // namespace e2e
