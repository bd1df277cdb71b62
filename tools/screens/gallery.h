// gallery.h: the screens of the gallery and the scripts that reach them.
//
// Every screen a player meets is reached the way a player reaches it: keys on the menus, the
// autopilot (or a wandering walk, to lose) in the levels. Progress and score lists are prepared
// as a save file would bring them. Each script starts a new game of its own, so the screens do
// not depend on each other.
//
// Depends on: session.h, the autopilot. Must not touch: files (the caller keeps the frames).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "session.h"

namespace screens {

struct Screen {
  std::string name;     // file name without ".png"
  std::string caption;  // what the contact sheet says about it
};

// Every screen of the gallery, in the order the contact sheet shows them.
const std::vector<Screen>& GalleryScreens();

// Receives each screen as it is reached: its name and its frame.
using Keep = std::function<void(const std::string& name, const Frame& frame)>;

// Plays every script at width x height, with the games' working folders under `workDir` and
// their data/ linked to `dataDir`. Returns the names of the screens that could not be reached.
std::vector<std::string> PlayGallery(int width, int height, const std::string& workDir, const std::string& dataDir,
                                     const Keep& keep);

}  // namespace screens
