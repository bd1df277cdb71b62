// Image strips: a picture asset is a grid of equal frames, read left to right and wrapping at
// the image width. This module lays the grid out, renders it at the three resolutions the game
// loads (NAME.png, NAME-hd.png at 2x, NAME-hd2.png at 4x) and writes PNG files.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "raster.h"

namespace assetgen {

using FrameDrawer = std::function<void(Pen& pen, int frame)>;

struct Picture {
  std::string name;    // path below the data folder, without ".png"
  int frameW = 0;      // frame size in virtual units (pixels of the 1x image)
  int frameH = 0;
  int frames = 0;
  bool tinted = false; // drawn white/grey; the game colours it when drawing
  FrameDrawer draw;
};

constexpr int kMaxImageSide = 2048;
constexpr int kScales[3] = {1, 2, 4};

// Frames per row: as many as fit the 4x image within kMaxImageSide, at most `frames`.
int columnsFor(const Picture& p);
int rowsFor(const Picture& p);

// Renders the picture at the given pixels-per-unit scale.
Image renderPicture(const Picture& p, int scale);

// File name suffix for a scale: "", "-hd" or "-hd2".
std::string suffixFor(int scale);

// Writes an image as an 8-bit RGBA PNG; creates missing folders. Returns false on failure.
bool writePng(const std::string& path, const Image& img);

// Open-side mask (1 up, 2 right, 4 down, 8 left) of each frame of a wall tile set.
extern const int kWallFrameMask[16];

// Pictures of each module, in the order they are written.
void addSpritePictures(std::vector<Picture>& out);
void addWallPictures(std::vector<Picture>& out);
void addInterfacePictures(std::vector<Picture>& out);
void addArtworkPictures(std::vector<Picture>& out);
void addFontPictures(std::vector<Picture>& out);

}  // namespace assetgen
