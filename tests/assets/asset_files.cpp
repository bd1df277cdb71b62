// Picture and WAVE readers for the asset tests.
#include "asset_files.h"

#include <stb_image.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace assets_test {

std::string dataPath(const std::string& relative) { return std::string(ZUDODO_DATA_DIR) + "/" + relative; }

Picture loadPicture(const std::string& path) {
  Picture p;
  int n = 0;
  unsigned char* px = stbi_load(path.c_str(), &p.width, &p.height, &n, 4);
  if (!px) return p;
  p.rgba.assign(px, px + static_cast<size_t>(p.width) * p.height * 4);
  stbi_image_free(px);
  return p;
}

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {
uint32_t le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
}  // namespace

Wave readWave(const std::string& path) {
  Wave w;
  const std::vector<uint8_t> b = readBytes(path);
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
    w.error = "not a RIFF WAVE file";
    return w;
  }
  if (le32(b.data() + 4) + 8 != b.size()) {
    w.error = "RIFF size does not match the file size";
    return w;
  }
  bool haveFmt = false;
  size_t pos = 12;
  while (pos + 8 <= b.size()) {
    const uint32_t size = le32(b.data() + pos + 4);
    const uint8_t* body = b.data() + pos + 8;
    if (pos + 8 + size > b.size()) {
      w.error = "chunk runs past the end of the file";
      return w;
    }
    if (std::memcmp(b.data() + pos, "fmt ", 4) == 0 && size >= 16) {
      if (le16(body) != 1) {
        w.error = "format is not PCM";
        return w;
      }
      w.channels = le16(body + 2);
      w.rate = static_cast<int>(le32(body + 4));
      w.bits = le16(body + 14);
      const uint32_t byteRate = le32(body + 8);
      const uint16_t align = le16(body + 12);
      if (align != w.channels * w.bits / 8 || byteRate != static_cast<uint32_t>(w.rate) * align) {
        w.error = "inconsistent block align or byte rate";
        return w;
      }
      haveFmt = true;
    } else if (std::memcmp(b.data() + pos, "data", 4) == 0) {
      if (!haveFmt) {
        w.error = "data chunk before fmt chunk";
        return w;
      }
      if (w.bits != 16) {
        w.error = "not 16-bit";
        return w;
      }
      w.samples.resize(size / 2);
      for (size_t i = 0; i < w.samples.size(); ++i) w.samples[i] = static_cast<int16_t>(le16(body + 2 * i));
      w.ok = true;
      return w;
    }
    pos += 8 + size + (size & 1);
  }
  w.error = "no data chunk";
  return w;
}

}  // namespace assets_test
