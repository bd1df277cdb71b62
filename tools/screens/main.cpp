// main.cpp: garvolin-screens, the screen gallery. Plays the game's scripts on the X display at
// 640 x 480 and at 1280 x 1024 and writes one PNG per screen and size, and, on request, a
// contact sheet of all of them.
//
//   garvolin-screens [--out DIR] [--sheet FILE] [--data DIR]
//
// DIR defaults to "screens" (files NAME-640x480.png and NAME-1280x1024.png), the data folder to
// "data" in the working folder. The contact sheet shows each screen at both sizes, reduced.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "fonts.h"
#include "gallery.h"
#include "strip.h"

// The runtime's start-up wants an application constructor: the game.
c_App* bbNewApplication() { return (new c_MyApp)->m_new(); }

namespace {

namespace fs = std::filesystem;
using assetgen::Image;

struct Size {
  int width, height, reduce;  // reduce: the contact sheet's reduction factor
};
constexpr Size kSizes[] = {{640, 480, 2}, {1280, 1024, 5}};

Image ToImage(const screens::Frame& f) {
  Image img(f.width, f.height);
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x) {
      const uint8_t* p = &f.rgb[(static_cast<size_t>(y) * static_cast<size_t>(f.width) + static_cast<size_t>(x)) * 3];
      img.at(x, y) = assetgen::rgb(p[0], p[1], p[2]);
    }
  return img;
}

// The frame reduced by an integer factor, each pixel the mean of the block it covers.
Image Reduced(const screens::Frame& f, int k) {
  Image img(f.width / k, f.height / k);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      int sum[3] = {0, 0, 0};
      for (int j = 0; j < k; ++j)
        for (int i = 0; i < k; ++i)
          for (int c = 0; c < 3; ++c)
            sum[c] += f.rgb[(static_cast<size_t>(y * k + j) * static_cast<size_t>(f.width) + static_cast<size_t>(x * k + i)) * 3 + c];
      img.at(x, y) = assetgen::rgb(sum[0] / (k * k), sum[1] / (k * k), sum[2] / (k * k));
    }
  return img;
}

// Each screen's two reductions side by side under its caption, three screens a row.
Image ContactSheet(const std::vector<screens::Screen>& list, std::map<std::string, Image>& thumbs) {
  constexpr int kMargin = 16, kGap = 8, kCaption = 30, kPerRow = 3;
  const int w0 = 640 / kSizes[0].reduce, w1 = 1280 / kSizes[1].reduce;
  const int h = std::max(480 / kSizes[0].reduce, 1024 / kSizes[1].reduce);
  const int cellW = w0 + kGap + w1, cellH = kCaption + h;
  const int rows = (static_cast<int>(list.size()) + kPerRow - 1) / kPerRow;
  Image sheet(2 * kMargin + kPerRow * cellW + (kPerRow - 1) * 2 * kGap, 2 * kMargin + rows * (cellH + 2 * kGap));
  sheet.fill(assetgen::rgb(34, 34, 44));
  assetgen::TextStyle label;
  label.unitX = label.unitY = label.stroke = 2.0f;
  label.hard = true;
  label.top = label.bottom = assetgen::grey(0.9f);
  for (size_t i = 0; i < list.size(); ++i) {
    const int x = kMargin + static_cast<int>(i % kPerRow) * (cellW + 2 * kGap);
    const int y = kMargin + static_cast<int>(i / kPerRow) * (cellH + 2 * kGap);
    assetgen::Pen pen(sheet, 0, 0, 1.0f, sheet.width(), sheet.height());
    assetgen::drawTextCentred(pen, list[i].caption, static_cast<float>(x + cellW / 2), static_cast<float>(y + 6),
                              label, 1.0f);
    for (int s = 0; s < 2; ++s) {
      auto it = thumbs.find(list[i].name + "@" + std::to_string(s));
      if (it != thumbs.end()) sheet.draw(it->second, x + (s ? w0 + kGap : 0), y + kCaption);
    }
  }
  return sheet;
}

int Usage() {
  std::fprintf(stderr, "usage: garvolin-screens [--out DIR] [--sheet FILE] [--data DIR]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string out = "screens", sheet, data = "data";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--out" && i + 1 < argc) {
      out = argv[++i];
    } else if (a == "--sheet" && i + 1 < argc) {
      sheet = argv[++i];
    } else if (a == "--data" && i + 1 < argc) {
      data = argv[++i];
    } else {
      return Usage();
    }
  }
  std::error_code error;
  const fs::path dataDir = fs::absolute(data);
  const fs::path outDir = fs::absolute(out);
  const fs::path sheetPath = sheet.empty() ? fs::path() : fs::absolute(sheet);
  if (!fs::exists(dataDir / "fonts")) {
    std::fprintf(stderr, "garvolin-screens: no game data in %s\n", dataDir.c_str());
    return 1;
  }
  fs::create_directories(outDir, error);
  std::string work = (fs::temp_directory_path() / "garvolin-screens-XXXXXX").string();
  if (!mkdtemp(work.data())) {
    std::perror("garvolin-screens: mkdtemp");
    return 1;
  }

  std::map<std::string, Image> thumbs;
  int failures = 0;
  for (int s = 0; s < 2; ++s) {
    const Size size = kSizes[s];
    const std::string suffix = "-" + std::to_string(size.width) + "x" + std::to_string(size.height);
    const std::vector<std::string> missing = screens::PlayGallery(
        size.width, size.height, work, dataDir.string(), [&](const std::string& name, const screens::Frame& frame) {
          const std::string path = (outDir / (name + suffix + ".png")).string();
          if (!assetgen::writePng(path, ToImage(frame))) {
            std::fprintf(stderr, "garvolin-screens: cannot write %s\n", path.c_str());
            ++failures;
          }
          thumbs[name + "@" + std::to_string(s)] = Reduced(frame, size.reduce);
        });
    for (const std::string& name : missing) {
      std::fprintf(stderr, "garvolin-screens: %s%s was not reached\n", name.c_str(), suffix.c_str());
      ++failures;
    }
  }
  fs::remove_all(work, error);
  if (!sheetPath.empty() && !assetgen::writePng(sheetPath.string(), ContactSheet(screens::GalleryScreens(), thumbs))) {
    std::fprintf(stderr, "garvolin-screens: cannot write %s\n", sheetPath.c_str());
    ++failures;
  }
  std::printf("garvolin-screens: %zu screens at 2 sizes in %s\n", screens::GalleryScreens().size(), outDir.c_str());
  return failures == 0 ? 0 : 1;
}
