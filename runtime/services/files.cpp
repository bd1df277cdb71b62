// files.cpp: paths, whole-file loading and the state file.
#include "files.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/object/gc.h"
#include "runtime/platform/file.h"

const char* const bbStateFileName = "./.gamestate";

String bb_data_FixDataPath(String path) {
  int i = path.Find(String(":/"));
  if (i != -1 && path.Find(String("/")) == i + 1) return path;
  if (path.StartsWith(String("./")) || path.StartsWith(String("/"))) return path;
  return String("app://data/") + path;
}

String bbPathToFilePath(String path) {
  if (!path.StartsWith(String("app:"))) return path;
  static const char* const schemes[][2] = {
      {"app://data/", "./data/"},
      {"app://internal/", "./internal/"},
      {"app://external/", "./external/"},
  };
  for (const auto& scheme : schemes) {
    String prefix(scheme[0]);
    if (path.StartsWith(prefix)) return String(scheme[1]) + path.Slice(prefix.Length());
  }
  return String();
}

std::FILE* bbOpenFilePath(String filePath, String mode) {
  if (filePath.Length() == 0) return nullptr;
  return bbPlatformOpenFile(filePath.ToUtf8().c_str(), mode.ToUtf8().c_str());
}

unsigned char* bbReadWholeFile(std::FILE* file, int* length) {
  // Read in 4096-byte blocks, then copy them into one buffer of exactly the total size.
  std::vector<unsigned char*> blocks;
  size_t total = 0;
  size_t last = 0;
  for (;;) {
    unsigned char* block = static_cast<unsigned char*>(std::malloc(4096));
    if (!block) std::abort();
    last = std::fread(block, 1, 4096, file);
    blocks.push_back(block);
    total += last;
    if (last < 4096) break;
  }
  unsigned char* data = static_cast<unsigned char*>(std::malloc(total ? total : 1));
  if (!data) std::abort();
  for (size_t i = 0; i < blocks.size(); ++i) {
    size_t n = i + 1 == blocks.size() ? last : 4096;
    std::memcpy(data + i * 4096, blocks[i], n);
    std::free(blocks[i]);
  }
  *length = static_cast<int>(total);
  return data;
}

int bbSaveStateFile(const String& state) {
  // A state file that is there but cannot be read may still hold the player's progress (a
  // permission slip, a broken link): it is left alone and the save fails.
  if (bbPlatformPathExists(bbStateFileName)) {
    std::FILE* file = bbPlatformOpenFile(bbStateFileName, "rb");
    if (!file) return -1;
    std::fclose(file);
  }
  std::string bytes = state.ToUtf8();
  return bbPlatformReplaceFile(bbStateFileName, reinterpret_cast<const unsigned char*>(bytes.data()),
                               bytes.size());
}

String bbLoadStateFile() {
  std::FILE* file = bbPlatformOpenFile(bbStateFileName, "rb");
  if (!file) return String();
  // Read in blocks, as String::Load does, but never past the limit: a file larger than any state
  // (or a device that never ends) is not a state file.
  std::vector<unsigned char> bytes;
  unsigned char block[4096];
  bool tooLarge = false;
  for (;;) {
    size_t n = std::fread(block, 1, sizeof block, file);
    if (bytes.size() + n > kMaxStateFileBytes) {
      tooLarge = true;
      break;
    }
    bytes.insert(bytes.end(), block, block + n);
    if (n < sizeof block) break;
  }
  std::fclose(file);
  if (tooLarge) return String();
  return String::Decode(bytes.data(), bytes.size());
}
