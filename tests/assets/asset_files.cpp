// Picture and sound readers for the asset tests.
#include "asset_files.h"

#include <stb_image.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "runtime/host/game.h"

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

Sound readSound(const std::string& path) {
  static BBGlfwGame* host = BBGlfwGame::_glfwGame ? BBGlfwGame::_glfwGame : new BBGlfwGame;
  Sound sound;
  int length = 0, format = 0;
  unsigned char* data =
      host->LoadAudioData(String::FromUtf8(path), &length, &sound.channels, &format, &sound.rate);
  if (!data) return sound;
  sound.ok = true;
  if (format == 2) {
    const int16_t* first = reinterpret_cast<const int16_t*>(data);
    sound.samples.assign(first, first + static_cast<size_t>(length) * sound.channels);
  }
  std::free(data);
  return sound;
}

}  // namespace assets_test
