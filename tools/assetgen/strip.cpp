// Frame-grid layout, rendering at the three resolutions, and PNG output.
#include "strip.h"

#include <stb_image_write.h>

#include <algorithm>
#include <filesystem>

namespace assetgen {

int columnsFor(const Picture& p) {
  const int fit = std::max(1, kMaxImageSide / (p.frameW * 4));
  return std::min(fit, p.frames);
}

int rowsFor(const Picture& p) {
  const int cols = columnsFor(p);
  return (p.frames + cols - 1) / cols;
}

Image renderPicture(const Picture& p, int scale) {
  const int cols = columnsFor(p);
  const int fw = p.frameW * scale, fh = p.frameH * scale;
  Image img(cols * fw, rowsFor(p) * fh);
  for (int f = 0; f < p.frames; ++f) {
    Pen pen(img, (f % cols) * fw, (f / cols) * fh, static_cast<float>(scale), p.frameW, p.frameH);
    p.draw(pen, f);
  }
  return img;
}

std::string suffixFor(int scale) {
  if (scale == 2) return "-hd";
  if (scale == 4) return "-hd2";
  return "";
}

bool writePng(const std::string& path, const Image& img) {
  const std::filesystem::path fp(path);
  if (fp.has_parent_path()) std::filesystem::create_directories(fp.parent_path());
  const std::vector<uint8_t> px = img.rgba8();
  stbi_write_png_compression_level = 9;
  return stbi_write_png(path.c_str(), img.width(), img.height(), 4, px.data(), img.width() * 4) != 0;
}

}  // namespace assetgen
